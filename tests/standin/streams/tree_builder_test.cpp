#include "standin/streams/tree_builder.h"

#include <gtest/gtest.h>

namespace {

using vxs::TreeBuilder;

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
        EXPECT_FALSE(t.write("/nonexistent/unwritten.shd", error));
        EXPECT_NE(error.find(r.error), std::string::npos) << error;
    }
}

}  // namespace
