// The built valtorimex command run as a user runs it, from a test's scratch
// folder.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/temp_dir.h"

namespace vxt {

// One word for the shell, whatever it holds.
inline std::string shellWord(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A fixture with a scratch folder whose run() runs the command with its
// subcommand (none when empty) before the test's arguments. Standard output
// and error pass through the files "stdout" and "stderr" of the folder.
class CommandTest : public ::testing::Test, public TempDir {
protected:
    struct Outcome {
        int status;  // -1 when the command did not exit of itself
        std::string out, err;
    };

    explicit CommandTest(std::string subcommand) : TempDir("vx_command"), subcommand_(std::move(subcommand)) {}

    // `shell` comes first on the command line, as a limit such as "ulimit -f 1;".
    Outcome run(const std::vector<std::string>& args, const std::string& shell = "") const {
        std::string cmd = shell + shellWord(VX_BINARY_DIR "/valtorimex");
        if (!subcommand_.empty()) cmd += " " + subcommand_;
        for (const std::string& a : args) cmd += " " + shellWord(a);
        cmd += " >" + shellWord(path("stdout")) + " 2>" + shellWord(path("stderr"));
        const int raw = std::system(cmd.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read("stdout"), read("stderr")};
    }

private:
    std::string subcommand_;
};

}  // namespace vxt
