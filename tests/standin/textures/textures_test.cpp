#include <gtest/gtest.h>

#include "standin/textures/envelope.h"
#include "standin/textures/procedural.h"
#include "standin/textures/texture.h"

namespace {

using namespace vxs;

TEST(Envelope, InterpolatesAndExtendsByItsBehaviours) {
    struct Row { std::vector<EnvelopeKey> keys; int pre, post; double time, expected; };
    const std::vector<EnvelopeKey> ramp{{0, 0, SHAPE_LINEAR}, {2, 2, SHAPE_LINEAR}};
    const Row rows[] = {
        {{}, END_CONSTANT, END_CONSTANT, 5, 0.5},  // no keys: the value
        {ramp, END_CONSTANT, END_CONSTANT, 0.5, 0.5},
        {{{0, 0}, {2, 2}}, END_CONSTANT, END_CONSTANT, 0.5, 0.5},  // two TCB keys make a line
        {{{0, 0, SHAPE_LINEAR}, {1, 1, SHAPE_STEPPED}}, END_CONSTANT, END_CONSTANT, 0.9, 0},
        {{{0, 0}, {1, 1}, {2, 0}}, END_CONSTANT, END_CONSTANT, 1, 1},
        {ramp, END_CONSTANT, END_CONSTANT, 2.5, 2}, {ramp, END_CONSTANT, END_REPEAT, 2.5, 0.5},
        {ramp, END_CONSTANT, END_OSCILLATE, 2.5, 1.5}, {ramp, END_CONSTANT, END_LINEAR, 3, 3},
        {ramp, END_REPEAT, END_CONSTANT, -0.5, 1.5}, {ramp, END_OSCILLATE, END_CONSTANT, -0.5, 0.5},
        {ramp, END_LINEAR, END_CONSTANT, -0.5, -0.5},
    };
    for (const Row& r : rows) {
        Envelope e;
        e.value = 0.5;
        e.keys = r.keys;
        e.pre = r.pre;
        e.post = r.post;
        EXPECT_NEAR(e.at(r.time), r.expected, 1e-12) << r.time;
    }
}

TEST(Texture, LayersBlendOverTheValueByModeOpacityAndInvert) {
    struct Row { int blend; bool invert; double opacity, expected; };
    const Row rows[] = {
        {BLEND_NORMAL, false, 1, 0.8},      {BLEND_ADD, false, 1, 1.05},  {BLEND_SUBTRACT, false, 1, -0.55},
        {BLEND_MULTIPLY, false, 1, 0.2},    {BLEND_DIFFERENCE, false, 1, 0.55}, {BLEND_NORMAL, true, 1, 0.2},
        {BLEND_NORMAL, false, 0.5, 0.525},
    };
    for (const Row& r : rows) {
        HostTexture t;
        t.layers.push_back(std::make_unique<HostTextureLayer>());
        HostTextureLayer& l = *t.layers.back();
        l.pattern = PAT_CHECKERBOARD;  // the first colour at (0.5, 0.5, 0.5)
        l.colour = {0.8, 0.8, 0.8};
        l.blend = r.blend;
        l.invert = r.invert;
        l.setOpacity(r.opacity);
        HostTextureSample s{};
        s.oPos[0] = s.oPos[1] = s.oPos[2] = 0.5;
        double value[3] = {0.25, 0.25, 0.25};
        EXPECT_DOUBLE_EQ(evaluateTexture(t, s, value), r.opacity);
        EXPECT_NEAR(value[1], r.expected, 1e-12) << r.blend;
    }
}

TEST(Procedural, PatternsStayInRangeAndNoiseVanishesOnTheLattice) {
    for (int kind = 0; kind < PAT_COUNT; ++kind)
        for (double x = -3; x < 3; x += 0.37) {
            const double v = pattern(kind, {x, x * 0.7, -x}, 4);
            EXPECT_TRUE(v >= 0 && v <= 1) << patternName(kind) << " at " << x;
        }
    EXPECT_EQ(perlin({3, -2, 7}), 0);
}

}  // namespace
