// The parameter panel on the stand-in's real panel services, driven by script
// lines: what each paramKind's control shows and what OK writes back, and the
// panel's geometry on shots of one node of each family.
#include "editor/param_panel.h"

#include <gtest/gtest.h>

#include "editor/ui.h"
#include "standin/scene/scene.h"
#include "standin/services/globals.h"
#include "standin/services/ui_services.h"
#include "standin/streams/tree_file.h"
#include "standin/ui/font.h"
#include "standin/ui/script_runner.h"
#include "tests/core/test_kinds.h"

namespace {

using namespace vxt;

constexpr HostID kVase = 0x10000001, kSun = 0x20000001, kWood = 0x40000001;

// One input of every paramKind, in paramKind order.
class TAll final : public NodeKind<TAll> {
public:
    TAll() {
        static constexpr InputDecl in[] = {
            {"colour", VT_COLOR, PK_COLOR},      {"number", VT_SCALAR, PK_NUMBER}, {"vector", VT_VECTOR, PK_VECTOR},
            {"distance", VT_SCALAR, PK_DISTANCE}, {"percent", VT_SCALAR, PK_PERCENT}, {"angle", VT_SCALAR, PK_ANGLE},
            {"scale", VT_VECTOR, PK_SCALE},      {"check", VT_INT, PK_CHECK, 0},  {"integer", VT_INT, PK_INT, 0},
            {"item", VT_INT, PK_ITEM, 0},        {"object", VT_INT, 11, 0},       {"light", VT_INT, 12, 0},
            {"camera", VT_INT, 13, 0},           {"bone", VT_INT, 14, 0},         {"image", VT_INT, PK_IMAGE, 0},
            {"text", VT_ANY, PK_TEXT, 0},        {"file", VT_ANY, PK_FILE, 0},    {"dir", VT_ANY, PK_DIR, 0},
            {"uv", VT_ANY, PK_UVMAP, 0},         {"vcolor", VT_ANY, PK_VCMAP, 0}, {"surface", VT_ANY, PK_SURFACE, 0},
            {"choice", VT_INT, PK_CHOICE, 0},    {"popup", VT_INT, PK_POPUP, 0},  {"tex", VT_ANY, PK_TEXTURE, 0},
            {"plain", VT_ANY},                   {nullptr}};
        static constexpr OutputDecl out[] = {{"o", VT_ANY}, {nullptr}};
        setup("all", "Test", in, out, false);
    }
};

InputPort& input(Node& node, std::string_view name) {
    for (InputPort& in : node.inputs)
        if (in.name == name) return in;
    throw std::out_of_range(std::string(name));
}

class ParamPanel : public ::testing::Test {
protected:
    void SetUp() override {
        before_ = vxs::currentScene();
        vxs::Scene& s = vxs::currentScene();
        s = vxs::Scene{};
        s.surfaces.emplace_back().name = "Glaze";
        for (const auto& [id, type, name] : {std::tuple{kVase, HOST_OBJECT, "vase"}, {kSun, HOST_LIGHT, "Sun"}}) {
            vxs::Item& item = s.items.emplace_back();
            item.id = id, item.type = type, item.name = name;
        }
        s.items[0].object.mesh.polygonSurface = {0};
        s.items[0].object.mesh.maps.emplace_back().name = "uv1";
        s.items[0].object.mesh.maps.emplace_back().name = "paint";
        s.items[0].object.mesh.maps.back().type = HOST_VMAP_RGB;
        s.images.emplace_back().id = kWood;
        s.images.back().name = "wood";
        acquireHandlerGlobals(vxs::globalLookup);
    }
    void TearDown() override {
        vxs::uiSession() = vxs::UiSession{};
        vxs::currentScene() = before_;
        acquireHandlerGlobals(nullptr);
    }

    // Opens the node's panel and feeds it the script's lines; what `show`
    // printed. `inPanel` runs on the open panel before the script.
    std::string edit(NodeList& tree, Node& node, const std::string& script,
                     const std::function<void(vxs::ui::Panel&)>& inPanel = nullptr) {
        std::vector<vxs::ui::ScriptStep> steps;
        std::string error;
        EXPECT_TRUE(vxs::ui::parseScript(script, steps, error)) << error;
        vxs::ui::ScriptRunner runner(std::move(steps), {});
        vxs::UiSession& session = vxs::uiSession();
        session.asker = &runner;
        std::string shown;
        session.eventLoop = [&](const std::function<bool()>& more) {
            if (inPanel) inPanel(*vxs::focusPanel());
            testing::internal::CaptureStdout();
            runner.run(vxs::focusPanel, more, error);
            shown = testing::internal::GetCapturedStdout();
        };
        EXPECT_TRUE(editParameters(tree, nullptr, node));
        EXPECT_EQ(error, "");
        return shown;
    }

    vxs::Scene before_;
};

TEST_F(ParamPanel, EveryKindShowsItsValueAndOkWritesWhatWasTyped) {
    struct Row {
        const char* input;
        ParamValue stored;
        const char* shown;
        const char* typed;  // null: left as shown
        ParamValue written;
    };
    const Row rows[] = {
        {"colour", {0, {0.2, 0.4, 0.6}, ""}, "051 102 153", nullptr, {0, {0.2, 0.4, 0.6}, ""}},
        {"number", {0, {0.2, 0.4, 0.6}, ""}, "0.4", nullptr, {0, {0.4, 0.4, 0.4}, ""}},
        {"vector", {0, {1, 2, 3}, ""}, "1 2 3", "4 5 -6", {0, {4, 5, -6}, ""}},
        {"distance", {0, {0.25, 0.25, 0.25}, ""}, "25 cm", "2 m", {0, {2, 2, 2}, ""}},
        {"percent", {0, {0.25, 0.25, 0.25}, ""}, "25", "50", {0, {0.5, 0.5, 0.5}, ""}},
        {"angle", {0, {90, 90, 90}, ""}, "90", "45", {0, {45, 45, 45}, ""}},
        {"scale", {0, {1, 0.5, 2000}, ""}, "1 m 50 cm 2 km", "1 2 3", {0, {1, 2, 3}, ""}},
        {"check", {1, {}, ""}, "1", "0", {0, {}, ""}},
        {"integer", {7, {}, ""}, "7", "12", {12, {}, ""}},
        {"item", {int(kSun), {}, ""}, "Sun", "vase", {int(kVase), {}, ""}},
        {"object", {0, {}, ""}, "(none)", "vase", {int(kVase), {}, ""}},
        {"light", {int(kVase), {}, ""}, "(none)", "Sun", {int(kSun), {}, ""}},  // not a light
        {"image", {int(kWood), {}, ""}, "wood", "(none)", {0, {}, ""}},
        {"text", {0, {}, "hello"}, "hello", "two words", {0, {}, "two words"}},
        {"file", {0, {}, "a.png"}, "a.png", "/tmp/b.png", {0, {}, "/tmp/b.png"}},
        {"uv", {0, {}, "gone"}, "(none)", nullptr, {0, {}, ""}},
        {"vcolor", {0, {}, "paint"}, "paint", "(none)", {0, {}, ""}},
        {"surface", {0, {}, ""}, "(none)", "vase:Glaze", {0, {}, "vase:Glaze"}},
        {"choice", {1, {}, "a\nb\nc"}, "b", "c", {2, {}, "a\nb\nc"}},
        {"popup", {0, {}, "one\ntwo"}, "one", "two", {1, {}, "one\ntwo"}},
        {"tex", {}, "Edit Parameter", nullptr, {}},
    };
    NodeList tree;
    tree.nodes.push_back(std::make_unique<TAll>());
    Node& node = *tree.nodes[0];
    std::string script, expected;
    for (const Row& r : rows) {
        input(node, r.input).param = r.stored;
        script += std::string("show ") + r.input + "\n";
        expected += std::string(r.shown) + "\n";
        if (r.typed) script += std::string("field ") + r.input + " " + r.typed + "\n";
    }
    EXPECT_EQ(edit(tree, node, script + "button OK\n"), expected);
    for (const Row& r : rows) {
        const ParamValue& p = input(node, r.input).param;
        EXPECT_EQ(p.intValue, r.written.intValue) << r.input;
        EXPECT_EQ(p.text, r.written.text) << r.input;
        for (int i = 0; i < 3; ++i) EXPECT_NEAR((&p.value.x)[i], (&r.written.value.x)[i], 1e-9) << r.input;
    }
}

using Pixel = vxs::ui::Rgb;

// The rightmost column left of `limit` with dark text ink in the rows.
int inkEnd(const vxs::ui::Framebuffer& fb, int limit, int y, int h) {
    for (int x = limit - 1; x > 0; --x)
        for (int row = y; row < y + h; ++row)
            if (fb.pixel(x, row).r < 80 && fb.pixel(x, row).g < 80) return x;
    return -1;
}

// Whether text ink of the colour (one channel, or grey when -1) is in r.
bool inkIn(const vxs::ui::Framebuffer& fb, vxs::ui::Rect r, int channel) {
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            const Pixel p = fb.pixel(x, y);
            const int c[3] = {p.r, p.g, p.b};
            if (channel < 0 ? p.r == p.g && p.g == p.b && p.r <= 104
                            : c[channel] > 200 && c[(channel + 1) % 3] < 100 && c[(channel + 2) % 3] < 100)
                return true;
        }
    return false;
}

TEST_F(ParamPanel, RowsLabelsSwatchesAndBorderOfOneNodeOfEachFamily) {
    const auto catalogue = vxs::nodeCatalogue();
    const std::pair<const char*, const char*> kinds[] = {
        {"Generic", "color"}, {"Global", "uv"},          {"Operator", "add"},         {"Function", "mix"},
        {"Compose", "multiply"}, {"Texture", "tex_col"}, {"Custom Shader", "Lambert"}, {"Illuminate", "occlusion"},
        {"Raytrace", "reflect_blur"}, {"Utility", "fresnel"}};
    for (const auto& [category, name] : kinds) {
        SCOPED_TRACE(name);
        NodeList tree;
        tree.nodes.push_back(catalogue->createByName(category, name));
        tree.nodes.push_back(catalogue->createByName("Generic", "color"));
        Node& node = *tree.nodes[0];
        // Every colour at (0.2, 0.4, 0.6), the second one linked.
        std::vector<InputPort*> colours;
        for (InputPort& in : node.inputs)
            if (in.paramKind == PK_COLOR) {
                in.param.value = {0.2, 0.4, 0.6};
                colours.push_back(&in);
            }
        if (colours.size() > 1) colours[1]->source = tree.nodes[1].get();
        int labelMax = 0;
        for (const InputPort& in : node.inputs) labelMax = std::max(labelMax, vxs::ui::textWidth(in.name));
        edit(tree, node, "button Cancel\n", [&](vxs::ui::Panel& panel) {
            const vxs::ui::Framebuffer& fb = panel.pixels();
            int row = 0;
            for (const InputPort& in : node.inputs) {
                if (in.paramKind == PK_NONE) continue;
                SCOPED_TRACE(in.name);
                const int y = kParamRowPitch * row++;
                vxs::ui::Control* label = panel.find(vxs::ui::ControlKind::Text, in.name);
                ASSERT_NE(label, nullptr);
                EXPECT_EQ(label->area.y, y);
                EXPECT_EQ(label->area.x + label->area.w, labelMax + 96);
                EXPECT_GE(inkEnd(fb, labelMax + 96, y, 20), labelMax + 96 - 3);
                // The row's control: after the label, offset by its kind.
                vxs::ui::Control* c = nullptr;
                for (auto& k : panel.controls())
                    if (k->area.y == y && k->area.x > label->area.x && k->kind != vxs::ui::ControlKind::Text) c = k.get();
                ASSERT_NE(c, nullptr);
                const int e = in.paramKind == PK_COLOR ? 7 : in.paramKind == PK_CHECK || in.paramKind == PK_TEXTURE ? 6 : 0;
                EXPECT_EQ(c->area.x, labelMax + 104 + e);
                EXPECT_EQ(c->ghosted, in.source != nullptr);
                if (in.paramKind != PK_COLOR) continue;
                const vxs::ui::Rect a = c->area;
                EXPECT_EQ(std::make_pair(a.w, a.h), std::make_pair(104, 16));
                EXPECT_EQ(fb.pixel(a.x + 5, a.y + 8), (Pixel{51, 102, 153}));
                EXPECT_EQ(fb.pixel(a.x + 25, a.y + 1), (Pixel{128, 128, 128}));
                const bool linked = in.source != nullptr;
                for (int i = 0; i < 3; ++i) EXPECT_EQ(inkIn(fb, {a.x + 24 + 24 * i, a.y, 24, a.h}, i), !linked) << i;
                EXPECT_EQ(inkIn(fb, {a.x + 24, a.y, 72, a.h}, -1), linked);
            }
            // The sunken border between the preview and the rows.
            const int mid = (panel.height() - 32) / 2;
            EXPECT_EQ(fb.pixel(kParamBorderX, mid), vxs::ui::colour::kShadow);
            EXPECT_EQ(fb.pixel(kParamBorderX + 1, mid), vxs::ui::colour::kLight);
            EXPECT_EQ(fb.pixel(kParamBorderX + 2, mid), vxs::ui::colour::kPanel);
            EXPECT_EQ(fb.pixel(kParamBorderX, panel.height() - 31), vxs::ui::colour::kPanel);
        });
    }
}

}  // namespace
