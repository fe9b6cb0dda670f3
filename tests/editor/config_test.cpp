#include "editor/config.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

#include "tests/temp_dir.h"

namespace vx {
namespace {

struct OptRow {
    std::string name;
    OptKind kind;
    std::string text;
    int value;
    bool operator==(const OptRow&) const = default;
};

std::ostream& operator<<(std::ostream& os, const OptRow& r) {
    if (r.kind == OptKind::Text) return os << r.name << "=\"" << r.text << '"';
    return os << r.name << '=' << r.value;
}

OptRow num(std::string name, int value) { return {std::move(name), OptKind::Integer, "", value}; }
OptRow str(std::string name, std::string text) { return {std::move(name), OptKind::Text, std::move(text), 0}; }

struct KeyRow {
    int code;
    std::string category;
    std::string name;
    bool operator==(const KeyRow&) const = default;
};

std::ostream& operator<<(std::ostream& os, const KeyRow& r) {
    return os << r.code << "->" << r.category << '/' << r.name;
}

std::vector<OptRow> optionRows(const OptMan& m) {
    std::vector<OptRow> rows;
    for (const auto& o : m.options()) rows.push_back({o->name, o->kind, o->text, o->value});
    return rows;
}

std::vector<KeyRow> keyRows(const SCMan& m) {
    std::vector<KeyRow> rows;
    for (const auto& s : m.shortcuts()) rows.push_back({s->keyCode, s->category, s->name});
    return rows;
}

struct ScanCase {
    const char* label;
    std::string file;
    int width, height, lineMode;
    std::vector<OptRow> options;
    std::vector<KeyRow> shortcuts;
};

TEST(ConfigScan, FileTextGivesOptionsShortcutsAndEditorSettings) {
    const ScanCase cases[] = {
        {"empty file", "", 800, 600, 0, {}, {}},
        {"comments only", "# settings\n  # InitialWidth 1024\n#LineMode 1\n", 800, 600, 0, {}, {}},
        {"example file",
         "# editor settings\nInitialWidth 1024\nInitialHeight 700\nLineMode 1\nShortCut a \"Operator\" \"add\"\n",
         1024, 700, 1,
         {num("InitialWidth", 1024), num("InitialHeight", 700), num("LineMode", 1)},
         {{1, "Operator", "add"}}},
        {"minimum size", "InitialWidth 300\nInitialHeight 200\n", 640, 360, 0,
         {num("InitialWidth", 300), num("InitialHeight", 200)}, {}},
        {"leading blanks", "  LineMode 2\n", 800, 600, 2, {num("LineMode", 2)}, {}},
        {"word before entry", "set LineMode 2\n", 800, 600, 0, {}, {}},
        {"second entry on a line ignored", "LineMode 1 InitialWidth 900\n", 800, 600, 1, {num("LineMode", 1)}, {}},
        {"trailing comment", "InitialWidth 1024 # wide\n", 1024, 600, 0, {num("InitialWidth", 1024)}, {}},
        {"quoted number is text", "InitialWidth \"1024\"\n", 800, 600, 0, {str("InitialWidth", "1024")}, {}},
        {"text replaces integer", "InitialWidth 1024\nInitialWidth \"big\"\n", 800, 600, 0,
         {str("InitialWidth", "big")}, {}},
        {"a then A share a key", "ShortCut a \"Operator\" \"add\"\nShortCut A \"Math\" \"sub\"\n", 800, 600, 0, {},
         {{1, "Math", "sub"}}},
        {"unknown key", "ShortCut ! \"Operator\" \"add\"\n", 800, 600, 0, {}, {}},
        {"CRLF line endings",
         "InitialWidth 1024\r\nLineMode 1\r\nTitle \"x y\"\r\nShortCut b \"Op\" \"mul\"\r\n", 1024, 600, 1,
         {num("InitialWidth", 1024), num("LineMode", 1), str("Title", "x y")}, {{2, "Op", "mul"}}},
        {"tabs are blanks", "\tInitialWidth\t \t900\nShortCut\tc\t\"Op\"\t\"div\"\n", 900, 600, 0,
         {num("InitialWidth", 900)}, {{3, "Op", "div"}}},
        {"identifier starting with a digit", "1Width 900\n_w2 5\n", 800, 600, 0, {num("_w2", 5)}, {}},
        {"quote never closes", "Title \"abc\nInitialWidth 1000\n", 1000, 600, 0, {num("InitialWidth", 1000)}, {}},
        {"text holds #", "Title \"a # b\" # note\n", 800, 600, 0, {str("Title", "a # b")}, {}},
        {"blanks before category", "ShortCut z   \t\"Operator\"  \"add\"\n", 800, 600, 0, {},
         {{26, "Operator", "add"}}},
        {"no blanks around quotes", "ShortCut y\"Op\"\"neg\"\n", 800, 600, 0, {}, {{25, "Op", "neg"}}},
        {"ShortCut with a number", "ShortCut 12\n", 800, 600, 0, {num("ShortCut", 12)}, {}},
        {"digit key without a name", "ShortCut 7 \"Op\"\n", 800, 600, 0, {num("ShortCut", 7)}, {}},
        {"quoted text after ShortCut", "ShortCut \"Op\"\n", 800, 600, 0, {str("ShortCut", "Op")}, {}},
        // The shortcut on key '"' is longer than the text option " ", so it wins and is dropped.
        {"quote as key", "ShortCut \" \"Op\" \"add\"\n", 800, 600, 0, {}, {}},
        {"case of ShortCut", "shortcut a \"Op\" \"add\"\nShortCuts a \"Op\" \"add\"\n", 800, 600, 0, {}, {}},
        {"signed number", "InitialWidth -5\nLineMode +1\n", 800, 600, 0, {}, {}},
        {"letters after digits", "InitialWidth 1024px\n", 1024, 600, 0, {num("InitialWidth", 1024)}, {}},
        {"no blank before value", "InitialWidth1024\nTitle\"x\"\n", 800, 600, 0, {}, {}},
        {"value on the next line", "InitialWidth\n1024\n", 800, 600, 0, {}, {}},
        {"empty quoted text", "Title \"\"\nShortCut a \"\" \"add\"\nShortCut b \"Op\" \"\"\n", 800, 600, 0, {}, {}},
        {"largest size", "InitialWidth 8192\nInitialHeight 8193\n", 8192, 8192, 0,
         {num("InitialWidth", 8192), num("InitialHeight", 8193)}, {}},
        {"huge number saturates", "InitialWidth 2147483648\nInitialHeight 99999999999999999999999\n", 8192, 8192,
         0, {num("InitialWidth", INT_MAX), num("InitialHeight", INT_MAX)}, {}},
        {"leading zeros", "LineMode 0000000000000000000007\n", 800, 600, 7, {num("LineMode", 7)}, {}},
        {"last line without line feed", "LineMode 3", 800, 600, 3, {num("LineMode", 3)}, {}},
        {"names are case-sensitive", "initialwidth 1024\n", 800, 600, 0, {num("initialwidth", 1024)}, {}},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.label);
        OptMan options;
        SCMan shortcuts;
        scanConfig(c.file, options, shortcuts);
        EditorOptions editor;
        fetchEditorOptions(options, editor);
        EXPECT_EQ(editor.initialWidth, c.width);
        EXPECT_EQ(editor.initialHeight, c.height);
        EXPECT_EQ(editor.lineMode, c.lineMode);
        EXPECT_EQ(optionRows(options), c.options);
        EXPECT_EQ(keyRows(shortcuts), c.shortcuts);
    }
}

TEST(ConfigKeys, KeyTableBoundaries) {
    const struct { char key; int code; } cases[] = {
        {'0', 0x1030}, {'9', 0x1039}, {'A', 1}, {'a', 1}, {'Z', 26}, {'z', 26}, {'[', 27}, {'\\', 28},
        {']', 29},     {'/', 0},      {':', 0}, {'@', 0}, {'`', 0},  {'{', 0},  {'^', 0},  {'_', 0},
        {'!', 0},      {' ', 0},      {'\0', 0}, {static_cast<char>(0xC1), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.key));
        EXPECT_EQ(shortcutKeyCode(c.key), c.code);
    }
}

TEST(ConfigFile, OversizedFileKeepsWholeLinesWithinTheLimit) {
    const vxt::TempDir tmp("vx_config");
    std::string text = "InitialWidth 1000\n";
    const std::string filler = "# " + std::string(97, '-') + "\n";
    const std::size_t lineStart = kMaxConfigBytes - 16;
    while (text.size() + filler.size() < lineStart) text += filler;
    text.append(lineStart - 1 - text.size(), ' ');
    // The limit falls after "InitialHeight 45": a cut line must not pass for a shorter number.
    text += "\nInitialHeight 4567\nLineMode 1\n";
    OptMan options;
    SCMan shortcuts;
    EXPECT_TRUE(readConfigFile(tmp.write("big.cfg", text), options, shortcuts));
    EXPECT_EQ(optionRows(options), std::vector<OptRow>{num("InitialWidth", 1000)});
}

TEST(ConfigFile, ApplyConfigReadsTheFileBesideTheModule) {
    const vxt::TempDir tmp("vx_config");
    tmp.write(kConfigFileName, "InitialWidth 300\nInitialHeight 2000\nLineMode 5\n");
    applyConfig(tmp.path(""));
    EXPECT_EQ(editorOptions().initialWidth, 640);
    EXPECT_EQ(editorOptions().initialHeight, 2000);
    EXPECT_EQ(editorOptions().lineMode, 5);
    int width = 0;
    EXPECT_TRUE(optMan().getInt("InitialWidth", width));
    EXPECT_EQ(width, 300);

    // Put the module-wide settings back to their defaults for later tests.
    tmp.write(kConfigFileName, "InitialWidth 800\nInitialHeight 600\nLineMode 0\n");
    applyConfig(tmp.path(""));
}

}  // namespace
}  // namespace vx
