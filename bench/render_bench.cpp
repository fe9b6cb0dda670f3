// Rendering the built-in demo at 640 x 480 through the module, on one thread
// and on every core, beside the same scene with no trees attached.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "standin/cli/commands.h"
#include "standin/scene/demo_scene.h"
#include "standin/services/globals.h"
#include "standin/render/renderer.h"
#include "standin/scene/scene_file.h"

namespace {

// The demo, loaded once as the current scene, with its shaders from the
// module beside this program.
struct Demo {
    std::unique_ptr<vxs::SurfaceShaders> shaders;
};

const Demo& demo() {
    static const Demo loaded = [] {
        std::string error, where;
        const auto files = vxs::DemoScene::write(error);
        vxs::Scene scene;
        if (!files || !vxs::loadSceneFile(files->scenePath(), scene, error)) {
            std::fprintf(stderr, "demo scene: %s\n", error.c_str());
            std::exit(1);
        }
        vxs::currentScene() = std::move(scene);
        Demo d;
        d.shaders = vxs::SurfaceShaders::load(vxs::currentScene(), vxs::defaultModulePath(), where, error);
        if (!d.shaders) {
            std::fprintf(stderr, "%s: %s\n", where.c_str(), error.c_str());
            std::exit(1);
        }
        return d;
    }();
    return loaded;
}

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
