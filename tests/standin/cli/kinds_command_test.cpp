#include <gtest/gtest.h>

#include <filesystem>

#include "standin/cli/kind_examples.h"
#include "standin/streams/tree_file.h"
#include "tests/standin/cli/run_command.h"

namespace {

namespace fs = std::filesystem;

class KindsCommand : public vxt::CommandTest {
protected:
    KindsCommand() : CommandTest("kinds") {}
};

// The page users read is the command's own output, and every kind of the
// catalogue has a picture on it, a small PNG beside it, and an example tree
// that the example table would write again byte for byte.
TEST_F(KindsCommand, ReferencePageHasEveryKindWithItsPictureAndTree) {
    const Outcome o = run({});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, vxt::readBytes(VX_SOURCE_DIR "/docs/node-kinds.md"))
        << "regenerate with: build/valtorimex kinds --examples examples/kinds --pictures docs/kinds > docs/node-kinds.md";
    const auto catalogue = vxs::nodeCatalogue();
    uintmax_t bytes = 0;
    for (const auto& group : catalogue->children())
        for (const auto& entry : group->children()) {
            const std::string kind = entry->prototype()->name, stem = vxs::kindStem(kind);
            EXPECT_NE(o.out.find("### \"" + kind + "\"\n\n![" + kind + "](kinds/" + stem + ".png)\n\n"), std::string::npos)
                << kind;
            const std::string png = vxt::readBytes(VX_SOURCE_DIR "/docs/kinds/" + stem + ".png");
            ASSERT_GT(png.size(), 24u) << kind;
            const auto side = [&](size_t at) { return uint8_t(png[at + 2]) << 8 | uint8_t(png[at + 3]); };
            EXPECT_TRUE(png.compare(1, 3, "PNG") == 0 && side(16) <= 128 && side(20) <= 128) << kind;
            bytes += png.size();
            const vxs::KindExample* example = vxs::findKindExample(kind);
            ASSERT_NE(example, nullptr) << kind;
            const std::string tree = VX_SOURCE_DIR "/examples/kinds/" + stem + ".shd";
            if (example->build) {
                vxs::TreeBuilder builder;
                vxs::buildKindExample(*example, builder);
                std::string error;
                ASSERT_TRUE(builder.write(path(stem + ".shd"), error)) << error;
                EXPECT_EQ(read(stem + ".shd"), vxt::readBytes(tree)) << kind << " is not the tree the table makes";
            } else {
                EXPECT_TRUE(fs::exists(tree)) << kind;
            }
        }
    EXPECT_LT(bytes, 2u << 20);
}

TEST_F(KindsCommand, AMissingExampleFolderExitsWithTwo) {
    const Outcome o = run({"--examples", path("none"), "--pictures", path("out")});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err.rfind(path("none/root.shd") + ": cannot create", 0), 0u) << o.err;
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
    EXPECT_TRUE(o.out.empty());
}

}  // namespace
