#include "nodes/colour.h"
#include "tests/nodes/eval_helper.h"

namespace vxn {
namespace {

// One row per output of a conversion of the colour `in`.
void expectConversion(const char* name, const std::vector<NodeValue>& params, const NodeValue& out) {
    const std::unique_ptr<Node> node = makeKind("Utility", name, params);
    ASSERT_TRUE(node);
    const std::vector<NodeValue> got = evaluateOutputs(*node);
    ASSERT_EQ(got.size(), static_cast<size_t>(node->outputCount));
    const NodeValue joined = got.size() == 3 ? NodeValue{got[0].x, got[1].x, got[2].x} : got[0];
    EXPECT_TRUE(near(joined, out, 1e-12)) << name;
}

TEST(Colour, HueAtSectorBoundaries) {
    const struct {
        NodeValue rgb, hsv;
    } rows[] = {
        {{1, 0, 0}, {0, 1, 1}},
        {{1, 1, 0}, {1.0 / 6, 1, 1}},  // red and green both largest: the red sector
        {{0, 1, 0}, {1.0 / 3, 1, 1}}, {{0, 1, 1}, {0.5, 1, 1}}, {{0, 0, 1}, {2.0 / 3, 1, 1}},
        {{1, 0, 1}, {5.0 / 6, 1, 1}},
        {{1, 0, 0.5}, {11.0 / 12, 1, 1}},  // negative sector hue wraps forward
        {{0.5, 0.25, 0.25}, {0, 0.5, 0.5}},
        {{0.3, 0.3, 0.3}, {0, 0, 0.3}},  // grey
        {{0, 0, 0}, {0, 0, 0}},
    };
    for (const auto& r : rows) {
        expectConversion("rgb -> hsv", {r.rgb}, r.hsv);
        expectConversion("hsv -> rgb", {S(r.hsv.x), S(r.hsv.y), S(r.hsv.z)}, r.rgb);
    }
}

TEST(Colour, HueWrapsWholeTurns) {
    expectConversion("hsv -> rgb", {S(1), S(1), S(1)}, {1, 0, 0});
    expectConversion("hsv -> rgb", {S(1.25), S(1), S(1)}, {0.5, 1, 0});
    expectConversion("hsv -> rgb", {S(0.25), S(1), S(1)}, {0.5, 1, 0});
    expectConversion("hsv -> rgb", {S(-0.25), S(1), S(1)}, {0.5, 0, 1});
    expectConversion("hsv -> rgb", {S(0.3), S(0), S(0.7)}, S(0.7));
    expectConversion("hls -> rgb", {S(0), S(0.5), S(1)}, {1, 0, 0});
    expectConversion("hls -> rgb", {S(1.0 / 3), S(0.5), S(1)}, {0, 1, 0});
    expectConversion("hls -> rgb", {S(2.5), S(0.5), S(1)}, {0, 1, 1});
    expectConversion("hls -> rgb", {S(-1.0 / 3), S(0.5), S(1)}, {0, 0, 1});
    expectConversion("hls -> rgb", {S(0.7), S(0.4), S(0)}, S(0.4));
}

TEST(Colour, FarOffOrBrokenHuesStillConvert) {
    for (double h : {1e18, -1e300, kInf, kNaN}) {
        for (const char* name : {"hsv -> rgb", "hls -> rgb"}) {
            const auto node = makeKind("Utility", name, {S(h), S(0.5), S(0.5)});
            ASSERT_EQ(evaluateOutputs(*node).size(), 1u) << name << ' ' << h;
        }
    }
}

TEST(Colour, LightnessAndSaturation) {
    const struct {
        NodeValue rgb, hls;
    } rows[] = {
        {{1, 0, 0}, {0, 0.5, 1}},
        {{0.2, 0.4, 0.6}, {7.0 / 12, 0.4, 0.5}},         // l <= 0.5
        {{0.9, 0.7, 0.5}, {1.0 / 12, 0.7, 0.4 / 0.6}},   // l > 0.5
        {{0.6, 0.6, 0.6}, {0, 0.6, 0}},
    };
    for (const auto& r : rows) {
        expectConversion("rgb -> hls", {r.rgb}, r.hls);
        expectConversion("hls -> rgb", {S(r.hls.x), S(r.hls.y), S(r.hls.z)}, r.rgb);
    }
}

TEST(Colour, LumaAndColourDifferences) {
    expectConversion("rgb -> ycc", {S(1)}, {1, 0, -0.001});  // the coefficients are rounded
    expectConversion("rgb -> ycc", {{1, 0, 0}}, {0.299, 0.5, -0.169});
    expectConversion("ycc -> rgb", {S(0.5), S(0), S(0)}, S(0.5));
    expectConversion("ycc -> rgb", {S(0), S(1), S(1)}, {1.402, -1.058, 1.772});
}

TEST(Colour, ConversionsRoundTripOverAGrid) {
    const struct { ColourFunc to, back; double tolerance; } pairs[] = {
        {rgbToHsv, hsvToRgb, 1e-12}, {rgbToHls, hlsToRgb, 1e-12}, {rgbToYcc, yccToRgb, 2e-3}};
    for (const auto& p : pairs)
        for (int r = 0; r <= 8; ++r)
            for (int g = 0; g <= 8; ++g)
                for (int b = 0; b <= 8; ++b) {
                    const NodeValue c{r / 8.0, g / 8.0, b / 8.0};
                    EXPECT_TRUE(near(p.back(p.to(c)), c, p.tolerance)) << describe(c);
                }
}

}  // namespace
}  // namespace vxn
