// Every file the command writes goes out whole or not at all: a write that
// fails (here past a file-size limit) or a tree that cannot be saved leaves
// the file it would replace byte for byte, and nothing else beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/macro.h"
#include "core/persist.h"
#include "host/services.h"
#include "standin/streams/tree_file.h"
#include "tests/standin/cli/run_command.h"

namespace {

namespace fs = std::filesystem;

class SafeFiles : public vxt::CommandTest {
protected:
    SafeFiles() : CommandTest("") {}

    // A macro nested `levels` deep at (40, 40) and an empty one at (40, 240).
    std::string deepTree(int levels) const {
        const auto catalogue = vxs::nodeCatalogue();
        vx::NodeList tree;
        for (vx::NodeList* at = &tree; levels-- > 0;) {
            at->nodes.push_back(catalogue->createByName("Macro", "macro"));
            at->nodes.back()->x = at->nodes.back()->y = 40;
            at = &static_cast<vx::NMacro*>(at->nodes.back().get())->inner;
        }
        tree.nodes.push_back(catalogue->createByName("Macro", "macro"));
        tree.nodes.back()->x = 40, tree.nodes.back()->y = 240;
        std::string error;
        EXPECT_TRUE(vxs::writeTreeFile(path("deep.shd"), tree, HOST_IO_TEXT, error)) << error;
        return path("deep.shd");
    }

    // Each script in a file of its own, as the rows are made before they run.
    std::vector<std::string> edit(const std::string& tree, const std::vector<std::string>& lines) {
        std::string script;
        for (const std::string& l : lines) script += l + "\n";
        const std::string file = write("script" + std::to_string(++scripts_) + ".txt", script);
        return {"edit", tree, "--script", file, "--presets", path("out")};
    }

private:
    int scripts_ = 0;
};

std::vector<std::string> filesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    return names;
}

TEST_F(SafeFiles, FailedWritesLeaveTheOldFileByteForByte) {
    const std::string hue = VX_SOURCE_DIR "/examples/trees/hue_shift.shd";
    const std::string old = vxt::readBytes(hue);
    // The old file is a tree, so the editor can take it as its own.
    const std::string deep = deepTree(vx::kMaxMacroNesting);
    // Copy the deep macro and paste it into the empty one: one level too many.
    const std::vector<std::string> deeper = {"click 236 78", "key c", "click 236 278", "click 236 278", "key v"};
    const auto plus = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::string limit = "ulimit -f 1; ";  // 512 bytes
    struct Row {
        const char* what;
        std::string target, shell;
        std::vector<std::string> args;
        int status;
        const char* message;  // in standard error, or "" for none
    };
    const std::string shd = path("out/old.shd");
    const Row rows[] = {
        {"render PNG", "old.png", limit, {"render", "--width", "64", "--height", "48", "-o", path("out/old.png")}, 2,
         "cannot write: File too large"},
        {"render JPEG", "old.jpg", limit, {"render", "--width", "64", "--height", "48", "-o", path("out/old.jpg")}, 2,
         "cannot write"},
        {"render EXR", "old.exr", limit, {"render", "--width", "64", "--height", "48", "-o", path("out/old.exr")}, 2,
         "cannot write"},
        {"preview", "old.png", limit, {"preview", hue, "-o", path("out/old.png")}, 2, "cannot write"},
        {"convert", "old.shd", limit, {"convert", hue, shd}, 2, "cannot write"},
        {"script save", "old.shd", limit, edit(hue, {"save " + shd}), 2, "line 1: cannot write"},
        {"script shot", "old.png", limit, edit(hue, {"shot " + path("out/old.png")}), 2, "line 1: cannot write"},
        {"File Save", "old.shd", limit, edit(hue, {"answer " + shd, "file Save", "info"}), 0, ""},
        {"close and save", "old.shd", limit, edit(shd, {"drag 196 38 196 58", "answer ok", "close"}), 0, ""},
        {"preset", "preset-001.shd", limit, edit(hue, {"file Save to preset"}), 0, ""},
        {"script save too deep", "old.shd", "", edit(deep, plus(deeper, {"save " + shd})), 2,
         "line 6: macros nest more than 256 levels deep"},
        {"File Save too deep", "old.shd", "", edit(deep, plus(deeper, {"quit-macro", "answer " + shd, "file Save", "info"})), 0, ""},
    };
    for (const Row& r : rows) {
        fs::remove_all(path("out"));
        write("out/" + r.target, old);
        const Outcome o = run(r.args, r.shell);
        EXPECT_EQ(o.status, r.status) << r.what << ": " << o.err;
        EXPECT_NE(o.err.find(r.message), std::string::npos) << r.what << ": " << o.err;
        EXPECT_EQ(o.out.find("done"), std::string::npos) << r.what << ": " << o.out;
        EXPECT_EQ(read("out/" + r.target), old) << r.what;
        EXPECT_EQ(filesIn(path("out")), std::vector<std::string>{r.target}) << r.what;
    }
}

}  // namespace
