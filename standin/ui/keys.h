// The host's key and qualifier codes as the stand-in delivers them to panels.
#pragma once

#include <optional>
#include <string_view>

#include "host/ui_services.h"

namespace vxs::ui {

namespace key {
inline constexpr int kDelete = HOST_KEY_DELETE, kInsert = HOST_KEY_INSERT, kEnter = HOST_KEY_KP_ENTER;
inline constexpr int kLeft = HOST_KEY_LEFT, kRight = HOST_KEY_RIGHT, kUp = HOST_KEY_UP, kDown = HOST_KEY_DOWN;
inline constexpr int kShift = HOST_KEY_SHIFT, kAlt = HOST_KEY_ALT, kCtrl = HOST_KEY_CTRL;
inline constexpr int kReturn = HOST_KEY_RETURN, kEscape = HOST_KEY_ESCAPE, kSpace = HOST_KEY_SPACE;
inline constexpr int kTab = HOST_KEY_TAB, kBackspace = HOST_KEY_BACKSPACE;
}  // namespace key

// Qualifier bits of mouse events.
namespace qual {
inline constexpr int kShift = HOST_QUAL_SHIFT;
inline constexpr int kLeft = HOST_QUAL_LEFT, kRight = HOST_QUAL_RIGHT;
inline constexpr int kBoth = kLeft | kRight;  // the context-menu button
inline constexpr int kDown = HOST_QUAL_DOWN;
}  // namespace qual

// The code of a named key ("Delete", "Return", "Escape", "Space", "Tab",
// "Backspace", "Left", "Right", "Up", "Down") or of a one-character key. Held with Ctrl, letters
// give 1 to 26, digits 0x1030 to 0x1039 and "[", "\", "]" 27 to 29; other
// characters have no code then. Nothing for anything else.
std::optional<int> keyCode(std::string_view name, bool ctrl);

}  // namespace vxs::ui
