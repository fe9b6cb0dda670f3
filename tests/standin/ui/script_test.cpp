#include "standin/ui/script.h"

#include <gtest/gtest.h>


namespace vxs::ui {
namespace {

TEST(Script, StopsAtTheFirstBadLineWithItsNumber) {
    const char* bad[] = {"press 10", "press 10 x", "click 1 2 middle", "drag 1 2 3 4 both", "move 1 2 left",
                         "key F13", "ctrl !", "wait -1", "file Print", "add root", "add /x", "resize 0 10",
                         "info now", "shot", "jump 1 2", "press 99999999999 0", "field diff", "show", "focus",
                         "wait-render 1 2", "wait-render soon"};
    for (const char* line : bad) {
        std::vector<ScriptStep> steps;
        std::string error;
        EXPECT_FALSE(parseScript(std::string("info\nkey x\n") + line + "\ninfo\n", steps, error)) << line;
        EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << line << " -> " << error;
    }
}

}  // namespace
}  // namespace vxs::ui
