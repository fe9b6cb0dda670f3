#include <numbers>

#include "tests/nodes/eval_helper.h"

namespace vxn {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(Functions, ClampsAndStepsAtTheirBoundaries) {
    expectCases({
        {"Function", "clamp",      {{-0.5, 0, 0.5}},                   {0, 0, 0.5}},
        {"Function", "clamp",      {{1, 1.5, 0.999}},                  {1, 1, 0.999}},
        {"Function", "clamp",      {{-1, 0.5, 2}, S(1), S(0)},         {0, 0, 0}},  // min above max: max
        {"Function", "clamp",      {{kNaN, 0.5, 0.5}},                 {0, 0.5, 0.5}},  // NaN fails v >= min
        {"Function", "clamp_low",  {{-0.5, 0, 0.5}},                   {0, 0, 0.5}},
        {"Function", "clamp_low",  {{0.4, 0.5, 2}, S(0.5)},            {0.5, 0.5, 2}},
        {"Function", "clamp_high", {{0.5, 1, 1.5}},                    {0.5, 1, 1}},
        {"Function", "clamp_high", {{-3, -2, 0}, S(-2)},               {-3, -2, -2}},
        {"Function", "step",       {S(0.5), {0.5, 0.4, 0.6}},          {1, 0, 1}},
        {"Function", "step",       {S(-1), {-1, -1.0001, 0}},          {1, 0, 1}},
        {"Function", "step",       {},                                 {1, 1, 1}},
        {"Function", "smoothstep", {},                                 S(0.5)},
        {"Function", "smoothstep", {S(0), S(1), {0, 1, 0.25}},         {0, 1, 0.15625}},
        {"Function", "smoothstep", {S(0), S(1), {-0.1, 1.1, 0.75}},    {0, 1, 0.84375}},
        {"Function", "smoothstep", {S(2), S(4), {3, 2.5, 4}},          {0.5, 0.15625, 1}},
        {"Function", "smoothstep", {S(1), S(0), {-0.5, 0, 0.5}},       {0, 1, 1}},  // max tested first
        {"Function", "smoothstep", {S(0.5), S(0.5), {0.4, 0.5, 0.6}},  {0, 1, 1}},
        {"Function", "linearstep", {S(0), S(1), {0, 0.25, 1}},         {0, 0.25, 1}},
        {"Function", "linearstep", {S(2), S(4), {3, 2.5, 5}},          {0.5, 0.25, 1}},
        {"Function", "linearstep", {S(1), S(0), {-0.5, 0, 0.5}},       {0, 1, 1}},
        {"Function", "linearstep", {S(0.5), S(0.5), {0.4, 0.5, 0.6}},  {0, 1, 1}},
    });
}

// Exactly: normalize divides by the length.
TEST(Functions, VectorLengths) {
    expectCases({
        {"Function", "normalize", {{1, 1, 5}},               NodeValue(1, 1, 5) / std::sqrt(27.0)},
        {"Function", "normalize", {},                        {0, 0, 0}},  // not NaN
        {"Function", "normalize", {{3, 4, 0}},               {0.6, 0.8, 0}},
        {"Function", "normalize", {{0, 0, -2}},              {0, 0, -1}},
        {"Function", "length",    {{3, 4, 0}},               S(5)},
        {"Function", "length",    {},                        S(0)},
        {"Function", "distance",  {},                        S(1)},
        {"Function", "distance",  {{1, 2, 3}, {4, 6, 3}},    S(5)},
    }, 0);
}

TEST(Functions, ScalarFunctionsAndMix) {
    const NodeValue a{1, 2, 3}, b{3, 2, 1};
    expectCases({
        {"Function", "radians", {S(180)},                S(kPi)},
        {"Function", "degrees", {S(kPi)},                S(180)},
        {"Function", "sin",     {S(kPi / 2)},            S(1)},
        {"Function", "cos",     {},                      S(1)},
        {"Function", "tan",     {},                      S(0)},
        {"Function", "asin",    {},                      S(kPi / 2)},
        {"Function", "asin",    {S(2)},                  S(kNaN)},
        {"Function", "acos",    {S(-1)},                 S(kPi)},
        {"Function", "atan",    {},                      S(kPi / 4)},
        {"Function", "atan2",   {},                      S(0)},
        {"Function", "atan2",   {S(1), S(0)},            S(kPi / 2)},
        {"Function", "atan2",   {S(0), S(-1)},           S(kPi)},
        {"Function", "atan2",   {S(-1), S(0)},           S(-kPi / 2)},
        {"Function", "abs",     {S(-2)},                 S(2)},
        {"Function", "mod",     {},                      S(1)},
        {"Function", "mod",     {S(5), S(2)},            S(1)},
        {"Function", "mod",     {S(3), S(2)},            S(1)},
        {"Function", "mod",     {S(-0.5), S(2)},         S(1.5)},
        {"Function", "mod",     {S(0), S(2)},            S(2)},  // wrap(0, y) is y
        {"Function", "mod",     {S(-2), S(2)},           S(2)},
        {"Function", "mod",     {S(1), S(0)},            S(kNaN)},
        {"Function", "sqrt",    {{-1, 1, 0}},            S(0)},  // the mean is taken first
        {"Function", "sqrt",    {S(4)},                  S(2)},
        {"Function", "sqrt",    {S(-1)},                 S(kNaN)},
        {"Function", "pow",     {},                      S(1)},
        {"Function", "pow",     {S(2), S(10)},           S(1024)},
        {"Function", "pow",     {S(0), S(-1)},           S(kInf)},
        {"Function", "exp",     {S(1)},                  S(std::numbers::e)},
        {"Function", "log",     {},                      S(0)},
        {"Function", "log",     {S(0)},                  S(-kInf)},
        {"Function", "logn",    {},                      S(0)},
        {"Function", "logn",    {S(8), S(2)},            S(3)},
        {"Function", "logn",    {S(5), S(1)},            S(kInf)},
        // mix interpolates and extrapolates.
        {"Function", "mix", {a, b},                  {2, 2, 2}},
        {"Function", "mix", {a, b, S(0.25)},         {1.5, 2, 2.5}},
        {"Function", "mix", {a, b, S(2)},            {5, 2, -1}},
        {"Function", "mix", {a, b, S(-1)},           {-1, 2, 5}},
        {"Function", "mix", {a, b, {0, 0.5, 1}},     {2, 2, 2}},  // t is the mean of n
    });
}

// Passes its parameter through and counts its evaluations.
class TCounter final : public NodeKind<TCounter> {
public:
    TCounter() {
        static constexpr InputDecl in[] = {{"val", VT_ANY, PK_NONE, 0}, {nullptr}};
        static constexpr OutputDecl out[] = {{"val", VT_ANY}, {nullptr}};
        setup("counter", "Test", in, out, false);
    }
    void evaluate(NodeEnv& env) const override {
        ++runs;
        outputSlots(env)[0] = inputs[0].param.value;
    }
    mutable int runs = 0;
};

TEST(Functions, MixSkipsBranchesOfNearlyZeroWeight) {
    NodeFactoryData test;
    test.registerKind(std::make_unique<TCounter>());
    const struct { double n; int aRuns, bRuns; } rows[] = {
        {1, 0, 1},      {1.0005, 0, 1}, {1.002, 1, 1},   {0.9995, 1, 1}, {0, 1, 0},
        {0.0005, 1, 0}, {-0.001, 1, 1}, {0.002, 1, 1},   {0.5, 1, 1},    {kNaN, 1, 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(::testing::Message() << "n = " << r.n);
        NodeList list;
        for (int i = 0; i < 2; ++i) list.nodes.push_back(test.createByName("Test", "counter"));
        list.nodes.push_back(makeKind("Function", "mix", {{}, {}, S(r.n)}));
        auto& a = static_cast<TCounter&>(*list.nodes[0]);
        auto& b = static_cast<TCounter&>(*list.nodes[1]);
        a.inputs[0].param.value = {2, 4, 6};
        b.inputs[0].param.value = {10, 20, 30};
        Node& mix = *list.nodes[2];
        mix.inputs[0].source = &a;
        mix.inputs[1].source = &b;

        const NodeValue got = evaluateOutputs(mix)[0];
        EXPECT_EQ(a.runs, r.aRuns);
        EXPECT_EQ(b.runs, r.bRuns);
        // A skipped branch weighs nothing, not its small weight.
        const NodeValue want = (r.aRuns ? a.inputs[0].param.value * (1 - r.n) : NodeValue{}) +
                               (r.bRuns ? b.inputs[0].param.value * r.n : NodeValue{});
        EXPECT_TRUE(near(got, want, 1e-12));
    }
}

}  // namespace
}  // namespace vxn
