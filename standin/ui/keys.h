// The host's key and qualifier codes as the stand-in delivers them to panels.
#pragma once

#include <optional>
#include <string_view>

namespace vxs::ui {

namespace key {
inline constexpr int kDelete = 0x1020;
inline constexpr int kLeft = 0x1010, kRight = 0x1011, kUp = 0x1012, kDown = 0x1013;
inline constexpr int kShift = 0x1060, kAlt = 0x1061, kCtrl = 0x1062;
inline constexpr int kReturn = 13, kEscape = 27, kSpace = 32;
}  // namespace key

// Qualifier bits of mouse events.
namespace qual {
inline constexpr int kShift = 0x02;
inline constexpr int kLeft = 0x20, kRight = 0x40, kBoth = 0x60;  // both = the context-menu button
inline constexpr int kDown = 0x80;
}  // namespace qual

// The code of a named key ("Delete", "Return", "Escape", "Space", "Left",
// "Right", "Up", "Down") or of a one-character key. Held with Ctrl, letters
// give 1 to 26, digits 0x1030 to 0x1039 and "[", "\", "]" 27 to 29; other
// characters have no code then. Nothing for anything else.
std::optional<int> keyCode(std::string_view name, bool ctrl);

}  // namespace vxs::ui
