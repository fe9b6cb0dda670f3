// The example trees load and give the colours their descriptions promise.
#include <string>

#include "core/persist.h"
#include "core/root.h"
#include "standin/streams/files.h"
#include "standin/streams/streams.h"
#include "tests/nodes/eval_helper.h"

namespace vxn {
namespace {

TEST(Examples, LoadAndEvaluate) {
    const struct {
        const char* file;
        size_t nodes;
        NodeValue color;
    } rows[] = {
        {"red.shd",       2, {1, 0, 0}},
        {"hue_shift.shd", 5, {0.1, 0.7, 0.9}},  // the opposite hue of (0.9, 0.3, 0.1)
        {"overlay.shd",   4, {0.4, 0.5, 0.6}},
        {"clamp_sum.shd", 5, {1, 0.8, 1}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.file);
        std::string bytes, error;
        ASSERT_TRUE(vxs::readFile(std::string(VX_SOURCE_DIR) + "/examples/trees/" + r.file, bytes, error)) << error;
        vxs::LoadStream stream(std::move(bytes));
        ASSERT_EQ(stream.form(), HOST_IO_TEXT);
        NodeList tree;
        ASSERT_TRUE(loadInstanceTree(tree, library(), *stream.state()));
        EXPECT_FALSE(stream.failed());
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
