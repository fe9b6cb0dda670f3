// Replays arbitrary bytes as an editor script on a small tree, with no
// window: every line the runner takes must either run or stop the script
// with its line number, and the tree must still save and load afterwards.
// Lines that name files are kept to the scratch folder the target runs in.
#include <unistd.h>

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
#include "standin/streams/streams.h"

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

// Files may only be named inside the scratch folder.
bool staysInFolder(const std::string& script) {
    std::istringstream lines(script);
    for (std::string line; std::getline(lines, line);) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos) continue;
        const std::string word = line.substr(start, line.find_first_of(" \t", start) - start);
        if ((word == "shot" || word == "save" || word == "answer") && line.find('/') != std::string::npos)
            return false;
    }
    return true;
}

const fs::path& scratch() {
    static const fs::path dir = [] {
        std::string name = (fs::temp_directory_path() / "fuzz_script_XXXXXX").string();
        if (!mkdtemp(name.data()) || chdir(name.c_str()) != 0) std::abort();
        vx::acquireHandlerGlobals(vxs::globalLookup);
        return fs::path(name);
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!staysInFolder(text)) return 0;
    const fs::path& dir = scratch();
    vxs::uiSession().presetFolder = (dir / "presets").string();
    {
        vx::ShaderInstance instance(nullptr);
        buildTree(instance);
        const auto save = [&](const std::string&, std::string&) {
            vxs::SaveStream out(HOST_IO_TEXT);
            return vx::saveInstanceTree(*instance.tree, *out.state());
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
