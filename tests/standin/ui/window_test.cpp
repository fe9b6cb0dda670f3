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

TEST(Window, ShowsTheEditorAndFeedsItEvents) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string error;
    const auto module = Module::open(VX_BINARY_DIR "/QK_Valtorimex.p", error);
    ASSERT_TRUE(module) << error;
    const auto shader = Shader::activate(*module, error);
    ASSERT_TRUE(shader) << error;
    HostShaderInterface iface{};
    ASSERT_EQ(module->activate("ShaderInterface", Shader::kName, &iface, error), 0) << error;
    const auto inst = shader->make();
    ASSERT_EQ(iface.optionsFunc(inst.get()), 0);
    Panel* editor = focusPanel();
    ASSERT_NE(editor, nullptr);

    auto window = Window::open(*editor, error);
    ASSERT_TRUE(window) << error;
    uiSession().asker = window.get();
    // A press and release on empty canvas.
    SDL_Event button{};
    button.type = SDL_MOUSEBUTTONDOWN;
    button.button.button = SDL_BUTTON_LEFT;
    button.button.x = 400, button.button.y = 300;
    push(button);
    button.type = SDL_MOUSEBUTTONUP;
    push(button);
    // Then the R key and the close button.
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_r;
    push(key);
    key.type = SDL_KEYUP;
    push(key);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    push(quit);

    bool askedToClose = false;
    window->run(focusPanel, [] { return true; }, [&] { return askedToClose = true; });
    uiSession() = UiSession{};
    EXPECT_TRUE(askedToClose);
    EXPECT_FALSE(editor->isOpen());
    EXPECT_EQ(editor->pointerX(), 400);  // the press reached the panel

    // The window shows the panel's pixels, the information line included.
    std::string info;
    for (auto& c : editor->controls())
        if (c->kind == ControlKind::Canvas && c->area.y == editor->height() - 32) info = c->drawnText;
    EXPECT_EQ(info, "All preview done.");
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
