// Texture, image, envelope and gradient kinds against the stand-in host.
#include <gtest/gtest.h>

#include <cmath>

#include "core/evaluate.h"
#include "core/params.h"
#include "core/persist.h"
#include "host/host.h"
#include "nodes/gradient.h"
#include "nodes/texture.h"
#include "nodes/texture_context.h"
#include "standin/render/renderer.h"
#include "standin/render/shading.h"
#include "standin/scene/image_file.h"
#include "standin/scene/scene_file.h"
#include "standin/services/globals.h"
#include "standin/services/ui_services.h"
#include "standin/textures/envelope_window.h"
#include "standin/textures/texture_window.h"
#include "standin/streams/streams.h"
#include "standin/textures/texture.h"
#include "standin/textures/vparm.h"
#include "tests/nodes/scene_sample.h"

using namespace vxn;

namespace {

constexpr double kHalfPi = 1.5707963267948966;

struct TextureKinds : ::testing::Test {
    void SetUp() override {
        vxs::Scene scene;
        vxs::Item ball;
        ball.id = vxs::makeItemId(HOST_OBJECT, 0);
        ball.name = "ball";
        scene.items.push_back(ball);
        vxs::Item sun;
        sun.id = vxs::makeItemId(HOST_LIGHT, 0);
        sun.type = HOST_LIGHT;
        sun.name = "sun";
        sun.placement.rotation.value = {0, kHalfPi, 0};  // shining down
        scene.items.push_back(sun);
        vxs::Image image;  // two pixels: opaque red, half-clear blue
        image.id = vxs::makeImageId(0);
        image.name = "pair";
        image.width = 2;
        image.height = 1;
        image.rgba = {1, 0, 0, 1, 0, 0, 1, 0.5};
        scene.images.push_back(image);
        vxs::currentScene() = std::move(scene);
        vx::acquireHandlerGlobals(vxs::globalLookup);
    }
    void TearDown() override { vxs::currentScene() = vxs::Scene{}; }
    static HostID ball() { return vxs::makeItemId(HOST_OBJECT, 0); }
};

std::vector<NodeValue> evaluateAt(const Node& node, HostTextureSample sample, double time = 0) {
    NodeEnv env;
    env.textureSample = &sample;
    env.textureSampleFilled = true;
    env.time = time;
    node.evaluate(env);
    const NodeValue* out = env.cache.find(&node);
    return {out, out + node.outputCount};
}

// A gradient layer over world x, value = x between 0 and 1.
vxs::TextureLayer rampOnX() {
    vxs::TextureLayer l;
    l.type = vxs::LAYER_GRADIENT;
    l.world = true;
    l.input = "X Coordinate";
    l.keys = {{0, {0, 0, 0}, 1}, {1, {1, 1, 1}, 1}};
    return l;
}

TEST_F(TextureKinds, TexturesLayOverTheirBaseAndBumpTilts) {
    auto colour = makeKind("Texture", "tex_col", {S(0), {0.2, 0.4, 0.6}});
    HostTextureSample s{};
    s.wPos[0] = 0.25;
    // Empty: the base as it was, with the host's alpha of nothing laid over it.
    std::vector<NodeValue> out = evaluateAt(*colour, s);
    EXPECT_TRUE(near(out[0], {0.2, 0.4, 0.6}, 0));
    EXPECT_EQ(out[1].x, 0);
    auto& layers = static_cast<NTextureC&>(*colour).texture().texture()->layers;
    layers.push_back(std::make_unique<HostTextureLayer>());
    static_cast<vxs::TextureLayer&>(*layers.back()) = rampOnX();
    layers.back()->setOpacity(0.5);
    out = evaluateAt(*colour, s);
    EXPECT_TRUE(near(out[0], {0.225, 0.325, 0.425}, 1e-12));
    EXPECT_EQ(out[1].x, 0.5);

    // Height x with slope (1, 0, 0): normalise((0, 0, 1) - 0.5 (1, 0, 0)).
    auto bump = makeKind("Texture", "tex_bump", {S(0), S(0.5), {0, 0, 1}});
    auto& bumpLayers = static_cast<NTextureB&>(*bump).texture().texture()->layers;
    bumpLayers.push_back(std::make_unique<HostTextureLayer>());
    static_cast<vxs::TextureLayer&>(*bumpLayers.back()) = rampOnX();
    s.bumpHeight = 7;  // the texture starts from 0
    out = evaluateAt(*bump, s);
    EXPECT_TRUE(near(out[0], NodeValue{-0.5, 0, 1} * (1 / std::sqrt(1.25)), 1e-6));
    EXPECT_NEAR(out[1].x, 0.25, 1e-12);
}

TEST_F(TextureKinds, EditorsOpenForTheTexturePortAndTheEnvelopeAndCloseWithTheirNodes) {
    vxs::ui::Panel* before = vxs::focusPanel();
    const auto title = [] { return vxs::focusPanel() ? vxs::focusPanel()->title() : ""; };
    auto node = makeKind("Texture", "tex_val");
    EXPECT_FALSE(node->editParameter(&node->inputs[2]));
    EXPECT_EQ(vxs::focusPanel(), before);
    EXPECT_TRUE(node->editParameter(&node->inputs[0]));
    EXPECT_TRUE(node->editParameter(&node->inputs[0]));
    EXPECT_EQ(title(), vxs::kTextureEditorTitle);
    node.reset();
    EXPECT_EQ(vxs::focusPanel(), before);
    auto env = makeKind("Texture", "env_col");
    EXPECT_TRUE(env->openEditor());
    EXPECT_EQ(title(), vxs::kEnvelopeEditorTitle);
    env.reset();
    EXPECT_EQ(vxs::focusPanel(), before);
}

TEST_F(TextureKinds, ImagesAskWithOrWithoutBlendingAndAlphaOnlyWhenThereIsOne) {
    struct Row { const char* kind; NodeValue uv; double spot; NodeValue value, alpha; };
    // Pixel centres at u 0.25 and 0.75; u 0.5 lies halfway between them.
    const Row rows[] = {
        {"img_col", {0.5, 0.5, 0}, 0, {0, 0, 1}, S(0.5)},            // nearest: the second pixel
        {"img_col", {0.5, 0.5, 0}, 0.001, {0.5, 0, 0.5}, S(0.75)},   // blended
        {"img_val", {0.25, 0.5, 0}, 0, S(0.2126), S(1)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.spot);
        auto node = makeKind("Texture", r.kind, {{}, r.uv, S(r.spot)});
        node->inputs[0].param.intValue = vxs::makeImageId(0);
        vxs::currentScene().images[0].hasAlpha = true;
        std::vector<NodeValue> out = evaluateOutputs(*node);
        EXPECT_TRUE(near(out[0], r.value, 1e-9));
        EXPECT_TRUE(near(out[1], r.alpha, 1e-9));
        vxs::currentScene().images[0].hasAlpha = false;
        EXPECT_EQ(evaluateOutputs(*node)[1].x, 1);
        node->inputs[0].param.intValue = 0;
        EXPECT_TRUE(near(evaluateOutputs(*node)[0], {}, 0));
    }
}

TEST_F(TextureKinds, EnvelopesFollowTheSampleTimeUnlessTimeIsLinked) {
    auto env = makeKind("Texture", "env_val");
    HostVParm* parm = static_cast<NEnvelopeV&>(*env).envelope().param().parm();
    parm->channels[0]->envelope.keys = {{0, 0, vxs::SHAPE_LINEAR}, {4, 8, vxs::SHAPE_LINEAR}};
    EXPECT_EQ(evaluateAt(*env, {}, 1)[0].x, 2);
    auto two = makeKind("Generic", "value", {S(2)});
    env->inputs[0].source = two.get();
    EXPECT_EQ(evaluateAt(*env, {}, 1)[0].x, 4);
    EXPECT_EQ(evaluateAt(*env, {}, 3)[0].x, 4);
}

TEST(Gradient, WalkFindsTheSpanOfTheLowestKeysInOrder) {
    const auto key = [](double p, double v, double a = 1) { return std::make_unique<GValue>(GValue{p, v, v, v, a}); };
    struct Row {
        std::vector<std::array<double, 3>> keys;  // position, value, alpha in sequence order
        double x;
        double value, alpha;
    };
    const Row rows[] = {
        {{{1, 1, 1}, {0, 0, 1}}, 0.25, 0.25, 1},  // fresh node
        {{{1, 1, 1}, {0, 0, 1}}, -1, 0, 1}, {{{1, 1, 1}, {0, 0, 1}}, 2, 1, 1},
        {{{1, 1, 0}, {0, 0, 1}, {0.5, 0.2, 1}}, 0.75, 0.6, 0.5},  // unsorted
        {{{0.5, 0.8, 1}, {0.5, 0.1, 1}, {0, 0, 1}}, 0.5, 0.8, 1},  // duplicates: the first
        {{{0.5, 0.8, 1}, {0.5, 0.1, 1}, {0, 0, 1}}, 0.9, 0.8, 1},
        {{{0.3, 0.9, 1}}, 0.7, 0, 0.7},  // one key: black, alpha x
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.x);
        Gradient g;
        for (const auto& k : r.keys) g.keys.push_back(key(k[0], k[1], k[2]));
        NodeValue colour;
        double alpha = -1;
        g.lookup(r.x, colour, alpha);
        EXPECT_NEAR(colour.x, r.value, 1e-12);
        EXPECT_NEAR(alpha, r.alpha, 1e-12);
    }
    // The kinds' own default keys.
    EXPECT_TRUE(near(evaluateOutputs(*makeKind("Texture", "grad_col", {S(0.25)}))[0], S(0.25), 1e-12));
}

TEST_F(TextureKinds, CustomInputsMeasureTheSample) {
    HostTextureSample s{};
    s.wNorm[1] = 1;
    s.wPos[0] = 1, s.wPos[1] = 2, s.wPos[2] = 3;
    s.rayDir[2] = 1;
    s.cosine = 0.5;
    s.rayLength = 5;
    s.bumpHeight = 0.25;
    s.objID = ball();
    s.rayCast = [](void*, const double*, const double*) { return -1.0; };
    HostTexture texture;
    void* record = gradientTimeBegin(nullptr, &texture, 0, 0);
    const HostGradientChoice light{vxs::makeItemId(HOST_LIGHT, 0), nullptr};
    struct Row { int index; double expected; const HostGradientChoice* choice = nullptr; };
    const Row rows[] = {
        {1, 0.25}, {2, 0}, {3, 0.5 * kHalfPi}, {4, kHalfPi, &light}, {5, 5}, {6, std::sqrt(14.0)}, {7, 1}, {8, 2},
        {9, 3}, {10, 0}, {11, 0}, {12, 0}, {13, -kHalfPi}, {14, 0}, {15, 0}, {16, -kHalfPi}, {17, 0}, {18, std::sqrt(5.0)},
        {19, std::sqrt(13.0)}, {20, std::sqrt(10.0)}, {21, std::pow(std::sqrt(0.5), 4), &light}, {22, 0, &light},
        {24, 0}, {27, 0}, {31, 0}, {32, 0}, {36, 0}, {37, 1}, {0, 1},
    };
    for (const Row& r : rows) EXPECT_NEAR(gradientInput(r.choice, r.index, &s, record), r.expected, 1e-9) << r.index;
    // Facing down, every direction of the half occlusion lies below the horizon.
    s.wNorm[1] = -1;
    for (int half = 32; half <= 36; ++half) EXPECT_EQ(gradientInput(nullptr, half, &s, record), 1) << half;
    gradientTimeEnd(record);
}

// The light sums and the ambient input against the stand-in's scene: four
// lights straight above, each of its own strength, so that a sum names the
// lights it took; one object keeps a light and radiosity out.
TEST_F(TextureKinds, LightInputsSkipWhatTheSceneKeepsFromTheObject) {
    const SceneHost host(R"({"ambient": {"intensity": 0.25}, "render": {"radiosity": 4},
      "lights": [{"name": "Plain", "rotation": [0, 90, 0], "intensity": 0.1},
                 {"name": "Matte", "rotation": [0, 90, 0], "intensity": 0.2, "affect_diffuse": false},
                 {"name": "Shine", "rotation": [0, 90, 0], "intensity": 0.4, "affect_specular": false},
                 {"name": "Shut", "rotation": [0, 90, 0], "intensity": 0.8}],
      "objects": [{"name": "Open", "type": "plane", "position": [0, -100, 0]},
                  {"name": "Closed", "type": "plane", "position": [0, -200, 0],
                   "exclude": {"lights": ["Shut"], "radiosity": true}}]})");
    HostTexture texture;
    void* record = gradientTimeBegin(nullptr, &texture, 0, 0);
    struct Row { const char* object; int index; double expected; };
    // The radiosity gather over an empty sky brings nothing; the ambient
    // colour stands in where radiosity is excluded.
    const Row rows[] = {
        {"Open", 23, 0},    {"Closed", 23, 0.25}, {"Open", 24, 1.3},   {"Closed", 24, 0.5},
        {"Open", 25, 1.1},  {"Closed", 25, 0.3},  {"Open", 26, 1.1},   {"Closed", 26, 0.3},
    };
    for (const Row& r : rows) {
        Sample sample(host, r.object, {0, 1, 0});
        HostTextureSample s;
        fillTextureSample(sample.sa, s);
        EXPECT_NEAR(gradientInput(nullptr, r.index, &s, record), r.expected, 1e-9) << r.object << " " << r.index;
    }
    gradientTimeEnd(record);
}

// A tree with every kind of the family, written by both forms.
std::string saved(const NodeList& tree, int form) {
    vxs::SaveStream out(form);
    saveInstanceTree(tree, *out.state());
    return out.bytes();
}

TEST_F(TextureKinds, EveryKindRoundTripsInBothFormsAndThroughTheOther) {
    NodeList tree;
    for (const char* kind : {"tex_col", "tex_val", "tex_bump", "img_col", "img_val", "env_col", "env_val", "grad_col",
                             "grad_val"})
        tree.nodes.push_back(makeKind("Texture", kind));
    auto& layers = static_cast<NTextureC&>(*tree.nodes[0]).texture().texture()->layers;
    layers.push_back(std::make_unique<HostTextureLayer>());
    layers.back()->group->channel("Opacity").envelope.keys = {{0, 0.25}, {1, 0.75, vxs::SHAPE_STEPPED}};
    static_cast<NGradientV&>(*tree.nodes[8]).gradient.keys[0]->green = 0.1;
    static_cast<NEnvelopeC&>(*tree.nodes[5]).envelope().param().parm()->channels[2]->envelope.keys = {{2, 0.3}};
    const std::string text = saved(tree, HOST_IO_TEXT);
    for (int form : {HOST_IO_TEXT, HOST_IO_BINARY}) {
        NodeList back;
        vxs::LoadStream in(saved(tree, form));
        ASSERT_TRUE(loadInstanceTree(back, library(), *in.state()));
        EXPECT_EQ(saved(back, HOST_IO_TEXT), text) << form;
    }
    const auto& grad = static_cast<NGradientV&>(*tree.nodes[8]).gradient;
    NodeList back;
    vxs::LoadStream in(text);
    ASSERT_TRUE(loadInstanceTree(back, library(), *in.state()));
    EXPECT_EQ(static_cast<NGradientV&>(*back.nodes[8]).gradient.keys[0]->green, static_cast<double>(0.1f));
    EXPECT_EQ(grad.keys.size(), 2u);
}

TEST_F(TextureKinds, OtherVersionsAndMissingImagesLoadNothing) {
    auto node = makeKind("Texture", "tex_col");
    auto& layers = static_cast<NTextureC&>(*node).texture().texture()->layers;
    layers.push_back(std::make_unique<HostTextureLayer>());
    layers.back()->type = vxs::LAYER_IMAGE;
    layers.back()->image = vxs::makeImageId(0);
    vxs::currentScene().images[0].path = "/nonexistent/pair.png";
    vxs::SaveStream out(HOST_IO_TEXT);
    node->saveData(*out.state());
    std::string text = out.bytes();
    ASSERT_NE(text.find("pair"), std::string::npos);
    // Another image list: the saved name finds nothing, the file cannot be read.
    vxs::currentScene().images.clear();
    auto fresh = makeKind("Texture", "tex_col");
    vxs::LoadStream in(text);
    fresh->loadData(*in.state());
    const auto& loaded = static_cast<NTextureC&>(*fresh).texture().texture()->layers;
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0]->image, 0);

    const size_t version = text.find("256");
    text.replace(version, 3, "255");
    auto other = makeKind("Texture", "tex_col");
    vxs::LoadStream old(text);
    other->loadData(*old.state());
    EXPECT_TRUE(static_cast<NTextureC&>(*other).texture().texture()->layers.empty());
}

TEST_F(TextureKinds, ContainerRowsStoreTheirElementsThroughTheWrappers) {
    auto tex = makeKind("Texture", "tex_val");
    auto env = makeKind("Texture", "env_val");
    VTexture* textures[] = {const_cast<VTexture*>(&static_cast<NTextureV&>(*tex).texture())};
    VEnvelope* envelopes[] = {const_cast<VEnvelope*>(&static_cast<NEnvelopeV&>(*env).envelope())};
    textures[0]->texture()->layers.push_back(std::make_unique<HostTextureLayer>());
    envelopes[0]->param().parm()->channels[0]->envelope.keys = {{1, 5}};
    const PluginParam rows[] = {{"t", PT_PVTX, textures, 1}, {"e", PT_PVEV, envelopes, 1}, {nullptr}};
    vxs::SaveStream out(HOST_IO_BINARY);
    savePluginParams(*out.state(), rows);
    textures[0]->texture()->layers.clear();
    envelopes[0]->param().parm()->channels[0]->envelope.keys.clear();
    vxs::LoadStream in(out.bytes());
    loadPluginParams(*in.state(), rows);
    EXPECT_EQ(textures[0]->texture()->layers.size(), 1u);
    EXPECT_EQ(envelopes[0]->param().parm()->channels[0]->envelope.keys.size(), 1u);
}

}  // namespace
