// A script's steps fed to the panels with no window: the events of each line
// in turn, the script's answers to menus and questions, and a clock that
// moves 50 ms per event.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "standin/ui/panel.h"
#include "standin/ui/script.h"

namespace vxs::ui {

class ScriptRunner : public Asker {
public:
    // What the host does besides feeding events.
    struct Host {
        // Writes the tree being edited to a file; false with a reason in `error`.
        std::function<bool(const std::string& path, std::string& error)> save;
        std::function<void()> close;  // as the window's close button
        std::function<void()> open;   // the artist asks for the shader's options again
        // Moves the focus to the open panel with the title; an error text when it cannot.
        std::function<std::string(const std::string& title)> focus;
        // The editor's window, whose information line `info` reads whatever has the focus.
        std::function<Panel*()> editor;
        // Waits for the live view's last pass; an error text when there is
        // no view or it does not finish within `ms`.
        std::function<std::string(int ms)> waitRender;
        std::function<void()> afterStep;  // after every step, as a host after every event
    };

    ScriptRunner(std::vector<ScriptStep> steps, Host host) : steps_(std::move(steps)), host_(std::move(host)) {}

    // Runs steps on the panel `current` gives while `keepGoing` holds and
    // steps are left; with no panel open only steps that need none run. False, with "line N: what" in `error`, at a step that
    // cannot be carried out.
    bool run(const std::function<Panel*()>& current, const std::function<bool()>& keepGoing, std::string& error);
    bool finished() const { return next_ >= steps_.size(); }

    uint32_t clock() const { return clock_; }

    int chooseItem(Panel& panel, const std::vector<std::string>& items, int x, int y, int width) override;
    int ask(const std::string& title, const std::string& text, const std::vector<std::string>& buttons) override;
    void inform(const std::string& title, const std::string& text) override;
    std::optional<std::string> requestFile(const std::string& title, const std::string& pattern,
                                           const std::string& dir) override;
    bool answerColour(float rgb[3], bool& accepted) override;

private:
    // One step; an error text when it cannot be done.
    std::string perform(const ScriptStep& s, Panel* panel);
    std::string performOnPanel(const ScriptStep& s, Panel& panel);
    void tick() { clock_ += kEventMs; }
    void click(Panel& panel, int qualifiers, int x, int y);
    void clickOn(Panel& panel, const Control& c);  // a left click on its middle
    std::string field(Panel& panel, const std::string& line);
    std::string button(Panel& panel, const std::string& text);
    std::optional<std::string> nextAnswer();

    static constexpr uint32_t kEventMs = 50;

    std::vector<ScriptStep> steps_;
    size_t next_ = 0;
    Host host_;
    uint32_t clock_ = 1000;
    std::optional<std::string> menuChoice_;
    std::deque<std::string> answers_;
};

}  // namespace vxs::ui
