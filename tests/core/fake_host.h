// A minimal host for in-process evaluation tests: one object, no lights,
// render memory in a map. Installs itself as the module's host on creation.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "host/host.h"
#include "standin/render/shading.h"

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

    // Named fields only, so tables that grow do not break the fake.
    static inline HostItemInfo items{
        .first = first, .next = none, .firstChild = none, .type = type, .name = name, .param = param};
    static inline HostLightInfo lights{.type = lightType, .image = lightImage};
    static inline HostObjectInfo objects{};
    static inline HostSceneInfo scene{"", 0, 0, 640, 480, 24.0, 0};
    static inline HostRenderMemory memory{.find = find, .create = create};

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

// The stand-in's default sample, on the fake host's object.
inline HostShading defaultSample() {
    HostShading sa = vxs::defaultShading();
    sa.objID = FakeHost::kObject;
    return sa;
}

}  // namespace vxt
