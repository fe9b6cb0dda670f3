// A small scene behind the host's item, object and scene services: items
// whose world position drifts with time, and meshes.
// Installs itself as the module's host while it lives.
#pragma once

#include <array>
#include <atomic>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/value.h"
#include "host/host.h"

namespace vxn {

struct FakeItem {
    HostID id;
    int type;
    HostID parent = 0;  // the object of a bone
    std::array<vx::NodeValue, 12> params{};  // codes 1 to 12 at time 0
};

struct FakeMesh {
    std::map<HostID, std::array<float, 3>> points;
    std::map<HostID, std::vector<HostID>> polygons;
};

// Which of the services the scene offers.
struct FakeServices {
    bool items = true, objects = true, scene = true;
};

class FakeScene {
public:
    // World position at time t is its time-0 value plus kDrift x t.
    static constexpr vx::NodeValue kDrift{1, 2, 3};

    std::vector<FakeItem> items;
    std::map<HostID, FakeMesh> meshes;
    HostSceneInfo info{"fake", 1, 10, 320, 240, 25.0, 0};
    bool loopingLights = false;                  // next() of the last light returns the first
    std::vector<std::pair<HostID, int>> asked;   // parameter queries in order
    std::atomic<int> liveMeshes{0};

    explicit FakeScene(FakeServices with = {}) : with_(with) {
        current_ = this;
        vx::acquireHandlerGlobals(lookup);
    }
    ~FakeScene() {
        vx::acquireHandlerGlobals(nullptr);
        current_ = nullptr;
    }
    FakeScene(const FakeScene&) = delete;
    FakeScene& operator=(const FakeScene&) = delete;

private:
    struct MeshRecord {
        HostMeshInfo info;
        const FakeMesh* mesh;
    };

    FakeServices with_;
    static inline FakeScene* current_ = nullptr;

    static const FakeItem* find(HostID id) {
        for (const FakeItem& it : current_->items)
            if (it.id == id) return &it;
        return nullptr;
    }
    static HostID first(int type, HostID parent) {
        for (const FakeItem& it : current_->items)
            if (it.type == type && (type != HOST_BONE || it.parent == parent)) return it.id;
        return 0;
    }
    static HostID next(HostID id) {
        const std::vector<FakeItem>& all = current_->items;
        const FakeItem* self = find(id);
        if (!self) return 0;
        for (const FakeItem* it = self + 1; it != all.data() + all.size(); ++it)
            if (it->type == self->type && it->parent == self->parent) return it->id;
        return current_->loopingLights && self->type == HOST_LIGHT ? first(HOST_LIGHT, 0) : 0;
    }
    static HostID noChild(HostID) { return 0; }
    static int type(HostID id) {
        const FakeItem* it = find(id);
        return it ? it->type : -1;
    }
    static const char* name(HostID) { return "item"; }
    static void param(HostID id, int code, double time, double out[3]) {
        current_->asked.emplace_back(id, code);
        const FakeItem* it = find(id);
        vx::NodeValue v = it ? it->params[code - 1] : vx::NodeValue{};
        if (code == HOST_IP_W_POSITION) v = v + kDrift * time;
        out[0] = v.x;
        out[1] = v.y;
        out[2] = v.z;
    }

    static const char* noFile(HostID) { return ""; }
    static int noCount(HostID) { return 0; }
    static HostMeshInfo* meshInfo(HostID object, int) {
        const auto it = current_->meshes.find(object);
        if (it == current_->meshes.end()) return nullptr;
        auto* r = new MeshRecord{{}, &it->second};
        HostMeshInfo& m = r->info;
        m.priv = r, m.destroy = destroy, m.polSize = polSize, m.polVertex = polVertex, m.pntBasePos = basePos;
        ++current_->liveMeshes;
        return &r->info;
    }
    static const FakeMesh& mesh(void* priv) { return *static_cast<MeshRecord*>(priv)->mesh; }
    static void destroy(HostMeshInfo* m) {
        --current_->liveMeshes;
        delete static_cast<MeshRecord*>(m->priv);
    }
    static int polSize(void* priv, HostID polygon) {
        const auto it = mesh(priv).polygons.find(polygon);
        return it == mesh(priv).polygons.end() ? 0 : static_cast<int>(it->second.size());
    }
    static HostID polVertex(void* priv, HostID polygon, int index) {
        const auto it = mesh(priv).polygons.find(polygon);
        if (it == mesh(priv).polygons.end() || index < 0 || index >= static_cast<int>(it->second.size())) return 0;
        return it->second[index];
    }
    static void basePos(void* priv, HostID point, float pos[3]) {
        const auto it = mesh(priv).points.find(point);
        const std::array<float, 3> p = it == mesh(priv).points.end() ? std::array<float, 3>{} : it->second;
        pos[0] = p[0];
        pos[1] = p[1];
        pos[2] = p[2];
    }

    static inline const HostItemInfo kItems{
        .first = first, .next = next, .firstChild = noChild, .type = type, .name = name, .param = param};
    static inline const HostObjectInfo kObjects{
        .filename = noFile, .numPoints = noCount, .numPolygons = noCount, .meshInfo = meshInfo};

    static void* lookup(const char* service, int) {
        const std::string s = service;
        const FakeServices& w = current_->with_;
        if (s == HOST_GLOBAL_ITEM_INFO && w.items) return const_cast<HostItemInfo*>(&kItems);
        if (s == HOST_GLOBAL_OBJECT_INFO && w.objects) return const_cast<HostObjectInfo*>(&kObjects);
        if (s == HOST_GLOBAL_SCENE_INFO && w.scene) return &current_->info;
        return nullptr;
    }
};

}  // namespace vxn
