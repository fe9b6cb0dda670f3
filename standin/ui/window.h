// The editor on screen: an SDL2 window that shows a panel's framebuffer and
// turns the window system's events into the host's panel events. Menus,
// questions and file requests appear drawn over the panel in the same window.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "standin/ui/panel.h"

struct SDL_Window;
union SDL_Event;

namespace vxs::ui {

class Window : public Asker {
public:
    // Null, with a one-line reason in `error`, when no window can be made
    // (no display, no video driver).
    static std::unique_ptr<Window> open(const Panel& panel, std::string& error);
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Shows the panel `current` gives and feeds it events while `keepGoing`
    // holds. Events may replace the panel, so it is asked for after each.
    // Closing the window closes the panel when `mayClose` agrees.
    void run(const std::function<Panel*()>& current, const std::function<bool()>& keepGoing,
             const std::function<bool()>& mayClose);

    // A second window beside this one that shows `panel` and feeds it
    // pointer events; closing it calls `closed`, after which the panel is
    // no longer used. Null to take it away.
    void showBeside(Panel* panel, std::function<void()> closed = {});
    // Called after every event, in either window.
    std::function<void()> afterEvent;
    // Makes the event loop go round once, from any thread.
    static void wake();
    // F6 calls it: the focus moves on to another open panel.
    std::function<void()> nextPanel;

    int chooseItem(Panel& panel, const std::vector<std::string>& items, int x, int y, int width) override;
    int ask(const std::string& title, const std::string& text, const std::vector<std::string>& buttons) override;
    void inform(const std::string& title, const std::string& text) override;
    std::optional<std::string> requestFile(const std::string& title, const std::string& pattern,
                                           const std::string& dir) override;

private:
    explicit Window(SDL_Window* w) : window_(w) {}
    void present(const Framebuffer& fb) { present(window_, fb); }
    void present(SDL_Window* window, const Framebuffer& fb);
    // A box of buttons over the panel: the index of the one chosen, -1 for
    // Escape; Return chooses the first. `field`, when given, is edited.
    int dialog(const std::string& title, const std::string& text, const std::vector<std::string>& buttons,
               std::string* field);

    // An event of the window beside: false when it is not one.
    bool besideEvent(const SDL_Event& e);

    SDL_Window* window_;
    Panel* panel_ = nullptr;
    SDL_Window* beside_ = nullptr;
    Panel* besidePanel_ = nullptr;
    std::function<void()> besideClosed_;
    std::pair<int, int> shownSizes_[4] = {};  // the sizes the window was last given
    unsigned nextSize_ = 0;
};

}  // namespace vxs::ui
