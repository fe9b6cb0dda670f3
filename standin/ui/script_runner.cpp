#include "standin/ui/script_runner.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "standin/ui/controls.h"
#include "standin/ui/keys.h"

namespace vxs::ui {

namespace {
using Op = ScriptStep::Op;

constexpr int kDragStep = 8;


Control* firstOf(Panel& panel, ControlKind kind) {
    for (auto& c : panel.controls())
        if (c->kind == kind) return c.get();
    return nullptr;
}

// The information line: the lowest canvas of the panel.
const Control* informationLine(Panel& panel) {
    const Control* line = nullptr;
    for (auto& c : panel.controls())
        if (c->kind == ControlKind::Canvas && (!line || c->area.y > line->area.y)) line = c.get();
    return line;
}

// The tree item labelled `name` among the children of `parent`.
void* childNamed(const TreeSource& t, void* parent, const std::string& name) {
    const int n = t.count ? t.count(parent) : 0;
    for (int i = 0; i < n; ++i)
        if (void* item = t.child(parent, i); item && t.name && t.name(item) == name) return item;
    return nullptr;
}
}  // namespace

bool ScriptRunner::run(const std::function<Panel*()>& current, const std::function<bool()>& keepGoing,
                       std::string& error) {
    ScriptStep s;
    while (keepGoing()) {
        if (!script_.next(s, error)) return error.empty();
        if (std::string what = perform(s, current()); !what.empty()) {
            error = "line " + std::to_string(s.line) + ": " + what;
            return false;
        }
        if (!menuFailure_.empty()) {
            error = std::exchange(menuFailure_, "");
            return false;
        }
        if (host_.afterStep) host_.afterStep();
    }
    return true;
}

std::string ScriptRunner::perform(const ScriptStep& s, Panel* panel) {
    switch (s.op) {
        case Op::Wait:
            clock_ += uint32_t(s.x);
            return "";
        case Op::Menu:
            menuChoice_ = s.text;
            menuLine_ = s.line;
            return "";
        case Op::Answer:
            answers_.push_back(s.text);
            return "";
        case Op::Save: {
            std::string error;
            return host_.save(s.text, error) ? "" : error;
        }
        case Op::Open:
            tick();
            host_.open();
            return "";
        case Op::WaitRender:
            return host_.waitRender ? host_.waitRender(s.x) : "there is no live view (edit needs --scene)";
        case Op::Focus:
            return host_.focus ? host_.focus(s.text) : "no panel to focus";
        case Op::Close:
            if (!panel) return "the editor is not open";
            tick();
            host_.close();
            return "";
        default:
            return panel ? performOnPanel(s, *panel) : "the editor is not open";
    }
}

std::string ScriptRunner::performOnPanel(const ScriptStep& s, Panel& panel) {
    // Only a release may replace the panel (the grip's re-creates it), and
    // every step ends with its release.
    const int q = s.qualifiers;
    switch (s.op) {
        case Op::Press:
            tick();
            panel.mouseDown(*this, q, s.x, s.y);
            return "";
        case Op::Release:
            tick();
            panel.mouseUp(q, s.x, s.y);
            return "";
        case Op::Move:
            tick();
            panel.mouseMove(0, s.x, s.y);
            return "";
        case Op::Click:
            click(panel, q, s.x, s.y);
            return "";
        case Op::Drag: {
            tick();
            panel.mouseDown(*this, q, s.x, s.y);
            const int steps = std::max({1, (std::abs(s.x2 - s.x) + kDragStep - 1) / kDragStep,
                                        (std::abs(s.y2 - s.y) + kDragStep - 1) / kDragStep});
            // In 64 bits: a drag across the whole coordinate range overflows an int.
            const auto along = [steps](int from, int to, int i) { return from + int(int64_t(to - from) * i / steps); };
            for (int i = 1; i <= steps; ++i) {
                tick();
                panel.mouseMove(q & ~qual::kShift, along(s.x, s.x2, i), along(s.y, s.y2, i));
            }
            tick();
            panel.mouseUp(q, s.x2, s.y2);
            return "";
        }
        case Op::Key:
            if (s.ctrl) {
                tick();
                panel.keyDown(key::kCtrl);
            }
            tick();
            panel.keyDown(s.key);
            tick();
            panel.keyUp(s.key);
            if (s.ctrl) {
                tick();
                panel.keyUp(key::kCtrl);
            }
            return "";
        case Op::File: {
            Control* popup = firstOf(panel, ControlKind::Popup);
            if (!popup) return "the panel has no file popup";
            menuChoice_ = s.text;
            menuLine_ = s.line;
            clickOn(panel, *popup);
            return "";
        }
        case Op::Add: {
            Control* tree = firstOf(panel, ControlKind::Tree);
            Control* button = panel.find(ControlKind::Button, "Add Component");
            if (!tree || !button) return "the panel has no Components tree and Add Component button";
            const size_t slash = s.text.find('/');
            void* category = childNamed(tree->tree, nullptr, s.text.substr(0, slash));
            void* kind = category ? childNamed(tree->tree, category, s.text.substr(slash + 1)) : nullptr;
            if (!kind) return "no kind " + s.text + " in the Components tree";
            tree->item = kind;
            panel.redrawControl(*tree);
            clickOn(panel, *button);
            return "";
        }
        case Op::QuitMacro: {
            Control* button = panel.find(ControlKind::Button, "Quit Macro");
            if (!button) return "the panel has no Quit Macro button";
            clickOn(panel, *button);
            return "";
        }
        case Op::Resize:
            tick();
            dragGrip(panel, *this, s.x, s.y);
            return "";
        case Op::Shot: {
            std::string error;
            return (panel.shot ? panel.shot(s.text, error) : writeShot(s.text, panel.pixels(), error)) ? "" : error;
        }
        case Op::Field:
            return field(panel, s.text);
        case Op::Button:
            return button(panel, s.text);
        case Op::Show: {
            Control* c = findLabelled(panel, s.text);
            if (!c) return "no control labelled \"" + s.text + "\" in \"" + panel.title() + "\"";
            std::printf("%s\n", shownValue(*c).c_str());
            std::fflush(stdout);
            return "";
        }
        case Op::Info: {
            Panel* editor = host_.editor ? host_.editor() : nullptr;
            const Control* line = informationLine(editor ? *editor : panel);
            std::printf("%s\n", line ? line->drawnText.c_str() : "");
            std::fflush(stdout);
            return "";
        }
        default:
            return "";
    }
}

// The label is the longest run of leading words that names a control; the
// value is the rest of the line.
std::string ScriptRunner::field(Panel& panel, const std::string& line) {
    std::vector<size_t> gaps;
    for (size_t i = line.find(' '); i != std::string::npos; i = line.find(' ', i + 1))
        if (line[i - 1] != ' ') gaps.push_back(i);
    for (auto gap = gaps.rbegin(); gap != gaps.rend(); ++gap) {
        const std::string label = line.substr(0, *gap);
        Control* c = findLabelled(panel, label);
        if (!c) continue;
        const std::string value = line.substr(line.find_first_not_of(' ', *gap));
        if (c->ghosted) return "\"" + label + "\" is ghosted";
        if (!setFromText(*c, value)) return "\"" + value + "\" is not a value of \"" + label + "\"";
        tick();
        panel.controlChanged(*c);
        return "";
    }
    return "no control labelled \"" + line.substr(0, gaps.empty() ? line.size() : gaps.front()) + "\" in \"" +
           panel.title() + "\"";
}

// A button by its text, or the colour swatch (a canvas) on the row of that
// label.
std::string ScriptRunner::button(Panel& panel, const std::string& text) {
    Control* c = findLabelled(panel, text);
    if (!c || (c->kind != ControlKind::Button && c->kind != ControlKind::Canvas))
        return "no button \"" + text + "\" in \"" + panel.title() + "\"";
    clickOn(panel, *c);  // a ghosted one takes the click and does nothing
    return "";
}

void ScriptRunner::click(Panel& panel, int qualifiers, int x, int y) {
    tick();
    panel.mouseDown(*this, qualifiers, x, y);
    tick();
    panel.mouseUp(qualifiers, x, y);
}

void ScriptRunner::clickOn(Panel& panel, const Control& c) {
    click(panel, qual::kLeft, c.area.x + c.area.w / 2, c.area.y + c.area.h / 2);
}

std::optional<std::string> ScriptRunner::nextAnswer() {
    if (answers_.empty()) return std::nullopt;
    std::string a = std::move(answers_.front());
    answers_.pop_front();
    return a;
}

int ScriptRunner::chooseItem(Panel&, const std::vector<std::string>& items, int, int, int) {
    const std::optional<std::string> choice = std::exchange(menuChoice_, std::nullopt);
    const auto it = choice ? std::find(items.begin(), items.end(), *choice) : items.end();
    if (choice && it == items.end())
        menuFailure_ = "line " + std::to_string(menuLine_) + ": the menu has no item \"" + *choice + "\"";
    return it == items.end() ? -1 : int(it - items.begin());
}

int ScriptRunner::ask(const std::string&, const std::string&, const std::vector<std::string>& buttons) {
    const std::optional<std::string> a = nextAnswer();
    const auto same = [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); };
    for (size_t i = 0; a && i < buttons.size(); ++i)
        if (std::equal(a->begin(), a->end(), buttons[i].begin(), buttons[i].end(), same)) return int(i);
    return -1;
}

// What a message box would show, on standard output beside "info".
void ScriptRunner::inform(const std::string& title, const std::string& text) {
    std::printf("%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stdout);
}

std::optional<std::string> ScriptRunner::requestFile(const std::string&, const std::string&, const std::string&) {
    std::optional<std::string> a = nextAnswer();
    return a && *a != "cancel" ? a : std::nullopt;
}

bool ScriptRunner::answerColour(float rgb[3], bool& accepted) {
    if (answers_.empty()) return false;
    const std::string& a = answers_.front();
    float c[3];
    char rest = 0;
    accepted = a != "cancel";
    if (accepted && std::sscanf(a.c_str(), "%f %f %f %c", &c[0], &c[1], &c[2], &rest) != 3) return false;
    if (accepted) std::copy_n(c, 3, rgb);
    answers_.pop_front();
    return true;
}

}  // namespace vxs::ui
