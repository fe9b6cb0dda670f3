// Scans arbitrary bytes as a configuration file, twice into the same managers
// so replacement runs too, and checks the managers stay consistent; then
// opens the editor with no window on what it read, as the module does, and
// presses every shortcut.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "editor/config.h"
#include "host/host.h"
#include "plugin/instance.h"
#include "standin/services/globals.h"
#include "standin/services/ui_services.h"
#include "standin/ui/keys.h"

namespace {
void openEditor(std::string_view text) {
    [[maybe_unused]] static const int acquired = [] {
        vx::acquireHandlerGlobals(vxs::globalLookup);
        return 0;
    }();
    vx::optMan() = vx::OptMan{};
    vx::scMan() = vx::SCMan{};
    vx::editorOptions() = vx::EditorOptions{};
    vx::scanConfig(text, vx::optMan(), vx::scMan());
    vx::fetchEditorOptions(vx::optMan(), vx::editorOptions());
    vx::ShaderInstance instance(nullptr);
    vx::openEditor(&instance);
    vxs::ui::Panel* panel = vxs::focusPanel();
    if (!panel) __builtin_trap();
    for (const auto& s : vx::scMan().shortcuts()) {
        panel->keyDown(vxs::ui::key::kCtrl);
        panel->keyDown(s->keyCode);
        panel->keyUp(s->keyCode);
        panel->keyUp(vxs::ui::key::kCtrl);
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vx::OptMan options;
    vx::SCMan shortcuts;
    vx::scanConfig(text, options, shortcuts);
    const std::size_t optionCount = options.options().size();
    const std::size_t shortcutCount = shortcuts.shortcuts().size();
    vx::scanConfig(text, options, shortcuts);
    if (options.options().size() != optionCount || shortcuts.shortcuts().size() != shortcutCount) __builtin_trap();

    for (const auto& s : shortcuts.shortcuts())
        if (s->keyCode == 0 || s->category.empty() || s->name.empty() || shortcuts.find(s->keyCode) != s.get())
            __builtin_trap();
    for (const auto& o : options.options())
        if (o->name.empty() || options.find(o->name) != o.get() ||
            (o->kind == vx::OptKind::Text && (o->text.empty() || o->value != 0)))
            __builtin_trap();

    vx::EditorOptions editor;
    vx::fetchEditorOptions(options, editor);
    if (editor.initialWidth < vx::kMinEditorWidth || editor.initialHeight < vx::kMinEditorHeight ||
        editor.initialWidth > vx::kMaxEditorSide || editor.initialHeight > vx::kMaxEditorSide)
        __builtin_trap();
    // A larger editor only takes longer to draw.
    if (editor.initialWidth * editor.initialHeight <= 1280 * 1024) openEditor(text);
    return 0;
}
