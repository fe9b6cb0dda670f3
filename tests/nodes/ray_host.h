// The stand-in's own services as the module's host, with a sample whose ray
// callbacks answer from a test's little world and count the rays.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "host/host.h"
#include "standin/services/globals.h"
#include "tests/nodes/eval_helper.h"

namespace vxn {

class RayHost : public ::testing::Test {
public:
    // Distance along `d` to what it hits (negative for nothing) and its colour.
    std::function<double(const NodeValue& origin, const NodeValue& d, NodeValue& color)> world =
        [](const NodeValue&, const NodeValue&, NodeValue&) { return -1.0; };
    vxs::Surface surface;
    HostShading sa{};
    int traces = 0, casts = 0;
    NodeValue lastDirection;

    void SetUp() override {
        saved_ = std::exchange(vxs::currentScene(), {});
        vxs::currentScene().renderOpts = HOST_RENDER_REFLECT | HOST_RENDER_REFRACT;
        vxs::currentScene().backdrop = {0.1, 0.2, 0.3};
        // At the origin, facing a viewer at (0, 0, -4).
        sa.sx = 7, sa.sy = 11;
        sa.raySource[2] = -4;
        sa.wNorm[2] = -1;
        sa.callbackData = this;
        sa.rayTrace = [](void* self, const double p[3], const double d[3], double c[3]) {
            ++static_cast<RayHost*>(self)->traces;
            static_cast<RayHost*>(self)->lastDirection = fromArray(d);
            NodeValue colour = fromArray(vxs::currentScene().backdrop.data());
            const double t = static_cast<RayHost*>(self)->world(fromArray(p), fromArray(d), colour);
            toArray(c, colour);
            return t;
        };
        sa.rayCast = [](void* self, const double p[3], const double d[3]) {
            ++static_cast<RayHost*>(self)->casts;
            NodeValue colour;
            return static_cast<RayHost*>(self)->world(fromArray(p), fromArray(d), colour);
        };
        useScene();
    }
    void TearDown() override {
        acquireHandlerGlobals(nullptr);
        vxs::currentScene() = saved_;
    }
    // After a change of the scene: the module reads the switches when it
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
};

}  // namespace vxn
