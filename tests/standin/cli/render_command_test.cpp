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
};

TEST_F(RenderCommand, BadInputNamesTheFileAndExitsWithTwo) {
    write("typo.json", R"({"frame": {"widht": 20}})");
    write("not_a_tree.shd", "hello");
    write("tree.json", R"({"surfaces": [{"name": "S", "tree": "not_a_tree.shd"}],
                           "objects": [{"type": "sphere", "surface": "S"}]})");
    write("fine.json", R"({"frame": {"width": 4, "height": 4}})");
    write("not.obj", "no faces here");
    write("mesh.json", R"({"objects": [{"type": "mesh", "file": "not.obj"}]})");
    struct Row {
        std::vector<std::string> args;
        std::string named;  // the start of the one line on standard error
    };
    const std::vector<Row> rows = {
        {{path("missing.json"), "-o", path("x.png")}, path("missing.json") + ": "},
        {{path("typo.json"), "-o", path("x.png")}, path("typo.json") + ": frame.widht: "},
        {{path("tree.json"), "-o", path("x.png")}, path("not_a_tree.shd") + ": "},
        // The output is checked before the scene is even read.
        {{path("tree.json"), "-o", path("no/such/folder/x.png")}, path("no/such/folder/x.png") + ": cannot create"},
        {{path("tree.json"), "-o", path("x.bmp")}, path("x.bmp") + ": cannot write such a picture"},
        {{path("tree.json"), "-o", path("x.png"), "--module", path("none.p")}, path("none.p") + ": "},
        {{path("mesh.json"), "-o", path("x.png")}, path("mesh.json") + ": objects[0].file: \"not.obj\": not a readable OBJ"},
        {{"-o", path("x.png"), "--width=16384", "--height=16384"}, "demo scene: 16384 x 16384 pixels is more than"},
    };
    for (const Row& row : rows) {
        const Outcome r = run(row.args);
        EXPECT_EQ(r.status, 2) << row.named;
        EXPECT_EQ(r.err.rfind(row.named, 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_FALSE(fs::exists(path("x.bmp")));
    for (const char* bad : {"--samples=0", "--width=0", "--threads=-1", "--height=x"})
        EXPECT_EQ(run({path("fine.json"), "-o", path("x.png"), bad}).status, 2) << bad;
    const Outcome big = run({path("fine.json"), "-o", path("x.png"), "--samples=99999999999999999999"});
    EXPECT_NE(big.err.find("99999999999999999999"), std::string::npos) << big.err;
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

// The extension picks the format; one side alone keeps the aspect ratio.
TEST_F(RenderCommand, OutputFormatsSizeAndFrameWarning) {
    write("wide.json", R"({"frame": {"width": 8, "height": 4}})");
    const struct { std::vector<std::string> args; const char* out; std::string magic; } rows[] = {
        {{"-o", path("x.png"), "--width=4"}, "x.png: 4 x 2,", "\x89PNG"},
        {{"-o", path("x.JPG"), "--height=2"}, "x.JPG: 4 x 2,", "\xFF\xD8"},
        {{"-o", path("x.exr")}, "x.exr: 8 x 4,", "\x76\x2F\x31\x01"},
    };
    for (const auto& row : rows) {
        std::vector<std::string> args{path("wide.json")};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Outcome r = run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(row.out), std::string::npos) << r.out;
        EXPECT_EQ(read(row.args[1]).substr(0, row.magic.size()), row.magic) << row.out;
    }
    const Outcome late = run({path("wide.json"), "-o", path("x.png"), "--frame=7"});
    EXPECT_EQ(late.status, 0);
    EXPECT_EQ(late.err, "warning: frame 7 is outside the scene's frames 0 to 0\n");
}

// A sequence writes each frame as --frame would, under its zero-padded
// number; a second run with --skip-existing renders nothing; a bad range or
// name is refused before anything is written.
TEST_F(RenderCommand, FrameSequences) {
    const std::string scene = VX_SOURCE_DIR "/examples/scenes/orbit.json";
    const std::vector<std::string> size = {"--width", "48", "--height", "36", "--threads", "2"};
    const auto render = [&](std::vector<std::string> args) {
        args.insert(args.begin(), scene);
        args.insert(args.end(), size.begin(), size.end());
        return run(args);
    };
    struct Row {
        std::string range, output, message;
    };
    const std::vector<Row> bad = {
        {"5-2", "f-##.png", "--frames 5-2: the last frame comes before the first"},
        {"a-b", "f-##.png", "--frames a-b: not a frame range"},
        {"0-2:0", "f-##.png", "--frames 0-2:0: the step must be 1 or more"},
        {"0-2:", "f-##.png", "--frames 0-2:: not a frame range"},
        {"0-2", "f.png", path("f.png") + ": a sequence needs a run of #"},
        {"0-2", "f-##.bmp", path("f-##.bmp") + ": cannot write such a picture"},
    };
    for (const Row& row : bad) {
        const Outcome r = render({"--frames", row.range, "-o", path(row.output)});
        EXPECT_EQ(r.status, 2) << row.range;
        EXPECT_EQ(r.err.rfind(row.message, 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    for (const auto& written : fs::directory_iterator(dir()))
        EXPECT_TRUE(written.path().filename() == "stdout" || written.path().filename() == "stderr") << written.path();
    EXPECT_EQ(render({"--frame", "1", "--frames", "0-2", "-o", path("f-#.png")}).status, 2);

    const Outcome first = render({"--frames", "0-2", "-o", path("seq/f-###.png")});
    EXPECT_EQ(first.status, 2) << "the folder does not exist";
    fs::create_directory(path("seq"));
    const Outcome all = render({"--frames", "0-2", "-o", path("seq/f-###.png"), "--skip-existing"});
    ASSERT_EQ(all.status, 0) << all.err;
    for (const char* frame : {"0", "1", "2"}) {
        ASSERT_EQ(render({"--frame", frame, "-o", path("single.png")}).status, 0);
        EXPECT_TRUE(read("single.png") == read(std::string("seq/f-00") + frame + ".png")) << frame;
    }
    const Outcome again = render({"--frames", "0-2", "-o", path("seq/f-###.png"), "--skip-existing"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(std::count(again.out.begin(), again.out.end(), '\n'), 3) << again.out;
    EXPECT_EQ(again.out.find("x 36"), std::string::npos) << again.out;
    // A step walks from the first frame and never past the last.
    ASSERT_EQ(render({"--frames", "8-12:3", "-o", path("seq/s#.png")}).status, 0);
    EXPECT_TRUE(fs::exists(path("seq/s8.png")) && fs::exists(path("seq/s11.png")) && !fs::exists(path("seq/s12.png")));
}

// Every example scene reads, loads its trees and renders something, the
// same on one thread and on two.
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
        settings.threads = 1;
        const std::vector<uint8_t> bytes = vxs::toRgb8(vxs::render(vxs::currentScene(), shaders.get(), settings));
        EXPECT_GT(std::set<uint8_t>(bytes.begin(), bytes.end()).size(), 30u) << path;
        // Blurred traces and occlusion draw from the pixel, not the thread;
        // the texture inputs' occlusion shares one generator across threads.
        if (entry.path().filename() == "textures.json") continue;
        settings.threads = 2;
        EXPECT_EQ(vxs::toRgb8(vxs::render(vxs::currentScene(), shaders.get(), settings)), bytes) << path;
    }
    EXPECT_GE(scenes, 3);
    vxs::currentScene() = saved;
}

}  // namespace
