#include "nodes/raytrace.h"

#include <numbers>

#include "tests/nodes/ray_host.h"

namespace vxn {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr NodeValue kWall{0.2, 0.5, 0.8}, kMap{0.9, 0.6, 0.25}, kBase{1, 0.5, 1};
constexpr HostID kMapImage = 5;

class Raytrace : public RayHost {
public:
    void SetUp() override {
        RayHost::SetUp();
        vxs::Image map;
        map.id = kMapImage;
        map.width = map.height = 1;
        map.rgba = {float(kMap.x), float(kMap.y), float(kMap.z), 1};
        vxs::currentScene().images.push_back(map);
        surface.reflectionImage = surface.refractionImage = kMapImage;
        useScene();
    }

    // A wall of colour kWall three units in front of the viewer's side.
    void wallBehindViewer() {
        world = [](const NodeValue&, const NodeValue& d, NodeValue& c) {
            if (d.z >= 0) return -1.0;
            c = kWall;
            return -3 / d.z;
        };
    }
    // A colour that changes with the direction, to tell rays apart.
    void colourByDirection() {
        world = [](const NodeValue&, const NodeValue& d, NodeValue& c) {
            c = {std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)};
            return 1.0;
        };
    }
    std::unique_ptr<Node> blurredMirror(double blur, int samples) {
        auto node = makeKind("Raytrace", "reflect_blur", {kBase, S(1), S(blur)});
        node->inputs[3].param.intValue = samples;
        return node;
    }
};

TEST_F(Raytrace, ReflectUnderTheSurfaceOptions) {
    struct Row {
        const char* what;
        int options, renderOpts;
        bool wall;
        NodeValue color;
        double dist;
        int traces;
    };
    const NodeValue backdrop{0.1, 0.2, 0.3};
    const int on = HOST_RENDER_REFLECT;
    const Row rows[] = {
        {"backdrop",                 0, on, true,  backdrop, kMissDistance, 0},
        {"ray hits the wall",        1, on, true,  kWall,    3,             1},
        {"ray finds nothing",        1, on, false, backdrop, kMissDistance, 1},
        {"reflections switched off", 1, 0,  true,  {},       kMissDistance, 0},
        {"map only",                 2, on, true,  kMap,     kMissDistance, 0},
        {"map where the ray hits",   3, on, true,  kWall,    3,             1},
        {"map where the ray misses", 3, on, false, kMap,     kMissDistance, 1},
        {"map with rays off",        3, 0,  true,  kMap,     kMissDistance, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        surface.reflectionOptions = r.options;
        vxs::currentScene().renderOpts = r.renderOpts;
        useScene();
        if (r.wall) wallBehindViewer();
        else world = [](const NodeValue&, const NodeValue&, NodeValue&) { return -1.0; };
        traces = 0;
        const auto out = run(*makeKind("Raytrace", "reflect", {kBase, S(0.5)}));
        EXPECT_TRUE(near(out[0], kBase * r.color * 0.5, 1e-6));
        EXPECT_EQ(out[1], S(r.dist));
        EXPECT_EQ(traces, r.traces);
    }
}

TEST_F(Raytrace, NothingTracedWithoutAnAmount) {
    wallBehindViewer();
    const auto out = run(*makeKind("Raytrace", "reflect", {kBase, S(0)}));
    EXPECT_EQ(out[0], NodeValue{});
    EXPECT_EQ(out[1], S(kMissDistance));
    EXPECT_EQ(traces, 0);
}

TEST_F(Raytrace, RefractionIndexOneGoesStraightThrough) {
    sa.wNorm[0] = 0.3;  // a tilted normal bends every ray but this one
    colourByDirection();
    const auto out = run(*makeKind("Raytrace", "refract", {kBase, S(1), S(1)}));
    ASSERT_EQ(traces, 1);
    EXPECT_TRUE(near(lastDirection, {0, 0, 1}, 1e-15));
    EXPECT_EQ(out[1], S(1));
}

TEST_F(Raytrace, RawTraceAndCast) {
    wallBehindViewer();
    auto node = makeKind("Raytrace", "raytrace", {{}, {0, 0, -2}});
    auto out = run(*node);
    EXPECT_EQ(out[0], kWall);
    EXPECT_EQ(out[1], S(3));
    EXPECT_EQ(run(*makeKind("Raytrace", "raycast", {{}, {0, 0, -2}}))[0], S(3));
    EXPECT_EQ(run(*makeKind("Raytrace", "raycast", {{}, {0, 0, 2}}))[0], S(kMissDistance));
    sa.rayTrace = nullptr;
    out = run(*node);
    EXPECT_EQ(out[0], NodeValue{});
    EXPECT_EQ(out[1], S(kMissDistance));
}

TEST_F(Raytrace, BlurZeroIsTheUnblurredRay) {
    sa.wNorm[0] = 0.3;
    sa.wNorm[1] = 0.2;
    colourByDirection();
    const NodeValue single = run(*makeKind("Raytrace", "reflect", {kBase, S(1)}))[0];
    EXPECT_EQ(run(*blurredMirror(0, 3))[0], single);
    EXPECT_EQ(traces, 2);
}

TEST_F(Raytrace, SampleCountBelowOneIsOne) {
    colourByDirection();
    const NodeValue one = run(*blurredMirror(0.5, 1))[0];
    for (int samples : {0, -3}) {
        traces = 0;
        EXPECT_EQ(run(*blurredMirror(0.5, samples))[0], one) << samples;
        EXPECT_EQ(traces, 1) << samples;
    }
}

TEST_F(Raytrace, BlurredResultsRepeatPerPixel) {
    colourByDirection();
    const auto mirror = blurredMirror(0.5, 3);
    const NodeValue first = run(*mirror)[0];
    EXPECT_EQ(traces, 9);
    EXPECT_EQ(run(*mirror)[0], first);
    sa.sx = 8;
    EXPECT_NE(run(*mirror)[0], first);
}

TEST_F(Raytrace, NestedBlurIsOneLevelDeep) {
    // Each hit shades a surface that blurs again, as a blurred mirror seeing
    // a blurred mirror: its rays must be single rays.
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
    struct Row {
        NodeValue d;
        double heading, pitch;
    };
    const Row rows[] = {
        {{0, 1, 0}, 0, kPi / 2},  {{0, -3, 0}, 0, -kPi / 2},       {{0, 0, 0}, 0, 0},
        {{0, 0, 1}, 0, 0},        {{1, 0, 0}, -kPi / 2, 0},        {{-1, 0, 0}, kPi / 2, 0},
        {{0, 0, -1}, kPi, 0},     {{1, 0, 1}, -kPi / 4, 0},        {{0, 1, 1}, 0, kPi / 4},
        {{-1, 0, -1}, kPi - kPi / 4, 0},
    };
    for (const Row& r : rows) {
        const Angles a = directionToAngles(r.d);
        EXPECT_NEAR(a.heading, r.heading, 1e-12) << describe(r.d);
        EXPECT_NEAR(a.pitch, r.pitch, 1e-12) << describe(r.d);
    }
    struct MapRow {
        NodeValue d;
        double seam, u, v;
    };
    const MapRow map[] = {
        {{0, 0, 1}, 0, 0, 0.5},  {{0, 0, 1}, kPi / 2, 0.75, 0.5}, {{-1, 0, 0}, 0, 0.75, 0.5},
        {{0, 1, 0}, 0, 0, 0},    {{0, -1, 0}, 0, 0, 0},           {{1, 0, 0}, -kPi, 0.75, 0.5},
    };
    for (const MapRow& r : map) {
        double u = -1, v = -1;
        sphericalMapUV(r.d, r.seam, u, v);
        EXPECT_NEAR(u, r.u, 1e-12) << describe(r.d) << " seam " << r.seam;
        EXPECT_NEAR(v, r.v, 1e-12) << describe(r.d) << " seam " << r.seam;
    }
}

}  // namespace
}  // namespace vxn
