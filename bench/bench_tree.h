// A 30-node tree of inputs, maths, blend modes and colour conversions feeding
// five root channels: the load the benchmarks measure.
#pragma once

#include <initializer_list>
#include <memory>
#include <string_view>
#include <utility>

#include "core/catalogue.h"
#include "core/node.h"
#include "core/root.h"

namespace vxb {

using vx::Node;
using vx::NodeValue;

constexpr NodeValue kDir{0.3, 0.8, 0.5}, kA{0.9, 0.2, 0.1}, kB{0.1, 0.3, 0.9}, kC{0.5, 0.5, 0.5};

// Every node but the root runs once per sample.
constexpr int kNodeEvaluations = 29;

inline int outputIndex(const Node* n, std::string_view name) {
    for (int i = 0; i < n->outputCount; ++i)
        if (n->outputs[i].name == name) return i;
    return 0;
}

struct BenchTree {
    std::unique_ptr<vx::NodeFactoryData> cat = vx::buildCatalogue(nullptr, "QK_Valtorimex");
    vx::NodeList list;

    Node* make(const char* category, const char* name) {
        list.nodes.push_back(cat->createByName(category, name));
        return list.nodes.back().get();
    }
    Node* constant(const char* name, NodeValue v) {
        Node* n = make("Generic", name);
        n->inputs[0].param.value = v;
        return n;
    }
    static void link(Node* to, int input, Node* from, std::string_view output = "") {
        to->inputs[input].source = from;
        to->inputs[input].sourceOutput = output.empty() ? 0 : outputIndex(from, output);
    }
    Node* op(const char* category, const char* name, std::initializer_list<std::pair<Node*, const char*>> in) {
        Node* n = make(category, name);
        int i = 0;
        for (auto [from, output] : in) {
            if (from) link(n, i, from, output);
            ++i;
        }
        return n;
    }

    Node* root() const { return list.nodes.front().get(); }

    BenchTree() {
        Node* root = make("Root", "root");
        Node* geom = make("Global", "geom");
        Node* dir = constant("vector", kDir);
        Node* d = op("Operator", "dot", {{geom, "norm"}, {dir, ""}});
        Node* m = op("Operator", "mul", {{d, ""}, {constant("value", NodeValue::scalar(4)), ""}});
        Node* t = op("Function", "abs", {{op("Function", "sin", {{m, ""}}), ""}});
        Node* c1 = op("Function", "mix", {{constant("color", kA), ""}, {constant("color", kB), ""}, {t, ""}});
        Node* len = op("Function", "length", {{geom, "pos"}});
        Node* l4 = op("Operator", "mul", {{len, ""}, {constant("value", NodeValue::scalar(0.25)), ""}});
        Node* k = op("Function", "clamp", {{l4, ""}});
        Node* o = op("Compose", "overlay", {{c1, ""}, {constant("color", kC), ""}, {k, ""}});
        Node* hsv = op("Utility", "rgb -> hsv", {{o, ""}});
        Node* h2 = op("Operator", "add", {{hsv, "h"}, {constant("value", NodeValue::scalar(0.1)), ""}});
        Node* col = op("Utility", "hsv -> rgb", {{h2, ""}, {hsv, "s"}, {hsv, "v"}});
        Node* spec = op("Operator", "mul", {{op("Function", "smoothstep", {{nullptr, ""}, {nullptr, ""}, {t, ""}}), ""},
                                            {constant("percent", NodeValue::scalar(0.6)), ""}});
        Node* diff = op("Operator", "sub", {{constant("value", NodeValue::scalar(1)), ""}, {k, ""}});
        Node* gloss = op("Function", "pow", {{t, ""}, {constant("value", NodeValue::scalar(2)), ""}});
        Node* lumi = op("Function", "length", {{op("Operator", "cross", {{geom, "pos"}, {dir, ""}}), ""}});
        link(root, vx::RI_COLOR, col);
        link(root, vx::RI_SPEC, spec);
        link(root, vx::RI_DIFF, diff);
        link(root, vx::RI_GLOSS, gloss);
        link(root, vx::RI_LUMI, lumi);
    }
};

}  // namespace vxb
