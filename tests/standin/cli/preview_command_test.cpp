// valtorimex preview, run as a user runs it, against the preview rendered in
// process from the same tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/root.h"
#include "editor/preview.h"
#include "host/host.h"
#include "standin/services/globals.h"
#include "standin/services/interface_services.h"
#include "standin/scene/preview_scene.h"
#include "standin/streams/tree_file.h"
#include "tests/standin/cli/png_file.h"
#include "tests/standin/cli/run_command.h"

namespace {

namespace fs = std::filesystem;

const std::string kRedTree = VX_SOURCE_DIR "/examples/trees/red.shd";

using vxt::Png;

class PreviewCommand : public vxt::CommandTest {
protected:
    PreviewCommand() : CommandTest("preview") {}

    static Png decode(const std::string& file) { return vxt::decodePng(file); }

    // A tree of a root alone, so every channel comes from the surface.
    std::string rootOnlyTree() const {
        const auto catalogue = vxs::nodeCatalogue();
        vx::NodeList tree;
        tree.nodes.push_back(catalogue->createByName("Root", "root"));
        std::string error;
        EXPECT_TRUE(vxs::writeTreeFile(path("root.shd"), tree, HOST_IO_TEXT, error)) << error;
        return path("root.shd");
    }
};

// The command and an in-process preview of the same node in the same
// default scene give the same bytes.
TEST_F(PreviewCommand, PngHoldsExactlyThePreviewBytes) {
    for (const int node : {1, 2}) {
        SCOPED_TRACE(node);
        const std::string out = path("node.png");
        ASSERT_EQ(run({kRedTree, "--node", std::to_string(node), "-o", out}).status, 0);
        const Png png = decode(out);
        ASSERT_EQ(png.width, 64);
        ASSERT_EQ(png.height, 64);

        const auto catalogue = vxs::nodeCatalogue();
        vx::NodeList tree;
        std::string error;
        ASSERT_TRUE(vxs::readTreeFile(kRedTree, tree, *catalogue, error)) << error;
        vxs::currentScene() = vxs::defaultPreviewScene();
        vxs::setInterfaceTime(0);
        vx::acquireHandlerGlobals(vxs::globalLookup);
        vx::Node& n = *tree.nodes[size_t(node) - 1];
        vx::renderPreview(nullptr, tree, n);
        vxs::currentScene() = {};
        vx::acquireHandlerGlobals(nullptr);
        EXPECT_EQ(png.rgb, std::vector<uint8_t>(n.preview.get(), n.preview.get() + vx::kPreviewBytes));
    }
}

TEST_F(PreviewCommand, ScaleRepeatsEachPixelWithoutFiltering) {
    ASSERT_EQ(run({kRedTree, "-o", path("one.png")}).status, 0);
    ASSERT_EQ(run({kRedTree, "--scale", "3", "-o", path("three.png")}).status, 0);
    const Png one = decode(path("one.png")), three = decode(path("three.png"));
    ASSERT_EQ(three.width, 192);
    ASSERT_EQ(three.height, 192);
    for (int r = 0; r < 192; ++r)
        for (int c = 0; c < 192; ++c) ASSERT_EQ(three.at(r, c), one.at(r / 3, c / 3)) << r << ", " << c;
}

TEST_F(PreviewCommand, AllWritesOneFilePerNodeNamedByPositionAndKind) {
    ASSERT_EQ(run({VX_SOURCE_DIR "/examples/trees/hue_shift.shd", "--all", "-o", path("all")}).status, 0);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path("all"))) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{"1-root.png", "2-color.png", "3-rgb-hsv.png", "4-add.png", "5-hsv-rgb.png"}));
}

// A point light two units in front of the centre with an inverse-square
// falloff of range 2 arrives at full strength; no ambient.
TEST_F(PreviewCommand, SceneLightsAndSurfaceChannels) {
    const std::string scene = write("scene.json", R"({
        "ambient": {"intensity": 0},
        "lights": [{"type": "point", "position": [0, 0, -2.5], "falloff": "inverse_square", "range": 2}],
        "surfaces": [{"name": "Glow", "color": [0.5, 0.25, 1]}]
    })");
    const std::string tree = rootOnlyTree();
    ASSERT_EQ(run({tree, "--scene", scene, "--surface", "Glow", "-o", path("glow.png")}).status, 0);
    EXPECT_EQ(decode(path("glow.png")).at(32, 32), (std::array<int, 3>{127, 63, 255}));
    ASSERT_EQ(run({tree, "--scene", scene, "-o", path("grey.png")}).status, 0);
    EXPECT_EQ(decode(path("grey.png")).at(32, 32), (std::array<int, 3>{200, 200, 200}));  // plain 0.785
}

// Textures are read per pixel: a checkerboard of 0.25 m cells, and a bump
// whose height is world x, so the centre's normal turns 45 degrees away from
// the light in front: 0.785 x cos 45 = 0.555.
TEST_F(PreviewCommand, SurfaceTexturesPerPixelAndBumpTiltsTheNormal) {
    const std::string scene = write("scene.json", R"({
        "ambient": {"intensity": 0},
        "lights": [{"type": "point", "position": [0, 0, -2.5], "falloff": "inverse_square", "range": 2}],
        "surfaces": [
          {"name": "Checked", "textures": {"BaseColor": {"layers": [{"pattern": "checkerboard", "world": true,
            "size": [0.25, 0.25, 0.25], "color": [1, 0, 0], "color2": [0, 0, 1]}]}}},
          {"name": "Tilted", "textures": {"Bump": {"layers": [{"type": "gradient", "input": "X Coordinate",
            "world": true, "keys": [[-1, -1, -1, -1, 1], [1, 1, 1, 1, 1]]}]}}}]
    })");
    const std::string tree = rootOnlyTree();
    ASSERT_EQ(run({tree, "--scene", scene, "--surface", "Checked", "-o", path("checked.png")}).status, 0);
    const Png checked = decode(path("checked.png"));
    EXPECT_EQ(checked.at(32, 32)[2], 0);
    EXPECT_EQ(checked.at(32, 48)[0], 0);
    ASSERT_EQ(run({tree, "--scene", scene, "--surface", "Tilted", "-o", path("tilted.png")}).status, 0);
    EXPECT_EQ(decode(path("tilted.png")).at(32, 32), (std::array<int, 3>{141, 141, 141}));
}

// The "scene" node's first output is the time: the interface's.
TEST_F(PreviewCommand, TimeReachesTheNodes) {
    const auto catalogue = vxs::nodeCatalogue();
    vx::NodeList tree;
    tree.nodes.push_back(catalogue->createByName("Global", "scene"));
    std::string error;
    ASSERT_TRUE(vxs::writeTreeFile(path("scene.shd"), tree, HOST_IO_TEXT, error)) << error;
    ASSERT_EQ(run({path("scene.shd"), "--node", "1", "--time", "0.5", "-o", path("t.png")}).status, 0);
    EXPECT_EQ(decode(path("t.png")).at(32, 32), (std::array<int, 3>{127, 127, 127}));
}

TEST_F(PreviewCommand, BadInputNamesTheFileAndExitsWithTwo) {
    write("words.shd", "hello world\n");
    write("bad.json", "{\"lights\": 3}");
    const std::string scene = write("scene.json", "{\"surfaces\": [{\"name\": \"Glow\"}]}");
    struct Row {
        std::vector<std::string> args;
        std::string named;  // empty: a usage error, named by option
    };
    const std::vector<Row> rows = {
        {{path("missing.shd"), "-o", path("x.png")}, path("missing.shd")},
        {{path("words.shd"), "-o", path("x.png")}, path("words.shd")},
        {{kRedTree, "--node", "3", "-o", path("x.png")}, kRedTree},
        {{kRedTree, "--node", "99999999999999999999", "-o", path("x.png")},
         kRedTree + std::string(": no node 99999999999999999999")},
        {{kRedTree, "--scene", path("bad.json"), "-o", path("x.png")}, path("bad.json")},
        {{kRedTree, "--scene", path("none.json"), "-o", path("x.png")}, path("none.json")},
        {{kRedTree, "--scene", scene, "--surface", "Dull", "-o", path("x.png")}, scene},
        {{kRedTree, "-o", path("no/such/dir/x.png")}, path("no/such/dir/x.png")},
        {{kRedTree, "--surface", "Glow", "-o", path("x.png")}, ""},
        {{kRedTree, "--scale", "0", "-o", path("x.png")}, ""},
        {{kRedTree, "--time", "nan", "-o", path("x.png")}, ""},
        {{kRedTree, "--node", "1", "--all", "-o", path("x")}, ""},
        {{kRedTree}, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.args));
        const auto [status, out, err] = run(r.args);
        EXPECT_EQ(status, 2);
        EXPECT_FALSE(err.empty());
        if (r.named.empty()) continue;
        EXPECT_EQ(err.rfind(r.named + ": ", 0), 0u) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    EXPECT_FALSE(fs::exists(path("x.png")));
}

}  // namespace
