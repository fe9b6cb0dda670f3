// The editor in a real SDL window, on SDL's dummy video driver so that
// no display is needed.
#include "standin/ui/window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>

#include "host/plugin_abi.h"
#include "standin/services/module_loader.h"
#include "standin/services/ui_services.h"

namespace vxs::ui {
namespace {

void push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }

// The module's editor opened on an empty instance, shown in a window.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        std::string error;
        module_ = Module::open(VX_BINARY_DIR "/QK_Valtorimex.p", error);
        ASSERT_TRUE(module_) << error;
        shader_ = Shader::activate(*module_, error);
        ASSERT_TRUE(shader_) << error;
        HostShaderInterface iface{};
        ASSERT_EQ(module_->activate("ShaderInterface", Shader::kName, &iface, error), 0) << error;
        inst_ = shader_->make();
        ASSERT_EQ(iface.optionsFunc(inst_.get()), 0);
        editor = focusPanel();
        ASSERT_NE(editor, nullptr);
        window = Window::open(*editor, error);
        ASSERT_TRUE(window) << error;
        uiSession().asker = window.get();
    }
    void TearDown() override { uiSession() = UiSession{}; }

    // Runs the window over the events pushed so far, then a close.
    void run() {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        push(quit);
        window->run(focusPanel, [] { return true; }, [&] { return askedToClose = true; });
    }
    static void button(Uint32 type, Uint8 which, int x, int y) {
        SDL_Event e{};
        e.type = type;
        e.button.button = which;
        e.button.x = x, e.button.y = y;
        push(e);
    }
    std::string info() const {
        for (auto& c : editor->controls())
            if (c->kind == ControlKind::Canvas && c->area.y == editor->height() - 32) return c->drawnText;
        return "";
    }

    std::unique_ptr<Module> module_;
    std::unique_ptr<Shader> shader_;
    Shader::InstancePtr inst_;
    Panel* editor = nullptr;
    std::unique_ptr<Window> window;  // goes before the module
    bool askedToClose = false;
};

TEST_F(WindowTest, ShowsTheEditorAndFeedsItEvents) {
    // A press and release on empty canvas, then the R key and the close button.
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 400, 300);
    button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 400, 300);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_r;
    push(key);
    key.type = SDL_KEYUP;
    push(key);
    run();
    EXPECT_TRUE(askedToClose);
    EXPECT_FALSE(editor->isOpen());
    EXPECT_EQ(editor->pointerX(), 400);  // the press reached the panel

    // The window shows the panel's pixels, the information line included.
    EXPECT_EQ(info(), "All preview done.");
    SDL_Surface* screen = SDL_GetWindowSurface(SDL_GetWindowFromID(1));
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(screen->w, editor->width());
    SDL_Surface* shown = SDL_ConvertSurfaceFormat(screen, SDL_PIXELFORMAT_RGB24, 0);
    ASSERT_NE(shown, nullptr);
    const Rgb expected = editor->pixels().pixel(20, editor->height() - 25);
    const uint8_t* p = static_cast<const uint8_t*>(shown->pixels) + (editor->height() - 25) * shown->pitch + 20 * 3;
    EXPECT_EQ((Rgb{p[0], p[1], p[2]}), expected);
    EXPECT_EQ(expected, (Rgb{128, 128, 128}));
    SDL_FreeSurface(shown);
}

// The 210-pixel menu opened 57 pixels above the bottom of the 600-high
// editor moves up, with "Copy" under the pointer: the release of the press
// that opened it chooses nothing; a click after moving onto "Preview all" does.
TEST_F(WindowTest, AMenuMovedUnderThePointerWaitsForAMoveOrAClick) {
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 400, 543);
    button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 400, 543);
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.x = 400, move.motion.y = 447;
    push(move);
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 400, 447);
    button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 400, 447);
    run();
    EXPECT_EQ(info(), "All preview done.");
}

// Typing in the window: Backspace and text input edit the field, Return
// commits, Escape reverts.
TEST(Window, FieldsTakeTypedValues) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    Panel panel("Field", 200, 40);
    int events = 0;
    panel.handlers().controlEvent = [&](Control&) { ++events; };
    Control& field = panel.addControl(ControlKind::Number, "", {0, 0, 200, 20});
    panel.open();
    std::string error;
    auto window = Window::open(panel, error);
    ASSERT_TRUE(window) << error;
    const auto key = [](SDL_Keycode sym) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = sym;
        push(e);
    };
    for (const char* typed : {"2.5", "9"}) {
        SDL_Event e{};
        e.button.button = SDL_BUTTON_LEFT;
        e.button.x = 30, e.button.y = 10;
        for (const auto type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
            e.type = type;
            push(e);
        }
        key(SDLK_BACKSPACE);
        e.type = SDL_TEXTINPUT;
        std::snprintf(e.text.text, sizeof e.text.text, "%s", typed);
        push(e);
        key(typed[0] == '9' ? SDLK_ESCAPE : SDLK_RETURN);
    }
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    push(quit);
    window->run([&] { return panel.isOpen() ? &panel : nullptr; }, [] { return true; }, [] { return true; });
    EXPECT_EQ(field.vec[0], 2.5);
    EXPECT_EQ(events, 1);
}

}  // namespace
}  // namespace vxs::ui
