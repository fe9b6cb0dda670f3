// `valtorimex edit --scene` with its live view, driven by scripts.
#include <gtest/gtest.h>

#include "standin/streams/tree_file.h"
#include "tests/standin/cli/run_command.h"

namespace {

class LiveViewCommand : public vxt::CommandTest {
protected:
    LiveViewCommand() : CommandTest("edit") {}

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

    Outcome edit(const std::string& scene, const std::vector<std::string>& lines) {
        std::string script;
        for (const std::string& l : lines) script += l + "\n";
        std::vector<std::string> args = {"--script", write("script.txt", script), "--presets", path("presets")};
        if (!scene.empty()) args.insert(args.end(), {"--scene", scene, "--surface", "Ball"});
        return run(args);
    }
};

// The colour's output (291, 170) to the root's "color" input (421, 170),
// and back off it.
constexpr const char* kLink = "drag 291 170 421 170";
constexpr const char* kUnlink = "drag 421 170 500 400";

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

TEST_F(LiveViewCommand, WaitRenderFailsWithTwo) {
    struct Row {
        bool scene;
        const char* line;
        const char* message;
    };
    for (const Row& r : {Row{false, "wait-render", "line 1: there is no live view (edit needs --scene)"},
                         Row{true, "wait-render 0", "line 1: the live view did not finish within 0 ms"}}) {
        const Outcome o = edit(r.scene ? writeScene(R"("width": 1280, "height": 960)") : "", {r.line});
        EXPECT_EQ(o.status, 2) << r.line;
        EXPECT_NE(o.err.find(r.message), std::string::npos) << o.err;
    }
}

}  // namespace
