// "LW Object Info 4" and the mesh records it hands out.
#include <algorithm>
#include <cstring>

#include "standin/services/globals.h"
#include "standin/services/scene_services.h"

namespace vxs {

namespace {
const Object* objectOf(HostID id) {
    const Item* item = findItem(currentScene(), id);
    return item && item->type == HOST_OBJECT ? &item->object : nullptr;
}

// One asker's view of a mesh: the mesh and the map it selected last.
struct MeshRecord {
    HostMeshInfo info;
    const Mesh* mesh;
    const VertexMap* selected = nullptr;
};

const MeshRecord& record(void* priv) { return *static_cast<const MeshRecord*>(priv); }

const std::vector<HostID>* polygonOf(void* priv, HostID polygon) {
    const auto& polygons = record(priv).mesh->polygons;
    if (polygon < 1 || std::size_t(polygon) > polygons.size()) return nullptr;
    return &polygons[std::size_t(polygon) - 1];
}

int copyValue(const VertexMap& map, const std::vector<float>& value, float* out) {
    std::copy_n(value.begin(), std::min(value.size(), std::size_t(std::max(map.dimension, 0))), out);
    return 1;
}

void destroy(HostMeshInfo* mesh) {
    if (mesh) delete static_cast<MeshRecord*>(mesh->priv);
}

int polSize(void* priv, HostID polygon) {
    const auto* vertices = polygonOf(priv, polygon);
    return vertices ? int(vertices->size()) : 0;
}

HostID polVertex(void* priv, HostID polygon, int index) {
    const auto* vertices = polygonOf(priv, polygon);
    if (!vertices || index < 0 || std::size_t(index) >= vertices->size()) return 0;
    return (*vertices)[std::size_t(index)];
}

void pntBasePos(void* priv, HostID point, float pos[3]) {
    const auto& points = record(priv).mesh->points;
    if (point < 1 || std::size_t(point) > points.size()) {
        pos[0] = pos[1] = pos[2] = 0;
        return;
    }
    std::memcpy(pos, points[std::size_t(point) - 1].data(), 3 * sizeof(float));
}

void* pntVLookup(void* priv, uint32_t type, const char* name) {
    if (!name) return nullptr;
    for (const VertexMap& map : record(priv).mesh->maps)
        if (map.type == type && map.name == name) return const_cast<VertexMap*>(&map);
    return nullptr;
}

void pntVSelect(void* priv, void* vmap) { static_cast<MeshRecord*>(priv)->selected = static_cast<VertexMap*>(vmap); }

int pntVDim(void*, void* vmap) { return vmap ? static_cast<const VertexMap*>(vmap)->dimension : 0; }

int pntVGet(void* priv, HostID point, float* out) {
    const VertexMap* map = record(priv).selected;
    if (!map) return 0;
    const auto it = map->points.find(point);
    return it == map->points.end() ? 0 : copyValue(*map, it->second, out);
}

int pntVPGet(void* priv, HostID point, HostID polygon, float* out) {
    const VertexMap* map = record(priv).selected;
    if (!map) return 0;
    const auto it = map->polygons.find({point, polygon});
    return it == map->polygons.end() ? 0 : copyValue(*map, it->second, out);
}

const char* filename(HostID id) {
    const Object* object = objectOf(id);
    return object ? object->filename.c_str() : "";
}

int numPoints(HostID id) {
    const Object* object = objectOf(id);
    return object ? int(object->mesh.points.size()) : 0;
}

int numPolygons(HostID id) {
    const Object* object = objectOf(id);
    return object ? int(object->mesh.polygons.size()) : 0;
}

// The mesh does not deform, so frozen and base records are the same.
HostMeshInfo* meshInfo(HostID id, int) {
    const Object* object = objectOf(id);
    if (!object) return nullptr;
    auto* rec = new MeshRecord{.info = {.priv = nullptr,
                                        .destroy = destroy,
                                        .polSize = polSize,
                                        .polVertex = polVertex,
                                        .pntBasePos = pntBasePos,
                                        .pntVLookup = pntVLookup,
                                        .pntVSelect = pntVSelect,
                                        .pntVDim = pntVDim,
                                        .pntVGet = pntVGet,
                                        .pntVPGet = pntVPGet},
                               .mesh = &object->mesh};
    rec->info.priv = rec;
    return &rec->info;
}

int excluded(HostID id, HostID light) {
    const Object* object = objectOf(id);
    return object && excludes(*object, light);
}

const HostObjectInfo kObjectInfo{.filename = filename,
                                 .numPoints = numPoints,
                                 .numPolygons = numPolygons,
                                 .meshInfo = meshInfo,
                                 .excluded = excluded};
}  // namespace

const HostObjectInfo* objectInfoService() { return &kObjectInfo; }

}  // namespace vxs
