// Trees of the library's kinds through the evaluation engine: depth, the
// memory a sample costs, and the same bits whether a node is pulled or run
// by a render's program.
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "core/evaluate.h"
#include "core/root.h"
#include "host/host.h"
#include "tests/nodes/eval_helper.h"
#include "standin/render/shading.h"
#include "standin/services/globals.h"
#include "tests/core/test_kinds.h"
#include "tests/small_stack.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VX_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VX_SANITIZED 1
#endif

namespace {
thread_local long tAllocations = 0;
}  // namespace

// Every allocation of the test program, counted on the thread that makes it;
// a sanitizer's runtime owns the allocator instead.
#ifndef VX_SANITIZED
void* operator new(std::size_t size) {
    ++tAllocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace vxn {
namespace {

struct RenderTree {
    NodeList list;
    Node* root = add("Root", "root");

    RenderTree() { acquireHandlerGlobals(vxs::globalLookup); }
    ~RenderTree() { acquireHandlerGlobals(nullptr); }
    Node* add(const char* category, const char* name) {
        list.nodes.push_back(library().createByName(category, name));
        return list.nodes.back().get();
    }
    static void link(Node* to, int input, Node* from) { to->inputs[input].source = from; }
    HostShading run(double x) {
        HostShading sa = vxs::defaultShading();
        sa.wPos[0] = x;
        evaluateSample(list, nullptr, &sa);
        return sa;
    }
};

TEST(Evaluation, LongAddChainOnARenderThreadStack) {
    RenderTree t;
    Node* prev = nullptr;
    for (int i = 0; i < 1500; ++i) {
        Node* n = t.add("Operator", "add");
        n->inputs[1].param.value = S(0.001);
        if (prev) RenderTree::link(n, 0, prev);
        prev = n;
    }
    RenderTree::link(t.root, RI_DIFF, prev);
    HostShading out;
    ASSERT_TRUE(vxt::onSmallStack([&] { out = t.run(0); }));
    EXPECT_NEAR(out.diffuse, 1.5, 1e-9);
}

// Under a render's plan the weight's "geom" and "add" run ahead of the pass,
// but a branch that "mix" gives no weight is still never pulled.
TEST(Evaluation, ZeroWeightBranchIsNotPulledUnderAPlan) {
    for (const double weight : {0.0, 1.0}) {
        RenderTree t;
        Node* branch = t.list.nodes.emplace_back(std::make_unique<vxt::TCount>()).get();
        Node* geom = t.add("Global", "geom");
        RenderTree::link(branch, 0, geom);
        Node* w = t.add("Operator", "add");
        RenderTree::link(w, 0, geom);
        w->inputs[1].param.value = S(weight);
        Node* mix = t.add("Function", "mix");
        RenderTree::link(mix, 1, branch);
        RenderTree::link(mix, 2, w);
        w->inputs[0].sourceOutput = 3;  // "pos": the sample is at the origin
        RenderTree::link(t.root, RI_DIFF, mix);
        initTree(t.list, nullptr);
        vxt::TCount::runs = 0;
        t.run(0);
        EXPECT_EQ(vxt::TCount::runs, weight > 0 ? 1 : 0) << weight;
    }
}

// Every kind, its linked inputs fed by "geom", gives the same bits pulled as
// under a render's plan, where kinds that may run ahead run as kernels. In
// sample k input k is fed through "abs" instead, whose step runs just before
// and hands its output on in registers, as "geom"'s step does to "abs".
TEST(Evaluation, EveryKindGivesTheSameBitsPulledAndPlanned) {
    struct Sample {
        NodeValue pos, norm, oPos, gNorm;
    };
    const Sample samples[] = {
        {{0.3, -0.7, 1.9}, {0.48, 0.6, 0.64}, {0.25, 0.5, 2}, {1, 0, 0}},
        {S(1.0005), {}, S(1.0005), {0, -1, 0}}, {S(0.0004), {0, 0, -1}, S(0.0004), {0.6, 0, -0.8}},
        {{-1e300, kInf, 0}, S(-0.5), {kNaN, 1, 2}, {}}, {S(255.0 / 256), S(2), {-2, 0.5, 1e-9}, {0, 0.6, 0.8}},
    };
    for (const auto& group : library().children())
        for (const auto& entry : group->children()) {
            RenderTree t;
            Node* n = t.add(group->category().c_str(), entry->prototype()->name.c_str());
            EXPECT_EQ(n->timing != Timing::OnPull, n->step(-1) != nullptr) << n->name;
            Node* geom = t.add("Global", "geom");
            Node* abs = t.add("Function", "abs");
            RenderTree::link(abs, 0, geom);
            for (int out = 0; out < n->outputCount && !n->isRoot; ++out) {
                RenderTree::link(t.root, RI_COLOR, n);
                t.root->inputs[RI_COLOR].sourceOutput = out;
                for (int k = 0; k < int(std::size(samples)); ++k) {
                    const Sample& s = samples[k];
                    for (int i = 0; i < n->inputCount; ++i)
                        if (n->inputs[i].connectable) {
                            RenderTree::link(n, i, i == k ? abs : geom);
                            n->inputs[i].sourceOutput = i == k ? 0 : (3 * i + 3) % 5;
                        }
                    HostShading sa[2];
                    for (int planned = 0; planned < 2; ++planned) {
                        if (planned) initTree(t.list, nullptr);
                        sa[planned] = vxs::defaultShading();
                        toArray(sa[planned].wPos, s.pos);
                        toArray(sa[planned].wNorm, s.norm);
                        toArray(sa[planned].oPos, s.oPos);
                        toArray(sa[planned].gNorm, s.gNorm);
                        evaluateSample(t.list, nullptr, &sa[planned]);
                        if (planned) cleanupTree(t.list);
                    }
                    // A NaN's sign and payload follow the order the compiler
                    // picks for a product's operands, so any NaN matches.
                    for (double* c : {sa[0].color, sa[1].color})
                        for (int i = 0; i < 3; ++i) c[i] = std::isnan(c[i]) ? kNaN : c[i];
                    EXPECT_EQ(std::memcmp(sa[0].color, sa[1].color, sizeof sa[0].color), 0)
                        << n->name << " output " << out << ": " << describe(fromArray(sa[0].color)) << " pulled, "
                        << describe(fromArray(sa[1].color)) << " planned";
                }
            }
        }
}

// Each kind of the library feeds the next through its first port, and a
// chain of "add" nodes sums them all into the colour, so that none is
// skipped; a third of the way in, one feeds the bump height too, so both
// passes run.
TEST(Evaluation, SamplesAllocateNothingOnceWarm) {
#ifdef VX_SANITIZED
    GTEST_SKIP() << "allocations are not counted under a sanitizer";
#endif
    RenderTree t;
    Node *prev = nullptr, *sum = nullptr;
    int count = 0;
    for (const auto& group : library().children())
    for (const auto& entry : group->children()) {
        if (entry->prototype()->isRoot) continue;
        Node* n = t.add(group->category().c_str(), entry->prototype()->name.c_str());
        for (int i = 0; prev && i < n->inputCount; ++i)
            if (n->inputs[i].connectable) {
                RenderTree::link(n, i, prev);
                break;
            }
        Node* next = t.add("Operator", "add");
        RenderTree::link(next, 0, sum);
        RenderTree::link(next, 1, n);
        if (++count == 10) RenderTree::link(t.root, RI_BUMP_H, next);
        prev = n;
        sum = next;
    }
    RenderTree::link(t.root, RI_COLOR, sum);
    initTree(t.list, nullptr);
    for (int i = 0; i < 100; ++i) t.run(i * 0.01);
    static std::vector<int>* volatile probe;
    const long before = tAllocations;
    probe = new std::vector<int>(8);
    delete probe;
    ASSERT_EQ(tAllocations - before, 2) << "allocations are not being counted";
    for (int i = 0; i < 10000; ++i) t.run(i * 0.001);
    EXPECT_EQ(tAllocations - before, 2);
    EXPECT_GT(count, 50);
    EXPECT_NE(t.run(0).bumpHeight, vxs::defaultShading().bumpHeight) << "the tree was not evaluated";
}

}  // namespace
}  // namespace vxn
