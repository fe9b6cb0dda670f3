#include "standin/ui/script.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>


namespace vxs::ui {
namespace {

TEST(Script, StopsAtTheFirstBadLineWithItsNumber) {
    const std::string bad[] = {"press 10", "press 10 x", "click 1 2 middle", "drag 1 2 3 4 both", "move 1 2 left",
                         "key F13", "ctrl !", "wait -1", "file Print", "add root", "add /x", "resize 0 10",
                         "info now", "shot", "jump 1 2", "field diff", "show", "focus", "wait-render 1 2",
                         "wait-render soon", std::string(5000, 'x')};
    for (const std::string& line : bad) {
        std::istringstream text("info\n\n# a comment\nkey x\n" + line + "\ninfo\n");
        ScriptReader script(text);
        ScriptStep step;
        std::string error;
        EXPECT_TRUE(script.next(step, error) && script.next(step, error)) << error;
        EXPECT_FALSE(script.next(step, error)) << line;
        EXPECT_EQ(error.rfind("line 5: ", 0), 0u) << line << " -> " << error;
    }
    // A coordinate out of range says so.
    std::istringstream far("press 99999999999 0");
    ScriptStep step;
    std::string error;
    EXPECT_FALSE(ScriptReader(far).next(step, error));
    EXPECT_EQ(error, "line 1: press 99999999999 is out of range (-100000 to 100000)");
}

}  // namespace
}  // namespace vxs::ui
