#include "standin/render/renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

#include "render_scene.h"
#include "core/value.h"
#include "standin/services/globals.h"
#include "standin/render/png.h"
#include "standin/streams/tree_file.h"
#include "core/root.h"

namespace {

using vx::NodeValue;
using vxs::Picture;
using vxs::RenderSettings;
using vxs::Scene;
using vxs::Surface;
using vxs::Vec3;
using vxs::testing::SceneBuilder;

const std::string kModule = VX_BINARY_DIR "/QK_Valtorimex.p";
const std::string kRedTree = VX_SOURCE_DIR "/examples/trees/red.shd";

// An odd size puts the middle pixel's ray exactly on the camera's axis.
constexpr int kSize = 33;

NodeValue pixel(const Picture& p, int x, int y) {
    const float* v = &p.rgb[(size_t(y) * p.width + x) * 3];
    return {v[0], v[1], v[2]};
}
NodeValue centre(const Picture& p) { return pixel(p, p.width / 2, p.height / 2); }

void expectColour(const NodeValue& got, const NodeValue& expected, const char* what, double tolerance = 1e-4) {
    EXPECT_NEAR(got.x, expected.x, tolerance) << what;
    EXPECT_NEAR(got.y, expected.y, tolerance) << what;
    EXPECT_NEAR(got.z, expected.z, tolerance) << what;
}

Picture renderSmall(const Scene& scene, const vxs::SurfaceShaders* shaders = nullptr, int threads = 1) {
    RenderSettings settings;
    settings.width = settings.height = kSize;
    settings.threads = threads;
    return vxs::render(scene, shaders, settings);
}

// Module tests need the scene the service tables answer from; the scene the
// other suites see is put back afterwards.
class RendererWithModule : public ::testing::Test {
protected:
    void SetUp() override { saved_ = vxs::currentScene(); }
    void TearDown() override { vxs::currentScene() = saved_; }

    // Makes `scene` current and loads its trees.
    std::unique_ptr<vxs::SurfaceShaders> shade(Scene scene) {
        vxs::currentScene() = std::move(scene);
        std::string where, error;
        auto shaders = vxs::SurfaceShaders::load(vxs::currentScene(), kModule, where, error);
        EXPECT_TRUE(shaders) << where << ": " << error;
        return shaders;
    }

private:
    Scene saved_;
};

Scene sphereScene(const Surface& surface, const vxs::Light& light, double lightHeading, double ambient = 0) {
    SceneBuilder b;
    b.camera({0, 0, 0});
    b.light(light, {0, 0, 0}, {lightHeading, 0, 0});
    b.object(vxs::sphereMesh(1, 64), {0, 0, 5}, b.surface(surface));
    b.scene.ambientIntensity = ambient;
    return b.scene;
}

TEST(Renderer, LitSphereMiddle) {
    struct Row {
        const char* what;
        double heading;  // of the distant light, degrees; 0 shines along the view
        double intensity, diffuse, luminosity, ambient;
        double factor;  // of the surface colour
    };
    const Row rows[] = {
        {"head on", 0, 1, 1, 0, 0, 1},
        {"from 60 degrees", 60, 1, 1, 0, 0, 0.5},
        {"twice the light, half the diffuse", 0, 2, 0.5, 0, 0, 1},
        {"from behind", 180, 1, 1, 0, 0, 0},
        {"from behind, ambient", 180, 1, 1, 0, 0.25, 0.25},
        {"from behind, luminous", 180, 1, 1, 0.75, 0, 0.75},
        {"head on, luminous and ambient", 0, 0.5, 0.5, 0.25, 0.5, 0.5 * 0.5 + 0.5 * 0.5 + 0.25},
    };
    const NodeValue colour{0.8, 0.6, 0.4};
    for (const Row& r : rows) {
        Surface s = vxs::testing::matte({colour.x, colour.y, colour.z});
        s.diffuse = r.diffuse;
        s.luminosity = r.luminosity;
        const Picture p = renderSmall(sphereScene(s, vxs::testing::distantLight(r.intensity), r.heading, r.ambient));
        expectColour(centre(p), colour * r.factor, r.what);
        expectColour(pixel(p, 0, 0), {}, r.what);  // the backdrop, black
        const std::vector<uint8_t> bytes = vxs::toRgb8(p);
        const size_t middle = (size_t(kSize / 2) * kSize + kSize / 2) * 3;
        EXPECT_EQ(bytes[middle], std::lround(255 * std::min(1.0, colour.x * r.factor))) << r.what;
    }
}

TEST(Renderer, ShadowedPointGetsTheShadowColour) {
    struct Row {
        const char* what;
        int renderOpts, shadowType;
        Vec3 shadowColour;
        NodeValue expected;
    };
    const Row rows[] = {
        {"coloured shadow", HOST_RENDER_SHADOWS, vxs::SHADOW_RAYTRACE, {0.2, 0.4, 0.6}, {0.2, 0.4, 0.6}},
        {"black shadow", HOST_RENDER_SHADOWS, vxs::SHADOW_RAYTRACE, {0, 0, 0}, {0, 0, 0}},
        {"shadows off for the scene", 0, vxs::SHADOW_RAYTRACE, {0, 0, 0}, {1, 1, 1}},
        {"the light casts none", HOST_RENDER_SHADOWS, vxs::SHADOW_OFF, {0, 0, 0}, {1, 1, 1}},
    };
    for (const Row& r : rows) {
        SceneBuilder b;
        b.camera({0, 5, 0}, {0, 90, 0}, 20);  // looking straight down at the origin
        // Down at 45 degrees towards +z, strong enough to give 1 on the floor.
        vxs::Light light = vxs::testing::distantLight(std::sqrt(2.0));
        light.shadowType = r.shadowType;
        light.shadowColor = r.shadowColour;
        b.light(light, {0, 0, 0}, {0, 45, 0});
        const int white = b.surface(vxs::testing::matte());
        b.object(vxs::planeMesh(10, 10), {0, 0, 0}, white);
        b.object(vxs::sphereMesh(0.3, 16), {0, 1, -1}, white);  // on the light's path to the origin
        b.scene.renderOpts = r.renderOpts;
        expectColour(centre(renderSmall(b.scene)), r.expected, r.what);
    }
}

TEST(Renderer, MirrorReflectsWhatLiesBehindTheCamera) {
    struct Row {
        const char* what;
        int options, renderOpts;
        bool colourHighlights, lampBehind;
        NodeValue expected;
    };
    const NodeValue backdrop{0.1, 0.6, 0.3}, tint{1, 0.5, 0}, lamp{0.2, 0.9, 0.4};
    const Row rows[] = {
        {"ray traced", vxs::REFL_RAYTRACE_BACKDROP, HOST_RENDER_REFLECT, false, false, backdrop},
        {"ray tracing off", vxs::REFL_RAYTRACE_BACKDROP, 0, false, false, {}},
        {"backdrop only", vxs::REFL_BACKDROP, 0, false, false, backdrop},
        {"tinted by the surface", vxs::REFL_RAYTRACE_BACKDROP, HOST_RENDER_REFLECT, true, false, backdrop * tint},
        {"a lamp behind the camera", vxs::REFL_RAYTRACE_BACKDROP, HOST_RENDER_REFLECT, false, true, lamp},
        {"backdrop only, lamp ignored", vxs::REFL_BACKDROP, HOST_RENDER_REFLECT, false, true, backdrop},
    };
    for (const Row& r : rows) {
        SceneBuilder b;
        b.camera({0, 0, 0});
        Surface mirror = vxs::testing::matte({tint.x, tint.y, tint.z});
        mirror.diffuse = 0;
        mirror.reflection = 1;
        mirror.reflectionOptions = r.options;
        mirror.colorHighlights = r.colourHighlights ? 1 : 0;
        b.object(vxs::sphereMesh(1, 64), {0, 0, 5}, b.surface(mirror));
        if (r.lampBehind) {
            Surface glow = vxs::testing::matte({lamp.x, lamp.y, lamp.z});
            glow.diffuse = 0;
            glow.luminosity = 1;
            b.object(vxs::sphereMesh(1, 16), {0, 0, -5}, b.surface(glow));
        }
        b.scene.backdrop = {backdrop.x, backdrop.y, backdrop.z};
        b.scene.renderOpts = r.renderOpts;
        expectColour(centre(renderSmall(b.scene)), r.expected, r.what);
    }
}

TEST(Renderer, TakesTheSceneSizeUnlessTold) {
    SceneBuilder b;
    b.scene.frameWidth = 7;
    b.scene.frameHeight = 5;
    RenderSettings settings;
    Picture p = vxs::render(b.scene, nullptr, settings);
    EXPECT_EQ(p.width, 7);
    EXPECT_EQ(p.height, 5);
    EXPECT_EQ(p.rgb.size(), 7u * 5 * 3);
    settings.width = 3;
    p = vxs::render(b.scene, nullptr, settings);
    EXPECT_EQ(p.width, 3);
    EXPECT_EQ(p.height, 5);
}

TEST_F(RendererWithModule, TreeThatSetsTheColourToRedRendersRed) {
    Surface s = vxs::testing::matte();
    s.tree = kRedTree;
    const auto shaders = shade(sphereScene(s, vxs::testing::distantLight(), 0));
    ASSERT_TRUE(shaders);
    RenderSettings settings;
    settings.width = settings.height = kSize;
    vxs::RenderStats stats;
    const Picture p = vxs::render(vxs::currentScene(), shaders.get(), settings, &stats);
    expectColour(centre(p), {1, 0, 0}, "middle");
    expectColour(pixel(p, 0, 0), {}, "backdrop");
    EXPECT_GT(stats.evaluations, 0u);
    EXPECT_LT(stats.evaluations, stats.samples);  // only samples on the sphere
    EXPECT_EQ(stats.samples, uint64_t(kSize) * kSize);
}

// A floor, a glossy red ball, a chrome box with a blurred reflection (or
// none), under a sun with a shadow colour and a bulb, with radiosity.
Scene busyScene(double blur) {
    SceneBuilder b;
    b.camera({0, 2, -6}, {0, 15, 0});
    vxs::Light sun = vxs::testing::distantLight();
    sun.shadowColor = {0.1, 0.1, 0.3};
    b.light(sun, {0, 0, 0}, {30, 50, 0});
    vxs::Light bulb;
    bulb.type = vxs::LIGHT_POINT;
    bulb.falloff = vxs::FALLOFF_INVERSE_SQUARE;
    bulb.range = 3;
    bulb.affectSpecular = false;
    b.light(bulb, {-2, 3, -1});
    Surface red = vxs::testing::matte({0.9, 0.2, 0.1});
    red.specular = 0.5;
    red.colorHighlights = 0.5;
    red.translucency = 0.3;
    Surface chrome = vxs::testing::matte({0.9, 0.9, 1});
    chrome.reflection = 0.7;
    chrome.reflectionBlurring = blur;
    b.object(vxs::planeMesh(20, 20), {0, 0, 0}, b.surface(vxs::testing::matte({0.8, 0.8, 0.7})));
    b.object(vxs::sphereMesh(1, 24), {-1, 1, 0}, b.surface(red));
    b.object(vxs::boxMesh({1.5, 1.5, 1.5}), {1.2, 0.75, 0.5}, b.surface(chrome), {30, 0, 0});
    b.scene.ambientIntensity = 0.1;
    b.scene.backdrop = {0.3, 0.4, 0.6};
    b.scene.radiosityRays = 4;
    return b.scene;
}

TEST_F(RendererWithModule, SameBytesWhateverTheThreadCount) {
    Scene scene = busyScene(0.05);
    scene.surfaces[1].tree = kRedTree;
    const auto shaders = shade(scene);
    ASSERT_TRUE(shaders);

    RenderSettings settings;
    settings.width = 45;  // not a whole number of tiles
    settings.height = 38;
    settings.samples = 3;
    settings.threads = 1;
    const Picture one = vxs::render(vxs::currentScene(), shaders.get(), settings);
    settings.threads = 3;
    const Picture three = vxs::render(vxs::currentScene(), shaders.get(), settings);
    EXPECT_EQ(one.rgb, three.rgb);
    EXPECT_EQ(vxs::toRgb8(one), vxs::toRgb8(three));
    // Not trivially equal: the picture holds the red ball and the floor.
    const std::vector<uint8_t> bytes = vxs::toRgb8(one);
    EXPECT_GT(std::count(bytes.begin(), bytes.end(), 0), 0);
    EXPECT_GT(std::set<uint8_t>(bytes.begin(), bytes.end()).size(), 50u);
}

TEST(Renderer, RadiosityBringsLightBouncedOffAWall) {
    // The light shines from behind the ball onto a white wall behind the
    // camera, which lights the ball's front.
    Scene scene = sphereScene(vxs::testing::matte(), vxs::testing::distantLight(), 180);
    SceneBuilder b;
    b.scene = scene;
    b.object(vxs::planeMesh(40, 40), {0, 0, -1}, b.surface(vxs::testing::matte()), {0, 90, 0});
    expectColour(centre(renderSmall(b.scene)), {}, "without radiosity");
    b.scene.radiosityRays = 64;
    const NodeValue lit = centre(renderSmall(b.scene));
    EXPECT_GT(lit.x, 0.2);
    EXPECT_LT(lit.x, 1);
}

// The module's "spot_shade" into the colour of a luminous surface with every
// other channel 0 redoes the host's standard shading.
TEST_F(RendererWithModule, SpotShadeRedoesTheStandardShading) {
    const auto catalogue = vxs::nodeCatalogue();
    vx::NodeList tree;
    tree.nodes.push_back(catalogue->createByName("Root", "root"));
    tree.nodes.push_back(catalogue->createByName("Global", "spot_shade"));
    tree.nodes.push_back(catalogue->createByName("Generic", "value"));
    tree.nodes.push_back(catalogue->createByName("Generic", "value"));
    tree.nodes[3]->inputs[0].param.value = NodeValue::scalar(1);
    vx::Node& root = *tree.nodes[0];
    root.inputs[vx::RI_COLOR].source = tree.nodes[1].get();
    for (int channel : {vx::RI_DIFF, vx::RI_SPEC, vx::RI_REFL, vx::RI_TRAN}) root.inputs[channel].source = tree.nodes[2].get();
    root.inputs[vx::RI_LUMI].source = tree.nodes[3].get();
    const std::string file = VX_BINARY_DIR "/spot_shade_test.shd";
    std::string error;
    ASSERT_TRUE(vxs::writeTreeFile(file, tree, HOST_IO_TEXT, error)) << error;

    Scene scene = busyScene(0);
    RenderSettings settings;
    settings.width = 40;
    settings.height = 30;
    vxs::currentScene() = scene;
    const Picture plain = vxs::render(vxs::currentScene(), nullptr, settings);
    for (Surface& s : scene.surfaces) s.tree = file;
    const auto shaders = shade(scene);
    ASSERT_TRUE(shaders);
    const Picture spotShaded = vxs::render(vxs::currentScene(), shaders.get(), settings);
    ASSERT_EQ(plain.rgb.size(), spotShaded.rgb.size());
    float worst = 0;
    for (size_t i = 0; i < plain.rgb.size(); ++i) worst = std::max(worst, std::fabs(plain.rgb[i] - spotShaded.rgb[i]));
    EXPECT_LT(worst, 1e-5);
    EXPECT_GT(std::set<float>(plain.rgb.begin(), plain.rgb.end()).size(), 100u);
}

TEST_F(RendererWithModule, ReportsTheFileAtFault) {
    const std::filesystem::path dir = std::filesystem::path(VX_BINARY_DIR) / "renderer_test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "not_a_tree.shd") << "hello";
    struct Row {
        const char* what;
        std::string module, tree;
        std::string where;
    };
    const Row rows[] = {
        {"no module", (dir / "missing.p").string(), "", (dir / "missing.p").string()},
        {"no tree file", kModule, (dir / "missing.shd").string(), (dir / "missing.shd").string()},
        {"not a tree", kModule, (dir / "not_a_tree.shd").string(), (dir / "not_a_tree.shd").string()},
    };
    for (const Row& r : rows) {
        Scene scene;
        scene.surfaces.push_back(vxs::testing::matte());
        scene.surfaces.back().tree = r.tree;
        std::string where, error;
        EXPECT_FALSE(vxs::SurfaceShaders::load(scene, r.module, where, error)) << r.what;
        EXPECT_EQ(where, r.where) << r.what;
        EXPECT_FALSE(error.empty()) << r.what;
        EXPECT_EQ(error.find('\n'), std::string::npos) << r.what;
    }
}

TEST(Png, EightBitsPerChannel) {
    struct Row {
        float value;
        uint8_t expected;
    };
    const Row rows[] = {
        {-1, 0}, {0, 0}, {0.5f / 255, 1}, {0.49f / 255, 0}, {0.5f, 128}, {1, 255}, {7, 255}, {std::nanf(""), 0},
    };
    for (const Row& r : rows) {
        const Picture p{1, 1, {r.value, r.value, r.value}};
        EXPECT_EQ(vxs::toRgb8(p), std::vector<uint8_t>(3, r.expected)) << r.value;
    }
}

TEST(Png, WritesAFileOrSaysWhy) {
    const std::string path = VX_BINARY_DIR "/renderer_test.png";
    const Picture p{3, 2, std::vector<float>(18, 0.5f)};
    std::string error;
    ASSERT_TRUE(vxs::writePng(path, p, error)) << error;
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(bytes.substr(16, 8), std::string("\0\0\0\3\0\0\0\2", 8));  // width, height

    EXPECT_FALSE(vxs::writePng(VX_BINARY_DIR "/no/such/folder/x.png", p, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
