#include "standin/ui/window.h"

#include <SDL2/SDL.h>

#include <algorithm>

#include "standin/ui/font.h"
#include "standin/ui/keys.h"

namespace vxs::ui {

namespace {
constexpr int kWaitMs = 100;

int buttonBits(uint32_t state) {
    int q = 0;
    if (state & SDL_BUTTON_LMASK) q |= qual::kLeft;
    if (state & SDL_BUTTON_RMASK) q |= qual::kRight;
    if (state & SDL_BUTTON_MMASK) q |= qual::kBoth;
    return q;
}

int shiftBit() { return (SDL_GetModState() & KMOD_SHIFT) ? qual::kShift : 0; }

// The host's code for a key of the keyboard, 0 for keys it has none for.
int hostKey(const SDL_Keysym& k) {
    switch (k.sym) {
        case SDLK_DELETE: return key::kDelete;
        case SDLK_RETURN: return key::kReturn;
        case SDLK_KP_ENTER: return key::kEnter;
        case SDLK_INSERT: return key::kInsert;
        case SDLK_ESCAPE: return key::kEscape;
        case SDLK_TAB: return key::kTab;
        case SDLK_BACKSPACE: return key::kBackspace;
        case SDLK_SPACE: return key::kSpace;
        case SDLK_LEFT: return key::kLeft;
        case SDLK_RIGHT: return key::kRight;
        case SDLK_UP: return key::kUp;
        case SDLK_DOWN: return key::kDown;
        case SDLK_LSHIFT: case SDLK_RSHIFT: return key::kShift;
        case SDLK_LALT: case SDLK_RALT: return key::kAlt;
        case SDLK_LCTRL: case SDLK_RCTRL: return key::kCtrl;
        default: break;
    }
    if (k.sym < 33 || k.sym > 126) return 0;
    char c = char(k.sym);
    if ((k.mod & KMOD_SHIFT) && c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return keyCode(std::string_view(&c, 1), (k.mod & KMOD_CTRL) != 0).value_or(0);
}

Control* wheelTarget(Panel& panel, int x, int y) {
    for (auto& c : panel.controls())
        if (c->kind == ControlKind::Number && !c->ghosted && c->area.contains(x, y)) return c.get();
    return nullptr;
}

bool isSeparator(const std::string& s) { return !s.empty() && s.find_first_not_of('-') == std::string::npos; }
}  // namespace

std::unique_ptr<Window> Window::open(const Panel& panel, std::string& error) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return nullptr;
    }
    // SDL falls back to drivers that show nothing; only take them when asked.
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (!SDL_getenv("SDL_VIDEODRIVER") && (driver == "offscreen" || driver == "dummy")) {
        error = "no display to open a window on (--script runs the editor without one)";
        SDL_Quit();
        return nullptr;
    }
    SDL_Window* w = SDL_CreateWindow(panel.title().c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                     panel.width(), panel.height(), SDL_WINDOW_RESIZABLE);
    if (!w) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        SDL_Quit();
        return nullptr;
    }
    return std::unique_ptr<Window>(new Window(w));
}

Window::~Window() {
    showBeside(nullptr);
    SDL_DestroyWindow(window_);
    SDL_Quit();
}

void Window::showBeside(Panel* panel, std::function<void()> closed) {
    if (beside_) SDL_DestroyWindow(beside_);
    beside_ = nullptr;
    besidePanel_ = panel;
    besideClosed_ = std::move(closed);
    if (!panel) return;
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    SDL_GetWindowSize(window_, &w, &h);
    beside_ = SDL_CreateWindow(panel->title().c_str(), x + w + 8, y, panel->width(), panel->height(), 0);
    if (beside_) present(beside_, panel->pixels());
}

void Window::wake() {
    SDL_Event e{};
    e.type = SDL_USEREVENT;
    SDL_PushEvent(&e);
}

bool Window::besideEvent(const SDL_Event& e) {
    if (!beside_) return false;
    const uint32_t id = SDL_GetWindowID(beside_);
    switch (e.type) {
        case SDL_WINDOWEVENT:
            if (e.window.windowID != id) return false;
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                std::function<void()> closed = std::move(besideClosed_);
                showBeside(nullptr);
                if (closed) closed();
            }
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (e.button.windowID != id) return false;
            if (e.type == SDL_MOUSEBUTTONDOWN) besidePanel_->mouseDown(*this, qual::kLeft, e.button.x, e.button.y);
            else besidePanel_->mouseUp(qual::kLeft, e.button.x, e.button.y);
            return true;
        case SDL_MOUSEMOTION:
            if (e.motion.windowID != id) return false;
            besidePanel_->mouseMove(buttonBits(e.motion.state), e.motion.x, e.motion.y);
            return true;
        default:
            return false;
    }
}

void Window::present(SDL_Window* window, const Framebuffer& fb) {
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    if (w != fb.width() || h != fb.height()) {
        SDL_SetWindowSize(window, fb.width(), fb.height());
        // Its size event may arrive after the focus moved on: it is no resize
        // of the artist's.
        if (window == window_) shownSizes_[nextSize_++ % std::size(shownSizes_)] = {fb.width(), fb.height()};
    }
    SDL_Surface* screen = SDL_GetWindowSurface(window);
    // The framebuffer is only read: SDL's surface type has no const.
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(fb.bytes().data()), fb.width(),
                                                          fb.height(), 24, fb.width() * 3, SDL_PIXELFORMAT_RGB24);
    if (screen && src) {
        SDL_BlitSurface(src, nullptr, screen, nullptr);
        SDL_UpdateWindowSurface(window);
    }
    SDL_FreeSurface(src);
}

void Window::run(const std::function<Panel*()>& current, const std::function<bool()>& keepGoing,
                 const std::function<bool()>& mayClose) {
    Panel* shown = nullptr;
    SDL_StartTextInput();  // typed characters for fields and requesters
    while (keepGoing() && (panel_ = current())) {
        Panel& panel = *panel_;
        if (shown != &panel) {
            SDL_SetWindowTitle(window_, panel.title().c_str());
            present(panel.pixels());
            shown = &panel;
        }
        SDL_Event e;
        if (!SDL_WaitEventTimeout(&e, kWaitMs)) continue;
        const bool beside = besideEvent(e);
        switch (beside ? uint32_t(SDL_USEREVENT) : e.type) {
            case SDL_QUIT:
                if (mayClose()) panel.close();
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                int q = e.button.button == SDL_BUTTON_LEFT ? qual::kLeft
                        : e.button.button == SDL_BUTTON_RIGHT ? qual::kRight
                                                              : qual::kBoth;
                // The other button already held makes this the context-menu button.
                const int held = buttonBits(SDL_GetMouseState(nullptr, nullptr)) & ~q;
                if (held & (qual::kLeft | qual::kRight)) q = qual::kBoth;
                if (e.type == SDL_MOUSEBUTTONDOWN) panel.mouseDown(*this, q | shiftBit(), e.button.x, e.button.y);
                else panel.mouseUp(q | shiftBit(), e.button.x, e.button.y);
                break;
            }
            case SDL_MOUSEMOTION:
                panel.mouseMove(buttonBits(e.motion.state) | shiftBit(), e.motion.x, e.motion.y);
                break;
            case SDL_MOUSEWHEEL: {
                int x = 0, y = 0;
                SDL_GetMouseState(&x, &y);
                // Over a number field the wheel steps it (by 1 for integers,
                // percentages and angles, else by 0.1), committed at once.
                if (Control* c = wheelTarget(panel, x, y)) {
                    const bool whole = c->unit != Unit::Plain && c->unit != Unit::Distance;
                    c->vec[0] += e.wheel.y * (whole ? 1.0 : 0.1);
                    panel.controlChanged(*c);
                    break;
                }
                for (auto& c : panel.controls())
                    if (c->kind == ControlKind::Tree && c->area.contains(x, y)) {
                        c->firstRow = std::max(0, c->firstRow - e.wheel.y * 3);
                        panel.redrawControl(*c);
                    }
                break;
            }
            case SDL_TEXTINPUT:
                panel.typeText(e.text.text);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (e.key.keysym.sym == SDLK_F6) {
                    if (e.type == SDL_KEYDOWN && nextPanel) nextPanel();
                    break;
                }
                // While a field is typed into, characters come as text input.
                if (const int code = hostKey(e.key.keysym); code && !(panel.editing() && code >= 32 && code < 127)) {
                    if (e.type == SDL_KEYDOWN) panel.keyDown(code);
                    else panel.keyUp(code);
                }
                break;
            case SDL_WINDOWEVENT:
                // With a window beside, closing this one is no quit of all.
                if (e.window.event == SDL_WINDOWEVENT_CLOSE && beside_ && mayClose()) panel.close();
                if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED &&
                    std::find(std::begin(shownSizes_), std::end(shownSizes_),
                              std::pair{e.window.data1, e.window.data2}) == std::end(shownSizes_) &&
                    (e.window.data1 != panel.width() || e.window.data2 != panel.height()))
                    dragGrip(panel, *this, e.window.data1, e.window.data2);
                break;
            default:
                break;
        }
        if (afterEvent) afterEvent();
        // The event may have closed or replaced the panel.
        if (Panel* now = current()) {
            present(now->pixels());
            shown = now;
        }
        if (beside_) present(beside_, besidePanel_->pixels());
    }
    panel_ = nullptr;
}

int Window::chooseItem(Panel& panel, const std::vector<std::string>& items, int x, int y, int width) {
    // A list longer than the panel shows what fits and scrolls with the wheel
    // or the arrow keys.
    const int n = int(items.size());
    const int rows = std::clamp((panel.height() - 2) / kRowHeight, 1, std::max(n, 1));
    const int h = kRowHeight * rows + 2;
    const int pressX = x, pressY = y;
    x = std::clamp(x, 0, std::max(panel.width() - width, 0));
    y = std::clamp(y, 0, std::max(panel.height() - h, 0));
    int hot = -1, first = 0;
    const auto scroll = [&](int by) { first = std::clamp(first + by, 0, std::max(n - rows, 0)); };
    const auto rowAt = [&](int px, int py) {
        const int r = (py - y - 1) / kRowHeight;
        return px >= x && px < x + width && py > y && r < rows && first + r < n ? first + r : -1;
    };
    // A menu moved to fit may open with an item under the pointer: the
    // release of the press that opened it must not choose that item. A
    // release chooses once the pointer has left the row it opened on, or
    // after a press on the menu.
    const int opened = rowAt(pressX, pressY);
    bool armed = opened < 0;
    for (;;) {
        Framebuffer fb = panel.pixels();
        fb.fillBox(x, y, width, h, colour::kPanel);
        fb.bevel(x, y, width, h, 1, false);
        for (int r = 0; r < rows && first + r < n; ++r) {
            const int i = first + r, ry = y + 1 + kRowHeight * r;
            if (isSeparator(items[size_t(i)])) {
                fb.line(x + 4, ry + kRowHeight / 2, x + width - 5, ry + kRowHeight / 2, colour::kShadow);
                continue;
            }
            if (i == hot) fb.fillBox(x + 1, ry, width - 2, kRowHeight, colour::kSelected);
            drawText(fb, x + 6, ry + 1, items[size_t(i)], i == hot ? colour::kWhite : colour::kText);
        }
        if (n > rows) {  // where the shown rows are in the list
            const int bar = std::max(8, h * rows / n), top = y + (h - bar) * first / std::max(n - rows, 1);
            fb.fillBox(x + width - 4, top, 3, bar, colour::kShadow);
        }
        present(fb);
        SDL_Event e;
        if (!SDL_WaitEvent(&e)) return -1;
        if (e.type == SDL_MOUSEMOTION) {
            hot = rowAt(e.motion.x, e.motion.y);
            armed = armed || hot != opened;
        } else if (e.type == SDL_MOUSEWHEEL) {
            scroll(-e.wheel.y * 3);
        } else if (e.type == SDL_MOUSEBUTTONUP && armed && rowAt(e.button.x, e.button.y) >= 0) {
            return rowAt(e.button.x, e.button.y);
        } else if (e.type == SDL_MOUSEBUTTONDOWN) {
            if (rowAt(e.button.x, e.button.y) < 0) return -1;
            armed = true;
        } else if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_ESCAPE) {
            return -1;
        } else if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_RETURN && hot >= 0) {
            return hot;
        } else if (e.type == SDL_KEYDOWN && (e.key.keysym.sym == SDLK_DOWN || e.key.keysym.sym == SDLK_UP)) {
            hot = std::clamp(hot + (e.key.keysym.sym == SDLK_DOWN ? 1 : -1), 0, std::max(n - 1, 0));
            if (hot < first) scroll(hot - first);
            if (hot >= first + rows) scroll(hot - first - rows + 1);
        } else if (e.type == SDL_QUIT) {
            return -1;
        }
    }
}

int Window::dialog(const std::string& title, const std::string& text, const std::vector<std::string>& buttons,
                   std::string* field) {
    if (!panel_) return -1;
    const Panel& panel = *panel_;
    const int w = std::clamp(std::max(textWidth(text), field ? 360 : 0) + 32, 240, panel.width());
    const int h = field ? 116 : 92;
    const int x = (panel.width() - w) / 2, y = (panel.height() - h) / 2;
    const int bw = 72, by = y + h - 28;
    const auto buttonX = [&](int i) { return x + w - (bw + 8) * (int(buttons.size()) - i); };

    int result = -2;
    while (result == -2) {
        Framebuffer fb = panel.pixels();
        fb.fillBox(x, y, w, h, colour::kPanel);
        fb.bevel(x, y, w, h, 2, false);
        fb.fillBox(x + 2, y + 2, w - 4, 18, colour::kSelected);
        drawText(fb, x + 8, y + 4, title, colour::kWhite);
        drawText(fb, x + 12, y + 30, text, colour::kText);
        if (field) {
            fb.fillBox(x + 12, y + 52, w - 24, 20, colour::kField);
            fb.bevel(x + 12, y + 52, w - 24, 20, 1, true);
            drawText(fb, x + 16, y + 55, *field + "_", colour::kText);
        }
        for (int i = 0; i < int(buttons.size()); ++i) {
            fb.bevel(buttonX(i), by, bw, kControlHeight, 1, false);
            drawText(fb, buttonX(i) + (bw - textWidth(buttons[size_t(i)])) / 2, by + 3, buttons[size_t(i)],
                     colour::kText);
        }
        present(fb);
        SDL_Event e;
        if (!SDL_WaitEvent(&e) || e.type == SDL_QUIT) result = -1;
        else if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_ESCAPE) result = -1;
        else if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_RETURN) result = 0;
        else if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_BACKSPACE && field && !field->empty())
            field->pop_back();
        else if (e.type == SDL_TEXTINPUT && field) *field += e.text.text;
        else if (e.type == SDL_MOUSEBUTTONUP)
            for (int i = 0; i < int(buttons.size()); ++i)
                if (Rect{buttonX(i), by, bw, kControlHeight}.contains(e.button.x, e.button.y)) result = i;
    }
    present(panel.pixels());
    return result;
}

int Window::ask(const std::string& title, const std::string& text, const std::vector<std::string>& buttons) {
    return dialog(title, text, buttons, nullptr);
}

void Window::inform(const std::string& title, const std::string& text) { dialog(title, text, {"OK"}, nullptr); }

std::optional<std::string> Window::requestFile(const std::string& title, const std::string& pattern,
                                               const std::string& dir) {
    std::string path = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    const std::string what = (pattern.starts_with("<") ? "Load " : "Save ") + pattern.substr(1);
    if (dialog(title, what, {"OK", "Cancel"}, &path) != 0) return std::nullopt;
    return path;
}

}  // namespace vxs::ui
