// One 64 x 64 preview of the 30-node tree's root, lit by the default
// preview scene: 2661 ball samples, each through the whole tree.
#include <benchmark/benchmark.h>

#include "bench/bench_tree.h"
#include "editor/preview.h"
#include "host/host.h"
#include "standin/services/globals.h"
#include "standin/scene/preview_scene.h"

namespace {

constexpr int kBallSamples = 2661;

void BM_Preview(benchmark::State& state) {
    const vxs::Scene before = vxs::currentScene();
    vxs::currentScene() = vxs::defaultPreviewScene();
    vx::acquireHandlerGlobals(vxs::globalLookup);
    vxb::BenchTree tree;
    vx::Node* root = tree.root();
    for (auto _ : state) {
        vx::renderPreview(nullptr, tree.list, *root);
        benchmark::DoNotOptimize(root->preview.get());
    }
    state.counters["ns_per_sample"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBallSamples,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    vxs::currentScene() = before;
    vx::acquireHandlerGlobals(vxs::globalLookup);
}

BENCHMARK(BM_Preview)->Name("preview_30_nodes")->Unit(benchmark::kMillisecond);

}  // namespace
