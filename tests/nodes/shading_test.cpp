// The shading-model and lighting kinds against values worked out by hand for
// one distant light at 60 degrees from the normal, and the light loop's
// rules: filters, exclusion, falloff, cone, shadows, cache and guard.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "nodes/light_loop.h"
#include "tests/nodes/eval_helper.h"
#include "tests/nodes/light_host.h"

namespace vxn {
namespace {

constexpr double kPi = std::numbers::pi;
const double kSqrt3 = std::sqrt(3.0);
const NodeValue kToLight{kSqrt3 / 2, 0.5, 0};  // 60 degrees from the normal +y
const NodeValue kColor{1, 0.5, 0.25};
const NodeValue kView{0, 0.6, 0.8};             // towards the viewer
const NodeValue kViewSide{0.48, 0.6, 0.64};     // the same height, turned towards the light

// A render sample: light cache and shadow-ray word, as evaluation builds it.
struct Sample {
    HostShading sa;
    LightCache lights;
    uint32_t flag = 0;
    NodeEnv env;
    Sample(LightHost& host, const NodeValue& view, NodeValue normal = {0, 1, 0}) {
        host.place(env, sa, view * 10, normal);
        env.lights = &lights;
        env.shadowRayFlag = &flag;
    }
};

NodeValue shade(const Node& node, NodeEnv& env) {
    node.evaluate(env);
    return env.cache.find(&node)[0];
}

TestLight keyLight() { return {.id = 1, .forward = -kToLight}; }

struct ModelCase {
    const char* category;
    const char* name;
    std::vector<NodeValue> params;
    NodeValue view;
    NodeValue normal;
    double weight;
    int lightFlags = 0, lightFlag = -1;  // the light's flags; the node's light_flag when not -1
    bool excluded = false;
};

TEST(ShadingModels, OneDistantLightGivesTheModelsWeight) {
    const double h2 = 1.21 / 2.6;  // (N.H)^2 with the viewer kView
    const double facets = std::exp(-(1.39 / 1.21) / 2.25) / (4 * 2.25 * h2 * h2);  // m = 1.5 at gloss 0
    const double A = 1 - 0.125 / 0.58, B = 0.1125 / 0.34;
    const NodeValue up{0, 1, 0}, down{0, -1, 0};
    const std::vector<ModelCase> cases = {
        {"Custom Shader", "Lambert", {}, kView, up, 0.5},
        {"Custom Shader", "Blinn", {S(1), S(1), S(0)}, kView, up, h2 * h2},
        {"Custom Shader", "Blinn", {S(1), S(1), S(0)}, kView, down, 0},  // N.H < 0 there
        {"Custom Shader", "Phong", {S(1), S(1), S(0)}, kView, up, 0.3},
        {"Custom Shader", "Velvet", {S(1), S(1), S(0)}, kView, up, 0.5 * std::sqrt(0.8)},
        {"Custom Shader", "Metallic", {S(1), S(1), S(0)}, kView, up, facets},
        {"Custom Shader", "Cook-Torrance", {S(1), S(1), S(0)}, kView, up, facets * (1.1 / 1.3) / 0.6},
        {"Custom Shader", "Oren-Nayer", {S(1), S(1), S(0.5)}, kViewSide, up, 0.5 * (A + B * 0.6 * (kSqrt3 / 2) * (4.0 / 3))},
        {"Custom Shader", "Anisotropic", {S(1), S(1), {0, 0, 1}, S(0), S(0)}, kView, up, 0.5},  // clamped at N.L
        {"Custom Shader", "Wrapped-Diffuse", {S(1), S(1), S(0.2)}, kView, up, 4.0 / 9},
        {"Custom Shader", "Wrapped-Diffuse", {S(1), S(1), S(1)}, kView, down, 1 - (2 * kPi / 3) / kPi},
        {"Custom Shader", "Lambert", {S(0.5), S(0.5)}, kView, up, 0.125},
        {"Illuminate", "backlight", {}, kView, up, 0},
        {"Illuminate", "backlight", {S(1), S(2)}, kView, down, 1},
        {"Illuminate", "backlight wrapped", {S(1), S(1), S(0)}, kView, down, 1.0 / 3},
        // Which lights a node listens to.
        {"Custom Shader", "Lambert", {}, kView, up, 0, HOST_LIGHT_NO_DIFFUSE},
        {"Custom Shader", "Lambert", {}, kView, up, 0.5, HOST_LIGHT_NO_DIFFUSE, LF_ALL},
        {"Custom Shader", "Lambert", {}, kView, up, 0.5, HOST_LIGHT_NO_SPECULAR},
        {"Custom Shader", "Blinn", {S(1), S(1), S(0)}, kView, up, 0, HOST_LIGHT_NO_SPECULAR},
        {"Custom Shader", "Lambert", {}, kView, up, 0, 0, LF_ALL, true},
    };
    for (size_t row = 0; row < cases.size(); ++row) {
        const ModelCase& c = cases[row];
        SCOPED_TRACE(::testing::Message() << "row " << row << ": " << c.name);
        LightHost host;
        host.lights = {keyLight()};
        host.lights[0].flags = c.lightFlags;
        if (c.excluded) host.excluded = {1};
        Sample s(host, c.view, c.normal);
        const auto node = makeKind(c.category, c.name, c.params);
        if (c.lightFlag >= 0) node->inputs[3].param.intValue = c.lightFlag;
        EXPECT_TRUE(near(shade(*node, s.env), kColor * c.weight, 1e-12));
    }
}

// A point light at the origin with range 2, or a spot looking along +z with
// a 0.5 radian cone and a 0.1 edge.
TEST(LightAtPoint, FalloffsAndTheConesSmoothEdge) {
    const double inner = std::cos(0.4), outer = std::cos(0.5), s = (std::cos(0.45) - outer) / (inner - outer);
    const auto at = [](double angle) { return NodeValue{std::sin(angle), 0, std::cos(angle)}; };
    struct Row {
        int type, falloff;
        NodeValue point;
        double factor;
    };
    const Row rows[] = {
        {HOST_LIGHT_POINT, HOST_FALLOFF_LINEAR, {0, 1, 0}, 0.5},
        {HOST_LIGHT_POINT, HOST_FALLOFF_LINEAR, {0, 2, 0}, 0},
        {HOST_LIGHT_POINT, HOST_FALLOFF_LINEAR, {0, 3, 0}, 0},
        {HOST_LIGHT_POINT, HOST_FALLOFF_INVERSE, {0, 1, 0}, 2},
        {HOST_LIGHT_POINT, HOST_FALLOFF_INVERSE_SQUARE, {0, 4, 0}, 0.25},
        {HOST_LIGHT_POINT, HOST_FALLOFF_NONE, {0, 5, 0}, 1},
        {HOST_LIGHT_SPOT, HOST_FALLOFF_NONE, at(0.3), 1},
        {HOST_LIGHT_SPOT, HOST_FALLOFF_NONE, at(0.45), 3 * s * s - 2 * s * s * s},
        {HOST_LIGHT_SPOT, HOST_FALLOFF_NONE, at(0.5), 0},
        {HOST_LIGHT_SPOT, HOST_FALLOFF_NONE, at(0.6), 0},
    };
    for (const Row& r : rows) {
        LightHost host;
        host.lights = {{.id = 1, .type = r.type, .forward = {0, 0, 1}, .falloff = r.falloff, .range = 2}};
        const LightRay ray = lightAtPoint(NodeEnv{}, 1, r.point);
        EXPECT_TRUE(near(ray.color, kColor * r.factor, 1e-12)) << describe(r.point);
        EXPECT_EQ(ray.direction, r.point);
    }
}

TEST(LightAtPoint, SpotImageProjectsAlongTheAxis) {
    // A 45-degree cone looking along +z: the image spans x and y in -z..z.
    struct Row {
        NodeValue point;
        bool inside;
        double u, v;
    };
    const Row rows[] = {
        {{0.5, 0.25, 1}, true, 0.75, 0.375},
        {{-1, -1, 4}, true, 0.375, 0.625},
        {{1, 0, 1}, false, 0, 0},   // on the frustum's edge
        {{0, 0, -1}, false, 0, 0},  // behind the light
    };
    for (const Row& r : rows) {
        LightHost host;
        host.lights = {{.id = 1, .type = HOST_LIGHT_SPOT, .forward = {0, 0, 1}, .up = {0, 1, 0}, .cone = kPi / 4}};
        double u = 0, v = 0;
        EXPECT_EQ(projectSpotImage(1, 0, r.point, u, v), r.inside) << describe(r.point);
        if (!r.inside) continue;
        EXPECT_NEAR(u, r.u, 1e-12);
        EXPECT_NEAR(v, r.v, 1e-12);
    }
    LightHost wide;
    wide.lights = {{.id = 1, .type = HOST_LIGHT_SPOT, .forward = {0, 0, 1}, .up = {0, 1, 0}, .cone = kPi / 2}};
    double u, v;
    EXPECT_FALSE(projectSpotImage(1, 0, {0, 0, 1}, u, v));
}

TEST(LightLoop, ShadowColourBringsBackTheBlockedLightTinted) {
    LightHost host;
    host.lights = {keyLight()};
    host.lights[0].blocked = true;
    host.lights[0].shadowType = 1;
    host.lights[0].shadowColor = {0, 0, 1};
    Sample s(host, kView);
    host.watchedFlag = &s.flag;
    const auto node = makeKind("Custom Shader", "Lambert");
    EXPECT_TRUE(near(shade(*node, s.env), NodeValue{0, 0, kColor.mean() * 0.5}, 1e-12));
    EXPECT_EQ(host.flagDuringCall, std::vector<uint32_t>{1});
    EXPECT_EQ(s.flag, 0u);

    // A preview has no shadow word and no correction.
    Sample preview(host, kView);
    preview.env.isPreview = 1;
    preview.env.shadowRayFlag = nullptr;
    preview.env.lights = nullptr;
    EXPECT_EQ(shade(*node, preview.env), NodeValue{});
}

TEST(LightLoop, OneHostCallPerLightAndNoneInsideAShadow) {
    LightHost host;
    host.lights = {keyLight(), {.id = 2, .forward = {0, -1, 0}}};
    const auto lambert = makeKind("Custom Shader", "Lambert");
    const auto blinn = makeKind("Custom Shader", "Blinn");
    Sample s(host, kView);
    shade(*lambert, s.env);
    shade(*blinn, s.env);
    EXPECT_EQ(host.calls, 2);

    host.calls = 0;
    Sample uncached(host, kView);
    uncached.env.lights = nullptr;
    shade(*lambert, uncached.env);
    shade(*blinn, uncached.env);
    EXPECT_EQ(host.calls, 4);

    for (bool cached : {true, false}) {
        host.calls = 0;
        Sample shadow(host, kView);
        shadow.flag = 1;
        if (!cached) shadow.env.lights = nullptr;
        EXPECT_EQ(shade(*lambert, shadow.env), NodeValue{});
        EXPECT_EQ(host.calls, 0) << cached;
    }
}

TEST(Translucent, RepeatsPerPixelAndCastsASquareOfRays) {
    LightHost host;
    host.lights = {keyLight()};
    const auto node = makeKind("Illuminate", "translucent", {S(1), S(1), S(1), S(0.5), S(0.5), S(1), S(0.5)});
    Sample first(host, kView), second(host, kView);
    const NodeValue a = shade(*node, first.env);
    EXPECT_EQ(host.casts, 16);  // blur_sample 4
    EXPECT_EQ(shade(*node, second.env), a);

    // Unblurred: one ray along the light; nothing in the way, so the light
    // weighted by how well it lines up with the view ray inside.
    node->inputs[6].param.value = S(0);
    Sample sharp(host, kView);
    host.casts = 0;
    EXPECT_TRUE(near(shade(*node, sharp.env), kColor * (-0.3 * 0.5 + 0.5), 1e-12));
    EXPECT_EQ(host.casts, 1);
}

// Radiosity replaces the flat ambient unless excluded; boost 0 is black
// without a host call.
TEST(Lighting, RadiosityCausticsAndBoost) {
    const NodeValue radiosity{0.4, 0.4, 0.4}, caustics{0.1, 0, 0}, ambient{0.1, 0.2, 0.3};
    struct Row {
        const char* name;
        std::vector<HostID> excluded;
        bool hostHasRadiosity;
        NodeValue expected;
        double boost = 1;
    };
    const std::vector<Row> rows = {
        {"fullambient", {}, true, radiosity + caustics},
        {"fullambient", {kRadiosityLight}, true, ambient + caustics},
        {"fullambient", {kCausticsLight}, false, ambient},
        {"radiosity", {}, true, radiosity},
        {"radiosity", {kRadiosityLight}, true, {}},
        {"caustics", {}, true, caustics},
        {"ambient", {kRadiosityLight}, true, ambient},
        {"fullambient", {}, true, {}, 0},
        {"ambient", {}, true, {}, 0},
        {"radiosity", {}, true, {}, 0},
        {"caustics", {}, true, {}, 0},
        {"backlight", {}, true, {}, 0},
        {"backlight wrapped", {}, true, {}, 0},
    };
    for (const Row& r : rows) {
        LightHost host;
        host.lights = {keyLight()};
        host.ambient = ambient;
        host.excluded = r.excluded;
        host.pseudo = {{kCausticsLight, caustics}};
        if (r.hostHasRadiosity) host.pseudo[kRadiosityLight] = radiosity;
        Sample s(host, kView, {0, -1, 0});
        EXPECT_TRUE(near(shade(*makeKind("Illuminate", r.name, {S(1), S(r.boost)}), s.env), r.expected, 1e-12)) << r.name;
        EXPECT_TRUE(r.boost != 0 || host.calls == 0) << r.name;
    }
}

}  // namespace
}  // namespace vxn
