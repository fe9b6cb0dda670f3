#include "editor/preview.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/root.h"
#include "editor/preview_scene.h"
#include "host/host.h"
#include "standin/services/globals.h"
#include "standin/services/interface_services.h"
#include "tests/standin/render/render_scene.h"

namespace vx {
namespace {

// The stand-in's services over a scene of the test's lights, and the surface
// the previews belong to. Installs itself while it lives.
struct PreviewHost {
    vxs::testing::SceneBuilder scene;
    vxs::Surface surface;

    PreviewHost() { install(); }
    ~PreviewHost() {
        acquireHandlerGlobals(nullptr);
        vxs::currentScene() = {};
        vxs::setInterfaceTime(0);
    }
    // Once the scene holds the test's lights.
    void install() {
        vxs::currentScene() = scene.scene;
        acquireHandlerGlobals(vxs::globalLookup);
    }
    HostID lightId(size_t index) const { return vxs::currentScene().items[index].id; }
    static vxs::Light light(int type, const NodeValue& colour, int falloff = vxs::FALLOFF_NONE, double range = 1) {
        vxs::Light l;
        l.type = type;
        l.color = {colour.x, colour.y, colour.z};
        l.falloff = falloff;
        l.range = range;
        return l;
    }
};

// Heading and pitch of a light shining along (1, -1, 1).
const vxs::Vec3 kDownRight{45, 35.264389682754654, 0};

using Pixel = std::array<int, 3>;

Pixel at(const Node& node, int row, int column) {
    const uint8_t* p = node.preview.get() + (row * kPreviewSize + column) * 3;
    return {p[0], p[1], p[2]};
}

struct Tree {
    std::unique_ptr<NodeFactoryData> cat = buildCatalogue(nullptr, "QK_Valtorimex");
    NodeList list;

    Node* add(const char* category, const char* name) {
        list.nodes.push_back(cat->createByName(category, name));
        return list.nodes.back().get();
    }
    Node* constant(const char* name, NodeValue v) {
        Node* n = add("Generic", name);
        n->inputs[0].param.value = v;
        return n;
    }
    void preview(PreviewHost& host, Node* node) { renderPreview(&host.surface, list, *node); }
};

// Component x 255, clamped, truncated: never rounded.
TEST(Preview, ScalarOutputsGreyClampedAndTruncated) {
    struct Row { double value; int byte; };
    const Row rows[] = {
        {2, 255}, {1, 255}, {-0.5, 0}, {0.5, 127}, {0.999, 254}, {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::infinity(), 255},
    };
    PreviewHost host;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        Tree t;
        Node* v = t.constant("value", NodeValue::scalar(row.value));
        t.preview(host, v);
        EXPECT_EQ(at(*v, 32, 32), (Pixel{row.byte, row.byte, row.byte}));
        EXPECT_EQ(at(*v, 5, 32), (Pixel{row.byte, row.byte, row.byte}));  // near the top rim
    }
}

TEST(Preview, SecondPreviewGivesTheSameBytesInTheSameImage) {
    PreviewHost host;
    host.scene.light(PreviewHost::light(vxs::LIGHT_DISTANT, {1, 1, 1}), {}, kDownRight);
    host.install();
    Tree t;
    Node* root = t.add("Root", "root");
    root->inputs[RI_COLOR].source = t.add("Global", "geom");
    t.preview(host, root);
    const uint8_t* image = root->preview.get();
    const std::vector<uint8_t> first(image, image + kPreviewBytes);
    t.preview(host, root);
    EXPECT_EQ(root->preview.get(), image);
    EXPECT_EQ(std::vector<uint8_t>(image, image + kPreviewBytes), first);
}

// What the centre pixel's environment held.
struct ProbeSeen {
    int isPreview = 0;
    void* hostContext = nullptr;
    double time = 0;
    NodeValue normal;
    bool callbacks = false, flags = false;
};

// Records what a preview shows a node and when it is told of the render.
class Probe final : public NodeKind<Probe> {
public:
    static inline std::vector<std::string> calls;
    static inline ProbeSeen seen;
    static inline NodeValue itemPos;
    static inline HostID item = 0;  // whose position the centre pixel asks
    static inline std::array<double, 11> light{};
    static inline bool recordCallbacksNull = false;

    Probe() {
        static constexpr OutputDecl out[] = {{"c", VT_COLOR}, {nullptr}};
        setup("probe", "Test", nullptr, out, false);
    }
    void renderInit() override { calls.push_back("init"); }
    void renderCleanup() override { calls.push_back("cleanup"); }
    void newTime(double time, int32_t frame) override {
        calls.push_back("time " + std::to_string(time) + " frame " + std::to_string(frame));
    }
    void evaluate(NodeEnv& env) const override {
        if (env.record->sx == 32 && env.record->sy == 32) {
            seen = {env.isPreview, env.hostContext, env.time, env.normal,
                    env.illuminate && env.rayTrace && env.rayCast && env.rayShade,
                    env.shadowRayFlag || env.rayShadeFlag};
            const auto* l = static_cast<const double*>(env.previewLight);
            std::copy(l, l + 11, light.begin());
            double p[3] = {};
            env.itemParam(item, HOST_IP_W_POSITION, p);
            itemPos = {p[0], p[1], p[2]};
            const HostShading& sa = *env.record;
            recordCallbacksNull = !sa.illuminate && !sa.rayTrace && !sa.rayCast && !sa.rayShade;
        }
        outputSlots(env)[0] = {env.record->color[0], env.record->color[1], env.record->color[2]};
    }
};

TEST(Preview, EnvironmentTimeAndLifecycle) {
    PreviewHost host;
    vxs::setInterfaceTime(1.5);
    host.scene.light(PreviewHost::light(vxs::LIGHT_POINT, {1, 1, 1}), {4, 5, 6});
    host.scene.scene.items.back().placement.position.keys = {{0, {4, 5, 6}}, {1, {5, 5, 6}}};
    host.surface.color = {0.5, 0.25, 0.75};
    host.install();
    Probe::item = host.lightId(0);
    Tree t;
    t.list.nodes.push_back(std::make_unique<Probe>());
    Node* probe = t.list.nodes.back().get();
    Probe::calls.clear();
    t.preview(host, probe);

    ASSERT_GE(Probe::calls.size(), 3u);
    EXPECT_EQ(Probe::calls.front(), "init");
    EXPECT_EQ(Probe::calls[1], "time 1.500000 frame 36");
    EXPECT_EQ(Probe::calls.back(), "cleanup");
    EXPECT_EQ(Probe::seen.isPreview, 1);
    EXPECT_EQ(Probe::seen.hostContext, &host.surface);
    EXPECT_EQ(Probe::seen.time, 1.5);
    EXPECT_EQ(Probe::seen.normal, (NodeValue{0, 0, -1}));
    EXPECT_EQ(Probe::light, (std::array<double, 11>{1, 1, 1, 1, 1, 1, -2, 2, -2, 1, 1}));
    EXPECT_EQ(Probe::itemPos, (NodeValue{4, 5, 6}));  // asked at time 0, not 1.5
    EXPECT_TRUE(Probe::seen.callbacks);
    EXPECT_FALSE(Probe::seen.flags);
    EXPECT_TRUE(Probe::recordCallbacksNull);
    EXPECT_EQ(at(*probe, 32, 32), (Pixel{127, 63, 191}));  // the surface's colour reached the record
}

// A lit root: a distant light from the upper left and a point light with
// inverse-square falloff, some channels from the surface and some linked.
// The expected bytes were worked out by hand from the shading formulas.
struct LitRoot {
    PreviewHost host;
    Tree t;
    Node* root;

    LitRoot() {
        host.scene.light(PreviewHost::light(vxs::LIGHT_DISTANT, NodeValue::scalar(0.8)), {}, kDownRight);
        host.scene.light(PreviewHost::light(vxs::LIGHT_POINT, {1, 0.9, 0.8}, vxs::FALLOFF_INVERSE_SQUARE, 3),
                         {-2, 2, -2});
        host.scene.scene.ambientIntensity = 0.1;
        vxs::Surface& s = host.surface;
        s.color = {0.8, 0.4, 0.2};
        s.luminosity = 0.1, s.diffuse = 0.6, s.specular = 0.9, s.reflection = 0.2, s.transparency = 0.3;
        s.refractionIndex = 1.5, s.glossiness = 0.2, s.translucency = 0.25, s.colorHighlights = 0.5;
        s.colorFilter = 0.5;
        host.install();
        root = t.add("Root", "root");
        root->inputs[RI_SPEC].source = t.constant("value", NodeValue::scalar(0.5));  // wins over the surface's 0.9
        root->inputs[RI_REPL_COL].source = t.constant("color", {0, 0, 1});
        root->inputs[RI_REPL_PER].param.value = NodeValue::scalar(0.25);
    }
};

TEST(PreviewRoot, MatchesPixelsWorkedOutByHand) {
    struct Row { int row, column; Pixel expected; };
    const Row rows[] = {
        {32, 32, {120, 71, 111}},  // facing the eye: reflection and refraction both see a dark square
        {20, 22, {255, 209, 215}}, // towards both lights: red clamps
        {44, 40, {53, 34, 89}},    // turned away from the distant light
        {8, 30, {161, 92, 123}},
        {30, 58, {67, 45, 98}},    // near the rim
        {50, 12, {101, 68, 115}},
        {0, 0, {191, 191, 191}},   // backdrop
    };
    LitRoot lit;
    lit.t.preview(lit.host, lit.root);
    for (const Row& r : rows) EXPECT_EQ(at(*lit.root, r.row, r.column), r.expected) << r.row << ", " << r.column;
}

// Where each ray lands, worked out by hand: (Ox + f Dx, Oy + f Dy) with
// f = |k / Dz|, k = 1 - Oz when the direction's components sum below 0, else Oz.
TEST(PreviewTrace, LandsOnTheChecker) {
    struct Row { NodeValue origin, dir; double grey; };
    const Row rows[] = {
        {{0, 0, -0.5}, {0, 0, -1}, 0.35},           // f = 1.5 to (0, 0)
        {{-0.1, 0, -0.5}, {0, 0, -1}, 0.75},        // (-0.1, 0): u = -0.4 turns into 0.9
        {{0, 0, -0.5}, {0.1, 0, 1}, 0.35},          // k = Oz: f = 0.5 to (0.05, 0)
        {{0, 0, -0.5}, {-0.5, 0, -1}, 0.35},        // (-0.75, 0): u = 3.5, whose half is not above 0.5
        {{0, 0, -0.5}, {0.1, 0.05, -0.5}, 0.75},    // f = 3 to (0.3, 0.15): only v's half is high
        {{0.2, 0.1, -0.4}, {0, 0, 0}, 0.35},        // no direction: the dark grey, no fault
    };
    for (const Row& r : rows) {
        double o[3] = {r.origin.x, r.origin.y, r.origin.z}, d[3] = {r.dir.x, r.dir.y, r.dir.z}, c[3];
        EXPECT_EQ(previewTrace(nullptr, o, d, c), -1);
        EXPECT_EQ(c[0], r.grey) << r.origin.x << " along " << r.dir.x << ", " << r.dir.y << ", " << r.dir.z;
    }
}

}  // namespace
}  // namespace vx
