// Replays arbitrary bytes as an editor script on a small tree, with no
// window: every line the runner takes must either run or stop the script
// with its line number, and the tree must still save and load afterwards.
// Lines that name files are kept to the scratch folder the target runs in;
// scripts that would only take long are skipped. As the target moves into
// that folder, give it corpus folders and an artifact prefix as absolute paths.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "core/macro.h"
#include "core/persist.h"
#include "host/host.h"
#include "plugin/instance.h"
#include "standin/services/globals.h"
#include "standin/services/script_session.h"
#include "standin/services/ui_services.h"
#include "standin/streams/files.h"
#include "standin/streams/streams.h"
#include "standin/ui/script.h"

namespace {

namespace fs = std::filesystem;

// A root fed by an "add" of a colour and a macro holding a macro root.
void buildTree(vx::ShaderInstance& instance) {
    const vx::NodeFactoryData& cat = *instance.catalogue;
    auto& nodes = instance.tree->nodes;
    const char* kinds[][2] = {{"Root", "root"}, {"Generic", "color"}, {"Operator", "add"}, {"Macro", "macro"}};
    for (int i = 0; i < 4; ++i) {
        nodes.push_back(cat.createByName(kinds[i][0], kinds[i][1]));
        nodes.back()->x = 40 + 200 * (i % 2);
        nodes.back()->y = 40 + 200 * (i / 2);
    }
    auto& inner = static_cast<vx::NMacro*>(nodes[3].get())->inner;
    inner.nodes.push_back(cat.createByName("Macro", "macro root"));
    nodes[2]->inputs[0].source = nodes[1].get();
    nodes[2]->inputs[1].source = nodes[3].get();
    nodes[0]->inputs[0].source = nodes[2].get();
}

// A dry read of the script with the runner's own reader: false when a line
// names a file outside the scratch folder, or when running it would take long
// (many steps, long drags, a large window) without reaching more code.
bool cheapAndContained(const std::string& script) {
    constexpr int kMaxSteps = 200, kMaxDragPixels = 16000, kMaxSide = 1024;
    std::istringstream in(script);
    vxs::ui::ScriptReader reader(in);
    vxs::ui::ScriptStep s;
    std::string error;
    int steps = 0, dragged = 0;
    using Op = vxs::ui::ScriptStep::Op;
    while (reader.next(s, error)) {
        if (++steps > kMaxSteps || (s.op != Op::Add && s.text.find('/') != std::string::npos)) return false;
        if (s.op == Op::Resize && (s.x > kMaxSide || s.y > kMaxSide)) return false;
        if (s.op == Op::Drag && (dragged += std::max(std::abs(s.x2 - s.x), std::abs(s.y2 - s.y))) > kMaxDragPixels)
            return false;
    }
    return true;
}

// The folder the target runs in, emptied after every input and removed at exit.
const fs::path& scratch() {
    static const fs::path dir = [] {
        std::string name = (fs::temp_directory_path() / "fuzz_script_XXXXXX").string();
        if (!mkdtemp(name.data()) || chdir(name.c_str()) != 0) std::abort();
        vx::acquireHandlerGlobals(vxs::globalLookup);
        return fs::path(name);
    }();
    static const int removed = std::atexit([] {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    });
    (void)removed;
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!cheapAndContained(text)) return 0;
    const fs::path& dir = scratch();
    vxs::uiSession().presetFolder = (dir / "presets").string();
    {
        vx::ShaderInstance instance(nullptr);
        buildTree(instance);
        const auto save = [&](const std::string& path, std::string& error) {
            vxs::SaveStream out(HOST_IO_TEXT);
            if (!vx::saveInstanceTree(*instance.tree, *out.state())) {
                error = "too deep";
                return false;
            }
            return vxs::writeFile(path, out.bytes(), error);
        };
        const auto close = [] {
            if (vxs::ui::Panel* p = vxs::focusPanel()) p->close();
        };
        std::istringstream in(text);
        const std::string failure =
            vxs::runEditorScript(vxs::ui::ScriptReader(in), {.save = save,
                                                             .close = close,
                                                             .open = [&] { vx::openEditor(&instance); },
                                                             .focus = vxs::focusOn});
        if (!failure.empty() && !failure.starts_with("line ")) __builtin_trap();

        vxs::SaveStream out(HOST_IO_BINARY);
        const bool saved = vx::saveInstanceTree(*instance.tree, *out.state());
        vx::NodeList again;
        vxs::LoadStream back(out.bytes());
        if (saved && !vx::loadInstanceTree(again, *instance.catalogue, *back.state())) __builtin_trap();
    }
    vxs::uiSession() = vxs::UiSession{};
    std::error_code ignored;
    for (const auto& e : fs::directory_iterator(dir, ignored)) fs::remove_all(e.path(), ignored);
    return 0;
}
