// A minimal host for in-process evaluation tests: one object, no lights,
// render memory in a map. Installs itself as the module's host on creation.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "host/host.h"

namespace vxt {

struct FakeHost {
    static constexpr HostID kObject = 42;

    static inline std::map<std::string, std::unique_ptr<char[]>> blocks;
    static inline std::mutex lock;

    static HostID first(int type, HostID) { return type == HOST_OBJECT ? kObject : 0; }
    static HostID none(HostID) { return 0; }
    static int type(HostID) { return HOST_OBJECT; }
    static const char* name(HostID) { return "object"; }
    static void param(HostID, int, double, double out[3]) { out[0] = out[1] = out[2] = 0; }
    static int lightType(HostID) { return 0; }
    static HostID lightImage(HostID, double) { return 0; }
    static void* find(const char* n) {
        std::lock_guard g(lock);
        auto it = blocks.find(n);
        return it == blocks.end() ? nullptr : it->second.get();
    }
    static void* create(const char* n, size_t size) {
        std::lock_guard g(lock);
        return (blocks[n] = std::make_unique<char[]>(size)).get();
    }

    static inline HostItemInfo items{first, none, none, type, name, param};
    static inline HostLightInfo lights{lightType, lightImage};
    static inline HostObjectInfo objects{};
    static inline HostSceneInfo scene{"scene", 1, 1, 640, 480, 24.0, 0};
    static inline HostRenderMemory memory{find, create};

    static void* lookup(const char* service, int) {
        const std::string s = service;
        if (s == HOST_GLOBAL_ITEM_INFO) return &items;
        if (s == HOST_GLOBAL_LIGHT_INFO) return &lights;
        if (s == HOST_GLOBAL_OBJECT_INFO) return &objects;
        if (s == HOST_GLOBAL_SCENE_INFO) return &scene;
        if (s == HOST_GLOBAL_RENDER_MEMORY) return &memory;
        return nullptr;
    }

    FakeHost() { vx::acquireHandlerGlobals(lookup); }
    ~FakeHost() { vx::acquireHandlerGlobals(nullptr); }
};

// A sample at the origin facing a ray from (0, 0, -4), channels as a
// plain grey surface leaves them.
inline HostShading defaultSample() {
    HostShading sa{};
    sa.objID = FakeHost::kObject;
    sa.gNorm[2] = sa.wNorm[2] = sa.wNorm0[2] = -1;
    sa.raySource[2] = -4;
    sa.rayLength = 4;
    sa.cosine = 1;
    sa.color[0] = sa.color[1] = sa.color[2] = 0.785;
    sa.diffuse = 1;
    sa.roughness = 1.0 / 64;
    sa.eta = 1;
    sa.diffSharpness = 1;
    return sa;
}

}  // namespace vxt
