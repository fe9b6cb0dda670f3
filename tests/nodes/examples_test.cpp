// The example trees, and those in the tree-file page, load and give what
// their descriptions promise.
#include <string>

#include "core/persist.h"
#include "core/root.h"
#include "standin/streams/files.h"
#include "standin/streams/streams.h"
#include "tests/nodes/eval_helper.h"

namespace vxn {
namespace {

NodeList loadText(std::string bytes) {
    vxs::LoadStream stream(std::move(bytes));
    EXPECT_EQ(stream.form(), HOST_IO_TEXT);
    NodeList tree;
    EXPECT_TRUE(loadInstanceTree(tree, library(), *stream.state()));
    EXPECT_FALSE(stream.failed());
    return tree;
}

TEST(Examples, TreeFilePageExamples) {
    std::string page, error;
    ASSERT_TRUE(vxs::readFile(VX_SOURCE_DIR "/docs/tree-files.md", page, error)) << error;
    const struct { size_t nodes; int input; NodeValue value; } rows[] = {
        {1, RI_COLOR, S(0.785)}, {2, RI_COLOR, {1, 0, 0}}, {2, RI_DIFF, S(0.25)}};
    size_t at = 0;
    for (const auto& r : rows) {
        at = page.find("```shd\n", at);
        ASSERT_NE(at, std::string::npos) << "fewer examples than rows";
        at += 7;
        const NodeList tree = loadText(page.substr(at, page.find("```", at) - at));
        EXPECT_EQ(tree.nodes.size(), r.nodes);
        const Node* root = findRoot(tree);
        ASSERT_TRUE(root);
        NodeEnv env;
        EXPECT_TRUE(near(root->readInput(root->inputs[r.input], &env), r.value, 1e-7));
    }
}

TEST(Examples, LoadAndEvaluate) {
    const struct { const char* file; size_t nodes; NodeValue color; } rows[] = {
        {"red.shd",       2, {1, 0, 0}},
        {"hue_shift.shd", 5, {0.1, 0.7, 0.9}},  // the opposite hue of (0.9, 0.3, 0.1)
        {"overlay.shd",   4, {0.4, 0.5, 0.6}}, {"clamp_sum.shd", 5, {1, 0.8, 1}},
        {"gradient.shd",  4, {0.9, 0.2, 0.2}},  // a normal facing the camera: the key at 0
        // Without a scene to trace or cast into.
        {"blurred_mirror.shd", 2, {0, 0, 0}}, {"occlusion_corner.shd", 3, {0.85, 0.82, 0.75}},
        {"fresnel.shd", 4, NodeValue::scalar(1 - 0.0340264)},  // transmitted at normal incidence, eta 1.3
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.file);
        std::string bytes, error;
        ASSERT_TRUE(vxs::readFile(std::string(VX_SOURCE_DIR) + "/examples/trees/" + r.file, bytes, error)) << error;
        const NodeList tree = loadText(std::move(bytes));
        EXPECT_EQ(tree.nodes.size(), r.nodes) << "a kind was not found";
        const Node* root = findRoot(tree);
        ASSERT_TRUE(root);

        NodeEnv env;
        EXPECT_TRUE(near(root->readInput(root->inputs[RI_COLOR], &env), r.color, 1e-6));
        // The other channels keep the root's defaults.
        EXPECT_EQ(root->readInput(root->inputs[RI_DIFF], &env), S(1));
        EXPECT_TRUE(near(root->readInput(root->inputs[RI_GLOSS], &env), S(0.4), 1e-7));
    }
}

}  // namespace
}  // namespace vxn
