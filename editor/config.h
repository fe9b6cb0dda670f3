// The configuration file beside the module: named options, Ctrl-key shortcuts
// that add node kinds, and the editor's start-up settings taken from them.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

inline constexpr const char* kConfigFileName = "QK_Valtorimex.cfg";
// Larger files are cut after their last complete line within this size.
inline constexpr std::size_t kMaxConfigBytes = std::size_t{4} << 20;
inline constexpr int kMinEditorWidth = 640;
inline constexpr int kMinEditorHeight = 360;
// The largest raster a host's panel toolkit is asked for.
inline constexpr int kMaxEditorSide = 8192;

enum class OptKind : int { Integer = 0, Text = 1 };

struct OptData {
    std::string name;  // case-sensitive
    OptKind kind = OptKind::Integer;
    std::string text;  // empty for an integer option
    int value = 0;     // 0 for a text option
};

// Named options, unique by name, in order of first appearance.
class OptMan {
public:
    void setInt(std::string_view name, int value);
    void setText(std::string_view name, std::string_view text);
    // Changes value only when an integer option of that name exists.
    bool getInt(std::string_view name, int& value) const;
    const OptData* find(std::string_view name) const;
    const std::vector<std::unique_ptr<OptData>>& options() const { return options_; }

private:
    OptData& slot(std::string_view name);
    std::vector<std::unique_ptr<OptData>> options_;
    // By name, so that a file of many names reads in n log n.
    std::map<std::string, OptData*, std::less<>> byName_;
};

struct ShortCutData {
    int keyCode = 0;  // the host's code of the key pressed with Ctrl
    std::string category;
    std::string name;
};

// Shortcuts, unique by key code, in order of first appearance.
class SCMan {
public:
    // A character outside the key table adds nothing.
    void add(char key, std::string_view category, std::string_view name);
    const ShortCutData* find(int keyCode) const;
    const std::vector<std::unique_ptr<ShortCutData>>& shortcuts() const { return shortcuts_; }

private:
    std::vector<std::unique_ptr<ShortCutData>> shortcuts_;
};

// The Ctrl-key code for a character written in the file; 0 when it has none.
int shortcutKeyCode(char c);

// Applies every entry of the text; malformed lines are skipped silently.
// Integers too large for an int saturate at INT_MAX.
void scanConfig(std::string_view text, OptMan& options, SCMan& shortcuts);

// False, with nothing changed, when the file cannot be opened or read at all.
// A read error part-way also gives false but keeps the complete lines read.
bool readConfigFile(const std::string& path, OptMan& options, SCMan& shortcuts);

// The module-wide managers, filled at every activation of the handler.
OptMan& optMan();
SCMan& scMan();

struct EditorOptions {
    int initialWidth = 800;
    int initialHeight = 600;
    int lineMode = 0;  // 0 straight links, anything else orthogonal
};
EditorOptions& editorOptions();

// Takes the three editor options that exist as integers, then keeps the size
// between the minimums and kMaxEditorSide.
void fetchEditorOptions(const OptMan& options, EditorOptions& editor);

// moduleDir ends with its separator (or is empty): reads the file into the
// module-wide managers and refreshes editorOptions().
void applyConfig(const std::string& moduleDir);

}  // namespace vx
