#include "nodes/raytrace.h"

#include <numbers>
#include <utility>

#include "tests/nodes/ray_host.h"

namespace vxn {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr NodeValue kWall{0.2, 0.5, 0.8}, kMap{0.9, 0.6, 0.25}, kBase{1, 0.5, 1}, kSky{0.1, 0.2, 0.3};

class Raytrace : public RayHost {
public:
    void SetUp() override {
        RayHost::SetUp();
        vxs::Image map;  // one pixel: the same colour in every direction
        map.id = 5;
        map.width = map.height = 1;
        map.rgba = {float(kMap.x), float(kMap.y), float(kMap.z), 1};
        vxs::currentScene().images.push_back(map);
        surface.reflectionImage = map.id;
        useScene();
    }
    // A wall of colour kWall three units from the sample, on the viewer's side.
    void wall() {
        world = [](const NodeValue&, const NodeValue& d, NodeValue& c) { return d.z < 0 ? (c = kWall, -3 / d.z) : -1; };
    }
    void colourByDirection() {
        world = [](const NodeValue&, const NodeValue& d, NodeValue& c) { return c = d * d, 1.0; };
    }
    NodeValue blurred(double blur, int samples) {
        auto node = makeKind("Raytrace", "reflect_blur", {kBase, S(1), S(blur)});
        node->inputs[3].param.intValue = samples;
        return run(*node)[0];
    }
};

TEST_F(Raytrace, ReflectUnderTheSurfaceOptions) {
    struct Row {
        const char* what;
        int options, renderOpts;
        bool wall;
        double refl;
        NodeValue color;
        double dist;
        int traces;
    };
    const int on = HOST_RENDER_REFLECT;
    const Row rows[] = {
        {"backdrop", 0, on, true, 0.5, kSky, kMissDistance, 0},
        {"ray hits the wall", 1, on, true, 0.5, kWall, 3, 1},
        {"refl 0 traces nothing", 1, on, true, 0, {}, kMissDistance, 0},
        {"reflections switched off", 1, 0, true, 0.5, {}, kMissDistance, 0},
        {"map only", 2, on, true, 0.5, kMap, kMissDistance, 0},
        {"map where the ray hits", 3, on, true, 0.5, kWall, 3, 1},
        {"map where the ray misses", 3, on, false, 0.5, kMap, kMissDistance, 1},
        {"map with rays off", 3, 0, true, 0.5, kMap, kMissDistance, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        surface.reflectionOptions = r.options;
        vxs::currentScene().renderOpts = r.renderOpts;
        useScene();
        if (r.wall) wall();
        else world = [](const NodeValue&, const NodeValue&, NodeValue&) { return -1.0; };
        traces = 0;
        const auto out = run(*makeKind("Raytrace", "reflect", {kBase, S(r.refl)}));
        EXPECT_TRUE(near(out[0], kBase * r.color * r.refl, 1e-6));
        EXPECT_EQ(out[1], S(r.dist));
        EXPECT_EQ(traces, r.traces);
    }
}

TEST_F(Raytrace, RawTraceCastAndRefraction) {
    wall();
    EXPECT_EQ(run(*makeKind("Raytrace", "raytrace", {{}, {0, 0, -2}})), (std::vector{kWall, S(3)}));
    EXPECT_EQ(run(*makeKind("Raytrace", "raycast", {{}, {0, 0, 2}}))[0], S(kMissDistance));
    const HostRayTraceFunc trace = std::exchange(sa.rayTrace, nullptr);
    EXPECT_EQ(run(*makeKind("Raytrace", "raytrace", {{}, {0, 0, -2}})), (std::vector{NodeValue{}, S(kMissDistance)}));
    sa.rayTrace = trace;
    sa.wNorm[0] = 0.3;  // a tilted normal bends every ray but one of index 1
    run(*makeKind("Raytrace", "refract", {kBase, S(1), S(1)}));
    EXPECT_TRUE(near(lastDirection, {0, 0, 1}, 1e-15));
}

TEST_F(Raytrace, BlurredBundles) {
    sa.wNorm[0] = 0.3;
    colourByDirection();
    EXPECT_EQ(blurred(0, 3), run(*makeKind("Raytrace", "reflect", {kBase, S(1)}))[0]) << "blur 0 is one ray";
    const NodeValue one = blurred(0.5, 1);
    traces = 0;
    EXPECT_EQ(blurred(0.5, 0), one);
    EXPECT_EQ(blurred(0.5, -3), one);
    EXPECT_EQ(traces, 2) << "no samples or fewer is one";
    const NodeValue bundle = blurred(0.5, 3);
    EXPECT_EQ(traces, 2 + 9);
    EXPECT_EQ(blurred(0.5, 3), bundle) << "the same pixel draws the same bundle";
    sa.sx = 8;
    EXPECT_NE(blurred(0.5, 3), bundle);
}

TEST_F(Raytrace, NestedBlurIsOneLevelDeep) {
    // Each hit shades a blurred mirror again: its rays must be single rays.
    int depth = 0;
    world = [&](const NodeValue& o, const NodeValue& d, NodeValue& c) {
        if (depth++ == 0) c = blurredTrace(sa, &surface, 0, o, d, 0.5, 3, TRACE_REFLECTION);
        --depth;
        return 1.0;
    };
    for (int round = 0; round < 2; ++round) {
        traces = 0;
        blurredTrace(sa, &surface, 0, {}, {0, 0, -1}, 0.5, 3, TRACE_REFLECTION);
        EXPECT_EQ(traces, 9 + 9) << "round " << round;
    }
}

TEST(DirectionToAngles, SpecialCasesAndMapPositions) {
    struct Row { NodeValue d; double heading, pitch, seam, u, v; };
    const Row rows[] = {
        {{0, 1, 0}, 0, kPi / 2, 0, 0, 0},          {{0, -3, 0}, 0, -kPi / 2, 0, 0, 0},
        {{0, 0, 0}, 0, 0, 0, 0, 0.5},              {{0, 0, 1}, 0, 0, kPi / 2, 0.75, 0.5},
        {{1, 0, 0}, -kPi / 2, 0, -kPi, 0.75, 0.5}, {{-1, 0, 0}, kPi / 2, 0, 0, 0.75, 0.5},
        {{0, 0, -1}, kPi, 0, 0, 0.5, 0.5},         {{-1, 0, -1}, kPi - kPi / 4, 0, 0, 0.625, 0.5},
        {{0, 1, 1}, 0, kPi / 4, 0, 0, 0.25},
    };
    for (const Row& r : rows) {
        const Angles a = directionToAngles(r.d);
        double u = -1, v = -1;
        sphericalMapUV(r.d, r.seam, u, v);
        const NodeValue got{a.heading, a.pitch, 0}, want{r.heading, r.pitch, 0};
        EXPECT_TRUE(near(got, want, 1e-12)) << describe(r.d);
        EXPECT_TRUE(near({u, v, 0}, {r.u, r.v, 0}, 1e-12)) << describe(r.d);
    }
}

}  // namespace
}  // namespace vxn
