// The shading-model and lighting kinds against values worked out by hand for
// one distant light at 60 degrees from the normal, and the light loop's
// rules: filters, exclusion, falloff, cone, shadows, cache and guard.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/nodes/scene_sample.h"

namespace vxn {
namespace {

constexpr double kPi = std::numbers::pi;
const double kSqrt3 = std::sqrt(3.0);
const NodeValue kToLight{kSqrt3 / 2, 0.5, 0};  // 60 degrees from the normal +y
const NodeValue kColor{1, 0.5, 0.25};
const NodeValue kView{0, 0.6, 0.8};             // towards the viewer
const NodeValue kViewSide{0.48, 0.6, 0.64};     // the same height, turned towards the light

// The key light shining from kToLight with kColor, `light` adding keys to
// it. Samples sit at the origin on "Self" or on "Shy", which does not
// receive the key light; both lie out of the way.
std::string keyScene(const std::string& light = "", const std::string& scene = "", const std::string& objects = "") {
    return R"({"lights": [{"name": "Key", "rotation": [-90, 30, 0], "color": [1, 0.5, 0.25])" + light + "}]" + scene +
           R"(, "objects": [{"name": "Self", "type": "sphere", "radius": 0.1, "position": [0, -50, 0]},
        {"name": "Shy", "type": "sphere", "radius": 0.1, "position": [0, -60, 0], "exclude": {"lights": ["Key"]}})" +
           objects + "]}";
}

struct ModelCase {
    const char* category;
    const char* name;
    std::vector<NodeValue> params;
    NodeValue view;
    NodeValue normal;
    double weight;
    const char* light = "";  // the key light's keys
    int lightFlag = -1;      // the node's light_flag when not -1
    const char* object = "Self";
};

TEST(ShadingModels, OneDistantLightGivesTheModelsWeight) {
    const double h2 = 1.21 / 2.6;  // (N.H)^2 with the viewer kView
    const double facets = std::exp(-(1.39 / 1.21) / 2.25) / (4 * 2.25 * h2 * h2);  // m = 1.5 at gloss 0
    const double A = 1 - 0.125 / 0.58, B = 0.1125 / 0.34;
    const NodeValue up{0, 1, 0}, down{0, -1, 0};
    const char *kNoDiffuse = R"(, "affect_diffuse": false)", *kNoSpecular = R"(, "affect_specular": false)";
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
        {"Custom Shader", "Lambert", {}, kView, up, 0, kNoDiffuse},
        {"Custom Shader", "Lambert", {}, kView, up, 0.5, kNoDiffuse, LF_ALL},
        {"Custom Shader", "Lambert", {}, kView, up, 0.5, kNoSpecular},
        {"Custom Shader", "Blinn", {S(1), S(1), S(0)}, kView, up, 0, kNoSpecular},
        {"Custom Shader", "Lambert", {}, kView, up, 0, "", LF_ALL, "Shy"},
    };
    for (size_t row = 0; row < cases.size(); ++row) {
        const ModelCase& c = cases[row];
        SCOPED_TRACE(::testing::Message() << "row " << row << ": " << c.name);
        const SceneHost host(keyScene(c.light));
        Sample s(host, c.object, c.view * 10, c.normal);
        const auto node = makeKind(c.category, c.name, c.params);
        if (c.lightFlag >= 0) node->inputs[3].param.intValue = c.lightFlag;
        EXPECT_TRUE(near(s.shade(*node), kColor * c.weight, 1e-12));
    }
}

// A point light at the origin with range 2, or a spot looking along +z with
// a 0.5 radian cone and a 0.1 edge.
TEST(LightAtPoint, FalloffsAndTheConesSmoothEdge) {
    const double inner = std::cos(0.4), outer = std::cos(0.5), s = (std::cos(0.45) - outer) / (inner - outer);
    const auto at = [](double angle) { return NodeValue{std::sin(angle), 0, std::cos(angle)}; };
    struct Row { const char* light; NodeValue point; double factor; };
    const char *linear = R"("type": "point", "falloff": "linear")", *spot = R"("type": "spot")";
    const Row rows[] = {
        {linear, {0, 1, 0}, 0.5},
        {linear, {0, 2, 0}, 0},
        {linear, {0, 3, 0}, 0},
        {R"("type": "point", "falloff": "inverse")", {0, 1, 0}, 2},
        {R"("type": "point", "falloff": "inverse_square")", {0, 4, 0}, 0.25},
        {R"("type": "point")", {0, 5, 0}, 1},
        {spot, at(0.3), 1},
        {spot, at(0.45), 3 * s * s - 2 * s * s * s},
        {spot, at(0.5), 0},
        {spot, at(0.6), 0},
    };
    for (const Row& r : rows) {
        // Cone 0.5 and edge 0.1 radians, in degrees.
        const SceneHost host(std::string(R"({"lights": [{"name": "L", "color": [1, 0.5, 0.25], "range": 2, )") +
                             R"("cone_angle": 28.64788975654116, "edge_angle": 5.729577951308232, )" + r.light + "}]}");
        const LightRay ray = lightAtPoint(NodeEnv{}, SceneHost::id("L"), r.point);
        EXPECT_TRUE(near(ray.color, kColor * r.factor, 1e-12)) << describe(r.point);
        EXPECT_EQ(ray.direction, r.point);
    }
}

TEST(LightAtPoint, SpotImageProjectsAlongTheAxis) {
    // A 45-degree cone looking along +z: the image spans x and y in -z..z.
    struct Row { NodeValue point; bool inside; double u, v; };
    const Row rows[] = {
        {{0.5, 0.25, 1}, true, 0.75, 0.375},
        {{-1, -1, 4}, true, 0.375, 0.625},
        {{1, 0, 1}, false, 0, 0},   // on the frustum's edge
        {{0, 0, -1}, false, 0, 0},  // behind the light
    };
    const auto spot = [](int degrees) {
        return R"({"lights": [{"name": "L", "type": "spot", "cone_angle": )" + std::to_string(degrees) + "}]}";
    };
    const SceneHost host(spot(45));
    for (const Row& r : rows) {
        double u = 0, v = 0;
        EXPECT_EQ(projectSpotImage(SceneHost::id("L"), 0, r.point, u, v), r.inside) << describe(r.point);
        if (!r.inside) continue;
        EXPECT_NEAR(u, r.u, 1e-12);
        EXPECT_NEAR(v, r.v, 1e-12);
    }
    const SceneHost wide(spot(90));
    double u, v;
    EXPECT_FALSE(projectSpotImage(SceneHost::id("L"), 0, {0, 0, 1}, u, v));
}

TEST(LightLoop, ShadowColourBringsBackTheBlockedLightTinted) {
    // A ball on the way to the key light.
    const SceneHost host(keyScene(R"(, "shadow_color": [0, 0, 1])", "",
                                  R"(, {"type": "sphere", "radius": 0.3, "position": [1.732, 1, 0]})"));
    Sample s(host, "Self", kView * 10);
    const auto node = makeKind("Custom Shader", "Lambert");
    EXPECT_TRUE(near(s.shade(*node), NodeValue{0, 0, kColor.mean() * 0.5}, 1e-12));
    EXPECT_EQ(s.flag, 0u);

    // Far beyond what the ray tracer takes, the shadow ray hits nothing.
    Sample far(host, "Self", kView * 10);
    far.sa.wPos[0] = 2e18;
    host.attach(far.sa);
    EXPECT_TRUE(near(far.shade(*node), kColor * 0.5, 1e-12));

    // A preview has no shadow word and no correction.
    Sample preview(host, "Self", kView * 10);
    preview.env.isPreview = 1;
    preview.env.shadowRayFlag = nullptr;
    preview.env.lights = nullptr;
    EXPECT_EQ(preview.shade(*node), NodeValue{});
}

TEST(LightLoop, OneHostCallPerLightAndNoneInsideAShadow) {
    const SceneHost host(keyScene(R"(}, {"rotation": [0, 90, 0])"));
    const auto lambert = makeKind("Custom Shader", "Lambert");
    const auto blinn = makeKind("Custom Shader", "Blinn");
    for (const bool cached : {true, false}) {
        Sample s(host, "Self", kView * 10);
        if (!cached) s.env.lights = nullptr;
        s.shade(*lambert);
        s.shade(*blinn);
        EXPECT_EQ(s.calls, cached ? 2 : 4);

        Sample shadow(host, "Self", kView * 10);
        shadow.flag = 1;
        if (!cached) shadow.env.lights = nullptr;
        EXPECT_EQ(shadow.shade(*lambert), NodeValue{});
        EXPECT_EQ(shadow.calls, 0) << cached;
    }
}

// A thread keeps the lights an object receives for the render: samples of
// two objects in turn each get their own, and so does a new time.
TEST(LightLoop, ReceivedLightsFollowTheObjectAndTheTime) {
    const SceneHost host(keyScene());
    const auto lambert = makeKind("Custom Shader", "Lambert");
    for (const double time : {0.0, 0.0, 1.0})
        for (const char* object : {"Self", "Shy", "Self"}) {
            Sample s(host, object, kView * 10);
            s.env.time = time;
            const double want = std::string_view(object) == "Self" ? 0.5 : 0;
            EXPECT_TRUE(near(s.shade(*lambert), kColor * want, 1e-12)) << object << " at " << time;
        }
}

TEST(Translucent, RepeatsPerPixelAndCastsASquareOfRays) {
    const SceneHost host(keyScene());
    const auto node = makeKind("Illuminate", "translucent", {S(1), S(1), S(1), S(0.5), S(0.5), S(1), S(0.5)});
    Sample first(host, "Self", kView * 10);
    const NodeValue a = first.shade(*node);
    EXPECT_EQ(first.casts, 16);  // blur_sample 4
    Sample second(host, "Self", kView * 10);
    EXPECT_EQ(second.shade(*node), a);

    // Unblurred: one ray along the light; nothing in the way, so the light
    // weighted by how well it lines up with the view ray inside.
    node->inputs[6].param.value = S(0);
    Sample sharp(host, "Self", kView * 10);
    EXPECT_TRUE(near(sharp.shade(*node), kColor * (-0.3 * 0.5 + 0.5), 1e-12));
    EXPECT_EQ(sharp.casts, 1);
}

// Radiosity (here a glowing dome all round) replaces the flat ambient
// unless excluded; boost 0 is black without a host call.
TEST(Lighting, RadiosityCausticsAndBoost) {
    const NodeValue radiosity{0.4, 0.4, 0.4}, caustics{0.1, 0, 0}, ambient{0.1, 0.2, 0.3};
    const std::string glow = R"(, "ambient": {"color": [0.1, 0.2, 0.3], "intensity": 1},
        "surfaces": [{"name": "Glow", "color": [0.4, 0.4, 0.4], "diffuse": 0, "luminosity": 1}])";
    const std::string dome = R"(, {"type": "sphere", "radius": 10, "surface": "Glow"},
        {"name": "NoRadiosity", "type": "sphere", "radius": 0.1, "position": [0, -70, 0], "exclude": {"radiosity": true}},
        {"name": "NoCaustics", "type": "sphere", "radius": 0.1, "position": [0, -80, 0], "exclude": {"caustics": true}})";
    struct Row { const char* name; const char* object; bool hostHasRadiosity; NodeValue expected; double boost = 1; };
    const std::vector<Row> rows = {
        {"fullambient", "Self", true, radiosity + caustics},
        {"fullambient", "NoRadiosity", true, ambient + caustics},
        {"fullambient", "NoCaustics", false, ambient},
        {"radiosity", "Self", true, radiosity},
        {"radiosity", "NoRadiosity", true, {}},
        {"caustics", "Self", true, caustics},
        {"ambient", "NoRadiosity", true, ambient},
        {"fullambient", "Self", true, {}, 0},
        {"ambient", "Self", true, {}, 0},
        {"radiosity", "Self", true, {}, 0},
        {"caustics", "Self", true, {}, 0},
        {"backlight", "Self", true, {}, 0},
        {"backlight wrapped", "Self", true, {}, 0},
    };
    for (const Row& r : rows) {
        const SceneHost host(keyScene("", glow + (r.hostHasRadiosity ? R"(, "render": {"radiosity": 16})" : ""), dome));
        Sample s(host, r.object, kView * 10, {0, -1, 0});
        s.caustics = caustics;
        EXPECT_TRUE(near(s.shade(*makeKind("Illuminate", r.name, {S(1), S(r.boost)})), r.expected, 1e-12)) << r.name;
        EXPECT_TRUE(r.boost != 0 || s.calls == 0) << r.name;
    }
}

}  // namespace
}  // namespace vxn
