#include "editor/config.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace vx {

void OptMan::setInt(std::string_view name, int value) {
    OptData& o = slot(name);
    o.kind = OptKind::Integer;
    o.text.clear();
    o.value = value;
}

void OptMan::setText(std::string_view name, std::string_view text) {
    OptData& o = slot(name);
    o.kind = OptKind::Text;
    o.text = text;
    o.value = 0;
}

bool OptMan::getInt(std::string_view name, int& value) const {
    const OptData* o = find(name);
    if (!o || o->kind != OptKind::Integer) return false;
    value = o->value;
    return true;
}

const OptData* OptMan::find(std::string_view name) const {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

OptData& OptMan::slot(std::string_view name) {
    if (const auto it = byName_.find(name); it != byName_.end()) return *it->second;
    auto& o = options_.emplace_back(std::make_unique<OptData>());
    o->name = name;
    byName_.emplace(o->name, o.get());
    return *o;
}

void SCMan::add(char key, std::string_view category, std::string_view name) {
    const int code = shortcutKeyCode(key);
    if (code == 0) return;
    ShortCutData* s = nullptr;
    for (auto& e : shortcuts_)
        if (e->keyCode == code) s = e.get();
    if (!s) {
        s = shortcuts_.emplace_back(std::make_unique<ShortCutData>()).get();
        s->keyCode = code;
    }
    s->category = category;
    s->name = name;
}

const ShortCutData* SCMan::find(int keyCode) const {
    for (const auto& s : shortcuts_)
        if (s->keyCode == keyCode) return s.get();
    return nullptr;
}

int shortcutKeyCode(char c) {
    if (c >= '0' && c <= '9') return 0x1030 + (c - '0');
    if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
    if (c >= 'a' && c <= 'z') return c - 'a' + 1;
    switch (c) {
    case '[': return 27;
    case '\\': return 28;
    case ']': return 29;
    default: return 0;
    }
}

namespace {

// ASCII only: the file's syntax must not depend on the C locale.
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isIdentChar(char c) { return isIdentStart(c) || isDigit(c); }

std::size_t skipBlanks(std::string_view s, std::size_t p) {
    while (p < s.size() && isBlank(s[p])) ++p;
    return p;
}

// A double-quoted text of at least one character at p; 0 when there is none,
// else the position after the closing quote.
std::size_t matchQuoted(std::string_view s, std::size_t p, std::string_view& content) {
    if (p >= s.size() || s[p] != '"') return 0;
    const std::size_t close = s.find('"', p + 1);
    if (close == std::string_view::npos || close == p + 1) return 0;
    content = s.substr(p + 1, close - p - 1);
    return close + 1;
}

int parseSaturated(std::string_view digits) {
    int v = 0;
    for (char c : digits) {
        const int d = c - '0';
        if (v > (INT_MAX - d) / 10) return INT_MAX;
        v = v * 10 + d;
    }
    return v;
}

// One line without its line feed. Of the three entry shapes the longest match
// wins, exactly as a lexer would choose; anything after it is ignored.
void scanLine(std::string_view line, OptMan& options, SCMan& shortcuts) {
    const std::size_t nameStart = skipBlanks(line, 0);
    if (nameStart >= line.size() || !isIdentStart(line[nameStart])) return;
    std::size_t nameEnd = nameStart + 1;
    while (nameEnd < line.size() && isIdentChar(line[nameEnd])) ++nameEnd;
    const std::size_t valueStart = skipBlanks(line, nameEnd);
    if (valueStart == nameEnd || valueStart >= line.size()) return;
    const std::string_view name = line.substr(nameStart, nameEnd - nameStart);

    std::size_t intEnd = valueStart;
    while (intEnd < line.size() && isDigit(line[intEnd])) ++intEnd;
    if (intEnd == valueStart) intEnd = 0;

    std::string_view text;
    const std::size_t textEnd = matchQuoted(line, valueStart, text);

    std::size_t shortcutEnd = 0;
    std::string_view category, nodeName;
    if (name == "ShortCut") {
        const std::size_t categoryEnd = matchQuoted(line, skipBlanks(line, valueStart + 1), category);
        if (categoryEnd) shortcutEnd = matchQuoted(line, skipBlanks(line, categoryEnd), nodeName);
    }

    if (shortcutEnd > intEnd && shortcutEnd > textEnd)
        shortcuts.add(line[valueStart], category, nodeName);
    else if (textEnd > intEnd)
        options.setText(name, text);
    else if (intEnd)
        options.setInt(name, parseSaturated(line.substr(valueStart, intEnd - valueStart)));
}

}  // namespace

void scanConfig(std::string_view text, OptMan& options, SCMan& shortcuts) {
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        scanLine(text.substr(0, lf), options, shortcuts);
        if (lf == std::string_view::npos) break;
        text.remove_prefix(lf + 1);
    }
}

bool readConfigFile(const std::string& path, OptMan& options, SCMan& shortcuts) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return false;
    std::string text;
    char chunk[16384];
    while (text.size() <= kMaxConfigBytes) {
        const std::size_t n = std::fread(chunk, 1, sizeof chunk, file.get());
        text.append(chunk, n);
        if (n < sizeof chunk) break;
    }
    const bool failed = std::ferror(file.get()) != 0;
    // When the read stopped early the last line may be cut in the middle of a
    // number or a name; only whole lines are trusted.
    if (failed || text.size() > kMaxConfigBytes) {
        const std::size_t lf = text.rfind('\n', kMaxConfigBytes - 1);
        text.resize(lf == std::string::npos ? 0 : lf + 1);
    }
    scanConfig(text, options, shortcuts);
    return !failed;
}

OptMan& optMan() {
    static OptMan instance;
    return instance;
}

SCMan& scMan() {
    static SCMan instance;
    return instance;
}

EditorOptions& editorOptions() {
    static EditorOptions instance;
    return instance;
}

void fetchEditorOptions(const OptMan& options, EditorOptions& editor) {
    options.getInt("InitialWidth", editor.initialWidth);
    options.getInt("InitialHeight", editor.initialHeight);
    options.getInt("LineMode", editor.lineMode);
    editor.initialWidth = std::clamp(editor.initialWidth, kMinEditorWidth, kMaxEditorSide);
    editor.initialHeight = std::clamp(editor.initialHeight, kMinEditorHeight, kMaxEditorSide);
}

void applyConfig(const std::string& moduleDir) {
    readConfigFile(moduleDir + kConfigFileName, optMan(), scMan());
    fetchEditorOptions(optMan(), editorOptions());
}

}  // namespace vx
