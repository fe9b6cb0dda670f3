#include "standin/render/shading_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "nodes/raytrace.h"
#include "standin/scene/image_file.h"
#include "standin/services/render_memory.h"
#include "tests/near.h"

namespace {

using vx::NodeValue;
using vxs::LightRay;
using vxs::PlacedLight;

constexpr double kPi = std::numbers::pi;


TEST(ShadingModel, LightAtPoint) {
    struct Row { const char* what; int type, falloff; NodeValue point; double factor; };
    // Lights at the origin facing +z with range 2, a 30 degree cone and a
    // 10 degree edge.
    const double inner = std::tan(15 * kPi / 180), edgeMiddle = std::tan(25 * kPi / 180);
    const double s = (std::cos(25 * kPi / 180) - std::cos(30 * kPi / 180)) /
                     (std::cos(20 * kPi / 180) - std::cos(30 * kPi / 180));
    const Row rows[] = {
        {"distant", vxs::LIGHT_DISTANT, vxs::FALLOFF_LINEAR, {0, 0, 100}, 1},
        {"no falloff", vxs::LIGHT_POINT, vxs::FALLOFF_NONE, {0, 0, 100}, 1},
        {"linear, half way", vxs::LIGHT_POINT, vxs::FALLOFF_LINEAR, {0, 1, 0}, 0.5},
        {"linear, at the range", vxs::LIGHT_POINT, vxs::FALLOFF_LINEAR, {0, 0, 2}, 0},
        {"linear, beyond", vxs::LIGHT_POINT, vxs::FALLOFF_LINEAR, {3, 0, 0}, 0},
        {"inverse, twice the range", vxs::LIGHT_POINT, vxs::FALLOFF_INVERSE, {0, 0, 4}, 0.5},
        {"inverse, closer than the range", vxs::LIGHT_POINT, vxs::FALLOFF_INVERSE, {0, 0, 1}, 2},
        {"inverse square", vxs::LIGHT_POINT, vxs::FALLOFF_INVERSE_SQUARE, {0, 4, 0}, 0.25},
        {"spot, inside", vxs::LIGHT_SPOT, vxs::FALLOFF_NONE, {inner, 0, 1}, 1},
        {"spot, in the edge", vxs::LIGHT_SPOT, vxs::FALLOFF_NONE, {0, edgeMiddle, 1}, 3 * s * s - 2 * s * s * s},
        {"spot, outside", vxs::LIGHT_SPOT, vxs::FALLOFF_NONE, {1, 0, 1}, 0},
        {"spot, behind", vxs::LIGHT_SPOT, vxs::FALLOFF_NONE, {0, 0, -1}, 0},
        {"spot with falloff", vxs::LIGHT_SPOT, vxs::FALLOFF_LINEAR, {0, 0, 1}, 0.5},
    };
    for (const Row& r : rows) {
        vxs::Light light;
        light.type = r.type;
        light.falloff = r.falloff;
        light.range = 2;
        light.coneAngle = 30 * kPi / 180;
        light.edgeAngle = 10 * kPi / 180;
        light.color = {1, 0.5, 0.25};
        light.intensity = 2;
        const PlacedLight placed{1, &light, {}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        const LightRay ray = vxs::lightAtPoint(placed, r.point, vxs::Scene{});
        EXPECT_TRUE(vxt::near(ray.color, NodeValue{2, 1, 0.5} * r.factor, 1e-9)) << r.what;
        EXPECT_TRUE(vxt::near(ray.direction, r.type == vxs::LIGHT_DISTANT ? NodeValue{0, 0, 1} : r.point, 1e-9)) << r.what;
    }
}

TEST(ShadingModel, SpotLightProjectsItsImage) {
    // A 45-degree spot looking along +z projects a red | blue image.
    vxs::Scene scene;
    vxs::Image& image = scene.images.emplace_back();
    image.id = 5;
    image.width = 2;
    image.height = 1;
    image.rgba = {1, 0, 0, 1, 0, 0, 1, 1};
    vxs::Light light;
    light.type = vxs::LIGHT_SPOT;
    light.coneAngle = kPi / 4;
    light.image = 5;
    const PlacedLight placed{1, &light, {}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    EXPECT_TRUE(vxt::near(vxs::lightAtPoint(placed, {-0.5, 0, 1}, scene).color, {1, 0, 0}, 1e-9)) << "left half";
    EXPECT_TRUE(vxt::near(vxs::lightAtPoint(placed, {1, 0, 2}, scene).color, {0, 0, 1}, 1e-9)) << "right half, farther";
    EXPECT_TRUE(vxt::near(vxs::lightAtPoint(placed, {1.5, 0, 1}, scene).color, {}, 1e-9)) << "outside the image";
    EXPECT_TRUE(vxt::near(vxs::lightAtPoint(placed, {0, 0, -1}, scene).color, {}, 1e-9)) << "behind the light";
}

// A record whose callbacks answer from this fixture: one light reaching
// the sample and a fixed colour for every traced ray. Shadows are the
// renderer's tests, against its real ray tracer.
class StandardShading : public ::testing::Test {
public:  // the tables' rows change the fixture through a reference
    // Also called again to start each row of a table afresh.
    void SetUp() override {
        light = {};
        lights.clear();
        world = {};
        scene = {};
        surface = {};
        object = {};
        sa = {};
        traceDistance = 1;
        illuminations = traces = 0;
        light.type = vxs::LIGHT_DISTANT;
        light.shadowType = vxs::SHADOW_RAYTRACE;
        // Straight down onto a sample at the origin facing up.
        lights.push_back({7, &light, {}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}});
        world.lights = lights;
        world.scene = &scene;
        scene.ambientColor = {0.2, 0.2, 0.2};
        scene.ambientIntensity = 0.5;
        scene.backdrop = {0.2, 0.3, 0.4};
        scene.renderOpts = HOST_RENDER_SHADOWS | HOST_RENDER_REFLECT | HOST_RENDER_REFRACT;
        object.excludeRadiosity = true;

        sa.wNorm[1] = sa.gNorm[1] = 1;
        sa.raySource[1] = 1;  // seen from straight above
        sa.color[0] = sa.color[1] = sa.color[2] = 1;
        sa.diffuse = 1;
        sa.roughness = 1.0 / 64;
        sa.eta = 1;
        sa.sx = 3;
        sa.sy = 5;
        sa.callbackData = this;
        sa.illuminate = illuminate;
        sa.rayTrace = rayTrace;
    }

    NodeValue shade() {
        return vxs::standardShading(sa, world, {&surface, &object});
    }

    static int illuminate(void* ctx, HostID id, const double[3], double dir[3], double color[3]) {
        auto& self = *static_cast<StandardShading*>(ctx);
        ++self.illuminations;
        dir[0] = dir[2] = 0, dir[1] = -1;
        const bool lit = id == 7;
        for (int i = 0; i < 3; ++i) color[i] = lit ? 1 : 0;
        return lit;
    }
    static double rayTrace(void* ctx, const double[3], const double dir[3], double color[3]) {
        auto& self = *static_cast<StandardShading*>(ctx);
        ++self.traces;
        self.lastDir = {dir[0], dir[1], dir[2]};
        color[0] = 0.5, color[1] = 0.6, color[2] = 0.7;
        return self.traceDistance;
    }

    // A one-pixel map: the same colour in every direction.
    void sphericalMap(int options) {
        vxs::Image& image = scene.images.emplace_back();
        image.id = vxs::makeImageId(0);
        image.width = image.height = 1;
        image.rgba = {0.75f, 0.125f, 0.25f, 1};
        surface.reflectionOptions = options;
        surface.reflectionImage = image.id;
        sa.diffuse = 0;
        sa.mirror = 1;
    }

    vxs::Light light;
    std::vector<PlacedLight> lights;
    vxs::ShadingWorld world;
    vxs::Scene scene;
    vxs::Surface surface;
    vxs::Object object;
    HostShading sa{};
    double traceDistance = 1;
    int illuminations = 0, traces = 0;
    NodeValue lastDir;
};

TEST_F(StandardShading, Channels) {
    struct Row {
        const char* what;
        void (*set)(StandardShading&);
        NodeValue expected;
    };
    using T = StandardShading;
    const Row rows[] = {
        {"diffuse plus ambient", [](T&) {}, {1.1, 1.1, 1.1}},
        {"coloured, half diffuse", [](T& t) { t.sa.color[0] = 0.5, t.sa.diffuse = 0.5; }, {0.275, 0.55, 0.55}},
        {"at an angle", [](T& t) { t.lights[0].forward = normalized(NodeValue{1, -1, 0}); },
         NodeValue::scalar(std::sqrt(0.5) + 0.1)},
        {"luminous", [](T& t) { t.sa.luminous = 0.5; }, {1.6, 1.6, 1.6}},
        {"light excluded", [](T& t) { t.object.excludedLights = {7}; }, {0.1, 0.1, 0.1}},
        {"light affects no diffuse", [](T& t) { t.light.affectDiffuse = false; }, {0.1, 0.1, 0.1}},
        {"no diffuse", [](T& t) { t.sa.diffuse = 0; }, {0, 0, 0}},
        {"lit from behind, translucent", [](T& t) { t.lights[0].forward = {0, 1, 0}, t.sa.translucency = 0.5; },
         {0.6, 0.6, 0.6}},
        {"specular highlight, white", [](T& t) { t.sa.diffuse = 0, t.sa.specular = 0.5; }, {0.5, 0.5, 0.5}},
        {"specular highlight, coloured",
         [](T& t) { t.sa.diffuse = 0, t.sa.specular = 1, t.sa.color[1] = 0.5, t.sa.colorHL = 1; }, {1, 0.5, 1}},
        {"highlight off the mirror direction",
         [](T& t) { t.sa.diffuse = 0, t.sa.specular = 1, t.lights[0].forward = normalized(NodeValue{1, -1, 0}); },
         NodeValue::scalar(std::pow(std::cos(kPi / 8), 64))},
        {"half replaced", [](T& t) { t.sa.replacementPercentage = 0.5, t.sa.replacementColor[2] = 1; },
         {0.55, 0.55, 1.05}},
    };
    for (const Row& r : rows) {
        SetUp();
        r.set(*this);
        EXPECT_TRUE(vxt::near(shade(), r.expected, 1e-12)) << r.what;
    }
}

TEST_F(StandardShading, BlurInsideABlurIsOneRay) {
    // A module's blurred trace on this thread has raised the shared word.
    uint32_t* word = vxs::threadWord(vx::kBluredTraceFlag);
    ASSERT_NE(word, nullptr);
    sa.diffuse = 0, sa.mirror = 1, sa.reflectionBlur = 0.1;
    *word = 1;
    shade();
    EXPECT_EQ(traces, 1);
    *word = 0;
    shade();
    EXPECT_EQ(traces, 1 + 9);
    EXPECT_EQ(*word, 0u);
}

TEST_F(StandardShading, ReflectionAndRefraction) {
    struct Row {
        const char* what;
        void (*set)(StandardShading&);
        NodeValue expected;
        int traces;
    };
    using T = StandardShading;
    const Row rows[] = {
        {"mirror, traced", [](T& t) { t.sa.diffuse = 0, t.sa.mirror = 0.5; }, {0.25, 0.3, 0.35}, 1},
        {"mirror, coloured highlights", [](T& t) { t.sa.diffuse = 0, t.sa.mirror = 1, t.sa.colorHL = 1, t.sa.color[0] = 0; },
         {0, 0.6, 0.7}, 1},
        {"mirror, ray tracing off", [](T& t) { t.sa.diffuse = 0, t.sa.mirror = 1, t.scene.renderOpts = 0; }, {0, 0, 0}, 0},
        {"mirror, backdrop only",
         [](T& t) { t.sa.diffuse = 0, t.sa.mirror = 1, t.surface.reflectionOptions = vxs::REFL_BACKDROP; },
         {0.2, 0.3, 0.4}, 0},
        {"mirror, blurred: a 3 x 3 bundle", [](T& t) { t.sa.diffuse = 0, t.sa.mirror = 1, t.sa.reflectionBlur = 0.1; },
         {0.5, 0.6, 0.7}, 9},
        {"spherical map", [](T& t) { t.sphericalMap(vxs::REFL_SPHERICAL); }, {0.75, 0.125, 0.25}, 0},
        {"spherical map without its image", [](T& t) { t.sphericalMap(vxs::REFL_SPHERICAL), t.scene.images.clear(); },
         {0, 0, 0}, 0},
        {"ray traced, a hit", [](T& t) { t.sphericalMap(vxs::REFL_RAYTRACE_SPHERICAL); }, {0.5, 0.6, 0.7}, 1},
        {"ray traced, the map where the ray misses",
         [](T& t) { t.sphericalMap(vxs::REFL_RAYTRACE_SPHERICAL), t.traceDistance = -1; }, {0.75, 0.125, 0.25}, 1},
        {"transparent, filtered", [](T& t) { t.sa.transparency = 0.5, t.sa.colorFL = 1, t.sa.color[2] = 0; },
         {0.55 + 0.25, 0.55 + 0.3, 0}, 1},
        {"transparent, refraction off", [](T& t) { t.sa.transparency = 1, t.scene.renderOpts = 0; }, {0, 0, 0}, 0},
    };
    for (const Row& r : rows) {
        SetUp();
        r.set(*this);
        EXPECT_TRUE(vxt::near(shade(), r.expected, 1e-12)) << r.what;
        EXPECT_EQ(traces, r.traces) << r.what;
    }
}

}  // namespace
