// One shaded sample through a 30-node tree, beside the same computation
// written by hand, on one thread and on every core.
#include <benchmark/benchmark.h>

#include <cmath>
#include <thread>

#include "bench/bench_tree.h"
#include "bench/paired.h"
#include "core/evaluate.h"
#include "host/host.h"
#include "nodes/colour.h"
#include "nodes/compose.h"
#include "nodes/functions.h"
#include "standin/services/globals.h"
#include "standin/render/shading.h"

namespace {

using namespace vx;
using namespace vxb;

// The same shader without the tree: formulas in a row, written back with
// the conversions the root applies.
void handWritten(HostShading& sa) {
    const NodeValue n{sa.wNorm[0], sa.wNorm[1], sa.wNorm[2]}, p{sa.wPos[0], sa.wPos[1], sa.wPos[2]};
    const double t = std::fabs(std::sin(dot(n, kDir) * 4));
    const NodeValue c1 = kA * (1 - t) + kB * t;
    const double k = clamp(length(p) * 0.25, 0, 1);
    const NodeValue hsv = rgbToHsv(compose(blendOverlay, c1, kC, k));
    const NodeValue col = hsvToRgb({hsv.x + 0.1, hsv.y, hsv.z});
    sa.color[0] = col.x;
    sa.color[1] = col.y;
    sa.color[2] = col.z;
    sa.diffuse = 1 - k;
    sa.specular = smoothstep(0, 1, t) * 0.6;
    sa.roughness = std::exp2(-(10 * std::pow(t, 2) + 2));
    sa.luminous = length(cross(p, kDir));
    sa.mirror = snapTo(sa.mirror, 0);
    sa.transparency = snapTo(snapTo(sa.transparency, 0), 1);
    sa.reflectionBlur = snapTo(sa.reflectionBlur, 0);
    sa.refractionBlur = snapTo(sa.refractionBlur, 0);
    sa.addTransp = snapTo(sa.addTransp, 0);
    sa.diffSharpness = std::exp2(4 * (std::log2(sa.diffSharpness) / 4));
    sa.replacementPercentage = 0;
}

const BenchTree& tree() {
    static const BenchTree t = [] {
        acquireHandlerGlobals(vxs::globalLookup);
        BenchTree made;
        initTree(made.list, nullptr);
        return made;
    }();
    return t;
}

// The twin is only a fair baseline if it computes what the tree computes.
bool twinsAgree(const BenchTree& t, const HostShading& base) {
    HostShading a = base, b = base;
    a.wPos[0] = b.wPos[0] = 1.3;
    a.wNorm[0] = b.wNorm[0] = 0.4;
    evaluateSample(t.list, nullptr, &a);
    handWritten(b);
    const double got[] = {a.color[0], a.color[1], a.color[2], a.diffuse, a.specular, a.roughness, a.luminous};
    const double want[] = {b.color[0], b.color[1], b.color[2], b.diffuse, b.specular, b.roughness, b.luminous};
    for (size_t i = 0; i < std::size(got); ++i)
        if (std::fabs(got[i] - want[i]) > 1e-12) return false;
    return true;
}

// A sample of its own for each call, through the tree or by hand.
template <bool UseTree>
auto sampler(const BenchTree& t, const HostShading& base, double x) {
    return [&, x]() mutable {
        HostShading sa = base;
        sa.wPos[0] = x;
        sa.wNorm[0] = x * 0.1;
        x += 1e-3;
        if constexpr (UseTree)
            evaluateSample(t.list, nullptr, &sa);
        else
            handWritten(sa);
        benchmark::DoNotOptimize(sa);
    };
}

// Runs `measure` once the tree and its twin are seen to agree.
template <class Measure>
void withAgreeingTwins(benchmark::State& state, Measure measure) {
    const BenchTree& t = tree();
    const HostShading base = vxs::defaultShading();
    if (!twinsAgree(t, base))
        state.SkipWithError("the tree and its hand-written twin disagree");
    else
        measure(t, base);
}

template <bool UseTree>
void BM_Sample(benchmark::State& state) {
    withAgreeingTwins(state, [&](const BenchTree& t, const HostShading& base) {
        auto sample = sampler<UseTree>(t, base, state.thread_index() * 0.5);
        for (auto _ : state) sample();
        state.SetItemsProcessed(state.iterations());
        if (UseTree)
            state.counters["ns_per_node"] = benchmark::Counter(
                static_cast<double>(state.iterations()) * kNodeEvaluations,
                benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    });
}

void BM_Paired(benchmark::State& state) {
    withAgreeingTwins(state, [&](const BenchTree& t, const HostShading& base) {
        runPaired(state, sampler<true>(t, base, 0), sampler<false>(t, base, 0));
    });
}

void threads(benchmark::internal::Benchmark* b) {
    b->Threads(1);
    if (const int n = static_cast<int>(std::thread::hardware_concurrency()); n > 1) b->Threads(n);
    b->UseRealTime();
}

BENCHMARK(BM_Sample<true>)->Name("tree_30_nodes")->Apply(threads);
BENCHMARK(BM_Sample<false>)->Name("hand_written")->Apply(threads);
BENCHMARK(BM_Paired)->Name("tree_over_hand")->UseManualTime();

}  // namespace
