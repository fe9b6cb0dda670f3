#include "standin/ui/keys.h"

#include <array>
#include <utility>

namespace vxs::ui {

std::optional<int> keyCode(std::string_view name, bool ctrl) {
    static constexpr std::array<std::pair<std::string_view, int>, 10> kNamed{{
        {"Delete", key::kDelete},
        {"Return", key::kReturn},
        {"Escape", key::kEscape},
        {"Space", key::kSpace},
        {"Tab", key::kTab},
        {"Backspace", key::kBackspace},
        {"Left", key::kLeft},
        {"Right", key::kRight},
        {"Up", key::kUp},
        {"Down", key::kDown},
    }};
    for (const auto& [n, code] : kNamed)
        if (n == name) return code;
    if (name.size() != 1 || name[0] < 33 || name[0] > 126) return std::nullopt;
    const char c = name[0];
    if (!ctrl) return c;
    if (c >= 'a' && c <= 'z') return c - 'a' + 1;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
    if (c >= '0' && c <= '9') return HOST_KEY_CTRL_DIGIT + (c - '0');
    if (c == '[') return 27;
    if (c == '\\') return 28;
    if (c == ']') return 29;
    return std::nullopt;
}

}  // namespace vxs::ui
