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
    // Writes the tree being edited to a file; false with a reason in `error`.
    using SaveFunc = std::function<bool(const std::string& path, std::string& error)>;

    ScriptRunner(std::vector<ScriptStep> steps, SaveFunc save) : steps_(std::move(steps)), save_(std::move(save)) {}

    // Runs steps on the panel `current` gives while `keepGoing` holds and
    // steps are left. False, with "line N: what" in `error`, at a step that
    // cannot be carried out.
    bool run(const std::function<Panel*()>& current, const std::function<bool()>& keepGoing, std::string& error);
    bool finished() const { return next_ >= steps_.size(); }

    uint32_t clock() const { return clock_; }

    int chooseItem(Panel& panel, const std::vector<std::string>& items, int x, int y, int width) override;
    bool askOkCancel(const std::string& title, const std::string& text) override;
    void inform(const std::string& title, const std::string& text) override;
    std::optional<std::string> requestFile(const std::string& title, const std::string& pattern,
                                           const std::string& dir) override;
    std::optional<std::string> askText(const std::string& title, const std::string& text) override;

private:
    // One step; an error text when it cannot be done.
    std::string perform(const ScriptStep& s, Panel& panel);
    void tick() { clock_ += kEventMs; }
    std::optional<std::string> nextAnswer();

    static constexpr uint32_t kEventMs = 50;

    std::vector<ScriptStep> steps_;
    size_t next_ = 0;
    SaveFunc save_;
    uint32_t clock_ = 1000;
    std::optional<std::string> menuChoice_;
    std::deque<std::string> answers_;
};

}  // namespace vxs::ui
