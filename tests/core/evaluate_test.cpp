#include <gtest/gtest.h>

#include <utility>

#include "core/evaluate.h"
#include "host/host.h"
#include "standin/render/shading.h"
#include "tests/scene_host.h"
#include "tests/core/test_kinds.h"
#include "tests/small_stack.h"

using namespace vxt;

namespace {

NodeValue S(double v) { return NodeValue::scalar(v); }

// The stand-in's default sample, on that object.
HostShading defaultSample() {
    HostShading sa = vxs::defaultShading();
    sa.objID = SceneHost::id("Object 1");
    return sa;
}

struct Tree {
    SceneHost host{R"({"objects": [{"type": "plane"}]})"};  // one object
    std::unique_ptr<NodeFactoryData> cat = testCatalogue();
    NodeList list;
    Node* root = add(list, *cat, "Root", "root");
    Node* constant(NodeValue v) {
        Node* c = add(list, *cat, "Test", "const");
        c->inputs[0].param.value = v;
        return c;
    }
    HostShading run(HostShading sa = defaultSample()) {
        evaluateSample(list, nullptr, &sa);
        return sa;
    }
};

// Channels are the mean of the linked value, bit for bit, snapped onto
// their bounds when just past them.
TEST(Evaluate, ChannelsFromLinkedValues) {
    struct Row { int input; NodeValue value; double HostShading::*field; double expected; bool exact = false; } rows[] = {
        {RI_GLOSS, NodeValue::scalar(0.4f), &HostShading::roughness, 1.0 / 64, true},  // as a parameter holds it
        {RI_SPEC, {0.1, 0.2, 0.4}, &HostShading::specular, (0.1 + 0.2 + 0.4) / 3, true},
        {RI_TRAN, S(0.0005), &HostShading::transparency, 0.0}, {RI_TRAN, S(1.0005), &HostShading::transparency, 1.0},
        {RI_TRAN, S(-0.0005), &HostShading::transparency, -0.0005},
        {RI_TRAN, S(0.9995), &HostShading::transparency, 0.9995},
        {RI_TRAN, S(0.001), &HostShading::transparency, 0.0}, {RI_REFL, S(0.0009), &HostShading::mirror, 0.0},
        {RI_REFL, S(1.0005), &HostShading::mirror, 1.0005}, {RI_ADD_TRAN, S(0.0002), &HostShading::addTransp, 0.0},
        {RI_REFL_BLUR, S(0.0002), &HostShading::reflectionBlur, 0.0},
        {RI_TRAN_BLUR, S(0.0002), &HostShading::refractionBlur, 0.0},
        {RI_REPL_PER, S(1.0004), &HostShading::replacementPercentage, 1.0},
        {RI_REPL_PER, S(0.0004), &HostShading::replacementPercentage, 0.0004},
        {RI_DIFF, S(1.7), &HostShading::diffuse, 1.7}, {RI_SPEC, S(-0.5), &HostShading::specular, -0.5},
    };
    for (const Row& r : rows) {
        Tree t;
        link(t.root, r.input, t.constant(r.value));
        const double got = t.run().*r.field;
        if (r.exact) {
            EXPECT_EQ(got, r.expected) << t.root->inputs[r.input].name;
        }
        EXPECT_DOUBLE_EQ(got, r.expected) << t.root->inputs[r.input].name << " " << r.value.x;
    }
}

// The pass rules hold whether nodes are pulled or, under a render's plan,
// run ahead of each pass ("count" reads the sample, "const" only itself).
class Passes : public ::testing::TestWithParam<bool> {
protected:
    HostShading run(Tree& t, HostShading sa = defaultSample()) {
        if (GetParam()) {
            for (const auto& n : t.list.nodes)
                n->timing = n->name == "count" ? Timing::PerPass : n->name == "const" ? Timing::Fixed : n->timing;
            initTree(t.list, nullptr);
        }
        return t.run(sa);
    }
};
INSTANTIATE_TEST_SUITE_P(PulledOrPlanned, Passes, ::testing::Bool());

TEST_P(Passes, SharedNodeRunsOncePerPass) {
    Tree t;
    Node* c = add(t.list, *t.cat, "Test", "count");
    link(t.root, RI_DIFF, c);
    link(t.root, RI_SPEC, c);
    link(t.root, RI_LUMI, c);
    TCount::runs = 0;
    run(t);
    EXPECT_EQ(TCount::runs, 1);
    link(t.root, RI_BUMP_H, c);
    TCount::runs = 0;
    run(t);
    EXPECT_EQ(TCount::runs, 2) << "once in the bump pass, once after the cache was emptied";
}

TEST_P(Passes, BumpPassKeepsArrivingNormalAndSecondPassSeesIt) {
    Tree t;
    Node* c = add(t.list, *t.cat, "Test", "count");
    c->inputs[0].param.value = NodeValue::scalar(0.25);
    link(t.root, RI_BUMP_H, c);
    link(t.root, RI_DIFF, c, 1);  // the record's normal x as the second pass sees it
    HostShading in = defaultSample();
    in.wNorm[0] = 0.6;
    in.wNorm[2] = -0.8;
    const HostShading out = run(t, in);
    EXPECT_EQ(out.bumpHeight, 0.25);
    EXPECT_EQ(out.wNorm[0], 0.6);
    EXPECT_EQ(out.wNorm[2], -0.8);
    EXPECT_EQ(out.diffuse, 0.6);
}

TEST_P(Passes, LinkedNormalIsWrittenBeforeTheSecondPass) {
    Tree t;
    link(t.root, RI_NORM, t.constant({1, 0, 0}));
    Node* c = add(t.list, *t.cat, "Test", "count");
    link(t.root, RI_DIFF, c, 1);
    link(t.root, RI_SPEC, c, 2);  // the texture record keeps the arriving normal
    const HostShading out = run(t);
    EXPECT_EQ(out.wNorm[0], 1.0);
    EXPECT_EQ(out.diffuse, 1.0);
    EXPECT_EQ(out.specular, defaultSample().wNorm[0]);
}

// A fixed chain is evaluated when the render starts and again at each new
// time, never per sample, until the render ends.
TEST(Evaluate, FixedNodesRunOncePerRenderAndTime) {
    Tree t;
    Node* c = t.constant(NodeValue::scalar(0.25));
    Node* n = add(t.list, *t.cat, "Test", "count");
    link(n, 0, c);
    link(t.root, RI_DIFF, n);
    c->timing = n->timing = Timing::Fixed;
    TCount::runs = 0;
    initTree(t.list, nullptr);
    EXPECT_EQ(t.run().diffuse, 0.25);
    EXPECT_EQ(t.run().diffuse, 0.25);
    EXPECT_EQ(TCount::runs, 1);
    c->inputs[0].param.value = NodeValue::scalar(0.5);
    newTimeTree(t.list, 1, 1.0 / 24);
    EXPECT_EQ(t.run().diffuse, 0.5);
    EXPECT_EQ(TCount::runs, 2);
    cleanupTree(t.list);
    c->inputs[0].param.value = NodeValue::scalar(0.75);
    EXPECT_EQ(t.run().diffuse, 0.75);
    EXPECT_EQ(TCount::runs, 3);
}

// Without a host table the sample is left as it came. (A tree without a root
// and another plug-in's ray on the thread are the loaded module's tests.)
TEST(Evaluate, SampleLeftAloneWithoutAHostTable) {
    Tree t;
    HostShading in = defaultSample();
    in.replacementPercentage = 0.5;
    EXPECT_EQ(t.run(in).replacementPercentage, 0.0);
    vx::host().lightInfo = nullptr;
    EXPECT_EQ(t.run(in).replacementPercentage, 0.5);
}

TEST(Evaluate, ObjectOutsideSceneGetsGeometricNormalBeforeBump) {
    Tree t;
    HostShading in = defaultSample();
    in.gNorm[2] = 0;
    in.gNorm[1] = 1;
    EXPECT_EQ(t.run(in).wNorm0[1], 0.0);
    in.objID = 7;
    EXPECT_EQ(t.run(in).wNorm0[1], 1.0);
}

TEST(Evaluate, FlagsFollowTransparencyLinks) {
    Tree t;
    EXPECT_EQ(treeFlags(t.list), 0x7BFu);
    link(t.root, RI_ADD_TRAN, t.constant({}));
    EXPECT_EQ(treeFlags(t.list), 0x7FFu);
    EXPECT_EQ(treeFlags(NodeList{}), 0x7BFu);
}

// Chains of 100,000 nodes; in the second, every third node writes no
// outputs, so the one above it reads its own parameter, and the whole chain
// is still pulled.
TEST(Evaluate, DeepChainGivesItsValueOnASmallStack) {
    for (const bool outputless : {false, true}) {
        Tree t;
        Node* prev = t.constant(NodeValue::scalar(0.5));
        for (int i = 0; i < 100000; ++i) {
            Node* n = add(t.list, *t.cat, "Test", outputless && (i + 1) % 3 == 0 ? "mute" : "count");
            link(n, 0, prev);
            n->inputs[0].param.value = NodeValue::scalar(0.25);
            prev = n;
        }
        link(t.root, RI_DIFF, prev);
        link(t.root, RI_SPEC, prev);
        initTree(t.list, nullptr);
        HostShading out;
        ASSERT_TRUE(onSmallStack([&] { out = t.run(); }));
        EXPECT_EQ(out.diffuse, outputless ? 0.25 : 0.5);
        EXPECT_EQ(out.specular, out.diffuse);
    }
}

TEST(Evaluate, NestedEnvironmentsKeepTheirOwnCaches) {
    Tree t;
    Node* c = t.constant({1, 2, 3});
    NodeEnv outer;
    NodeValue* o = c->outputSlots(outer);
    o[0] = {9, 9, 9};
    {
        NodeEnv inner;
        EXPECT_EQ(inner.cache.find(c), nullptr);
        c->outputSlots(inner)[0] = {5, 5, 5};
    }
    EXPECT_EQ(outer.cache.find(c)[0], (NodeValue{9, 9, 9}));
}

}  // namespace
