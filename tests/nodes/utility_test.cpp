#include "nodes/utility.h"

#include <cmath>

#include "tests/nodes/ray_host.h"

namespace vxn {
namespace {

class Utility : public RayHost {
public:
    double occlusion(const char* name, double jitter, int samples, bool invert, int decay = 0, double dist = 1) {
        auto node = makeKind("Illuminate", name, {S(jitter)});
        node->inputs[1].param.intValue = samples;
        node->inputs[2].param.intValue = invert;
        if (node->inputs.size() > 4) node->inputs[4].param.intValue = decay, node->inputs[5].param.value = S(dist);
        return run(*node)[0].mean();
    }
};

TEST_F(Utility, Occlusion) {
    struct Row {
        const char* what;
        const char* kind;
        NodeValue normal;
        double hitAt, jitter;
        int samples, invert, decay;
        double decayDist, expected;
        int casts;
    };
    const NodeValue up{0, 1, 0}, wall{1, 0, 0};
    const Row rows[] = {
        {"open plane", "occlusion", up, -1, 1, 6, 0, 0, 1, 0, 108},
        {"closed box", "occlusion", up, 1, 1, 6, 0, 0, 1, 1, 108},
        {"closed box, inverted", "occlusion", up, 1, 1, 6, 1, 0, 1, 0, 108},
        {"samples below one are one", "occlusion", up, 1, 1, -4, 0, 0, 1, 1, 3},
        {"linear decay, half way", "occlusion", up, 0.5, 1, 2, 0, 1, 1, 0.5, 12},
        {"linear decay, no distance", "occlusion", up, 0.5, 1, 2, 0, 1, 0, 0, 12},
        {"nonlinear decay", "occlusion", up, 0.5, 1, 2, 0, 2, 1, std::exp(-0.5), 12},
        {"nonlinear, negative distance", "occlusion", up, 0.5, 1, 2, 0, 2, -1, 1, 12},
        // Rays pointing down are blocked without a cast: 9 of 18 sectors
        // with six rings, 1 of 3 with one.
        {"half, wall, six rings", "half occlusion", wall, -1, 0, 6, 0, 0, 1, 0.5, 54},
        {"half, wall, one ring", "half occlusion", wall, -1, 0, 1, 0, 0, 1, 1.0 / 3, 2},
        {"half, floor, inverted", "half occlusion", up, -1, 1, 6, 1, 0, 1, 1, 108},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        toArray(sa.wNorm, r.normal);
        world = [t = r.hitAt](const NodeValue&, const NodeValue&, NodeValue&) { return t; };
        casts = 0;
        EXPECT_NEAR(occlusion(r.kind, r.jitter, r.samples, r.invert, r.decay, r.decayDist), r.expected, 1e-12);
        EXPECT_EQ(casts, r.casts);
    }
    // Hits only above 45 degrees, so which rays count depends on the jitter.
    world = [](const NodeValue&, const NodeValue& d, NodeValue&) { return d.y > std::sqrt(0.5) ? 1.0 : -1.0; };
    const double first = occlusion("occlusion", 1, 6, false);
    EXPECT_EQ(occlusion("occlusion", 1, 6, false), first) << "the pixel's jitter repeats";
    sa.sx = 100;
    EXPECT_NE(occlusion("occlusion", 1, 6, false), first);
    sa.rayCast = nullptr;
    EXPECT_EQ(occlusion("half occlusion", 1, 6, true), 1) << "no casts, nothing occluded";
    toArray(sa.wNorm, {0, -1, 0});
    EXPECT_EQ(run(*makeKind("Illuminate", "occlusion"), true)[0], S(1)) << "a preview's sky is above";
}

TEST_F(Utility, ViewVectorKinds) {
    struct Row { const char* name; NodeValue normal; int invert, output; NodeValue expected; };
    const Row rows[] = {
        {"incidence", {0, 0, -1}, 0, 0, S(1)},     {"incidence", {0, 0, 1}, 1, 0, S(1)},
        {"incidence", {}, 0, 0, S(0)},             {"incidence2", {0, 0, 1}, 0, 0, S(0)},
        {"incidence2", {1, 0, 0}, 0, 0, S(0.5)},   {"refl_vec", {0, -1, -1}, 0, 0, {0, -1, 0}},
        {"tran_vec", {0, 0, -1}, 0, 0, {0, 0, 1}}, {"fresnel", {0, -1, -1}, 0, 1, {0, -1, 0}},
    };
    for (const Row& r : rows) {
        toArray(sa.wNorm, r.normal);
        auto node = makeKind("Utility", r.name);
        if (node->inputs.back().name == "invert") node->inputs.back().param.intValue = r.invert;
        EXPECT_TRUE(near(run(*node)[r.output], r.expected, 1e-12)) << r.name << " " << describe(r.normal);
    }
    // Out of glass at 60 degrees: total internal reflection.
    toArray(sa.wNorm, {0, 0, -1});
    toArray(sa.raySource, NodeValue{std::sqrt(0.75), 0, 0.5} * -4);
    EXPECT_EQ(run(*makeKind("Utility", "tran_vec", {{}, {}, S(1 / 1.5)}))[0], NodeValue{});
}

TEST(Fresnel, FactorOfTwoSinglePrecisionAndCriticalAngle) {
    struct Row { const char* what; NodeValue i, n; double eta, refl; };
    const Row rows[] = {
        // Twice the textbook 0.017013, and off the all-double 0.034026465028
        // by the intermediates held in floats.
        {"normal incidence", {0, 0, 1}, {0, 0, -1}, 1.3, 0.03402646758330859},
        {"grazing", {1, 0, 0}, {0, 0, -1}, 1.3, 1},
        {"out of glass past the critical angle", {std::sqrt(0.75), 0, 0.5}, {0, 0, -1}, 1 / 1.5, 0},
    };
    for (const Row& r : rows) {
        const FresnelTerms f = fresnel(r.i, r.n, 1 / r.eta);
        EXPECT_DOUBLE_EQ(f.refl, r.refl) << r.what;
        EXPECT_DOUBLE_EQ(f.tran, 1 - r.refl) << r.what;
    }
}

TEST(Decay, NearBetweenAndBeyond) {
    expectCases({
        {"Utility", "decay_linear", {S(0.5), S(0.5), S(2)}, S(1)},
        {"Utility", "decay_linear", {S(1.25), S(0.5), S(2)}, S(0.5)},
        {"Utility", "decay_linear", {S(2), S(0.5), S(2)}, S(0)},
        {"Utility", "decay_linear", {S(3), S(0.5), S(2)}, S(0)},
        {"Utility", "decay_exp", {S(0.1), S(0.5), S(2)}, S(1)},
        {"Utility", "decay_exp", {S(1.5), S(0.5), S(2)}, S(std::exp(-2))},
        {"Utility", "decay_pow", {S(0.1), S(0.5), S(2), S(2)}, S(1)},
        {"Utility", "decay_pow", {S(1.5), S(0.5), S(3), S(0.5)}, S(0.5)},
    });
}

}  // namespace
}  // namespace vxn
