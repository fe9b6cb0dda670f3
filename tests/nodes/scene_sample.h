// Samples on a stand-in scene: the module reads the scene through the
// stand-in's own service tables, and a sample's light and ray callbacks are
// those of a render of it, counted on the way through.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "host/host.h"
#include "nodes/light_loop.h"
#include "standin/render/renderer.h"
#include "standin/scene/scene_file.h"
#include "standin/services/globals.h"
#include "tests/nodes/eval_helper.h"

namespace vxn {

// Installs the scene (or the scene-file text) as the module's host while it
// lives.
class SceneHost {
public:
    explicit SceneHost(const vxs::Scene& scene, double time = 0) { install(scene, time); }
    explicit SceneHost(std::string_view json, double time = 0) {
        vxs::Scene scene;
        std::string error;
        EXPECT_TRUE(vxs::readScene(json, ".", scene, error)) << error;
        install(scene, time);
    }
    ~SceneHost() {
        callbacks_.reset();
        acquireHandlerGlobals(nullptr);
        vxs::currentScene() = {};
    }
    SceneHost(const SceneHost&) = delete;
    SceneHost& operator=(const SceneHost&) = delete;

    // The scene's item with the name; 0 for none.
    static HostID id(std::string_view name) {
        for (const vxs::Item& item : vxs::currentScene().items)
            if (item.name == name) return item.id;
        return 0;
    }
    // Render callbacks made on first use: a scene they cannot build may still
    // serve the tables.
    void attach(HostShading& sa) const {
        if (!callbacks_) callbacks_ = std::make_unique<vxs::SceneCallbacks>(vxs::currentScene(), nullptr, time_);
        callbacks_->attach(sa);
    }

private:
    void install(const vxs::Scene& scene, double time) {
        vxs::currentScene() = scene;
        acquireHandlerGlobals(vxs::globalLookup);
        time_ = time;
    }
    double time_ = 0;
    mutable std::unique_ptr<vxs::SceneCallbacks> callbacks_;
};

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
