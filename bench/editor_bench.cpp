// Redrawing the editor's node canvas at 1280 x 800: a 100-node tree, about
// half of it in view, every node with its preview.
#include <benchmark/benchmark.h>

#include "bench/bench_editor.h"
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

}  // namespace
