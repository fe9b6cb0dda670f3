#include <gtest/gtest.h>

#include "tests/core/test_kinds.h"

using namespace vxt;

namespace {

struct Graph {
    std::unique_ptr<NodeFactoryData> cat = testCatalogue();
    NodeList list;
    Node* node(const char* name) { return add(list, *cat, "Test", name); }
};

TEST(NodeModel, ReadInputUsesCacheParamOrSource) {
    Graph g;
    Node* c = g.node("const");
    Node* a = g.node("count");
    c->inputs[0].param.value = {0.2, 0.4, 0.6};
    a->inputs[1].param.value = {7, 8, 9};
    link(a, 0, c);

    EXPECT_EQ(a->readInput(a->inputs[0], nullptr), NodeValue{}) << "no sample: the param, not the link";
    NodeEnv env;
    EXPECT_EQ(a->readInput(a->inputs[1], &env), (NodeValue{7, 8, 9}));
    EXPECT_NEAR(a->readScalar(0, env), 0.4, 1e-15) << "a colour read as a scalar is its mean";
    TCount::runs = 0;
    a->evaluate(env);
    a->evaluate(env);
    EXPECT_EQ(TCount::runs, 2) << "evaluate itself is not cached; reads through links are";
    Node* b = g.node("count");
    link(b, 0, a);
    link(b, 1, a);
    TCount::runs = 0;
    b->evaluate(env);
    EXPECT_EQ(TCount::runs, 1) << "a was already in the cache";
}

TEST(NodeModel, BadOutputIndexReadsParam) {
    Graph g;
    Node* c = g.node("const");
    Node* a = g.node("count");
    link(a, 0, c, 5);
    a->inputs[0].param.value = {1, 2, 3};
    NodeEnv env;
    EXPECT_EQ(a->readValue(0, env), (NodeValue{1, 2, 3}));
}

TEST(NodeModel, CycleCheckOnLongChainAndWideDiamonds) {
    Graph g;
    Node* prev = g.node("count");
    for (int i = 0; i < 20000; ++i) {  // deep enough to overflow a recursive walk
        Node* n = g.node("count");
        link(n, 0, prev);
        link(n, 1, prev);  // every level a diamond: exponential if revisited
        prev = n;
    }
    EXPECT_FALSE(hasCycle(g.list));
    link(g.list.nodes.front().get(), 0, prev);
    EXPECT_TRUE(hasCycle(g.list));
}

TEST(Catalogue, CreateByNameMatchesCategoryAndExactName) {
    auto cat = buildCatalogue(nullptr, "QK_Valtorimex");
    struct Row { const char* category; const char* name; bool found; } rows[] = {
        {"Root", "root", true},         {"Macro", "macro", true},  {"Macro", "macro root", true},
        {"Macro", "macroroot", false},  {"Root", "Root", false},   {"Function", "root", false},
    };
    for (const Row& r : rows) {
        std::unique_ptr<Node> n = cat->createByName(r.category, r.name);
        EXPECT_EQ(n != nullptr, r.found) << r.category << "/" << r.name;
        if (n) {
            EXPECT_EQ(n->name, r.name);
            EXPECT_EQ(n->category, r.category);
        }
    }
    EXPECT_NE(cat->createByName("Root", "root"), cat->createByName("Root", "root"));
    EXPECT_FALSE(cat->registerKind(std::make_unique<NRoot>())) << "a second root kind is refused";
    EXPECT_EQ(cat->children().front()->category(), "Root");
}

}  // namespace
