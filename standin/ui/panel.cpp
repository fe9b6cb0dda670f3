#include "standin/ui/panel.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "standin/ui/controls.h"
#include "standin/ui/font.h"
#include "standin/ui/keys.h"

namespace vxs::ui {

namespace {
constexpr int kIndent = 12;
constexpr int kMaxTreeRows = 100000;  // a source that never ends its children stops here

struct TreeRow {
    void* item;
    int depth;
    bool hasChildren;
};

void collectRows(const TreeSource& src, void* parent, int depth, std::vector<TreeRow>& rows) {
    const int n = src.count ? src.count(parent) : 0;
    for (int i = 0; i < n && rows.size() < size_t(kMaxTreeRows); ++i) {
        void* item = src.child(parent, i);
        const bool kids = src.count(item) > 0;
        rows.push_back({item, depth, kids});
        if (kids && src.expanded && src.expanded(item)) collectRows(src, item, depth + 1, rows);
    }
}

std::vector<TreeRow> treeRows(const Control& c) {
    std::vector<TreeRow> rows;
    if (c.tree.count && c.tree.child) collectRows(c.tree, nullptr, 0, rows);
    return rows;
}

int visibleRows(const Control& c) { return std::max(0, (c.area.h - 2) / kRowHeight - 1); }

// A small triangle: pointing down when open, right when closed.
void triangle(Framebuffer& fb, int x, int y, bool open, Rgb c) {
    for (int i = 0; i < 4; ++i) {
        if (open) fb.fillBox(x + i, y + 2 + i, 7 - 2 * i, 1, c);
        else fb.fillBox(x + 2 + i, y + i, 1, 7 - 2 * i, c);
    }
}

void refresh(Control& c) {
    if (c.liveItems) c.items = c.liveItems();
}

}  // namespace

Control& Panel::addControl(ControlKind kind, std::string label, Rect area) {
    auto c = std::make_unique<Control>();
    c->kind = kind;
    c->label = std::move(label);
    c->area = area;
    controls_.push_back(std::move(c));
    return *controls_.back();
}

Control* Panel::find(ControlKind kind, std::string_view label) {
    for (auto& c : controls_)
        if (c->kind == kind && c->label == label) return c.get();
    return nullptr;
}

void Panel::open() {
    open_ = true;
    fb_ = Framebuffer(width_, height_, colour::kPanel);
    if (const auto h = handlers_.open) h();
    redraw();
}

void Panel::close() {
    if (!open_) return;
    open_ = false;
    if (const auto h = handlers_.close) h();
}

void Panel::setSize(int width, int height) {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    if (open_ && (fb_.width() != width_ || fb_.height() != height_)) redraw();
}

void Panel::redraw() {
    if (!open_) return;
    if (fb_.width() != width_ || fb_.height() != height_) fb_ = Framebuffer(width_, height_, colour::kPanel);
    fb_.resetClip();
    fb_.fillBox(0, 0, width_, height_, colour::kPanel);
    if (handlers_.draw) handlers_.draw();
    for (auto& c : controls_) drawControl(*c);
}

void Panel::redrawControl(Control& c) {
    if (open_) drawControl(c);
}

void Panel::fillBox(int x, int y, int w, int h, Rgb c) {
    fb_.fillBox(x, y, w, h, c);
    for (auto& ctl : controls_)
        if (ctl->kind == ControlKind::Canvas && x <= ctl->area.x && y <= ctl->area.y &&
            x + w >= ctl->area.x + ctl->area.w && y + h >= ctl->area.y + ctl->area.h)
            ctl->drawnText.clear();
}

void Panel::text(int x, int y, std::string_view s, Rgb c) {
    drawText(fb_, x, y, s, c);
    for (auto& ctl : controls_)
        if (ctl->kind == ControlKind::Canvas && ctl->area.contains(x, y))
            ctl->drawnText += (ctl->drawnText.empty() ? "" : " ") + std::string(s);
}

void Panel::blit(const Framebuffer& src, const Control& c, int x, int y) {
    fb_.setClip(c.area);
    fb_.blit(src, c.area.x + x, c.area.y + y);
    fb_.resetClip();
}

void* Panel::treeItemAt(const Control& c, int row) const {
    const std::vector<TreeRow> rows = treeRows(c);
    const int i = row + c.firstRow;
    return row >= 0 && row < visibleRows(c) && i < int(rows.size()) ? rows[size_t(i)].item : nullptr;
}

void Panel::drawControl(Control& c) {
    const Rect a = c.area;
    const Rgb ink = c.ghosted ? colour::kGhost : colour::kText;
    refresh(c);
    fb_.setClip(a);
    switch (c.kind) {
        case ControlKind::Canvas:
            fb_.resetClip();
            if (handlers_.controlDraw) handlers_.controlDraw(c);
            return;
        case ControlKind::Button:
        case ControlKind::Popup: {
            fb_.fillBox(a.x, a.y, a.w, a.h, colour::kPanel);
            fb_.bevel(a.x, a.y, a.w, a.h, 1, false);
            std::string shown = c.label;
            if (c.kind == ControlKind::Popup && c.value >= 0 && c.value < int(c.items.size()))
                shown = c.items[size_t(c.value)];
            const int tx = c.kind == ControlKind::Button ? a.x + (a.w - textWidth(shown)) / 2 : a.x + 6;
            drawText(fb_, tx, a.y + (a.h - kTextHeight) / 2, shown, ink);
            if (c.kind == ControlKind::Popup) triangle(fb_, a.x + a.w - 14, a.y + (a.h - 7) / 2, true, ink);
            break;
        }
        case ControlKind::Tree: {
            fb_.fillBox(a.x, a.y, a.w, a.h, colour::kField);
            fb_.bevel(a.x, a.y, a.w, a.h, 1, true);
            fb_.fillBox(a.x + 1, a.y + 1, a.w - 2, kRowHeight, colour::kPanel);
            drawText(fb_, a.x + 4, a.y + 2, c.label, ink);
            const std::vector<TreeRow> rows = treeRows(c);
            for (int r = 0; r < visibleRows(c) && r + c.firstRow < int(rows.size()); ++r) {
                const int i = r + c.firstRow, y = a.y + 1 + kRowHeight * (r + 1);
                const bool selected = rows[size_t(i)].item == c.item;
                if (selected) fb_.fillBox(a.x + 1, y, a.w - 2, kRowHeight, colour::kSelected);
                const Rgb t = selected ? colour::kWhite : ink;
                const TreeRow& row = rows[size_t(i)];
                const int x = a.x + 4 + kIndent * row.depth;
                if (row.hasChildren) triangle(fb_, x, y + 4, c.tree.expanded && c.tree.expanded(row.item), t);
                drawText(fb_, x + kIndent, y + 1, c.tree.name ? c.tree.name(row.item) : "", t);
            }
            break;
        }
        case ControlKind::Checkbox:
            fb_.fillBox(a.x, a.y, a.w, a.h, colour::kPanel);
            fb_.fillBox(a.x + 2, a.y + 3, 14, 14, colour::kField);
            fb_.bevel(a.x + 2, a.y + 3, 14, 14, 1, true);
            if (c.value) fb_.fillBox(a.x + 5, a.y + 6, 8, 8, ink);
            drawText(fb_, a.x + 22, a.y + 3, c.label, ink);
            break;
        case ControlKind::Choice: {
            fb_.fillBox(a.x, a.y, a.w, a.h, colour::kPanel);
            const int n = std::max(int(c.items.size()), 1);
            for (int i = 0; i < int(c.items.size()); ++i) {
                const int x0 = a.x + a.w * i / n, x1 = a.x + a.w * (i + 1) / n;
                fb_.bevel(x0, a.y, x1 - x0, a.h, 1, i == c.value);
                drawText(fb_, x0 + 4, a.y + 3, c.items[size_t(i)], ink);
            }
            break;
        }
        case ControlKind::Text:
            fb_.fillBox(a.x, a.y, a.w, a.h, colour::kPanel);
            drawText(fb_, a.x, a.y + 3, c.label, ink);
            break;
        case ControlKind::Edit:
        case ControlKind::Number:
        case ControlKind::Vector:
            drawField(c, ink);
            break;
    }
    fb_.resetClip();
}

void Panel::controlChanged(Control& c) {
    redrawControl(c);
    if (const auto h = handlers_.controlEvent) h(c);
}

void Panel::clickControl(Asker& asker, Control& c, int x, int y) {
    const Rect a = c.area;
    refresh(c);
    switch (c.kind) {
        case ControlKind::Button:
            pressedButton_ = &c;  // fires on release
            return;
        case ControlKind::Popup: {
            const int chosen = asker.chooseItem(*this, c.items, a.x, a.y + a.h, a.w);
            if (chosen < 0 || chosen >= int(c.items.size())) return;
            c.value = chosen;
            return controlChanged(c);
        }
        case ControlKind::Checkbox:
            c.value = !c.value;
            return controlChanged(c);
        case ControlKind::Choice: {
            const int n = int(c.items.size());
            if (n == 0) return;
            c.value = std::clamp((x - a.x) * n / std::max(a.w, 1), 0, n - 1);
            return controlChanged(c);
        }
        case ControlKind::Tree: {
            // Every press selects what it lands on (nothing on an empty row);
            // on an item's triangle it also opens or closes the item.
            const int row = (y - a.y - 1) / kRowHeight - 1;
            c.item = row >= 0 ? treeItemAt(c, row) : nullptr;
            if (c.item && c.tree.count && c.tree.count(c.item) > 0 && c.tree.setExpanded) {
                int depth = 0;
                for (const TreeRow& r : treeRows(c))
                    if (r.item == c.item) depth = r.depth;
                if (x < a.x + 4 + kIndent * (depth + 1))
                    c.tree.setExpanded(c.item, !(c.tree.expanded && c.tree.expanded(c.item)));
            }
            return controlChanged(c);
        }
        case ControlKind::Edit:
        case ControlKind::Number:
        case ControlKind::Vector:
            return clickField(asker, c, x, y);
        case ControlKind::Text:
        case ControlKind::Canvas:
            return;
    }
}

void Panel::mouseDown(Asker& asker, int qualifiers, int x, int y) {
    pointerX_ = x, pointerY_ = y;
    pressOnPanel_ = false;
    pressedButton_ = nullptr;
    sliding_ = nullptr;
    // A press anywhere else ends the typing as Return would.
    if (editing_ && !fieldLayout(*editing_).box[editPart_].contains(x, y)) stopEditing(true);
    for (auto& c : controls_) {
        if (c->kind == ControlKind::Canvas || !c->area.contains(x, y)) continue;
        if (!c->ghosted && (qualifiers & qual::kLeft) && !(qualifiers & qual::kRight)) clickControl(asker, *c, x, y);
        return;
    }
    pressOnPanel_ = true;
    if (const auto h = handlers_.mouseButton) h(qualifiers | qual::kDown, x, y);
}

void Panel::mouseUp(int qualifiers, int x, int y) {
    pointerX_ = x, pointerY_ = y;
    if (Control* s = std::exchange(sliding_, nullptr)) {
        slideTo(*s, x);
        return controlChanged(*s);
    }
    if (Control* b = pressedButton_) {
        pressedButton_ = nullptr;
        if (b->area.contains(x, y) && !b->ghosted) controlChanged(*b);
        return;
    }
    if (!pressOnPanel_) return;
    pressOnPanel_ = false;
    if (const auto h = handlers_.mouseButton) h(qualifiers & ~qual::kDown, x, y);
}

void Panel::mouseMove(int qualifiers, int x, int y) {
    pointerX_ = x, pointerY_ = y;
    if (sliding_) return slideTo(*sliding_, x);
    if (const auto h = handlers_.mouseMove) h(qualifiers, x, y);
}

void Panel::keyUp(int code) {
    if (const auto h = handlers_.keyUp) h(code);
}

}  // namespace vxs::ui

namespace vxs::ui {

void dragGrip(Panel& panel, Asker& asker, int width, int height) {
    const int x = panel.width() - 8, y = panel.height() - 8;
    panel.mouseDown(asker, qual::kLeft, x, y);
    panel.mouseMove(qual::kLeft, x + width - panel.width(), y + height - panel.height());
    panel.mouseUp(qual::kLeft, x + width - panel.width(), y + height - panel.height());
}

}  // namespace vxs::ui
