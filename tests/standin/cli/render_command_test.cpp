// `valtorimex render` run as a user runs it, and the built-in demo.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "standin/scene/demo_scene.h"
#include "standin/services/globals.h"
#include "standin/render/png.h"
#include "standin/render/renderer.h"
#include "standin/scene/scene_file.h"
#include "tests/standin/cli/run_command.h"

namespace {

namespace fs = std::filesystem;

class RenderCommand : public vxt::CommandTest {
protected:
    RenderCommand() : CommandTest("render") {}

    // The width and height a PNG's header gives, or (0, 0).
    std::pair<int, int> pngSize(const std::string& name) const {
        const std::string bytes = read(name);
        if (bytes.size() < 24 || bytes.substr(0, 8) != "\x89PNG\r\n\x1a\n") return {0, 0};
        const auto word = [&](size_t at) {
            int v = 0;
            for (size_t i = 0; i < 4; ++i) v = v << 8 | uint8_t(bytes[at + i]);
            return v;
        };
        return {word(16), word(20)};
    }
};

TEST_F(RenderCommand, RendersTheDemoWithoutAScene) {
    const Outcome r = run({"-o", path("demo.png"), "--width", "64", "--height", "48", "--threads", "2"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(pngSize("demo.png"), std::make_pair(64, 48));
}

TEST_F(RenderCommand, RendersASceneFile) {
    write("scene.json",
          R"({"frame": {"width": 20, "height": 10},
              "lights": [{"type": "distant"}],
              "objects": [{"type": "sphere", "position": [0, 0, 3]}]})");
    const Outcome r = run({path("scene.json"), "-o", path("out.png")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(pngSize("out.png"), std::make_pair(20, 10));
}

TEST_F(RenderCommand, BadInputNamesTheFileAndExitsWithTwo) {
    write("typo.json", R"({"frame": {"widht": 20}})");
    write("not_a_tree.shd", "hello");
    write("tree.json", R"({"surfaces": [{"name": "S", "tree": "not_a_tree.shd"}],
                           "objects": [{"type": "sphere", "surface": "S"}]})");
    write("fine.json", R"({"frame": {"width": 4, "height": 4}})");
    struct Row {
        std::vector<std::string> args;
        std::string named;  // the start of the one line on standard error
    };
    const std::vector<Row> rows = {
        {{path("missing.json"), "-o", path("x.png")}, path("missing.json") + ": "},
        {{path("typo.json"), "-o", path("x.png")}, path("typo.json") + ": frame.widht: "},
        {{path("tree.json"), "-o", path("x.png")}, path("not_a_tree.shd") + ": "},
        {{path("fine.json"), "-o", path("no/such/folder/x.png")}, path("no/such/folder/x.png") + ": "},
        {{path("tree.json"), "-o", path("x.png"), "--module", path("none.p")}, path("none.p") + ": "},
    };
    for (const Row& row : rows) {
        const Outcome r = run(row.args);
        EXPECT_EQ(r.status, 2) << row.named;
        EXPECT_EQ(r.err.rfind(row.named, 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    const Outcome huge = run({path("fine.json"), "-o", path("x.png"), "--width=16384", "--height=16384"});
    EXPECT_EQ(huge.status, 2);
    EXPECT_EQ(huge.err, path("fine.json") + ": 16384 x 16384 pixels is more than 67108864 in all\n");
    for (const char* bad : {"--samples=0", "--width=0", "--threads=-1", "--height=x"})
        EXPECT_EQ(run({path("fine.json"), "-o", path("x.png"), bad}).status, 2) << bad;
}

// The demo and the example scenes render to the same bytes as the pictures
// stored beside this test, on one thread and on three.
TEST_F(RenderCommand, MatchesStoredPictures) {
    for (const std::string scene : {"demo", "mirrors", "orbit", "vase"}) {
        const std::string want = vxt::readBytes(VX_SOURCE_DIR "/tests/standin/cli/reference/" + scene + ".png");
        ASSERT_FALSE(want.empty()) << scene;
        for (const char* threads : {"1", "3"}) {
            std::vector<std::string> args = {"--width", "96", "--height", "72", "--samples", "2", "--threads", threads,
                                             "-o", path("out.png")};
            if (scene != "demo") args.insert(args.begin(), VX_SOURCE_DIR "/examples/scenes/" + scene + ".json");
            ASSERT_EQ(run(args).status, 0) << scene;
            EXPECT_TRUE(read("out.png") == want) << scene << " on " << threads << " threads";
        }
    }
}

// The demo's trees all load, and its picture is the same however many
// threads render it.
TEST(DemoScene, SameBytesWhateverTheThreadCount) {
    std::string error, where;
    const auto demo = vxs::DemoScene::write(error);
    ASSERT_TRUE(demo) << error;
    vxs::Scene scene;
    ASSERT_TRUE(vxs::loadSceneFile(demo->scenePath(), scene, error)) << error;
    const vxs::Scene saved = vxs::currentScene();
    vxs::currentScene() = std::move(scene);
    {
        const auto shaders =
            vxs::SurfaceShaders::load(vxs::currentScene(), VX_BINARY_DIR "/QK_Valtorimex.p", where, error);
        ASSERT_TRUE(shaders) << where << ": " << error;
        EXPECT_EQ(shaders->instances().size(), 5u);
        vxs::RenderSettings settings;
        settings.width = 96;
        settings.height = 72;
        settings.samples = 2;
        settings.threads = 1;
        const vxs::Picture one = vxs::render(vxs::currentScene(), shaders.get(), settings);
        settings.threads = 4;
        const vxs::Picture four = vxs::render(vxs::currentScene(), shaders.get(), settings);
        const std::vector<uint8_t> bytes = vxs::toRgb8(one);
        EXPECT_EQ(bytes, vxs::toRgb8(four));
        EXPECT_GT(std::set<uint8_t>(bytes.begin(), bytes.end()).size(), 100u);
    }
    vxs::currentScene() = saved;
}

// Every example scene reads, loads its trees and renders something.
TEST(ExampleScenes, Render) {
    const vxs::Scene saved = vxs::currentScene();
    int scenes = 0;
    for (const auto& entry : fs::directory_iterator(VX_SOURCE_DIR "/examples/scenes")) {
        if (entry.path().extension() != ".json") continue;
        ++scenes;
        const std::string path = entry.path().string();
        std::string error, where;
        vxs::Scene scene;
        ASSERT_TRUE(vxs::loadSceneFile(path, scene, error)) << path << ": " << error;
        vxs::currentScene() = std::move(scene);
        const auto shaders =
            vxs::SurfaceShaders::load(vxs::currentScene(), VX_BINARY_DIR "/QK_Valtorimex.p", where, error);
        ASSERT_TRUE(shaders) << where << ": " << error;
        EXPECT_FALSE(shaders->instances().empty()) << path;
        vxs::RenderSettings settings;
        settings.width = 40;
        settings.height = 30;
        const std::vector<uint8_t> bytes = vxs::toRgb8(vxs::render(vxs::currentScene(), shaders.get(), settings));
        EXPECT_GT(std::set<uint8_t>(bytes.begin(), bytes.end()).size(), 30u) << path;
    }
    EXPECT_GE(scenes, 3);
    vxs::currentScene() = saved;
}

}  // namespace
