// Every script of examples/editor/ replayed as its first line says, its
// shots matching the pictures of docs/editor/ pixel for pixel.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/standin/cli/png_file.h"
#include "tests/standin/cli/run_command.h"

namespace {

namespace fs = std::filesystem;

class EditorExamples : public vxt::CommandTest {
protected:
    EditorExamples() : CommandTest("") {}
};

TEST_F(EditorExamples, ReplayIntoTheDocumentedPictures) {
    int scripts = 0;
    for (const auto& entry : fs::directory_iterator(VX_SOURCE_DIR "/examples/editor")) {
        SCOPED_TRACE(entry.path().filename().string());
        ++scripts;
        std::istringstream lines(vxt::readBytes(entry.path()));
        std::string header, line, script;
        std::getline(lines, header);
        ASSERT_EQ(header.rfind("# valtorimex ", 0), 0u) << header;
        // Shots go to the scratch folder; the rest of the script stays.
        std::vector<std::string> shots;
        while (std::getline(lines, line)) {
            if (line.rfind("shot ", 0) == 0) {
                shots.push_back(line.substr(5));
                line = "shot " + path(std::to_string(shots.size()) + ".png");
            }
            script += line + "\n";
        }
        std::vector<std::string> args;
        std::istringstream words(header.substr(13));
        for (std::string w; words >> w;) {
            if (fs::exists(fs::path(VX_SOURCE_DIR) / w)) w = VX_SOURCE_DIR "/" + w;
            args.push_back(w);
        }
        args.back() = write("script.txt", script);  // the --script argument
        args.insert(args.end(), {"--presets", path("presets")});
        const Outcome o = run(args);
        ASSERT_EQ(o.status, 0) << o.err;
        for (size_t i = 0; i < shots.size(); ++i) {
            const vxt::Png made = vxt::decodePng(path(std::to_string(i + 1) + ".png"));
            const vxt::Png documented = vxt::decodePng(VX_SOURCE_DIR "/" + shots[i]);
            EXPECT_GT(made.width, 0) << shots[i];
            EXPECT_TRUE(made.width == documented.width && made.rgb == documented.rgb) << shots[i];
        }
    }
    EXPECT_GE(scripts, 4);
}

}  // namespace
