#include "standin/ui/script.h"

#include <gtest/gtest.h>

#include "standin/ui/keys.h"

namespace vxs::ui {
namespace {

using Op = ScriptStep::Op;

TEST(Script, ReadsEveryCommand) {
    struct Row {
        const char* line;
        Op op;
        int x, y, x2, y2, qualifiers, key;
        const char* text;
    };
    const Row rows[] = {
        {"press 10 20", Op::Press, 10, 20, 0, 0, qual::kLeft, 0, ""},
        {"release 10 20 right shift", Op::Release, 10, 20, 0, 0, qual::kRight | qual::kShift, 0, ""},
        {"click -5 7 both", Op::Click, -5, 7, 0, 0, qual::kBoth, 0, ""},
        {"drag 1 2 30 40 shift", Op::Drag, 1, 2, 30, 40, qual::kLeft | qual::kShift, 0, ""},
        {"move 3 4", Op::Move, 3, 4, 0, 0, 0, 0, ""},
        {"key Delete", Op::Key, 0, 0, 0, 0, 0, key::kDelete, ""},
        {"key c", Op::Key, 0, 0, 0, 0, 0, 'c', ""},
        {"ctrl a", Op::Key, 0, 0, 0, 0, 0, 1, ""},
        {"ctrl 7", Op::Key, 0, 0, 0, 0, 0, 0x1037, ""},
        {"wait 499", Op::Wait, 499, 0, 0, 0, 0, 0, ""},
        {"file Save to preset", Op::File, 0, 0, 0, 0, 0, 0, "Save to preset"},
        {"add Utility/rgb -> hsv", Op::Add, 0, 0, 0, 0, 0, 0, "Utility/rgb -> hsv"},
        {"answer  my tree.shd ", Op::Answer, 0, 0, 0, 0, 0, 0, "my tree.shd"},
        {"resize 700 400", Op::Resize, 700, 400, 0, 0, 0, 0, ""},
        {"quit-macro", Op::QuitMacro, 0, 0, 0, 0, 0, 0, ""},
    };
    for (const Row& r : rows) {
        std::vector<ScriptStep> steps;
        std::string error;
        ASSERT_TRUE(parseScript(std::string("# comment\n\n") + r.line, steps, error)) << r.line << ": " << error;
        ASSERT_EQ(steps.size(), 1u) << r.line;
        const ScriptStep& s = steps[0];
        EXPECT_EQ(s.op, r.op) << r.line;
        EXPECT_EQ(s.line, 3) << r.line;
        EXPECT_EQ(std::vector<int>({s.x, s.y, s.x2, s.y2, s.qualifiers, s.key}),
                  std::vector<int>({r.x, r.y, r.x2, r.y2, r.qualifiers, r.key}))
            << r.line;
        EXPECT_EQ(s.text, r.text) << r.line;
    }
}

TEST(Script, StopsAtTheFirstBadLineWithItsNumber) {
    const char* bad[] = {"press 10", "press 10 x", "click 1 2 middle", "drag 1 2 3 4 both", "move 1 2 left",
                         "key F13", "ctrl !", "wait -1", "file Print", "add root", "add /x", "resize 0 10",
                         "info now", "shot", "jump 1 2", "press 99999999999 0"};
    for (const char* line : bad) {
        std::vector<ScriptStep> steps;
        std::string error;
        EXPECT_FALSE(parseScript(std::string("info\nkey x\n") + line + "\ninfo\n", steps, error)) << line;
        EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << line << " -> " << error;
    }
}

}  // namespace
}  // namespace vxs::ui
