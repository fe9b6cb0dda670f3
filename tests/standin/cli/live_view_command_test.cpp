// `valtorimex edit --scene` with its live view, driven by scripts.
#include <gtest/gtest.h>

#include "standin/streams/tree_file.h"
#include "tests/standin/cli/run_command.h"

namespace {

class LiveViewCommand : public vxt::CommandTest {
protected:
    LiveViewCommand() : CommandTest("") {}

    // A ball with a tree (a "color" node at canvas (40, 40), a root at
    // (240, 40), unlinked) on a floor without one, seen at `size`.
    std::string writeScene(const std::string& size = R"("width": 160, "height": 120)") const {
        const auto catalogue = vxs::nodeCatalogue();
        vx::NodeList tree;
        for (const auto& [x, category, name] : {std::tuple{40, "Generic", "color"}, std::tuple{240, "Root", "root"}}) {
            tree.nodes.push_back(catalogue->createByName(category, name));
            tree.nodes.back()->x = x, tree.nodes.back()->y = 40;
        }
        std::string error;
        EXPECT_TRUE(vxs::writeTreeFile(path("ball.shd"), tree, HOST_IO_TEXT, error)) << error;
        return write("scene.json", R"({"frame": {)" + size + R"(},
            "camera": {"position": [0, 1.5, -5], "rotation": [0, 15, 0]},
            "lights": [{"type": "distant", "rotation": [30, 50, 0]}],
            "surfaces": [{"name": "Floor"}, {"name": "Ball", "tree": "ball.shd"}],
            "objects": [{"type": "plane", "size": [20, 20], "surface": "Floor"},
                        {"type": "sphere", "position": [0, 1, 0], "surface": "Ball"}]})");
    }

    Outcome edit(const std::string& scene, const std::vector<std::string>& lines, const std::string& samples = "1") {
        std::string script;
        for (const std::string& l : lines) script += l + "\n";
        std::vector<std::string> args = {"edit", "--script", write("script.txt", script), "--presets", path("presets")};
        args.insert(args.end(), {"--scene", scene, "--surface", "Ball", "--samples", samples});
        return run(args);
    }
};

// The colour's output (291, 170) to the root's "color" input (421, 170),
// and back off it.
constexpr const char* kLink = "drag 291 170 421 170";
constexpr const char* kUnlink = "drag 421 170 500 400";
const std::string kEditor = "focus QK's Valtorimex version 0.52 [ Ball ]";

// The colour node's value set in its parameter panel (a double-click on its
// title opens it) through the picker of its swatch.
std::vector<std::string> setColour(const char* rgb) {
    return {"click 236 78", "click 236 78", std::string("answer ") + rgb, "button col", "button OK"};
}

TEST_F(LiveViewCommand, LastPictureIsTheRenderOfTheSavedTree) {
    struct Row {
        const char* what;
        std::vector<std::vector<std::string>> edits;
        const char* samples;  // the view's and the render's
    };
    const Row rows[] = {
        {"changes in the middle of a pass",
         {{kLink}, setColour("0.9 0.3 0.1"), {kUnlink, kLink}, setColour("0.1 0.8 0.3")}, "1"},
        {"a last pass of three samples a pixel", {{kLink}, setColour("0.9 0.3 0.1")}, "3"},
    };
    for (const Row& r : rows) {
        std::vector<std::string> lines = {"wait-render"};
        for (const auto& edit : r.edits) lines.insert(lines.end(), edit.begin(), edit.end());
        lines.insert(lines.end(), {"wait-render", "focus Live view", "shot " + path("view.png"), kEditor,
                                   "save " + path("out.shd")});
        const Outcome o = edit(writeScene(), lines, r.samples);
        ASSERT_EQ(o.status, 0) << r.what << ": " << o.err;
        write("saved.json", read("scene.json").replace(read("scene.json").find("ball.shd"), 8, "out.shd"));
        ASSERT_EQ(run({"render", path("saved.json"), "-o", path("render.png"), "--samples", r.samples}).status, 0);
        EXPECT_EQ(read("view.png"), read("render.png")) << r.what;
    }
}

TEST_F(LiveViewCommand, HoverNamesTheSurfaceAndAClickEditsAnother) {
    const Outcome o = edit(writeScene(), {"wait-render", "focus Live view", "move 80 100", "show Status", "answer ok",
                                          "click 80 100", "focus QK's Valtorimex version 0.52 [ Floor ]",
                                          "add Root/root", "save " + path("floor.shd")});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("80, 100   Floor"), std::string::npos) << o.out;
    vx::NodeList saved;
    std::string error;
    ASSERT_TRUE(vxs::readTreeFile(path("floor.shd"), saved, *vxs::nodeCatalogue(), error)) << error;
    EXPECT_EQ(saved.nodes.size(), 1u);
}

TEST_F(LiveViewCommand, TwoHundredEditsWhileRendering) {
    std::vector<std::string> lines = {"wait-render"};
    for (int i = 0; i < 100; ++i) lines.insert(lines.end(), {kLink, kUnlink});
    lines.insert(lines.end(), {kLink, "wait-render", "save " + path("out.shd")});
    const Outcome r = edit(writeScene(), lines);
    ASSERT_EQ(r.status, 0) << r.err;
    vx::NodeList saved;
    std::string error;
    ASSERT_TRUE(vxs::readTreeFile(path("out.shd"), saved, *vxs::nodeCatalogue(), error)) << error;
    // A press brings a node to the top, so the nodes are found by kind.
    const auto kind = [&](const char* name) {
        for (const auto& n : saved.nodes)
            if (n->name == name) return n.get();
        return static_cast<vx::Node*>(nullptr);
    };
    ASSERT_TRUE(kind("root") && kind("color"));
    EXPECT_EQ(kind("root")->inputs[0].source, kind("color"));
}

TEST_F(LiveViewCommand, WaitRenderTimesOutWithTwo) {
    const Outcome o = edit(writeScene(R"("width": 1280, "height": 960)"), {"wait-render 0"});
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("line 1: the live view did not finish within 0 ms"), std::string::npos) << o.err;
}

}  // namespace
