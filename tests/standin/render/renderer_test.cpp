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
#include "standin/render/picture_file.h"
#include "standin/render/png.h"
#include "standin/streams/tree_file.h"
#include "core/root.h"
#include "tests/temp_dir.h"
#include "tests/near.h"

#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfInputFile.h>

namespace {

using vx::NodeValue;
using vxs::Picture;
using vxs::RenderSettings;
using vxs::Scene;
using vxs::Surface;
using vxs::Vec3;
using vxs::testing::SceneBuilder;

const std::string kModule = VX_BINARY_DIR "/QK_Valtorimex.p";

// An odd size puts the middle pixel's ray exactly on the camera's axis.
constexpr int kSize = 33;

NodeValue pixel(const Picture& p, int x, int y) {
    const float* v = &p.rgb[(size_t(y) * p.width + x) * 3];
    return {v[0], v[1], v[2]};
}
NodeValue centre(const Picture& p) { return pixel(p, p.width / 2, p.height / 2); }


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

Scene sphereScene(const Surface& surface, const vxs::Light& light, double lightHeading) {
    SceneBuilder b;
    b.camera({0, 0, 0});
    b.light(light, {0, 0, 0}, {lightHeading, 0, 0});
    b.object(vxs::sphereMesh(1, 64), {0, 0, 5}, b.surface(surface));
    b.scene.ambientIntensity = 0;
    return b.scene;
}

TEST(Renderer, ShadowedPointGetsTheShadowColour) {
    struct Row { const char* what; int renderOpts, shadowType; Vec3 shadowColour; NodeValue expected; };
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
        EXPECT_TRUE(vxt::near(centre(renderSmall(b.scene)), r.expected, 1e-4)) << r.what;
    }
}

// A floor, a glossy red ball, a chrome box, under a sun with a shadow
// colour and a bulb, with radiosity.
Scene busyScene() {
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
    b.object(vxs::planeMesh(20, 20), {0, 0, 0}, b.surface(vxs::testing::matte({0.8, 0.8, 0.7})));
    b.object(vxs::sphereMesh(1, 24), {-1, 1, 0}, b.surface(red));
    b.object(vxs::boxMesh({1.5, 1.5, 1.5}), {1.2, 0.75, 0.5}, b.surface(chrome), {30, 0, 0});
    b.scene.ambientIntensity = 0.1;
    b.scene.backdrop = {0.3, 0.4, 0.6};
    b.scene.radiosityRays = 4;
    return b.scene;
}

TEST(Renderer, RadiosityBringsLightBouncedOffAWall) {
    // The light shines from behind the ball onto a white wall behind the
    // camera, which lights the ball's front.
    Scene scene = sphereScene(vxs::testing::matte(), vxs::testing::distantLight(), 180);
    SceneBuilder b;
    b.scene = scene;
    b.object(vxs::planeMesh(40, 40), {0, 0, -1}, b.surface(vxs::testing::matte()), {0, 90, 0});
    EXPECT_TRUE(vxt::near(centre(renderSmall(b.scene)), {}, 1e-4)) << "without radiosity";
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
    const vxt::TempDir dir;
    const std::string file = dir.path("spot_shade.shd");
    std::string error;
    ASSERT_TRUE(vxs::writeTreeFile(file, tree, HOST_IO_TEXT, error)) << error;

    Scene scene = busyScene();
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

TEST(PictureFile, ExrHoldsTheLinearValuesUnclamped) {
    const vxt::TempDir dir;
    const std::string path = dir.path("unclamped.exr");
    const Picture p{3, 1, {2.5f, -1, 0.25f, 0, 1, 1e6f, 0.5f, 0.5f, 0.5f}};
    std::string error;
    ASSERT_TRUE(vxs::writePicture(path, vxs::PictureFormat::Exr, p, error)) << error;
    Imf::InputFile in(path.c_str());
    std::vector<float> back(p.rgb.size());
    Imf::FrameBuffer frame;
    for (int c = 0; c < 3; ++c)
        frame.insert(std::string(1, "RGB"[c]), Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(back.data() + c),
                                                          3 * sizeof(float), 9 * sizeof(float)));
    in.setFrameBuffer(frame);
    in.readPixels(0, 0);
    EXPECT_EQ(back, p.rgb);
    for (const auto format : {vxs::PictureFormat::Png, vxs::PictureFormat::Jpeg, vxs::PictureFormat::Exr}) {
        error.clear();
        EXPECT_FALSE(vxs::writePicture(dir.path("no/such/folder/x"), format, p, error));
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
