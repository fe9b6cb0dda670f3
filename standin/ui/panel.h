// Panels and their controls: the state the interface services hand out
// handles to, drawn into one framebuffer per panel and fed with the host's
// panel events by a window or a script.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "standin/ui/framebuffer.h"

namespace vxs::ui {

// Number holds one value in vec[0]; Edit a text; Text is a label alone.
enum class ControlKind { Popup, Button, Tree, Canvas, Text, Number, Vector, Checkbox, Choice, Edit };
// How a number or vector shows its values: distances in metres with a unit,
// percentages and angles as numbers with a sign after the field.
enum class Unit { Plain, Integer, Distance, Percent, Angle };
// The button beside a text field that asks for a path.
enum class Requester { None, File, Directory };

inline constexpr int kRowHeight = 16;     // tree rows and menu items
inline constexpr int kControlHeight = 20;  // buttons, popups and one-line controls

// The items of a tree control, asked for whenever it is drawn or clicked.
// Items are opaque pointers; null is the invisible top.
struct TreeSource {
    std::function<int(void* parent)> count;
    std::function<void*(void* parent, int index)> child;
    std::function<std::string(void* item)> name;
    std::function<bool(void* item)> expanded;
    std::function<void(void* item, bool expanded)> setExpanded;
};

struct Control {
    ControlKind kind = ControlKind::Button;
    std::string label;
    Rect area;
    bool ghosted = false;
    int value = 0;                   // popup, choice: item index; checkbox: 0/1
    double vec[3] = {0, 0, 0};       // number (first only), vector
    void* item = nullptr;            // tree: the selected item
    std::vector<std::string> items;  // popup, choice
    std::function<std::vector<std::string>()> liveItems;  // when set, refills items before each use
    std::string text;                // edit
    Unit unit = Unit::Plain;         // number, vector
    double min = 0, max = 0;         // number: the slider's range; no slider unless min < max
    Requester requester = Requester::None;  // edit
    TreeSource tree;
    int firstRow = 0;                // tree: rows scrolled off the top
    void* host = nullptr;            // the service layer's record of the control
    // Canvas: the texts drawn into it since it was last filled whole, in
    // drawing order, so a script can read what a line of text says.
    std::string drawnText;
};

class Panel;

// Questions the toolkit asks the person at the screen, or a script's answers.
class Asker {
public:
    virtual ~Asker() = default;
    // The chosen index of `items`, shown over `panel` at (x, y); -1 for none.
    virtual int chooseItem(Panel& panel, const std::vector<std::string>& items, int x, int y, int width) = 0;
    // The index of the button chosen, -1 when the question is dismissed.
    virtual int ask(const std::string& title, const std::string& text, const std::vector<std::string>& buttons) = 0;
    bool askOkCancel(const std::string& title, const std::string& text) { return ask(title, text, {"OK", "Cancel"}) == 0; }
    virtual void inform(const std::string& title, const std::string& text) = 0;
    // A path, or nothing when cancelled. `pattern` is the host's name
    // pattern ("<*.shd" to load, ">*.shd" to save); `dir` is where to start.
    virtual std::optional<std::string> requestFile(const std::string& title, const std::string& pattern,
                                                   const std::string& dir) = 0;
    // A colour chosen before the picker opens (a script's answer): true with
    // `accepted` and, when accepted, `rgb` set; false to show the picker.
    virtual bool answerColour(float /*rgb*/[3], bool& /*accepted*/) { return false; }
};

class Panel {
public:
    struct Handlers {
        std::function<void()> open, close, activate, draw;
        std::function<void(int qualifiers, int x, int y)> mouseButton, mouseMove;
        std::function<void(int code)> keyDown, keyUp;
        std::function<void(Control&)> controlEvent, controlDraw;
    };

    Panel(std::string title, int width, int height) : title_(std::move(title)), width_(width), height_(height) {}

    const std::string& title() const { return title_; }
    int width() const { return width_; }
    int height() const { return height_; }
    bool isOpen() const { return open_; }
    Framebuffer& pixels() { return fb_; }
    const Framebuffer& pixels() const { return fb_; }
    Handlers& handlers() { return handlers_; }
    std::vector<std::unique_ptr<Control>>& controls() { return controls_; }
    // What a script's shot of the panel writes, when not its pixels.
    std::function<bool(const std::string& path, std::string& error)> shot;

    Control& addControl(ControlKind kind, std::string label, Rect area);
    // The first control of the kind with the label, or null.
    Control* find(ControlKind kind, std::string_view label);

    // Opening sizes the framebuffer, calls the open handler and draws.
    void open();
    void close();
    void setSize(int width, int height);

    // Everything anew: background, the panel's draw handler, every control.
    void redraw();
    void redrawControl(Control& c);

    // Panel drawing calls, in panel coordinates. Text and fills that land in
    // a canvas keep its drawnText up to date.
    void fillBox(int x, int y, int w, int h, Rgb c);
    void text(int x, int y, std::string_view s, Rgb c);
    // Copies `src` to (x, y) of the control's area, clipped to it.
    void blit(const Framebuffer& src, const Control& c, int x, int y);
    // Where the pointer was at the last mouse or move event.
    int pointerX() const { return pointerX_; }
    int pointerY() const { return pointerY_; }

    // Events in panel coordinates. Presses on a control other than a canvas
    // work the control; everything else goes to the panel's handlers. A
    // handler may destroy the panel: nothing here touches it afterwards.
    void mouseDown(Asker& asker, int qualifiers, int x, int y);
    void mouseUp(int qualifiers, int x, int y);
    void mouseMove(int qualifiers, int x, int y);
    // Keys go to the field being typed into, if any, else to the handlers:
    // Return or Tab commits (Tab moves on to the next field), Escape reverts.
    void keyDown(int code);
    void keyUp(int code);
    // Text typed into the field being edited (the window's text input).
    void typeText(std::string_view text);
    bool editing() const { return editing_ != nullptr; }
    void controlChanged(Control& c);

    // The tree item shown on a row (0 = first row under the header), or null.
    void* treeItemAt(const Control& c, int row) const;

private:
    void drawControl(Control& c);
    void drawField(Control& c, Rgb ink);
    void clickControl(Asker& asker, Control& c, int x, int y);
    void clickField(Asker& asker, Control& c, int x, int y);
    void startEditing(Control& c, int part);
    // Ends the typing: kept when `commit` and the text is a valid value.
    void stopEditing(bool commit);
    void slideTo(Control& c, int x);

    std::string title_;
    int width_, height_;
    bool open_ = false;
    bool pressOnPanel_ = false;  // the last press went to the handlers, so its release does too
    Control* pressedButton_ = nullptr;  // a button fires when released over it
    Control* sliding_ = nullptr;        // a slider being dragged commits on release
    Control* editing_ = nullptr;        // the field being typed into
    int editPart_ = 0;                  // which of a vector's three fields
    std::string editText_;
    int pointerX_ = 0, pointerY_ = 0;
    Framebuffer fb_;
    Handlers handlers_;
    std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace vxs::ui

namespace vxs::ui {

// What a person does to make the panel W x H: drag its bottom-right grip.
void dragGrip(Panel& panel, Asker& asker, int width, int height);

}  // namespace vxs::ui
