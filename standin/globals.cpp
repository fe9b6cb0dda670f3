#include "standin/globals.h"

#include <string_view>

#include "standin/file_io.h"
#include "standin/render_memory.h"

namespace vxs {

Scene& currentScene() {
    static Scene scene;
    return scene;
}

namespace {
// The scene tables answer for the current scene, which holds no items,
// lights, objects or images yet.
HostID noItem(int, HostID) { return 0; }
HostID noNext(HostID) { return 0; }
int noType(HostID) { return -1; }
const char* noName(HostID) { return ""; }
void zeroParam(HostID, int, double, double out[3]) { out[0] = out[1] = out[2] = 0; }
const HostItemInfo kItemInfo{
    .first = noItem, .next = noNext, .firstChild = noNext, .type = noType, .name = noName, .param = zeroParam};

HostID noLightImage(HostID, double) { return 0; }
const HostLightInfo kLightInfo{.type = noType, .image = noLightImage};

int noCount(HostID) { return 0; }
HostMeshInfo* noMesh(HostID, int) { return nullptr; }
const HostObjectInfo kObjectInfo{
    .filename = noName, .numPoints = noCount, .numPolygons = noCount, .meshInfo = noMesh};

HostID noImage() { return 0; }
HostID noImageByName(const char*) { return 0; }
void prepareNothing(HostID) {}
// Without images there is no image data to write or read back.
void saveNothing(HostID, const HostSaveState*) {}
void loadNothing(const HostLoadState*) {}
const HostImageList kImageList{.first = noImage,
                               .next = noNext,
                               .name = noName,
                               .findByName = noImageByName,
                               .prepare = prepareNothing,
                               .save = saveNothing,
                               .load = loadNothing};

const char* noSurfaceName(void*) { return ""; }
int noSurfaceInt(void*, const char*) { return 0; }
HostID noSurfaceImage(void*, const char*) { return 0; }
const HostSurfaceFuncs kSurfaceFuncs{.name = noSurfaceName, .getInt = noSurfaceInt, .getImage = noSurfaceImage};

// A data record rather than functions, so it is refreshed from the scene
// whenever a module looks it up.
const HostSceneInfo* sceneInfo() {
    static HostSceneInfo info;
    const Scene& s = currentScene();
    info = {.name = s.name.c_str(),
            .frameStart = s.frameStart,
            .frameEnd = s.frameEnd,
            .frameWidth = s.frameWidth,
            .frameHeight = s.frameHeight,
            .framesPerSecond = s.framesPerSecond,
            .renderOpts = s.renderOpts};
    return &info;
}
}  // namespace

void* globalLookup(const char* serviceName, int) {
    if (!serviceName) return nullptr;
    const std::string_view name = serviceName;
    const void* table = nullptr;
    if (name == HOST_GLOBAL_ITEM_INFO) table = &kItemInfo;
    else if (name == HOST_GLOBAL_LIGHT_INFO) table = &kLightInfo;
    else if (name == HOST_GLOBAL_OBJECT_INFO) table = &kObjectInfo;
    else if (name == HOST_GLOBAL_SCENE_INFO) table = sceneInfo();
    else if (name == HOST_GLOBAL_RENDER_MEMORY) table = renderMemoryService();
    else if (name == HOST_GLOBAL_IMAGE_LIST) table = &kImageList;
    else if (name == HOST_GLOBAL_SURFACE_FUNCS) table = &kSurfaceFuncs;
    else if (name == HOST_GLOBAL_FILE_IO) table = fileIOService();
    // The module holds tables as const pointers; the C lookup type is void*.
    return const_cast<void*>(table);
}

}  // namespace vxs
