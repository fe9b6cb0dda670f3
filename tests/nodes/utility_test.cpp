#include "nodes/utility.h"

#include <cmath>

#include "tests/nodes/ray_host.h"

namespace vxn {
namespace {

constexpr NodeValue kUp{0, 1, 0};

class Occlusion : public RayHost {
public:
    // Everything hit at distance `t`, or nothing for t <= 0.
    void everythingAt(double t) {
        world = [t](const NodeValue&, const NodeValue&, NodeValue&) { return t; };
    }
    double occlusion(const char* name, double jitter, int samples, bool invert, int decay = 0, double dist = 1) {
        auto node = makeKind("Illuminate", name, {S(jitter)});
        node->inputs[1].param.intValue = samples;
        node->inputs[2].param.intValue = invert;
        if (node->inputs.size() > 4) {
            node->inputs[4].param.intValue = decay;
            node->inputs[5].param.value = S(dist);
        }
        return run(*node)[0].mean();
    }
};

TEST_F(Occlusion, OpenClosedHalfAndDecay) {
    struct Row {
        const char* what;
        const char* kind;
        NodeValue normal;
        double hitAt, jitter;
        int samples;
        bool invert;
        int decay;
        double decayDist, expected;
        int casts;
    };
    const Row rows[] = {
        {"open plane",                 "occlusion",      kUp,       -1,   1, 6,  false, 0, 1,  0,  108},
        {"closed box",                 "occlusion",      kUp,       1,    1, 6,  false, 0, 1,  1,  108},
        {"closed box, inverted",       "occlusion",      kUp,       1,    1, 6,  true,  0, 1,  0,  108},
        {"open plane, inverted",       "occlusion",      kUp,       -1,   1, 6,  true,  0, 1,  1,  108},
        {"no samples is one",          "occlusion",      kUp,       1,    1, 0,  false, 0, 1,  1,  3},
        {"negative samples is one",    "occlusion",      kUp,       1,    1, -4, false, 0, 1,  1,  3},
        {"linear decay, half way",     "occlusion",      kUp,       0.5,  1, 2,  false, 1, 1,  0.5, 12},
        {"linear decay, beyond",       "occlusion",      kUp,       1.5,  1, 2,  false, 1, 1,  0,  12},
        {"linear decay, no distance",  "occlusion",      kUp,       0.5,  1, 2,  false, 1, 0,  0,  12},
        {"nonlinear decay",            "occlusion",      kUp,       0.5,  1, 2,  false, 2, 1,  std::exp(-0.5), 12},
        {"nonlinear, no distance",     "occlusion",      kUp,       0.5,  1, 2,  false, 2, 0,  0,  12},
        {"nonlinear, negative",        "occlusion",      kUp,       0.5,  1, 2,  false, 2, -1, 1,  12},
        {"unknown decay",              "occlusion",      kUp,       1,    1, 2,  false, 7, 1,  0,  0},
        // A wall, normal along x: the sectors whose rays point down are
        // blocked without a ray, 9 of 18 with six rings, 1 of 3 with one.
        {"half, wall, six rings",      "half occlusion", {1, 0, 0}, -1,   0, 6,  false, 0, 1,  0.5, 54},
        {"half, wall, one ring",       "half occlusion", {1, 0, 0}, -1,   0, 1,  false, 0, 1,  1.0 / 3, 2},
        {"half, floor",                "half occlusion", kUp,       -1,   1, 6,  false, 0, 1,  0,  108},
        {"half, floor, inverted",      "half occlusion", kUp,       -1,   1, 6,  true,  0, 1,  1,  108},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        toArray(sa.wNorm, r.normal);
        everythingAt(r.hitAt);
        casts = 0;
        EXPECT_NEAR(occlusion(r.kind, r.jitter, r.samples, r.invert, r.decay, r.decayDist), r.expected, 1e-12);
        EXPECT_EQ(casts, r.casts);
    }
}

TEST_F(Occlusion, WithoutRayCastsAndInPreviews) {
    sa.rayCast = nullptr;
    EXPECT_EQ(occlusion("occlusion", 1, 6, false), 0);
    EXPECT_EQ(occlusion("half occlusion", 1, 6, true), 1);
    toArray(sa.wNorm, {0, -1, 0});
    auto node = makeKind("Illuminate", "occlusion");
    EXPECT_EQ(run(*node, true)[0], S(1)) << "facing down in a preview";
}

TEST_F(Occlusion, JitterRepeatsPerPixel) {
    // Hits only above 45 degrees, so which rays count depends on the jitter.
    world = [](const NodeValue&, const NodeValue& d, NodeValue&) { return d.y > std::sqrt(0.5) ? 1.0 : -1.0; };
    const double first = occlusion("occlusion", 1, 6, false);
    EXPECT_EQ(occlusion("occlusion", 1, 6, false), first);
    sa.sx = 100;
    EXPECT_NE(occlusion("occlusion", 1, 6, false), first);
}

TEST(Utility, Kinds) {
    expectCases({
        {"Utility", "decay_linear", {S(0.5), S(0.5), S(2)}, S(1)},
        {"Utility", "decay_linear", {S(1.25), S(0.5), S(2)}, S(0.5)},
        {"Utility", "decay_linear", {S(2), S(0.5), S(2)}, S(0)},
        {"Utility", "decay_linear", {S(3), S(0.5), S(2)}, S(0)},
        {"Utility", "decay_linear", {S(0.1), S(0.5), S(2)}, S(1)},
        {"Utility", "decay_exp", {S(0.1), S(0.5), S(2)}, S(1)},
        {"Utility", "decay_exp", {S(1.5), S(0.5), S(2)}, S(std::exp(-2))},
        {"Utility", "decay_pow", {S(0.1), S(0.5), S(2), S(2)}, S(1)},
        {"Utility", "decay_pow", {S(1.5), S(0.5), S(2), S(2)}, S(1.0 / 9)},
        {"Utility", "decay_pow", {S(1.5), S(0.5), S(3), S(0.5)}, S(0.5)},
    });
}

TEST(Fresnel, FactorOfTwoSinglePrecisionAndCriticalAngle) {
    struct Row {
        const char* what;
        NodeValue i, n;
        double eta, refl;
    };
    const Row rows[] = {
        // Twice the textbook 0.017013..., off the all-double value
        // 0.034026465028355 by the intermediates held in floats.
        {"normal incidence", {0, 0, 1}, {0, 0, -1}, 1.3, 0.03402646758330859},
        {"grazing", {1, 0, 0}, {0, 0, -1}, 1.3, 1},
        // Out of glass at 60 degrees, beyond the critical 41.8: no reflection.
        {"past the critical angle", {std::sqrt(0.75), 0, 0.5}, {0, 0, -1}, 1 / 1.5, 0},
        {"zero normal", {0, 0, 1}, {}, 1.3, 1},
    };
    for (const Row& r : rows) {
        const FresnelTerms f = fresnel(r.i, r.n, 1 / r.eta);
        EXPECT_DOUBLE_EQ(f.refl, r.refl) << r.what;
        EXPECT_DOUBLE_EQ(f.tran, 1 - r.refl) << r.what;
    }
}

TEST_F(Occlusion, ViewVectorKinds) {
    const double half = std::sqrt(0.5);
    struct Row {
        const char* name;
        NodeValue normal;
        bool invert;
        int output;
        NodeValue expected;
    };
    const Row rows[] = {
        {"incidence", {0, 0, -1}, false, 0, S(1)},
        {"incidence", {0, 0, 1}, false, 0, S(0)},
        {"incidence", {0, 0, 1}, true, 0, S(1)},
        {"incidence", {}, false, 0, S(0)},
        {"incidence2", {0, 0, 1}, false, 0, S(0)},
        {"incidence2", {1, 0, 0}, false, 0, S(0.5)},
        {"incidence2", {0, -1, -1}, true, 0, S(1 - (half + 1) / 2)},
        {"refl_vec", {0, 0, -1}, false, 0, {0, 0, -1}},
        {"refl_vec", {0, -1, -1}, false, 0, {0, -1, 0}},
        {"tran_vec", {0, 0, -1}, false, 0, {0, 0, 1}},
        {"fresnel", {0, 0, -1}, false, 3, {0, 0, 1}},
        {"fresnel", {0, -1, -1}, false, 1, {0, -1, 0}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        toArray(sa.wNorm, r.normal);
        auto node = makeKind("Utility", r.name);
        if (node->inputs.back().name == "invert") node->inputs.back().param.intValue = r.invert;
        EXPECT_TRUE(near(run(*node)[r.output], r.expected, 1e-12)) << describe(r.normal);
    }
    // Total internal reflection: out of glass at 60 degrees.
    toArray(sa.wNorm, {0, 0, -1});
    toArray(sa.raySource, NodeValue{std::sqrt(0.75), 0, 0.5} * -4);
    EXPECT_EQ(run(*makeKind("Utility", "tran_vec", {{}, {}, S(1 / 1.5)}))[0], NodeValue{});
}

}  // namespace
}  // namespace vxn
