#include "editor/preview.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/root.h"
#include "editor/preview_scene.h"
#include "host/host.h"

namespace vx {
namespace {

// A host with a few lights, one surface and the interface's time. Installs
// itself while it lives.
struct PreviewHost {
    struct Light {
        HostID id;
        int type;
        NodeValue color, position, forward;
        int falloff = HOST_FALLOFF_NONE;
        double range = 1;
    };
    static inline std::vector<Light> lights;
    static inline std::map<std::string, NodeValue> channels;
    static inline NodeValue ambient;
    static inline double now = 0;
    static inline bool loopingLights = false;

    static const Light* find(HostID id) {
        for (const Light& l : lights)
            if (l.id == id) return &l;
        return nullptr;
    }
    static HostID first(int type, HostID) { return type == HOST_LIGHT && !lights.empty() ? lights[0].id : 0; }
    static HostID next(HostID id) {
        for (size_t i = 0; i + 1 < lights.size(); ++i)
            if (lights[i].id == id) return lights[i + 1].id;
        return loopingLights && !lights.empty() ? lights[0].id : 0;
    }
    static HostID none(HostID) { return 0; }
    static int itemType(HostID) { return HOST_LIGHT; }
    static const char* name(HostID) { return "light"; }
    static void put(double out[3], const NodeValue& v) {
        out[0] = v.x;
        out[1] = v.y;
        out[2] = v.z;
    }
    // Positions drift along x with time, so the time asked shows.
    static void param(HostID id, int code, double time, double out[3]) {
        const Light* l = find(id);
        NodeValue v;
        if (l && code == HOST_IP_W_POSITION) v = l->position + NodeValue{time, 0, 0};
        if (l && code == HOST_IP_FORWARD) v = l->forward;
        put(out, v);
    }
    static int lightType(HostID id) { return find(id) ? find(id)->type : -1; }
    static HostID lightImage(HostID, double) { return 0; }
    static void color(HostID id, double, double out[3]) { put(out, find(id) ? find(id)->color : NodeValue{}); }
    static int falloff(HostID id) { return find(id) ? find(id)->falloff : 0; }
    static double range(HostID id, double) { return find(id) ? find(id)->range : 0; }
    static void ambientAt(double, double out[3]) { put(out, ambient); }
    static const char* surfaceName(void*) { return "ball"; }
    static int surfaceInt(void*, const char*) { return 0; }
    static HostID surfaceImage(void*, const char*) { return 0; }
    static int channel(void*, const char* name, double out[3]) {
        const auto it = channels.find(name);
        if (it == channels.end()) return 0;
        put(out, it->second);
        return 1;
    }
    static double currentTime() { return now; }

    static inline HostItemInfo items{first, next, none, itemType, name, param};
    static inline HostLightInfo fullLights{lightType, lightImage, color, falloff, range, ambientAt};
    static inline HostSurfaceFuncs surfaces{surfaceName, surfaceInt, surfaceImage, channel};
    static inline HostInterfaceInfo interface{currentTime};
    static inline HostSceneInfo scene{"preview", 0, 10, 320, 240, 24.0, 0};

    static void* lookup(const char* service, int) {
        const std::string s = service;
        if (s == HOST_GLOBAL_ITEM_INFO) return &items;
        if (s == HOST_GLOBAL_LIGHT_INFO) return &fullLights;
        if (s == HOST_GLOBAL_SURFACE_FUNCS) return &surfaces;
        if (s == HOST_GLOBAL_INTERFACE_INFO) return &interface;
        if (s == HOST_GLOBAL_SCENE_INFO) return &scene;
        return nullptr;
    }

    PreviewHost() {
        lights.clear();
        channels.clear();
        ambient = {};
        now = 0;
        loopingLights = false;
        acquireHandlerGlobals(lookup);
    }
    ~PreviewHost() { acquireHandlerGlobals(nullptr); }
};

int gSurface;  // the surface handle is only passed back to the host

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
    void preview(Node* node) { renderPreview(&gSurface, list, *node); }
};

constexpr Pixel kLightSquare{191, 191, 191}, kDarkSquare{89, 89, 89};

bool onBall(int row, int column) {
    const double x = (column - 32) * 0.015625 * 1.1, y = (row - 32) * 0.015625 * 1.1;
    return x * x + y * y <= 0.25;
}

TEST(Preview, ColorNodeIsARedDiscOnTheChecker) {
    PreviewHost host;
    Tree t;
    Node* red = t.constant("color", {1, 0, 0});
    t.preview(red);
    ASSERT_TRUE(red->preview);
    int redPixels = 0;
    for (int r = 0; r < kPreviewSize; ++r)
        for (int c = 0; c < kPreviewSize; ++c) {
            const Pixel p = at(*red, r, c);
            if (onBall(r, c)) {
                EXPECT_EQ(p, (Pixel{255, 0, 0})) << r << ", " << c;
                ++redPixels;
            } else {
                EXPECT_TRUE(p == kLightSquare || p == kDarkSquare) << r << ", " << c;
            }
        }
    EXPECT_EQ(redPixels, 2661);
    EXPECT_EQ(at(*red, 0, 0), kLightSquare);
    EXPECT_EQ(at(*red, 0, 9), kDarkSquare);  // the squares change every 0.25 across
}

// Component x 255, clamped, truncated: never rounded.
TEST(Preview, ScalarOutputsGreyClampedAndTruncated) {
    struct Row {
        double value;
        int byte;
    };
    const Row rows[] = {
        {2, 255}, {1, 255}, {-0.5, 0}, {0.5, 127}, {0.999, 254}, {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::infinity(), 255},
    };
    PreviewHost host;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        Tree t;
        Node* v = t.constant("value", NodeValue::scalar(row.value));
        t.preview(v);
        EXPECT_EQ(at(*v, 32, 32), (Pixel{row.byte, row.byte, row.byte}));
        EXPECT_EQ(at(*v, 5, 32), (Pixel{row.byte, row.byte, row.byte}));  // near the top rim
    }
}

TEST(Preview, SecondPreviewGivesTheSameBytesInTheSameImage) {
    PreviewHost host;
    host.lights = {{1, HOST_LIGHT_DISTANT, {1, 1, 1}, {}, {1, -1, 1}}};
    Tree t;
    Node* root = t.add("Root", "root");
    root->inputs[RI_COLOR].source = t.add("Global", "geom");
    t.preview(root);
    const uint8_t* image = root->preview.get();
    const std::vector<uint8_t> first(image, image + kPreviewBytes);
    t.preview(root);
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
            env.itemParam(7, HOST_IP_W_POSITION, p);
            itemPos = {p[0], p[1], p[2]};
            const HostShading& sa = *env.record;
            recordCallbacksNull = !sa.illuminate && !sa.rayTrace && !sa.rayCast && !sa.rayShade;
        }
        outputSlots(env)[0] = {env.record->color[0], env.record->color[1], env.record->color[2]};
    }
};

TEST(Preview, EnvironmentTimeAndLifecycle) {
    PreviewHost host;
    host.now = 1.5;
    host.lights = {{7, HOST_LIGHT_POINT, {1, 1, 1}, {4, 5, 6}, {}}};
    host.channels["BaseColor"] = {0.5, 0.25, 0.75};
    Tree t;
    t.list.nodes.push_back(std::make_unique<Probe>());
    Node* probe = t.list.nodes.back().get();
    Probe::calls.clear();
    t.preview(probe);

    ASSERT_GE(Probe::calls.size(), 3u);
    EXPECT_EQ(Probe::calls.front(), "init");
    EXPECT_EQ(Probe::calls[1], "time 1.500000 frame 36");
    EXPECT_EQ(Probe::calls.back(), "cleanup");
    EXPECT_EQ(Probe::seen.isPreview, 1);
    EXPECT_EQ(Probe::seen.hostContext, &gSurface);
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
        host.lights = {{1, HOST_LIGHT_DISTANT, NodeValue::scalar(0.8), {}, {1, -1, 1}},
                       {2, HOST_LIGHT_POINT, {1, 0.9, 0.8}, {-2, 2, -2}, {}, HOST_FALLOFF_INVERSE_SQUARE, 3}};
        host.ambient = NodeValue::scalar(0.1);
        host.channels = {{"BaseColor", {0.8, 0.4, 0.2}}, {"Luminosity", NodeValue::scalar(0.1)},
                         {"Diffuse", NodeValue::scalar(0.6)}, {"Specularity", NodeValue::scalar(0.9)},
                         {"Reflectivity", NodeValue::scalar(0.2)}, {"Transparency", NodeValue::scalar(0.3)},
                         {"IOR", NodeValue::scalar(1.5)}, {"Glossiness", NodeValue::scalar(0.2)},
                         {"Translucency", NodeValue::scalar(0.25)}, {"ColorHighlights", NodeValue::scalar(0.5)},
                         {"ColorFilter", NodeValue::scalar(0.5)}};
        root = t.add("Root", "root");
        root->inputs[RI_SPEC].source = t.constant("value", NodeValue::scalar(0.5));  // wins over the surface's 0.9
        root->inputs[RI_REPL_COL].source = t.constant("color", {0, 0, 1});
        root->inputs[RI_REPL_PER].param.value = NodeValue::scalar(0.25);
    }
};

TEST(PreviewRoot, MatchesPixelsWorkedOutByHand) {
    struct Row {
        int row, column;
        Pixel expected;
    };
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
    lit.t.preview(lit.root);
    for (const Row& r : rows) EXPECT_EQ(at(*lit.root, r.row, r.column), r.expected) << r.row << ", " << r.column;
}

TEST(PreviewRoot, LoopingLightListCountsEachLightOnce) {
    LitRoot lit;
    lit.t.preview(lit.root);
    const std::vector<uint8_t> once(lit.root->preview.get(), lit.root->preview.get() + kPreviewBytes);
    PreviewHost::loopingLights = true;
    lit.t.preview(lit.root);
    EXPECT_EQ(std::vector<uint8_t>(lit.root->preview.get(), lit.root->preview.get() + kPreviewBytes), once);
}

// Where each ray lands, worked out by hand: (Ox + f Dx, Oy + f Dy) with
// f = |k / Dz|, k = 1 - Oz when the direction's components sum below 0, else Oz.
TEST(PreviewTrace, LandsOnTheChecker) {
    struct Row {
        NodeValue origin, dir;
        double grey;
    };
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
