// The stand-in's texture and envelope editors worked by scripts from the
// editor, the saved tree then evaluated: what the editors built is what
// renders.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "host/services.h"
#include "standin/streams/tree_file.h"
#include "tests/standin/cli/run_command.h"

namespace {

class HostEditors : public vxt::CommandTest {
protected:
    HostEditors() : CommandTest("") {}

    // A root at canvas (40, 40) whose input `to` is linked from a fresh
    // `kind` at (240, 40), whose title is at window point (436, 78); the
    // script's lines run on it and the tree is saved as "out.shd".
    void edit(const char* kind, int to, const std::vector<std::string>& lines) {
        const auto catalogue = vxs::nodeCatalogue();
        vx::NodeList tree;
        tree.nodes.push_back(catalogue->createByName("Root", "root"));
        tree.nodes.push_back(catalogue->createByName("Texture", kind));
        tree.nodes[0]->x = tree.nodes[0]->y = tree.nodes[1]->y = 40;
        tree.nodes[1]->x = 240;
        tree.nodes[0]->inputs[size_t(to)].source = tree.nodes[1].get();
        std::string error;
        ASSERT_TRUE(vxs::writeTreeFile(path("tree.shd"), tree, HOST_IO_TEXT, error)) << error;
        std::string script = "click 436 78\nclick 436 78\n";
        for (const std::string& l : lines) script += l + "\n";
        const Outcome o = run({"edit", path("tree.shd"), "--script", write("s.txt", script + "save " + path("out.shd"))});
        ASSERT_EQ(o.status, 0) << o.err;
    }

    // The saved tree evaluated at frame `frame` (one second each), with the
    // sample's object position at `at`.
    nlohmann::json eval(int frame, const std::string& at = "[0, 0, 0]") {
        write("scene.json", R"({"frame": {"fps": 1, "start": )" + std::to_string(frame) + "}}");
        write("record.json", R"({"object_position": )" + at + "}");
        const Outcome o = run({"eval", path("out.shd"), "--scene", path("scene.json"), "--record", path("record.json")});
        EXPECT_EQ(o.status, 0) << o.err;
        return nlohmann::json::parse(o.out, nullptr, false);
    }
};

TEST_F(HostEditors, EnvelopeKeysAddedInTheEditorDriveTheNode) {
    edit("env_val", 2, {"button Add Key", "field Value 0.2", "button Add Key", "field Time 2", "field Value 0.6",
                        "field Shape Linear", "show Time"});
    struct Row { int frame; double specularity; } rows[] = {{0, 0.2}, {1, 0.4}, {3, 0.6}};
    for (const Row& r : rows) EXPECT_NEAR(eval(r.frame)["specularity"].get<double>(), r.specularity, 1e-6) << r.frame;
}

TEST_F(HostEditors, TextureLayersBuiltInTheEditorShadeTheSample) {
    edit("tex_col", 0,
         {"button Edit Parameter", "button Add Procedural", "field Size 0.5 0.5 0.5", "field Color 1 0.5 0",
          "button Add Gradient", "field Blend multiply", "field Input Slope", "field RGB 2 0.2 0.4 0.6",
          "field Alpha 2 50"});
    // The normal faces away from the up axis: slope 1 takes the second key,
    // multiplied in at half strength over the checkerboard's colour.
    struct Row { const char* at; std::vector<double> colour; } rows[] = {
        {"[0, 0, 0]", {0.6, 0.35, 0}}, {"[0.6, 0, 0]", {0, 0, 0}}};
    for (const Row& r : rows) {
        const auto c = eval(0, r.at)["base_color"];
        for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(c.at(i).get<double>(), r.colour[i], 1e-6) << r.at;
    }
}

}  // namespace
