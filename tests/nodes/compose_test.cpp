#include "tests/nodes/eval_helper.h"

namespace vxn {
namespace {

constexpr const char* kModes[] = {"multiply",  "screen",   "overlay",   "difference",  "exclusion", "lighten",
                                  "darken",    "hardlight", "softlight", "color dodge", "color burn"};

TEST(Compose, BlendsAtTheirBranchPoints) {
    const NodeValue colour{0.2, 0.5, 0.9};
    const double kDark = 32.0 / 255;  // where soft light changes formula
    expectCases({
        {"Compose", "multiply",    {S(1), colour},                        colour},
        {"Compose", "multiply",    {{0.5, 2, -1}, S(0.5)},                {0.25, 1, -0.5}},  // not clamped
        {"Compose", "screen",      {S(0), colour},                        colour},
        {"Compose", "screen",      {{0.5, 0.5, 1}, {0.5, 0, 0.3}},        {0.75, 0.5, 1}},
        {"Compose", "overlay",     {{0.2, 0.6, 1}, S(0.5)},               {0.2, 0.6, 1}},  // bg 0.5 takes the upper branch
        {"Compose", "overlay",     {{0.2, 0.6, 1}, {0.5, 0.49, 0.25}},    {0.2, 0.588, 0.5}},
        {"Compose", "hardlight",   {{0.5, 0.49, 0.75}, {0.2, 0.6, 0.4}},  {0.2, 0.588, 0.7}},
        {"Compose", "softlight",   {S(0.5), colour},                      colour},
        {"Compose", "softlight",   {{0.25, 0.75, 1}, {0.4, 0.1, 0.25}},   {0.28, 0.199, 0.5}},
        {"Compose", "softlight",   {S(1), S(kDark)},                      S(0.34454464723221084)},
        {"Compose", "softlight",   {S(1), S(kDark + 1e-9)},               S(0.35424595562748684)},
        {"Compose", "difference",  {{0.2, 0.8, 1}, {0.5, 0.5, 1}},        {0.3, 0.3, 0}},
        {"Compose", "exclusion",   {{0, 1, 0.5}, {0, 0, 0.3}},            {0, 1, 0.5}},
        {"Compose", "lighten",     {colour, colour},                      colour},
        {"Compose", "lighten",     {{0.2, 0.8, 0.5}, S(0.5)},             {0.5, 0.8, 0.5}},
        {"Compose", "darken",      {colour, colour},                      colour},
        {"Compose", "darken",      {{0.2, 0.8, 0.5}, S(0.5)},             {0.2, 0.5, 0.5}},
        {"Compose", "color dodge", {S(1), S(0.1)},                        S(1)},
        {"Compose", "color dodge", {{0, 0.5, 1}, {0.5, 0.25, 0}},         {0.5, 0.4980544747081712, 0}},
        {"Compose", "color burn",  {S(0), S(1)},                          S(1)},  // f = 0 guarded
        {"Compose", "color burn",  {S(0), S(0.5)},                        S(0)},
        {"Compose", "color burn",  {{0.25, 0.5, 0.3}, {0.75, 0.75, 0.69}}, {0, 0.5, 0}},  // b + f = 1 is not below 1
    }, 1e-9);
}

TEST(Compose, OpacityIsClampedAndFadesToBackground) {
    const NodeValue bg{1, 0.5, 0.25};
    expectCases({
        {"Compose", "multiply", {S(0), bg, S(0.25)}, {0.75, 0.375, 0.1875}},
        {"Compose", "multiply", {S(0), bg, S(1.5)},  S(0)},
        {"Compose", "multiply", {S(0), bg, S(-0.5)}, bg},
        {"Compose", "multiply", {S(0), bg, {0, 0.5, 1}}, {0.5, 0.25, 0.125}},  // the mean of alpha
    });
}

TEST(Compose, EveryModeAtZeroOpacityIsTheBackgroundAndAboveOneThePureBlend) {
    const double levels[] = {-0.25, 0, 0.1, 0.25, 0.5, 0.75, 1, 1.5};
    for (const char* mode : kModes) {
        for (double f : levels)
            for (double b : levels) {
                SCOPED_TRACE(::testing::Message() << mode << " f " << f << " b " << b);
                const NodeValue fg{f, b, f}, bg{b, f, 0.3};
                EXPECT_EQ(evaluateOutputs(*makeKind("Compose", mode, {fg, bg, S(0)}))[0], bg);
                const NodeValue pure = evaluateOutputs(*makeKind("Compose", mode, {fg, bg, S(1)}))[0];
                EXPECT_TRUE(near(evaluateOutputs(*makeKind("Compose", mode, {fg, bg, S(4)}))[0], pure, 0));
            }
    }
}

}  // namespace
}  // namespace vxn
