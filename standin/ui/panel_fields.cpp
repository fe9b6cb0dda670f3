// The typing, sliders and requester buttons of a panel's value fields.
#include <algorithm>
#include <cmath>
#include <utility>

#include "standin/ui/controls.h"
#include "standin/ui/font.h"
#include "standin/ui/keys.h"
#include "standin/ui/panel.h"

namespace vxs::ui {

void Panel::keyDown(int code) {
    if (!editing_) {
        if (const auto h = handlers_.keyDown) h(code);
        return;
    }
    if (code == key::kReturn || code == key::kEnter) return stopEditing(true);
    if (code == key::kEscape) return stopEditing(false);
    if (code == key::kBackspace) {
        // Whole UTF-8 characters.
        while (!editText_.empty() && (editText_.back() & 0xC0) == 0x80) editText_.pop_back();
        if (!editText_.empty()) editText_.pop_back();
        return redrawControl(*editing_);
    }
    if (code == key::kTab) {
        Control* from = editing_;
        const int part = editPart_;
        stopEditing(true);
        if (part + 1 < fieldLayout(*from).parts) return startEditing(*from, part + 1);
        // The next field in creation order, round to the first.
        const auto at = std::find_if(controls_.begin(), controls_.end(), [&](auto& c) { return c.get() == from; });
        for (size_t i = 1; i <= controls_.size(); ++i) {
            Control& next = *controls_[(size_t(at - controls_.begin()) + i) % controls_.size()];
            const bool field = next.kind == ControlKind::Number || next.kind == ControlKind::Vector ||
                               next.kind == ControlKind::Edit;
            if (field && !next.ghosted) return startEditing(next, 0);
        }
        return;
    }
    if (code >= 32 && code < 127) typeText(std::string(1, char(code)));
}

void Panel::typeText(std::string_view text) {
    if (!editing_) return;
    editText_ += text;
    redrawControl(*editing_);
}

void Panel::startEditing(Control& c, int part) {
    editing_ = &c;
    editPart_ = part;
    editText_ = fieldText(c, part);
    redrawControl(c);
}

void Panel::stopEditing(bool commit) {
    Control* c = std::exchange(editing_, nullptr);
    if (!c) return;
    std::string typed = editText_;
    if (c->kind == ControlKind::Vector) {
        std::string parts[3] = {fieldText(*c, 0), fieldText(*c, 1), fieldText(*c, 2)};
        parts[editPart_] = typed;
        typed = parts[0] + " " + parts[1] + " " + parts[2];
    }
    if (commit && setFromText(*c, typed)) return controlChanged(*c);
    redrawControl(*c);
}

void Panel::slideTo(Control& c, int x) {
    c.vec[0] = sliderValue(c, x);
    redrawControl(c);
}

void Panel::clickField(Asker& asker, Control& c, int x, int y) {
    const FieldLayout f = fieldLayout(c);
    if (f.slider.contains(x, y)) {
        sliding_ = &c;
        return slideTo(c, x);
    }
    if (f.button.contains(x, y)) {
        const bool dir = c.requester == Requester::Directory;
        const std::optional<std::string> path = asker.requestFile(c.label, dir ? "<*/" : "<*", c.text);
        if (!path) return;
        c.text = *path;
        return controlChanged(c);
    }
    for (int i = 0; i < f.parts; ++i)
        if (f.box[i].contains(x, y) && !(editing_ == &c && editPart_ == i)) return startEditing(c, i);
}

void Panel::drawField(Control& c, Rgb ink) {
    const Rect a = c.area;
    const FieldLayout f = fieldLayout(c);
    fb_.fillBox(a.x, a.y, a.w, a.h, colour::kPanel);
    drawText(fb_, a.x, a.y + 3, c.label, ink);
    for (int i = 0; i < f.parts; ++i) {
        const Rect b = f.box[i];
        const bool typing = editing_ == &c && editPart_ == i;
        fb_.fillBox(b.x, b.y, b.w, b.h, typing ? colour::kWhite : colour::kField);
        fb_.bevel(b.x, b.y, b.w, b.h, 1, true);
        fb_.setClip({b.x + 1, b.y + 1, b.w - 2, b.h - 2});
        const std::string shown = typing ? editText_ : fieldText(c, i);
        drawText(fb_, b.x + 3, b.y + 2, shown, ink);
        if (typing) fb_.fillBox(b.x + 4 + textWidth(shown), b.y + 3, 1, b.h - 6, ink);
        fb_.setClip(a);
    }
    if (f.unitX) drawText(fb_, f.unitX, a.y + 3, c.unit == Unit::Percent ? "%" : "\u00b0", ink);
    if (const Rect s = f.slider; s.w > 0) {
        fb_.fillBox(s.x, s.y + s.h / 2 - 2, s.w, 4, colour::kShadow);
        fb_.bevel(s.x, s.y + s.h / 2 - 2, s.w, 4, 1, true);
        const double t = std::clamp((c.vec[0] - c.min) / (c.max - c.min), 0.0, 1.0);
        const int kx = s.x + int(std::lround(t * (s.w - 1))) - 3;
        fb_.fillBox(kx, s.y, 7, s.h, colour::kPanel);
        fb_.bevel(kx, s.y, 7, s.h, 1, false);
    }
    if (const Rect b = f.button; b.w > 0) {
        fb_.bevel(b.x, b.y, b.w, b.h, 1, false);
        drawText(fb_, b.x + (b.w - textWidth("...")) / 2, b.y + 2, "...", ink);
    }
}

}  // namespace vxs::ui
