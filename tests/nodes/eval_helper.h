// Makes node kinds of the library by name and evaluates them for one sample.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue.h"
#include "core/env.h"
#include "tests/near.h"

namespace vxn {

using namespace vx;

constexpr NodeValue S(double v) { return NodeValue::scalar(v); }
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using vxt::describe;
using vxt::near;

inline const NodeFactoryData& library() {
    static const std::unique_ptr<NodeFactoryData> catalogue = buildCatalogue(nullptr, "QK_Valtorimex");
    return *catalogue;
}

// A node of the kind with its first inputs' values set from `params`.
inline std::unique_ptr<Node> makeKind(std::string_view category, std::string_view name,
                                      const std::vector<NodeValue>& params = {}) {
    std::unique_ptr<Node> node = library().createByName(category, name);
    if (!node) {
        ADD_FAILURE() << "no kind (" << category << ", " << name << ")";
        return node;
    }
    EXPECT_LE(params.size(), node->inputs.size()) << name;
    for (size_t i = 0; i < params.size() && i < node->inputs.size(); ++i) node->inputs[i].param.value = params[i];
    return node;
}

// Every output of the node after it is evaluated once in a fresh sample.
inline std::vector<NodeValue> evaluateOutputs(const Node& node) {
    NodeEnv env;
    node.evaluate(env);
    const NodeValue* out = env.cache.find(&node);
    if (!out) return {};
    return {out, out + node.outputCount};
}

// One row of a table-driven test: a kind, its input values in port order
// (trailing inputs keep their defaults) and one expected output.
struct KindCase {
    const char* category;
    const char* name;
    std::vector<NodeValue> params;
    NodeValue expected;
    int output = 0;
};

inline void expectCases(const std::vector<KindCase>& cases, double tolerance = 1e-12) {
    for (size_t row = 0; row < cases.size(); ++row) {
        const KindCase& c = cases[row];
        SCOPED_TRACE(::testing::Message() << "row " << row << ": \"" << c.name << "\"");
        const std::unique_ptr<Node> node = makeKind(c.category, c.name, c.params);
        if (!node) continue;
        const std::vector<NodeValue> out = evaluateOutputs(*node);
        ASSERT_LT(c.output, static_cast<int>(out.size()));
        EXPECT_TRUE(near(out[c.output], c.expected, tolerance));
    }
}

}  // namespace vxn
