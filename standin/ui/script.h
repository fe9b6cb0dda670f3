// The `--script` language of `valtorimex edit`: one editor event per line.
#pragma once

#include <istream>
#include <string>

namespace vxs::ui {

struct ScriptStep {
    enum class Op {
        Press, Release, Move, Click, Drag, Key, Wait, File, Add, QuitMacro, Menu, Answer, Resize, Shot, Info, Save,
        Close, Open, Field, Button, Show, Focus, WaitRender
    };
    Op op = Op::Info;
    int line = 0;              // 1-based line of the script
    int x = 0, y = 0;          // the point; Resize: the size; Wait, WaitRender: x = milliseconds
    int x2 = 0, y2 = 0;        // Drag: the end point
    int qualifiers = 0;        // Press, Release, Click, Drag: button and Shift bits
    int key = 0;               // Key: the host's key code
    bool ctrl = false;         // Key: pressed while Ctrl is held
    std::string text;          // the rest of the line: File, Add, Menu, Answer, Shot, Save, Field, Button, Show, Focus
};

// A script read one line at a time as it runs, so that only the line being
// run is held, however long the script.
class ScriptReader {
public:
    explicit ScriptReader(std::istream& in) : in_(in) {}
    // The next step; comment lines (first non-blank "#") and blank lines give
    // none. False at the end of the script, or with "line N: what is wrong"
    // in `error` at a line that cannot be understood or read.
    bool next(ScriptStep& step, std::string& error);

private:
    std::istream& in_;
    int line_ = 0;
};

}  // namespace vxs::ui
