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
    void drag(int cx1, int cy1, int cx2, int cy2) {
        FakeUi::press(wx(cx1), wy(cy1));
        FakeUi::move(wx(cx2), wy(cy2));
        FakeUi::release(wx(cx2), wy(cy2));
    }
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

TEST_F(Editor, OverlappingNodesHitTheOneDrawnLastAndBringItToTop) {
    Node* a = place("Test", "count", 0, 0);
    Node* b = place("Test", "count", 40, 0);
    FakeUi::click(wx(60), wy(8));
    EXPECT_EQ(panel->currentNode(), b);
    FakeUi::click(wx(10), wy(8));
    EXPECT_EQ(panel->currentNode(), a);
    EXPECT_EQ(tree.nodes.back().get(), a);
    FakeUi::click(wx(60), wy(8));
    EXPECT_EQ(panel->currentNode(), a) << "a is on top now";
}

TEST_F(Editor, ConnectingRefusesCyclesAndTheSourceItself) {
    Node* a = place("Test", "count", 0, 0);
    Node* b = place("Test", "count", 200, 0);
    drag(78, 100, 202, 100);  // a's first output onto b's first input
    EXPECT_EQ(b->inputs[0].source, a);

    drag(278, 100, 2, 118);  // b's first output onto a's second input
    EXPECT_EQ(panel->info(), "Connection loop detected, cannot connect.");
    EXPECT_EQ(a->inputs[1].source, nullptr);

    drag(78, 100, 2, 118);  // onto the source itself
    EXPECT_EQ(a->inputs[1].source, nullptr);

    drag(202, 100, 150, 300);  // picked up from b and dropped on empty canvas
    EXPECT_EQ(b->inputs[0].source, nullptr);
}

TEST_F(Editor, SecondRootRefusedByAddComponentShortcutAndPaste) {
    place("Root", "root", 0, 0);
    place("Test", "const", 300, 0);
    pick("Root", "root");
    FakeUi::use(FakeUi::control("Add Component"));
    EXPECT_EQ(panel->info(), "Cannot put multiple root.");
    scMan().add('q', "Root", "root");
    FakeUi::ctrl(17);
    EXPECT_EQ(panel->info(), "Cannot put multiple root.");
    EXPECT_EQ(tree.nodes.size(), 2u);

    panel->selectAll();
    FakeUi::key('c');
    EXPECT_EQ(panel->info(), "2 nodes copied.");
    FakeUi::key('v');
    EXPECT_EQ(panel->info(), "1 nodes pasted.");
    EXPECT_EQ(tree.nodes.size(), 3u);
}

TEST_F(Editor, CtrlLetterAddsTheBoundKindOrOnlyRedraws) {
    scMan().add('w', "Test", "const");
    FakeUi::ctrl(23);
    ASSERT_EQ(tree.nodes.size(), 1u);
    EXPECT_EQ(tree.nodes[0]->name, "const");
    EXPECT_EQ(tree.nodes[0]->x, 64);
    FakeUi::ctrl(3);  // Ctrl with C: bound to nothing, so no copy
    EXPECT_EQ(tree.nodes.size(), 1u);
    EXPECT_NE(panel->info(), "1 nodes copied.");
}

TEST_F(Editor, CopyPasteKeepsTheInnerLinkAndPlacesAtScrollPlus64) {
    Node* a = place("Test", "count", 10, 20);
    Node* b = place("Test", "count", 200, 40);
    link(b, 0, a);
    FakeUi::click(wx(40), wy(28));
    FakeUi::click(wx(230), wy(48), HOST_QUAL_LEFT | HOST_QUAL_SHIFT);
    FakeUi::key('c');
    EXPECT_EQ(panel->info(), "2 nodes copied.");
    FakeUi::key(HOST_KEY_RIGHT);
    FakeUi::key('v');
    EXPECT_EQ(panel->info(), "2 nodes pasted.");
    ASSERT_EQ(tree.nodes.size(), 4u);
    Node* a2 = tree.nodes[2].get();
    Node* b2 = tree.nodes[3].get();
    EXPECT_EQ(b2->inputs[0].source, a2);
    EXPECT_EQ(b->inputs[0].source, a);
    EXPECT_EQ(a2->x, 32 + 64);
    EXPECT_EQ(a2->y, 64);
    EXPECT_EQ(b2->y, 84);
    EXPECT_EQ(panel->selection(), (std::vector<Node*>{a2, b2}));
}

TEST_F(Editor, GripStopsAtMinimumAndRecreatesThePanel) {
    const int created = FakeUi::panelsCreated;
    FakeUi::press(795, 595);
    EXPECT_EQ(panel->info(), "Welcome to the valtorimex editor.") << "the press never reached the canvas";
    FakeUi::move(100, 100);
    EXPECT_EQ(FakeUi::live->w, 640);
    EXPECT_EQ(FakeUi::live->h, 360);
    FakeUi::release(100, 100);
    EXPECT_EQ(FakeUi::panelsCreated, created + 1);
    EXPECT_EQ(FakeUi::control("Quit Macro")->x, 640 - 72);
}

TEST_F(Editor, DraggedNodeAtTheRightEdgeScrollsBy16) {
    Node* n = place("Test", "count", 500, 100);
    const int edge = kCanvasLeft + (800 - 183) - 4;
    FakeUi::press(wx(540), wy(108));
    FakeUi::move(edge, wy(108));
    const int x = n->x;
    FakeUi::move(edge, wy(108));
    EXPECT_EQ(n->x, x + 16);
    EXPECT_EQ(panel->scrollX(), 32);
}

TEST_F(Editor, MacroEnteredByDoubleClickLeftByQuitMacroAndByReopening) {
    place("Test", "count", 0, 0);
    Node* m = place("Macro", "macro", 300, 100);
    FakeUi::key(HOST_KEY_DOWN);
    FakeUi::click(wx(340), wy(108));
    FakeUi::click(wx(341), wy(108));
    ASSERT_EQ(panel->tree(), &static_cast<NMacro*>(m)->inner);
    EXPECT_EQ(panel->scrollY(), 0);
    EXPECT_FALSE(FakeUi::control("Quit Macro")->ghosted);
    FakeUi::use(FakeUi::control("Quit Macro"));
    EXPECT_EQ(panel->tree(), &tree);
    EXPECT_EQ(panel->scrollY(), 32);
    EXPECT_TRUE(FakeUi::control("Quit Macro")->ghosted);

    panel->editNode(m);
    panel->show();
    EXPECT_EQ(panel->tree(), &tree);
    EXPECT_EQ(panel->scrollY(), 32);
    EXPECT_TRUE(FakeUi::control("Quit Macro")->ghosted);
}

TEST_F(Editor, ClearNodesAskedAndCancelled) {
    place("Test", "count", 0, 0);
    FakeUi::Control* file = FakeUi::live->controls[0].get();
    FakeUi::okAnswer = 0;
    file->value = 5;
    FakeUi::use(file);
    EXPECT_EQ(tree.nodes.size(), 1u);
    EXPECT_EQ(file->value, 0) << "back to its first item";
    EXPECT_EQ(panel->info(), "") << "the control event cleared the greeting";
    FakeUi::okAnswer = 1;
    file->value = 5;
    FakeUi::use(file);
    EXPECT_TRUE(tree.nodes.empty());
}

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

TEST_F(Editor, ContextMenuSeparatorRunsNothing) {
    place("Test", "count", 0, 0);
    FakeUi::menuChoice = 1;
    FakeUi::click(wx(300), wy(300), HOST_QUAL_LEFT | HOST_QUAL_RIGHT);
    EXPECT_TRUE(panel->selection().empty());
    EXPECT_EQ(panel->info(), "");
    FakeUi::menuChoice = MI_SELECT_ALL;
    FakeUi::click(wx(300), wy(300), HOST_QUAL_LEFT | HOST_QUAL_RIGHT);
    EXPECT_EQ(panel->selection().size(), 1u);
    FakeUi::menuChoice = -1;
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
