#include "editor/user_panel.h"

#include <gtest/gtest.h>

#include "editor/config.h"
#include "plugin/activation.h"
#include "plugin/instance.h"
#include "tests/core/test_kinds.h"
#include "tests/editor/fake_ui.h"

using namespace vxt;

namespace {

struct Editor : ::testing::Test {
    FakeUi ui;
    std::unique_ptr<NodeFactoryData> cat = testCatalogue();
    NodeList tree;
    std::unique_ptr<UserPanel> panel;

    void SetUp() override {
        editorOptions() = EditorOptions{};
        panel = std::make_unique<UserPanel>("editor", tree, *cat, nullptr);
        panel->show();
    }
    Node* place(const char* category, const char* name, int x, int y) {
        Node* n = add(*panel->tree(), *cat, category, name);
        measureNode(*n, [](const char* s) { return 6 * static_cast<int>(std::strlen(s)); });
        n->x = x;
        n->y = y;
        return n;
    }
    // Window points of canvas points.
    int wx(int cx) const { return kCanvasLeft + cx - panel->scrollX(); }
    int wy(int cy) const { return kCanvasTop + cy - panel->scrollY(); }
    // Selects a catalogue entry in the Components tree.
    void pick(const char* category, const char* name) {
        for (const auto& g : cat->children())
            if (g->category() == category) {
                FakeUi::control("Components")->item = g.get();
                for (const auto& k : g->children())
                    if (name && k->prototype()->name == name) FakeUi::control("Components")->item = k.get();
            }
    }
};

TEST_F(Editor, ComponentsDoubleClickRules) {
    FakeUi::Control* components = FakeUi::control("Components");
    struct Row {
        const char* category;
        const char* name;
        uint32_t wait;
        int dx;
        size_t nodes;
    } rows[] = {
        {"Test", nullptr, 0, 4, 0},     // a category
        {"Test", "const", 0, 4, 1},     // a kind
        {"Test", "const", 500, 4, 1},   // too slow
        {"Test", "const", 0, 110, 1},   // in the scroll bar
        {"Test", "const", 0, 4, 2},
    };
    for (const Row& r : rows) {
        pick(r.category, r.name);
        FakeUi::use(components, r.dx);
        FakeUi::now += r.wait;
        FakeUi::use(components, r.dx);
        EXPECT_EQ(tree.nodes.size(), r.nodes) << r.category << " " << (r.name ? r.name : "") << " " << r.wait;
    }
}

TEST_F(Editor, EscapeDeselectsRPreviewsAllDeleteDuringADragEndsIt) {
    Node* a = place("Test", "count", 0, 0);
    FakeUi::click(wx(40), wy(8));
    FakeUi::key(HOST_KEY_ESCAPE);
    EXPECT_TRUE(panel->selection().empty());
    FakeUi::key('r');
    EXPECT_EQ(panel->info(), "All preview done.");
    EXPECT_NE(a->preview, nullptr);

    FakeUi::press(wx(78), wy(100));  // a link from a's output
    FakeUi::key(HOST_KEY_DELETE);
    EXPECT_EQ(panel->info(), "1 nodes deleted.");
    EXPECT_EQ(panel->dragState(), DragState::None);
    FakeUi::release(wx(300), wy(300));
    EXPECT_TRUE(tree.nodes.empty());
}

TEST(Interface, ActivationRegistersTheEditorOnlyWithTheSceneTables) {
    FakeUi ui;
    HostShaderInterface local{};
    EXPECT_EQ(activateInterface(3, FakeUi::lookup, &local, nullptr), HOST_AFUNC_BADVERSION);
    acquireHandlerGlobals([](const char*, int) -> void* { return nullptr; });
    EXPECT_EQ(activateInterface(4, FakeUi::lookup, &local, nullptr), HOST_AFUNC_OK);
    EXPECT_EQ(local.optionsFunc, nullptr);
    acquireHandlerGlobals(FakeUi::lookup);
    ASSERT_EQ(activateInterface(4, FakeUi::lookup, &local, nullptr), HOST_AFUNC_OK);
    ASSERT_NE(local.optionsFunc, nullptr);

    ShaderInstance instance(nullptr);
    EXPECT_EQ(local.optionsFunc(&instance), 0);
    ASSERT_NE(instance.editor, nullptr);
    EXPECT_EQ(instance.editor->title, "QK's Valtorimex version 0.52 [  ]");
    EXPECT_EQ(instance.editor->info(), "Welcome to the valtorimex editor.");
}

}  // namespace
