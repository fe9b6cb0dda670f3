#include <gtest/gtest.h>

#include "tests/standin/cli/run_command.h"

namespace {

class KindsCommand : public vxt::CommandTest {
protected:
    KindsCommand() : CommandTest("kinds") {}
};

// The page users read is the command's own output; this keeps them one.
TEST_F(KindsCommand, DocumentationPageIsTheCurrentOutput) {
    const Outcome o = run({});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, vxt::readBytes(VX_SOURCE_DIR "/docs/node-kinds.md"))
        << "regenerate with: build/valtorimex kinds > docs/node-kinds.md";
    EXPECT_NE(o.out.find("### \"color dodge\""), std::string::npos);
}

}  // namespace
