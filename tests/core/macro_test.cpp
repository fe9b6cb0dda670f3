#include <gtest/gtest.h>

#include "core/evaluate.h"
#include "tests/core/test_kinds.h"

using namespace vxt;

namespace {

struct MacroTree {
    std::unique_ptr<NodeFactoryData> cat = testCatalogue();
    NodeList list;

    // A macro whose inner root passes out `inner` (a node made in its tree).
    NMacro* macro(NodeList& where, Node** innerNode = nullptr, const char* innerKind = "const") {
        auto* m = static_cast<NMacro*>(add(where, *cat, "Macro", "macro"));
        Node* r = add(m->inner, *cat, "Macro", "macro root");
        Node* n = add(m->inner, *cat, "Test", innerKind);
        link(r, 0, n);
        if (innerNode) *innerNode = n;
        return m;
    }
};

TEST(Macro, PassesInnerValueOutThroughNesting) {
    MacroTree t;
    Node* c = nullptr;
    NMacro* outer = static_cast<NMacro*>(add(t.list, *t.cat, "Macro", "macro"));
    Node* outerRoot = add(outer->inner, *t.cat, "Macro", "macro root");
    NMacro* inner = t.macro(outer->inner, &c);
    link(outerRoot, 0, inner);
    c->inputs[0].param.value = {1, 0, 0};
    NodeEnv env;
    outer->evaluate(env);
    EXPECT_EQ(env.cache.find(outer)[0], (NodeValue{1, 0, 0}));
}

TEST(Macro, ReadByTwoInputsRunsInnerTreeOnce) {
    MacroTree t;
    Node* counter = nullptr;
    NMacro* m = t.macro(t.list, &counter, "count");
    Node* reader = add(t.list, *t.cat, "Test", "count");
    link(reader, 0, m);
    link(reader, 1, m);
    TCount::runs = 0;
    NodeEnv env;
    reader->evaluate(env);
    EXPECT_EQ(TCount::runs, 2) << "the inner counter and the reader, once each";
}

TEST(Macro, CloneCopiesInnerTreeDeeply) {
    MacroTree t;
    Node* c = nullptr;
    t.macro(t.list, &c);
    c->inputs[0].param.value = {0, 1, 0};
    std::unique_ptr<NodeList> copy = cloneList(t.list, *t.cat);
    auto* m2 = dynamic_cast<NMacro*>(copy->nodes[0].get());
    ASSERT_NE(m2, nullptr);
    ASSERT_EQ(m2->inner.nodes.size(), 2u);
    Node* c2 = m2->inner.nodes[1].get();
    EXPECT_NE(c2, c);
    EXPECT_EQ(m2->inner.nodes[0]->inputs[0].source, c2);
    c2->inputs[0].param.value = {};
    EXPECT_EQ(c->inputs[0].param.value, (NodeValue{0, 1, 0}));
}

TEST(Macro, ItemsReportedAndRemappedThroughInnerTrees) {
    MacroTree t;
    Node* top = add(t.list, *t.cat, "Test", "item");
    Node* inner = nullptr;
    t.macro(t.list, &inner, "item");
    top->inputs[0].param.intValue = 5;
    top->inputs[1].param.intValue = 99;  // an integer, not an item
    inner->inputs[0].param.intValue = 7;
    std::vector<HostID> ids;
    collectItems(t.list, ids);
    EXPECT_EQ(ids, (std::vector<HostID>{5, 7}));
    const HostID pairs[] = {5, 9, 7, 11, 0};
    remapItems(t.list, pairs);
    EXPECT_EQ(top->inputs[0].param.intValue, 9);
    EXPECT_EQ(inner->inputs[0].param.intValue, 11);
    EXPECT_EQ(top->inputs[1].param.intValue, 99);
}

}  // namespace
