// The live view on the built-in demo at 640 x 480 on two threads: the time
// from a committed change of the edited tree to the view's first coarse
// picture and to its final picture, and the editor's canvas redrawn while
// the view renders.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "bench/bench_demo.h"
#include "bench/bench_editor.h"
#include "standin/live/live_view.h"
#include "standin/services/ui_services.h"
#include "standin/streams/files.h"
#include "standin/streams/shader_tree.h"
#include "standin/streams/tree_file.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kEdited = 2;  // "Paint", a vertex-colour tree
constexpr size_t kOther = 1;   // "Normals"

// The demo's surfaces as an editor holds them, and a live view on them.
struct LiveDemo {
    LiveDemo() {
        const vxb::Demo& d = vxb::demo();
        const vxs::Shader& shader = d.shaders->shader();
        std::vector<HostInstance> shown;
        for (const vxs::Surface& s : vxs::currentScene().surfaces) {
            editors.push_back(s.tree.empty() ? vxs::Shader::InstancePtr(nullptr, {&shader})
                                             : shader.make(const_cast<vxs::Surface*>(&s)));
            if (!s.tree.empty()) load(editors.back().get(), s.tree);
            shown.push_back(editors.back().get());
        }
        vxs::RenderSettings settings;
        settings.threads = 2;
        view = std::make_unique<vxs::LiveView>(vxs::currentScene(), shader, shown, kEdited, settings, [this] {
            std::lock_guard guard(lock);
            ++passes;
            passed.notify_all();
        });
        view->waitFinished(std::chrono::minutes(1));
    }
    ~LiveDemo() { view.reset(); }

    void load(HostInstance inst, const std::string& tree) {
        std::string bytes, error;
        if (!vxs::readTreeBytes(tree, bytes, error) ||
            !vxs::loadShaderTree(vxb::demo().shaders->shader(), inst, std::move(bytes), error)) {
            std::fprintf(stderr, "%s: %s\n", tree.c_str(), error.c_str());
            std::exit(1);
        }
    }
    // The edited surface takes another tree, as Open does; the change is
    // committed when this returns.
    void change(int i) {
        const auto& surfaces = vxs::currentScene().surfaces;
        load(editors[kEdited].get(), surfaces[i % 2 ? kOther : kEdited].tree);
    }
    void waitPass(uint64_t after) {
        std::unique_lock guard(lock);
        passed.wait(guard, [&] { return passes > after; });
    }

    std::vector<vxs::Shader::InstancePtr> editors;
    std::unique_ptr<vxs::LiveView> view;
    std::mutex lock;
    std::condition_variable passed;
    uint64_t passes = 0;
};

void BM_LiveViewAfterChange(benchmark::State& state) {
    LiveDemo live;
    double first = 0;
    int i = 0;
    for (auto _ : state) {
        live.change(++i);
        uint64_t before;
        {
            std::lock_guard guard(live.lock);
            before = live.passes;
        }
        const Clock::time_point start = Clock::now();
        live.view->afterEvent();
        live.waitPass(before);
        first += std::chrono::duration<double>(Clock::now() - start).count();
        live.view->waitFinished(std::chrono::minutes(1));
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["first picture ms"] = first * 1e3 / double(state.iterations());
}
BENCHMARK(BM_LiveViewAfterChange)
    ->Name("live_view_demo_640x480_2_threads_final_picture")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The canvas redrawn while the view renders the demo again and again.
void BM_RedrawWhileRendering(benchmark::State& state) {
    LiveDemo live;
    std::atomic<bool> done{false};
    std::thread edits([&] {
        for (int i = 0; !done; ++i) {
            live.change(i);
            live.view->afterEvent();
            live.view->waitFinished(std::chrono::minutes(1));
        }
    });
    const vx::EditorOptions options = vx::editorOptions();
    {
        vx::ShaderInstance inst(nullptr);
        vxb::openGridEditor(inst);
        for (auto _ : state) inst.editor->redrawCanvas();
        vxs::uiSession() = vxs::UiSession{};
    }
    done = true;
    edits.join();
    vx::editorOptions() = options;
}
BENCHMARK(BM_RedrawWhileRendering)
    ->Name("editor_redraw_100_nodes_1280x800_while_rendering")
    ->Unit(benchmark::kMillisecond);

}  // namespace
