// Controls of the host's own editor windows, each one row high.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "standin/ui/font.h"
#include "standin/ui/panel.h"

namespace vxs {

inline ui::Control& addRow(ui::Panel& panel, ui::ControlKind kind, const char* label, int x, int y, int w,
                           std::vector<std::string> items = {}) {
    ui::Control& c = panel.addControl(kind, label, {x, y, w, ui::kControlHeight});
    c.items = std::move(items);
    return c;
}

// A popup after a text label, by which scripts find it; w spans both.
inline ui::Control& labelledPopup(ui::Panel& panel, const char* label, int x, int y, int w,
                                  std::vector<std::string> items) {
    const int lw = ui::textWidth(label) + 6;
    addRow(panel, ui::ControlKind::Text, label, x, y + 3, lw);
    return addRow(panel, ui::ControlKind::Popup, "", x + lw, y, w - lw, std::move(items));
}

}  // namespace vxs
