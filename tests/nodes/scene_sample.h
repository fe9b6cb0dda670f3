// Samples on a stand-in scene whose light and ray callbacks are those of a
// render of it, counted on the way through.
#pragma once

#include <string_view>

#include "nodes/light_loop.h"
#include "tests/nodes/eval_helper.h"
#include "tests/scene_host.h"

namespace vxn {

using vxt::SceneHost;

// A render sample at the origin on the named object, with the normal, seen
// from `eye`: light cache and shadow-ray word as evaluation builds them.
struct Sample {
    HostShading sa{};
    LightCache lights;
    uint32_t flag = 0;
    NodeEnv env;
    int calls = 0, casts = 0;  // the host's illuminate and ray-cast calls
    NodeValue caustics;        // the stand-in computes none: handed out in its place

    Sample(const SceneHost& host, std::string_view object, const NodeValue& eye, const NodeValue& normal = {0, 1, 0}) {
        sa.objID = SceneHost::id(object);
        sa.sx = 3;
        sa.sy = 5;
        toArray(sa.raySource, eye);
        toArray(sa.wNorm, normal);
        toArray(sa.gNorm, normal);
        host.attach(sa);
        env.record = &sa;
        env.callbackData = this;
        env.illuminate = illuminate;
        env.rayCast = rayCast;
        env.lights = &lights;
        env.shadowRayFlag = &flag;
    }
    Sample(const Sample&) = delete;
    Sample& operator=(const Sample&) = delete;

    NodeValue shade(const Node& node) {
        node.evaluate(env);
        return env.cache.find(&node)[0];
    }

private:
    static int illuminate(void* ctx, HostID id, const double pos[3], double dir[3], double out[3]) {
        auto& s = *static_cast<Sample*>(ctx);
        ++s.calls;
        if (id != vx::kCausticsLight || s.caustics == NodeValue{}) return s.sa.illuminate(s.sa.callbackData, id, pos, dir, out);
        toArray(out, s.caustics);
        return 1;
    }
    static double rayCast(void* ctx, const double* pos, const double* dir) {
        auto& s = *static_cast<Sample*>(ctx);
        ++s.casts;
        return s.sa.rayCast(s.sa.callbackData, pos, dir);
    }
};

}  // namespace vxn
