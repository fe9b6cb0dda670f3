// A host with lights for the lighting kinds: light and object services, an
// illuminate callback that counts its calls and answers from the test's
// settings, and a ray cast that hits nothing. Installs itself while it lives.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "core/env.h"
#include "host/host.h"

namespace vxn {

using vx::NodeValue;

struct TestLight {
    HostID id;
    int type = HOST_LIGHT_DISTANT;
    NodeValue color{1, 0.5, 0.25};
    NodeValue forward{0, -1, 0};  // world axes
    NodeValue right{1, 0, 0}, up{0, 0, 1};
    NodeValue position{};
    int flags = 0;
    int falloff = HOST_FALLOFF_NONE;
    double range = 1;
    double cone = 0.5, edge = 0.1;
    int shadowType = 0;
    NodeValue shadowColor{};
    bool blocked = false;  // the host's shadow ray finds an obstacle
};

class LightHost {
public:
    std::vector<TestLight> lights;
    std::vector<HostID> excluded;  // lights the sample's object does not receive
    NodeValue ambient{0.1, 0.2, 0.3};
    std::map<HostID, NodeValue> pseudo;  // radiosity and caustics the host has
    int calls = 0, casts = 0;
    std::vector<uint32_t> flagDuringCall;  // the shadow-ray word at each call
    uint32_t* watchedFlag = nullptr;

    LightHost() {
        current_ = this;
        vx::acquireHandlerGlobals(lookup);
    }
    ~LightHost() {
        vx::acquireHandlerGlobals(nullptr);
        current_ = nullptr;
    }
    LightHost(const LightHost&) = delete;
    LightHost& operator=(const LightHost&) = delete;

    // A render sample on object 7 at the origin with the normal, seen from
    // `eye`, wired to this host's callbacks; each is a render of its own, as
    // the tests change the lights between them.
    void place(vx::NodeEnv& env, HostShading& sa, const NodeValue& eye, const NodeValue& normal) {
        vx::resetThreadFlags();
        sa = HostShading{};
        sa.objID = 7;
        sa.sx = 3;
        sa.sy = 5;
        vx::toArray(sa.raySource, eye);
        vx::toArray(sa.wNorm, normal);
        vx::toArray(sa.gNorm, normal);
        env.record = &sa;
        env.callbackData = this;
        env.illuminate = illuminate;
        env.rayCast = [](void* ctx, const double*, const double*) { return ++static_cast<LightHost*>(ctx)->casts, -1.0; };
    }

private:
    static inline LightHost* current_ = nullptr;

    static const TestLight& find(HostID id) {
        static const TestLight none{0};
        for (const TestLight& l : current_->lights)
            if (l.id == id) return l;
        return none;
    }
    static HostID first(int type, HostID) {
        return type == HOST_LIGHT && !current_->lights.empty() ? current_->lights[0].id : 0;
    }
    static void ambientOf(double, double out[3]) { vx::toArray(out, current_->ambient); }
    static int excludes(HostID, HostID light) {
        return int(std::count(current_->excluded.begin(), current_->excluded.end(), light));
    }
    static HostID next(HostID id) {
        const auto& all = current_->lights;
        for (size_t i = 0; i + 1 < all.size(); ++i)
            if (all[i].id == id) return all[i + 1].id;
        return 0;
    }
    static void param(HostID id, int code, double, double out[3]) {
        const TestLight& l = find(id);
        const NodeValue v = code == HOST_IP_W_POSITION ? l.position
                            : code == HOST_IP_W_FORWARD ? l.forward
                            : code == HOST_IP_W_RIGHT   ? l.right
                            : code == HOST_IP_W_UP      ? l.up
                                                        : NodeValue{};
        vx::toArray(out, v);
    }

    // Distant lights shine along their axis, others from their position;
    // a blocked light or an absent pseudo-light gives nothing.
    static int illuminate(void* ctx, HostID id, const double pos[3], double dir[3], double out[3]) {
        auto& self = *static_cast<LightHost*>(ctx);
        ++self.calls;
        if (self.watchedFlag) self.flagDuringCall.push_back(*self.watchedFlag);
        if (const auto it = self.pseudo.find(id); it != self.pseudo.end()) {
            vx::toArray(out, it->second);
            return 1;
        }
        const TestLight& l = find(id);
        if (!l.id || l.blocked) return 0;
        vx::toArray(dir, l.type == HOST_LIGHT_DISTANT ? l.forward : vx::fromArray(pos) - l.position);
        vx::toArray(out, l.color);
        return 1;
    }

    // clang-format off
    static inline const HostItemInfo kItems{
        .first = first, .next = next, .firstChild = nullptr, .type = [](HostID) { return int(HOST_LIGHT); },
        .name = [](HostID) { return "light"; }, .param = param};
    static inline const HostLightInfo kLights{
        .type = [](HostID id) { return find(id).type; }, .image = [](HostID, double) { return HostID(0); },
        .color = [](HostID id, double, double out[3]) { vx::toArray(out, find(id).color); },
        .falloff = [](HostID id) { return find(id).falloff; }, .range = [](HostID id, double) { return find(id).range; },
        .ambient = ambientOf,
        .flags = [](HostID id) { return find(id).flags; }, .shadowType = [](HostID id) { return find(id).shadowType; },
        .shadowColor = [](HostID id, double, double out[3]) { vx::toArray(out, find(id).shadowColor); },
        .coneAngles = [](HostID id, double, double* r, double* e) { *r = find(id).cone, *e = find(id).edge; }};
    static inline const HostObjectInfo kObjects{
        .filename = nullptr, .numPoints = nullptr, .numPolygons = nullptr, .meshInfo = nullptr,
        .excluded = excludes};
    // clang-format on

    static void* lookup(const char* service, int) {
        const std::string s = service;
        if (s == HOST_GLOBAL_ITEM_INFO) return const_cast<HostItemInfo*>(&kItems);
        if (s == HOST_GLOBAL_LIGHT_INFO) return const_cast<HostLightInfo*>(&kLights);
        if (s == HOST_GLOBAL_OBJECT_INFO) return const_cast<HostObjectInfo*>(&kObjects);
        return nullptr;
    }
};

}  // namespace vxn
