// Editor redraws. The node canvas at 1280 x 800: a 100-node tree, about half
// of it in view, every node with its preview.
#include <benchmark/benchmark.h>

#include "bench/bench_editor.h"
#include "editor/gradient_edit.h"
#include "standin/scene/preview_scene.h"
#include "standin/services/ui_services.h"

namespace {

void BM_RedrawCanvas(benchmark::State& state) {
    const vxs::Scene before = vxs::currentScene();
    vxs::currentScene() = vxs::defaultPreviewScene();
    const vx::EditorOptions options = vx::editorOptions();
    {
        vx::ShaderInstance inst(nullptr);
        vxb::openGridEditor(inst);
        for (auto _ : state) inst.editor->redrawCanvas();
        vxs::uiSession() = vxs::UiSession{};
    }
    vx::editorOptions() = options;
    vxs::currentScene() = before;
    vx::acquireHandlerGlobals(vxs::globalLookup);
}

BENCHMARK(BM_RedrawCanvas)->Name("editor_redraw_100_nodes_1280x800")->Unit(benchmark::kMillisecond);

// A configuration of 80,000 distinct option names: each name is looked up
// among those before it.
void BM_ConfigManyNames(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 80000; ++i) text += "Option" + std::to_string(i) + " " + std::to_string(i) + "\n";
    for (auto _ : state) {
        vx::OptMan options;
        vx::SCMan shortcuts;
        vx::scanConfig(text, options, shortcuts);
        benchmark::DoNotOptimize(options.options().data());
    }
}

BENCHMARK(BM_ConfigManyNames)->Name("config_80000_names")->Unit(benchmark::kMillisecond);

// Redrawing the gradient editor's bar over 64 keys of varied colour and alpha.
void BM_GradientBar(benchmark::State& state) {
    vx::acquireHandlerGlobals(vxs::globalLookup);
    vx::Gradient keys;
    for (int i = 0; i < 64; ++i)
        keys.keys.push_back(std::make_unique<vx::GValue>(
            vx::GValue{(i * 37 % 64) / 63.0, (i % 4) / 3.0, (i % 7) / 6.0, (i % 5) / 4.0, (i % 3) / 2.0}));
    {
        vx::PGradientEdit editor(false);
        editor.edit(keys);
        for (auto _ : state) editor.redrawBar();
    }
    vx::acquireHandlerGlobals(nullptr);
}

BENCHMARK(BM_GradientBar)->Name("gradient_editor_bar_64_keys")->Unit(benchmark::kMicrosecond);

}  // namespace
