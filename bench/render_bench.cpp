// Rendering the built-in demo at 640 x 480 through the module, on one thread
// and on every core, beside the same scene with no trees attached.
#include <benchmark/benchmark.h>

#include <thread>

#include "bench/bench_demo.h"

namespace {

using vxb::demo;
using vxb::Demo;

// Arguments: threads (0 for every core), trees attached (1) or not (0).
void BM_RenderDemo(benchmark::State& state) {
    const Demo& d = demo();
    vxs::RenderSettings settings;
    settings.width = 640;
    settings.height = 480;
    settings.threads = int(state.range(0));
    const vxs::SurfaceShaders* shaders = state.range(1) ? d.shaders.get() : nullptr;
    double samples = 0, evaluations = 0, evaluateSeconds = 0, threadSeconds = 0;
    for (auto _ : state) {
        vxs::RenderStats stats;
        const vxs::Picture picture = vxs::render(vxs::currentScene(), shaders, settings, &stats);
        benchmark::DoNotOptimize(picture.rgb.data());
        samples += double(stats.samples);
        evaluations += double(stats.evaluations);
        evaluateSeconds += stats.evaluateSeconds;
        threadSeconds += stats.threadSeconds;
    }
    state.counters["samples/s"] = benchmark::Counter(samples, benchmark::Counter::kIsRate);
    state.counters["evaluations/frame"] = evaluations / double(state.iterations());
    state.counters["evaluate share"] = threadSeconds > 0 ? evaluateSeconds / threadSeconds : 0;
    state.counters["threads"] = settings.threads > 0 ? settings.threads : std::thread::hardware_concurrency();
}

BENCHMARK(BM_RenderDemo)
    ->ArgNames({"threads", "trees"})
    ->Args({1, 1})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
