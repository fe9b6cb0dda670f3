#include "editor/canvas.h"

#include <gtest/gtest.h>

#include <cstring>

#include "editor/panel.h"
#include "editor/requester.h"
#include "tests/core/test_kinds.h"

using namespace vxt;

namespace {

class Named final : public Node {
public:
    Named(const char* name, int inputs, int outputs, bool root) {
        static const InputDecl in[] = {{"unlinkable", VT_ANY, PK_NUMBER, 0}, {"a"}, {"b"}, {"c"}, {nullptr}};
        static const OutputDecl out[] = {{"out"}, {"other"}, {nullptr}};
        setup(name, "Test", in + 4 - inputs, out + 2 - outputs, root);
    }
    std::unique_ptr<Node> createNew() const override { return nullptr; }
};

int sixPerChar(const char* s) { return 6 * static_cast<int>(std::strlen(s)); }

TEST(Measure, TitleMinimumAndRowCount) {
    Named bare("x", 0, 0, false);
    measureNode(bare, sixPerChar);
    EXPECT_EQ(bare.width, 80);
    EXPECT_EQ(bare.height, 96);

    NRoot root;
    measureNode(root, sixPerChar);
    EXPECT_EQ(root.height, 400) << "19 inputs; its outputs do not count";

    Named wide("w", 4, 2, false);  // the long label is not connectable, so it takes no column
    measureNode(wide, sixPerChar);
    EXPECT_EQ(wide.width, 80) << "6 + 32 + 30 is under the title minimum";
    EXPECT_EQ(wide.layout, 80 - 30 - 32);
    EXPECT_EQ(wide.height, (3 + 6) * 16);
}

TEST(Measure, HitPartsByRowAndColumn) {
    Named n("node", 3, 2, false);
    measureNode(n, sixPerChar);
    n.x = 100;
    n.y = 50;
    struct Row { int rx, ry; NodePart part; int port; } rows[] = {
        {n.width - 10, 8, NodePart::Expand, -1}, {30, 50, NodePart::Preview, -1},
        {2, 92, NodePart::Input, 0},              {2, 125, NodePart::Input, 2},
        {n.width - 2, 108, NodePart::Output, 0},  {n.width - 2, 109, NodePart::Output, 1},
        {n.width / 2, 8, NodePart::Body, -1}};
    for (const Row& r : rows) {
        const NodeHit hit = hitPart(n, n.x + r.rx, n.y + r.ry);
        EXPECT_EQ(hit.part, r.part) << r.rx << "," << r.ry;
        EXPECT_EQ(hit.port, r.port) << r.rx << "," << r.ry;
    }
}

TEST(Measure, ANodesRightColumnAndBottomRowAreItsOwn) {
    NodeList tree;
    tree.nodes.push_back(std::make_unique<Named>("n", 0, 0, false));
    Node& n = *tree.nodes[0];
    n.x = 100, n.y = 50, n.width = 80, n.height = 96;
    struct Row { bool expanded; int x, y; bool hit; } rows[] = {
        {true, 180, 50, true},  {true, 100, 146, true},  {true, 180, 146, true}, {true, 181, 50, false},
        {true, 100, 147, false}, {true, 99, 50, false},  {false, 100, 66, true}, {false, 100, 67, false}};
    for (const Row& r : rows) {
        n.expanded = r.expanded;
        EXPECT_EQ(bringToFront(tree, r.x, r.y) != nullptr, r.hit) << r.x << "," << r.y;
    }
}

TEST(Placement, BesideAVisibleCurrentNodeElse64IntoTheView) {
    Named n("n", 0, 0, false);
    n.width = 80;
    n.height = 96;
    struct Row { bool current; int x, y; Point expected; } rows[] = {
        {false, 0, 0, {110, 264}},  {true, 100, 250, {132, 282}}, {true, 45, 250, {110, 264}},
        {true, 334, 250, {110, 264}}, {true, 333, 250, {365, 282}},  {true, 100, 373, {110, 264}}};
    for (const Row& r : rows) {
        n.x = r.x;
        n.y = r.y;
        EXPECT_EQ(placeNewNode(r.current ? &n : nullptr, 46, 200, 400, 300), r.expected) << r.x;
    }
}

TEST(LinkPath, OrthogonalBendSpreadsOutputs) {
    const Point from{100, 200};
    const auto mid = [&](Point to, int output, int count) { return linkPath(from, to, 1, output, count)[2].x; };
    EXPECT_EQ(mid({300, 100}, 0, 2), 100 + 8 + (300 - 100 - 24) / 2) << "above";
    EXPECT_EQ(mid({300, 300}, 0, 2), 100 + 8 + (300 - 100 - 24) / 2) << "below";
    EXPECT_EQ(mid({90, 300}, 0, 3), 100 + 8 + (90 - 100 - 24) * 2 / 3) << "truncates toward zero";
    EXPECT_EQ(linkPath(from, {300, 100}, 0, 0, 2), (std::vector<Point>{from, {108, 200}, {284, 100}, {300, 100}}));
}

TEST(Requester, PatternAndDefaultExtension) {
    EXPECT_EQ(filePattern(true, "shd"), "<*.shd");
    EXPECT_EQ(filePattern(false, ".shd"), ">*.shd");
    struct Row { const char* typed; const char* expected; } rows[] = {
        {"tree", "tree.shd"}, {"tree.SHD", "tree.SHD"}, {"tree.", "tree.shd"}, {"tree.shd.", "tree.shd"},
        {"tree.txt", "tree.txt.shd"}};
    for (const Row& r : rows) {
        std::string name = r.typed, path = std::string("/d/") + r.typed;
        applyDefaultExtension(name, path, "shd");
        EXPECT_EQ(name, r.expected);
        EXPECT_EQ(path, std::string("/d/") + r.expected);
    }
}

}  // namespace
