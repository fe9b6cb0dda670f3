// The kinds of the value, math, compose and colour families as the catalogue
// offers them, and their parameters through both stream forms.
#include <sstream>
#include <string>

#include "core/persist.h"
#include "standin/streams/streams.h"
#include "tests/nodes/eval_helper.h"
#include "tests/nodes/kind_order.h"

namespace vxn {
namespace {

// clang-format off
constexpr KindPorts kKinds[] = {
    {"Generic",  "value",       "val",           "val"},
    {"Generic",  "percent",     "val",           "val"},
    {"Generic",  "color",       "col",           "col"},
    {"Generic",  "vector",      "vec",           "vec"},
    {"Generic",  "val3 -> vec", "x y z",         "vec"},
    {"Generic",  "vec -> val3", "vec",           "x y z"},
    {"Operator", "add",         "a b",           "r"},
    {"Operator", "sub",         "a b",           "r"},
    {"Operator", "mul",         "a b",           "r"},
    {"Operator", "div",         "a b",           "r"},
    {"Operator", "dot",         "v1 v2",         "r"},
    {"Operator", "cross",       "v1 v2",         "r"},
    {"Function", "mix",         "a b n",         "r"},
    {"Function", "clamp",       "v min max",     "r"},
    {"Function", "clamp_low",   "v min",         "r"},
    {"Function", "clamp_high",  "v max",         "r"},
    {"Function", "step",        "n v",           "r"},
    {"Function", "smoothstep",  "min max v",     "r"},
    {"Function", "linearstep",  "min max v",     "r"},
    {"Function", "normalize",   "v",             "r"},
    {"Function", "length",      "v",             "r"},
    {"Function", "distance",    "p1 p2",         "r"},
    {"Function", "radians",     "n",             "r"},
    {"Function", "degrees",     "n",             "r"},
    {"Function", "sin",         "n",             "r"},
    {"Function", "cos",         "n",             "r"},
    {"Function", "tan",         "n",             "r"},
    {"Function", "asin",        "n",             "r"},
    {"Function", "acos",        "n",             "r"},
    {"Function", "atan",        "n",             "r"},
    {"Function", "atan2",       "a b",           "r"},
    {"Function", "abs",         "n",             "r"},
    {"Function", "mod",         "a b",           "r"},
    {"Function", "sqrt",        "n",             "r"},
    {"Function", "pow",         "a b",           "r"},
    {"Function", "exp",         "n",             "r"},
    {"Function", "log",         "n",             "r"},
    {"Function", "logn",        "a b",           "r"},
    {"Compose",  "multiply",    "fg bg alpha",   "result"},
    {"Compose",  "screen",      "fg bg alpha",   "result"},
    {"Compose",  "overlay",     "fg bg alpha",   "result"},
    {"Compose",  "difference",  "fg bg alpha",   "result"},
    {"Compose",  "exclusion",   "fg bg alpha",   "result"},
    {"Compose",  "lighten",     "fg bg alpha",   "result"},
    {"Compose",  "darken",      "fg bg alpha",   "result"},
    {"Compose",  "hardlight",   "fg bg alpha",   "result"},
    {"Compose",  "softlight",   "fg bg alpha",   "result"},
    {"Compose",  "color dodge", "fg bg alpha",   "result"},
    {"Compose",  "color burn",  "fg bg alpha",   "result"},
    {"Utility",  "rgb -> hsv",  "rgb",           "h s v"},
    {"Utility",  "hsv -> rgb",  "h s v",         "rgb"},
    {"Utility",  "rgb -> hls",  "rgb",           "h l s"},
    {"Utility",  "hls -> rgb",  "h l s",         "rgb"},
    {"Utility",  "rgb -> ycc",  "rgb",           "y cr cb"},
    {"Utility",  "ycc -> rgb",  "y cr cb",       "rgb"},
};
// clang-format on

template <class Ports>
std::string joined(const Ports& ports) {
    std::string s;
    for (const auto& p : ports) s += (s.empty() ? "" : " ") + p.name;
    return s;
}

TEST(MathKinds, KindsInOrderWithTheirPorts) {
    expectKindsInOrder(kKinds, [](const Node& kind, const KindPorts& want) {
        EXPECT_EQ(kind.category, want.category);
        EXPECT_EQ(joined(kind.inputs), want.inputs);
        EXPECT_EQ(joined(kind.outputs), want.outputs);
        EXPECT_FALSE(kind.isRoot);
    });
}

TEST(MathKinds, NamesAreExactAndBoundToTheirCategory) {
    EXPECT_TRUE(library().createByName("Compose", "color dodge"));
    EXPECT_FALSE(library().createByName("Compose", "colordodge"));
    EXPECT_FALSE(library().createByName("Function", "add"));
    EXPECT_FALSE(library().createByName("Generic", "val3->vec"));
}

// Every kind, with a distinct value in every parameter and its first input
// linked to the node before it, read back from each stream form.
TEST(MathKinds, ParametersAndLinksSurviveBothStreamForms) {
    NodeList saved;
    for (const KindPorts& k : kKinds) {
        saved.nodes.push_back(makeKind(k.category, k.name));
        Node& n = *saved.nodes.back();
        const int position = static_cast<int>(saved.nodes.size());
        n.x = 10 * position;
        for (size_t i = 0; i < n.inputs.size(); ++i) {
            n.inputs[i].param.value = {position + 0.25, -0.5 * static_cast<double>(i), 1.0 / 3};
            n.inputs[i].param.intValue = position;
        }
        if (position > 1 && n.inputs[0].connectable) {
            n.inputs[0].source = saved.nodes[saved.nodes.size() - 2].get();
            n.inputs[0].sourceOutput = n.inputs[0].source->outputCount - 1;
        }
    }
    for (int form : {HOST_IO_TEXT, HOST_IO_BINARY}) {
        SCOPED_TRACE(form == HOST_IO_TEXT ? "text" : "binary");
        vxs::SaveStream out(form);
        ASSERT_TRUE(saveList(saved, *out.state()));
        vxs::LoadStream in(out.bytes());
        NodeList loaded;
        ASSERT_TRUE(loadList(loaded, *in.state(), library()));
        EXPECT_FALSE(in.failed());
        ASSERT_EQ(loaded.nodes.size(), saved.nodes.size());
        numberNodes(saved);
        numberNodes(loaded);
        for (size_t k = 0; k < saved.nodes.size(); ++k) {
            const Node &a = *saved.nodes[k], &b = *loaded.nodes[k];
            SCOPED_TRACE(a.name);
            EXPECT_EQ(b.category, a.category);
            EXPECT_EQ(b.name, a.name);
            EXPECT_EQ(b.x, a.x);
            for (size_t i = 0; i < a.inputs.size(); ++i) {
                const NodeValue& v = a.inputs[i].param.value;
                const NodeValue single{float(v.x), float(v.y), float(v.z)};
                EXPECT_EQ(b.inputs[i].param.value, single);
                EXPECT_EQ(b.inputs[i].param.intValue, a.inputs[i].param.intValue);
                EXPECT_EQ(b.inputs[i].source ? b.inputs[i].source->listIndex : 0,
                          a.inputs[i].source ? a.inputs[i].source->listIndex : 0);
                EXPECT_EQ(b.inputs[i].sourceOutput, a.inputs[i].sourceOutput);
            }
        }
    }
}

}  // namespace
}  // namespace vxn
