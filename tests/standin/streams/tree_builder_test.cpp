#include "standin/streams/tree_builder.h"

#include <gtest/gtest.h>

#include "core/node.h"
#include "standin/streams/tree_file.h"

namespace {

using vxs::TreeBuilder;

TEST(TreeBuilder, WritesWhatWasBuilt) {
    const std::string path = VX_BINARY_DIR "/tree_builder_test.shd";
    TreeBuilder t;
    vx::Node* colour = t.add("Generic", "color");
    t.set(colour, "col", {0.25, 0.5, 1});
    vx::Node* uv = t.add("Global", "uv");
    t.setText(uv, "uv", "paint");
    vx::Node* item = t.add("Global", "item");
    t.setInt(item, "item", 0x01000003);
    t.link(t.root(), "color", colour, "col");
    t.link(t.root(), "norm", uv, "uv_n");
    std::string error;
    ASSERT_TRUE(t.write(path, error)) << error;

    const auto catalogue = vxs::nodeCatalogue();
    vx::NodeList tree;
    ASSERT_TRUE(vxs::readTreeFile(path, tree, *catalogue, error)) << error;
    ASSERT_EQ(tree.nodes.size(), 4u);
    const vx::Node& root = *tree.nodes[0];
    EXPECT_EQ(root.inputs[0].source, tree.nodes[1].get());
    EXPECT_EQ(root.inputs[15].source, tree.nodes[2].get());
    EXPECT_EQ(root.inputs[15].sourceOutput, 1);
    EXPECT_EQ(tree.nodes[1]->inputs[0].param.value, (vx::NodeValue{0.25, 0.5, 1}));
    EXPECT_EQ(tree.nodes[2]->inputs[0].param.text, "paint");
    EXPECT_EQ(tree.nodes[3]->inputs[0].param.intValue, 0x01000003);
}

TEST(TreeBuilder, NamesTheFirstMistake) {
    struct Row {
        void (*build)(TreeBuilder&);
        std::string error;
    };
    const Row rows[] = {
        {[](TreeBuilder& t) { t.add("Generic", "colour"); }, "no node kind Generic/colour"},
        {[](TreeBuilder& t) { t.set(t.add("Generic", "color"), "color", 1); }, "color has no input color"},
        {[](TreeBuilder& t) { t.link(t.root(), "color", t.add("Generic", "color"), "r"); }, "color has no output r"},
        {[](TreeBuilder& t) {
             t.link(t.root(), "colour", t.add("Generic", "color"), "col");
             t.add("Nothing", "here");
         },
         "root has no input colour"},
        {[](TreeBuilder& t) { t.link(t.add("Generic", "nothing"), "a", t.root(), "o1"); }, "no node kind Generic/nothing"},
    };
    for (const Row& r : rows) {
        TreeBuilder t;
        r.build(t);
        EXPECT_EQ(t.error(), r.error);
        std::string error;
        EXPECT_FALSE(t.write(VX_BINARY_DIR "/tree_builder_unwritten.shd", error));
        EXPECT_NE(error.find(r.error), std::string::npos) << error;
    }
}

}  // namespace
