// The stand-in's own services as the module's host, with a sample whose ray
// callbacks answer from a test's little world and count the rays.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "host/host.h"
#include "standin/services/globals.h"
#include "tests/nodes/eval_helper.h"

namespace vxn {

class RayHost : public ::testing::Test {
public:
    // Distance along `d` to what it hits (negative for nothing) and its colour.
    using World = std::function<double(const NodeValue& origin, const NodeValue& d, NodeValue& color)>;

    vxs::Surface surface;
    HostShading sa{};
    World world = [](const NodeValue&, const NodeValue&, NodeValue&) { return -1.0; };
    int traces = 0, casts = 0;
    NodeValue lastDirection;

    void SetUp() override {
        saved_ = vxs::currentScene();
        vxs::currentScene() = {};
        vxs::currentScene().renderOpts = HOST_RENDER_REFLECT | HOST_RENDER_REFRACT;
        vxs::currentScene().backdrop = {0.1, 0.2, 0.3};
        // A sample at the origin facing a viewer at (0, 0, -4).
        sa.raySource[2] = -4;
        sa.wNorm[2] = -1;
        sa.sx = 7;
        sa.sy = 11;
        sa.callbackData = this;
        sa.rayTrace = trace;
        sa.rayCast = cast;
        useScene();
    }
    void TearDown() override {
        acquireHandlerGlobals(nullptr);
        vxs::currentScene() = saved_;
    }

    // Call after changing the scene: the module reads the switches when it
    // acquires the scene table.
    void useScene() {
        acquireHandlerGlobals(vxs::globalLookup);
        resetThreadFlags();
    }

    std::vector<NodeValue> run(const Node& node, bool preview = false) {
        NodeEnv env;
        env.isPreview = preview;
        env.hostContext = &surface;
        env.normal = fromArray(sa.wNorm);
        env.record = &sa;
        env.callbackData = sa.callbackData;
        env.rayTrace = sa.rayTrace;
        env.rayCast = sa.rayCast;
        node.evaluate(env);
        const NodeValue* out = env.cache.find(&node);
        return out ? std::vector<NodeValue>(out, out + node.outputCount) : std::vector<NodeValue>{};
    }

private:
    vxs::Scene saved_;

    static double trace(void* ctx, const double pos[3], const double dir[3], double color[3]) {
        auto& self = *static_cast<RayHost*>(ctx);
        ++self.traces;
        self.lastDirection = fromArray(dir);
        NodeValue c = fromArray(vxs::currentScene().backdrop.data());
        const double t = self.world(fromArray(pos), self.lastDirection, c);
        toArray(color, c);
        return t;
    }
    static double cast(void* ctx, const double pos[3], const double dir[3]) {
        auto& self = *static_cast<RayHost*>(ctx);
        ++self.casts;
        NodeValue c;
        return self.world(fromArray(pos), fromArray(dir), c);
    }
};

}  // namespace vxn
