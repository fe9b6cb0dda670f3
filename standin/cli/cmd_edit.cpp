// valtorimex edit [TREE] [--scene SCENE.json [--surface NAME] [--samples N]] [--config CFG]
//                 [--size WxH] [--script FILE] [--presets DIR] [--module PATH]
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "core/persist.h"
#include "host/plugin_abi.h"
#include "standin/cli/commands.h"
#include "standin/live/live_view.h"
#include "standin/scene/preview_scene.h"
#include "standin/scene/scene_file.h"
#include "standin/services/globals.h"
#include "standin/services/module_loader.h"
#include "standin/services/script_session.h"
#include "standin/services/ui_services.h"
#include "standin/streams/files.h"
#include "standin/streams/shader_tree.h"
#include "standin/streams/streams.h"
#include "standin/streams/tree_file.h"
#include "standin/ui/script.h"
#include "standin/ui/window.h"

namespace vxs {

namespace {
namespace fs = std::filesystem;

struct EditOptions {
    std::string tree, scene, surface, config, size, script, presets, module;
    int samples = 1;
};

constexpr int kMaxEditorSide = 8192;

// "WxH" with both sides from 1 to kMaxEditorSide.
bool parseSize(const std::string& s, int& w, int& h) {
    char x = 0, rest = 0;
    return std::sscanf(s.c_str(), "%d%c%d%c", &w, &x, &h, &rest) == 3 && (x == 'x' || x == 'X') && w > 0 &&
           h > 0 && w <= kMaxEditorSide && h <= kMaxEditorSide;
}

std::string defaultPresetFolder() {
    const char* home = std::getenv("HOME");
    return (fs::path(home ? home : ".") / ".local/share/valtorimex/presets").string();
}

// The module reads its configuration beside itself, so a configuration of
// the command's own goes with a copy of the module into a folder of its own.
class ModuleFolder {
public:
    ~ModuleFolder() {
        std::error_code ignored;
        if (!dir_.empty()) fs::remove_all(dir_, ignored);
    }
    // The module path to load; empty, with a reason in `error`, on failure.
    std::string prepare(const EditOptions& o, std::string& error) {
        if (o.config.empty() && o.size.empty()) return o.module;
        std::string cfg;
        if (!o.config.empty() && !readFile(o.config, cfg, error)) return "";
        int w = 0, h = 0;
        if (!o.size.empty()) {
            parseSize(o.size, w, h);
            // Later entries win, so these override the file's.
            cfg += "\nInitialWidth " + std::to_string(w) + "\nInitialHeight " + std::to_string(h) + "\n";
        }
        std::string name = (fs::temp_directory_path() / "valtorimex_edit_XXXXXX").string();
        if (!mkdtemp(name.data())) {
            error = "cannot make a folder for the module";
            return "";
        }
        dir_ = name;
        const fs::path module = dir_ / "QK_Valtorimex.p";
        std::error_code ec;
        fs::copy_file(o.module, module, ec);
        if (ec) {
            error = "cannot copy the module: " + ec.message();
            return "";
        }
        return writeFile((dir_ / "QK_Valtorimex.cfg").string(), cfg, error) ? module.string() : "";
    }

private:
    fs::path dir_;
};

// The instance's tree as the host saves it with a scene; empty when the
// module saved nothing.
std::string savedTree(const Shader& shader, HostInstance inst) {
    SaveStream stream(HOST_IO_TEXT);
    shader.save(inst, *stream.state());
    return stream.empty() ? "" : stream.bytes();
}

int runEdit(const EditOptions& o) {
    std::string error;
    int w = 0, h = 0;
    if (!o.size.empty() && !parseSize(o.size, w, h))
        return reportBadInput(o.size, "--size needs WxH, each side from 1 to " + std::to_string(kMaxEditorSide));
    std::ifstream script;
    if (!o.script.empty()) {
        script.open(o.script, std::ios::binary);
        if (!script) return reportBadInput(o.script, std::string("cannot open: ") + std::strerror(errno));
    }
    // Without a scene, previews are lit as `valtorimex preview` lights them.
    Scene loaded = defaultPreviewScene();
    if (!o.scene.empty() && !loadSceneFile(o.scene, loaded, error)) return reportBadInput(o.scene, error);
    if (o.scene.empty()) loaded.surfaces.emplace_back().name = "Default";
    currentScene() = std::move(loaded);
    Scene& scene = currentScene();
    if (scene.surfaces.empty()) return reportBadInput(o.scene, "the scene has no surface to edit");
    size_t edited = 0;
    if (!o.surface.empty()) {
        const auto named = std::find_if(scene.surfaces.begin(), scene.surfaces.end(),
                                        [&](const Surface& s) { return s.name == o.surface; });
        if (named == scene.surfaces.end()) return reportBadInput(o.scene, "no surface named \"" + o.surface + "\"");
        edited = size_t(named - scene.surfaces.begin());
    }

    ModuleFolder folder;
    const std::string modulePath = folder.prepare(o, error);
    if (modulePath.empty()) return reportBadInput(o.config.empty() ? o.module : o.config, error);
    const auto module = Module::open(modulePath, error);
    if (!module) return reportBadInput(o.module, error);
    const auto shader = Shader::activate(*module, error);
    if (!shader) return reportBadInput(o.module, error);
    HostShaderInterface iface{};
    if (module->activate("ShaderInterface", Shader::kName, &iface, error) != 0) return reportBadInput(o.module, error);
    if (!iface.optionsFunc) return reportBadInput(o.module, "the module offers no editor");

    // The host's instances by surface: the edited one, and with a scene
    // every other surface's tree, which the live view renders.
    std::vector<Shader::InstancePtr> instances;
    for (size_t i = 0; i < scene.surfaces.size(); ++i) instances.push_back({nullptr, Shader::Destroyer{shader.get()}});
    const auto makeInstance = [&](size_t i, const std::string& path) {
        instances[i] = shader->make(&scene.surfaces[i]);
        std::string bytes;
        return path.empty() || (readTreeBytes(path, bytes, error) &&
                                loadShaderTree(*shader, instances[i].get(), std::move(bytes), error));
    };
    // Without a tree file of its own the editor takes the surface's.
    std::string tree = o.tree.empty() ? scene.surfaces[edited].tree : o.tree;
    if (!makeInstance(edited, tree)) return reportBadInput(tree, error);
    std::unique_ptr<LiveView> view;
    std::atomic<bool> windowed{false};
    if (!o.scene.empty()) {
        std::vector<HostInstance> shown;
        for (size_t i = 0; i < scene.surfaces.size(); ++i) {
            if (i != edited && !scene.surfaces[i].tree.empty() && !makeInstance(i, scene.surfaces[i].tree))
                return reportBadInput(scene.surfaces[i].tree, error);
            shown.push_back(instances[i].get());
        }
        RenderSettings settings;
        settings.frame = scene.frameStart;
        settings.samples = o.samples;
        try {
            view = std::make_unique<LiveView>(scene, *shader, std::move(shown), edited, settings, [&windowed] {
                if (windowed) ui::Window::wake();
            });
        } catch (const std::exception& e) {
            return reportBadInput(o.scene, e.what());
        }
    }
    // Taken once the editor is open: opening measures the nodes, which is no
    // change of the artist's.
    std::string lastSaved;
    // Found by title each time: resizing the editor re-creates its panel.
    std::string editorTitle;
    const auto editor = [&] { return editorTitle.empty() ? nullptr : openPanelTitled(editorTitle); };

    UiSession& session = uiSession();
    session.presetFolder = o.presets.empty() ? defaultPresetFolder() : o.presets;
    const auto save = [&](const std::string& path, std::string& err) {
        const std::string bytes = savedTree(*shader, instances[edited].get());
        // The module saves nothing of a tree nested deeper than a reader takes.
        if (bytes.empty()) {
            err = vx::kTooDeepMessage;
            return false;
        }
        if (!writeFile(path, bytes, err)) return false;
        if (path == tree) lastSaved = bytes;
        return true;
    };
    // Leaving the tree with changes asks what becomes of them: saved to the
    // tree file (or where the artist says), thrown away, or kept in the
    // editor, which stays; a save that fails says why and keeps it too.
    const auto offerToSave = [&] {
        if (savedTree(*shader, instances[edited].get()) == lastSaved || !session.asker) return true;
        const std::string where = tree.empty() ? "a tree file" : tree;
        const int choice = session.asker->ask("Info", "Save the changes to " + where + "?", {"Save", "Discard", "Cancel"});
        if (choice != 0) return choice == 1;
        std::optional<std::string> path = tree;
        if (tree.empty()) path = session.asker->requestFile("Save Valtorimex", ">*.shd", "");
        if (!path) return false;
        std::string err;
        if (save(*path, err)) return true;
        session.asker->inform("Info", *path + ": " + err);
        return false;
    };
    // Closing a panel over the editor is that panel's Cancel.
    const auto mayClose = [&] { return focusPanel() != editor() || offerToSave(); };
    const auto openEditor = [&] {
        const bool first = lastSaved.empty();
        iface.optionsFunc(instances[edited].get());
        if (ui::Panel* p = focusPanel()) editorTitle = p->title();
        if (first) lastSaved = savedTree(*shader, instances[edited].get());
    };
    if (view)
        view->pickSurface = [&](size_t surface) {
            const std::string question = "Edit the tree of surface \"" + scene.surfaces[surface].name + "\"?";
            if (!session.asker || !session.asker->askOkCancel(LiveView::kTitle, question) || !offerToSave()) return;
            if (ui::Panel* p = editor()) p->close();
            if (!instances[surface]) instances[surface] = shader->make(&scene.surfaces[surface]);
            edited = surface;
            tree = scene.surfaces[surface].tree;
            lastSaved.clear();
            view->edit(surface, instances[surface].get());
            openEditor();
        };
    const auto afterEvent = [&] {
        if (view) view->afterEvent();
    };

    if (!o.script.empty()) {
        const auto close = [&] {
            if (mayClose())
                if (ui::Panel* p = focusPanel()) p->close();
        };
        const auto waitRender = [&](int ms) -> std::string {
            if (!view) return "there is no live view (edit needs --scene)";
            view->afterEvent();
            if (view->waitFinished(std::chrono::milliseconds(ms))) return "";
            return "the live view did not finish within " + std::to_string(ms) + " ms";
        };
        // The view opens first, so that the editor has the focus.
        if (view) panelOpened(&view->panel());
        const std::string failure = runEditorScript(
            ui::ScriptReader(script),
            {.save = save,
             .close = close,
             .open = openEditor,
             .focus = [](const std::string& title) { return focusOn(title); },
             .editor = editor,
             .waitRender = waitRender,
             .afterStep = afterEvent});
        if (view) panelClosed(&view->panel());
        session = UiSession{};
        if (!failure.empty()) return reportBadInput(o.script, failure);
        return 0;
    }

    openEditor();
    ui::Panel* first = focusPanel();
    if (!first) return reportBadInput(o.module, "the editor did not open");
    auto window = ui::Window::open(*first, error);
    if (!window) return reportBadInput("edit", error);
    session.asker = window.get();
    window->nextPanel = focusNext;
    session.eventLoop = [&](const std::function<bool()>& more) { window->run(focusPanel, more, mayClose); };
    window->afterEvent = afterEvent;
    if (view) {
        window->showBeside(&view->panel(), [&] { view.reset(); });
        windowed = true;
    }
    window->run(focusPanel, [] { return true; }, mayClose);
    session = UiSession{};
    // The view's threads wake the window: they end before it does.
    view.reset();
    return 0;
}
}  // namespace

void addEditCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<EditOptions>();
    o->module = defaultModulePath();
    CLI::App* cmd = app.add_subcommand(
        "edit", "Opens the node editor on a shader instance holding the tree (empty without one), in a window, or "
                "with --script headless, replaying one event per line of the script.");
    cmd->add_option("TREE", o->tree, "Tree file to edit, in either stream form (default: the surface's)");
    CLI::Option* scene = cmd->add_option("--scene", o->scene, "Scene file whose surface the shader belongs to");
    cmd->add_option("--surface", o->surface, "The scene's surface (default: its first)")->needs(scene);
    cmd->add_option("--samples", o->samples, "Camera rays per pixel of the live view's last pass, as render takes them")
        ->check(CLI::Range(1, 1024))
        ->capture_default_str()
        ->needs(scene);
    cmd->add_option("--config", o->config, "Configuration file used in place of the one beside the module");
    cmd->add_option("--size", o->size, "The editor's initial size, WxH (overrides the configuration)");
    cmd->add_option("--script", o->script, "Replay this script with no window (docs/editor.md lists its lines)");
    cmd->add_option("--presets", o->presets, "Folder of the preset shelf")->default_str(defaultPresetFolder());
    cmd->add_option("--module", o->module, "The plug-in module to load")->capture_default_str();
    cmd->callback([o, &status] { status = runEdit(*o); });
}

}  // namespace vxs
