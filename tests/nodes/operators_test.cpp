#include "tests/nodes/eval_helper.h"

namespace vxn {
namespace {

TEST(Operators, Results) {
    const NodeValue colour{0.2, 0.4, 0.6};
    expectCases({
        {"Operator", "add",   {colour},                   {1.2, 1.4, 1.6}},  // nothing clamped
        {"Operator", "sub",   {colour, {1, -1, 0.5}},     {-0.8, 1.4, 0.1}},
        {"Operator", "mul",   {colour, {2, -1, 0}},       {0.4, -0.4, 0}},
        {"Operator", "div",   {{1, 2, 3}, {2, 4, -6}},    {0.5, 0.5, -0.5}},
        {"Operator", "div",   {{1, 2, 3}, {2, 0, 2}},     {0, 0, 0}},  // one exact zero clears all
        {"Operator", "div",   {{1, 2, 3}, {-0.0, 1, 1}},  {0, 0, 0}},
        {"Operator", "div",   {{1, 2, 3}, {1e-300, 1, 1}}, {1e300, 2, 3}},  // tiny is not zero
        {"Operator", "div",   {},                         {0, 0, 0}},
        {"Operator", "dot",   {},                         S(1)},
        {"Operator", "dot",   {{1, 2, 3}, {4, -5, 6}},    S(12)},
        {"Operator", "cross", {{1, 0, 0}, {0, 1, 0}},     {0, 0, 1}},
        {"Operator", "cross", {{0, 1, 0}, {1, 0, 0}},     {0, 0, -1}},  // order matters
        {"Operator", "cross", {{1, 2, 3}, {4, 5, 6}},     {-3, 6, -3}},
        {"Operator", "cross", {},                         {0, 0, 0}},
    });
}

}  // namespace
}  // namespace vxn
