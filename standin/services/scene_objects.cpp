// "Scene Objects 4": the scene's objects, their surfaces and vertex maps, as
// the editor lists them.
#include <algorithm>
#include <string>
#include <vector>

#include "standin/services/globals.h"
#include "standin/services/ui_services.h"

namespace vxs {

namespace {
std::vector<const Item*> objects() {
    std::vector<const Item*> out;
    for (const Item& item : currentScene().items)
        if (item.type == HOST_OBJECT) out.push_back(&item);
    return out;
}

// Every map name of the type once, in order of first appearance.
std::vector<std::string> mapNames(uint32_t type) {
    std::vector<std::string> names;
    for (const Item* object : objects())
        for (const VertexMap& m : object->object.mesh.maps)
            if (m.type == type && std::find(names.begin(), names.end(), m.name) == names.end())
                names.push_back(m.name);
    return names;
}

// The surfaces the object's polygons use, in scene order.
std::vector<int> surfacesOf(int object) {
    const std::vector<const Item*> all = objects();
    std::vector<int> used;
    if (object < 0 || size_t(object) >= all.size()) return used;
    for (const int s : all[size_t(object)]->object.mesh.polygonSurface)
        if (s >= 0 && size_t(s) < currentScene().surfaces.size() && std::find(used.begin(), used.end(), s) == used.end())
            used.push_back(s);
    std::sort(used.begin(), used.end());
    return used;
}

int numVMaps(uint32_t type) { return int(mapNames(type).size()); }

const char* vmapName(uint32_t type, int index) {
    static std::string name;
    const std::vector<std::string> names = mapNames(type);
    if (index < 0 || size_t(index) >= names.size()) return nullptr;
    name = names[size_t(index)];
    return name.c_str();
}

int numObjects() { return int(objects().size()); }

const char* objectName(int index) {
    const std::vector<const Item*> all = objects();
    return index >= 0 && size_t(index) < all.size() ? all[size_t(index)]->name.c_str() : nullptr;
}

int numSurfaces(int object) { return int(surfacesOf(object).size()); }

const char* surfaceName(int object, int index) {
    const std::vector<int> used = surfacesOf(object);
    return index >= 0 && size_t(index) < used.size() ? currentScene().surfaces[size_t(used[size_t(index)])].name.c_str()
                                                     : nullptr;
}

const HostSceneObjects kSceneObjects{.numVMaps = numVMaps,
                                     .vmapName = vmapName,
                                     .numObjects = numObjects,
                                     .objectName = objectName,
                                     .numSurfaces = numSurfaces,
                                     .surfaceName = surfaceName};
}  // namespace

const HostSceneObjects* sceneObjectsService() { return &kSceneObjects; }

}  // namespace vxs
