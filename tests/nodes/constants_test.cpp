#include "tests/nodes/eval_helper.h"

namespace vxn {
namespace {

TEST(Constants, OutputsFollowParameters) {
    const NodeValue colourish{0.2, 0.4, 0.6};
    expectCases({
        {"Generic", "value",       {colourish},              S(0.4)},
        {"Generic", "percent",     {S(1.5)},                 S(1.5)},  // a fraction, never clamped
        {"Generic", "color",       {colourish},              colourish},
        {"Generic", "vector",      {},                       {0, 1, 0}},
        {"Generic", "vector",      {{-1, 2, -3}},            {-1, 2, -3}},
        {"Generic", "val3 -> vec", {},                       {1, 0, 0}},
        {"Generic", "val3 -> vec", {colourish, S(2), {0, 0, 3}}, {0.4, 2, 1}},
        {"Generic", "vec -> val3", {{1, 2, 3}},              S(1), 0},
        {"Generic", "vec -> val3", {{1, 2, 3}},              S(2), 1},
        {"Generic", "vec -> val3", {{1, 2, 3}},              S(3), 2},
        {"Generic", "vec -> val3", {},                       S(0), 2},
    });
}

TEST(Constants, ConverterReadsLinkedTriple) {
    NodeList list;
    list.nodes.push_back(makeKind("Generic", "vector", {{4, 5, 6}}));
    list.nodes.push_back(makeKind("Generic", "vec -> val3"));
    Node* conv = list.nodes.back().get();
    conv->inputs[0].source = list.nodes[0].get();
    const std::vector<NodeValue> out = evaluateOutputs(*conv);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0], S(4));
    EXPECT_EQ(out[1], S(5));
    EXPECT_EQ(out[2], S(6));
}

}  // namespace
}  // namespace vxn
