#include "standin/ui/panel.h"

#include <algorithm>
#include <cstdio>

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

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    return buf;
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
    if (handlers_.open) handlers_.open();
    redraw();
}

void Panel::close() {
    if (!open_) return;
    open_ = false;
    if (handlers_.close) handlers_.close();
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
        if (ctl->kind == ControlKind::Canvas && ctl->area.contains(x, y)) ctl->drawnText += s;
}

void* Panel::treeItemAt(const Control& c, int row) const {
    const std::vector<TreeRow> rows = treeRows(c);
    const int i = row + c.firstRow;
    return row >= 0 && row < visibleRows(c) && i < int(rows.size()) ? rows[size_t(i)].item : nullptr;
}

void Panel::drawControl(Control& c) {
    const Rect a = c.area;
    const Rgb ink = c.ghosted ? colour::kGhost : colour::kText;
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
        case ControlKind::Tree:
        case ControlKind::List: {
            fb_.fillBox(a.x, a.y, a.w, a.h, colour::kField);
            fb_.bevel(a.x, a.y, a.w, a.h, 1, true);
            fb_.fillBox(a.x + 1, a.y + 1, a.w - 2, kRowHeight, colour::kPanel);
            drawText(fb_, a.x + 4, a.y + 2, c.label, ink);
            const std::vector<TreeRow> rows =
                c.kind == ControlKind::Tree ? treeRows(c) : std::vector<TreeRow>{};
            const int n = c.kind == ControlKind::Tree ? int(rows.size()) : int(c.items.size());
            for (int r = 0; r < visibleRows(c) && r + c.firstRow < n; ++r) {
                const int i = r + c.firstRow, y = a.y + 1 + kRowHeight * (r + 1);
                const bool selected = c.kind == ControlKind::Tree ? rows[size_t(i)].item == c.item : i == c.value;
                if (selected) fb_.fillBox(a.x + 1, y, a.w - 2, kRowHeight, colour::kSelected);
                const Rgb t = selected ? colour::kWhite : ink;
                if (c.kind == ControlKind::List) {
                    drawText(fb_, a.x + 4, y + 1, c.items[size_t(i)], t);
                    continue;
                }
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
        case ControlKind::Vector:
        case ControlKind::Colour: {
            fb_.fillBox(a.x, a.y, a.w, a.h, colour::kPanel);
            const int lw = textWidth(c.label) + 8;
            drawText(fb_, a.x, a.y + 3, c.label, ink);
            if (c.kind == ControlKind::Colour) {
                const auto byte = [](double v) { return uint8_t(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5); };
                fb_.fillBox(a.x + lw, a.y + 2, a.w - lw, a.h - 4, {byte(c.vec[0]), byte(c.vec[1]), byte(c.vec[2])});
                fb_.bevel(a.x + lw, a.y + 2, a.w - lw, a.h - 4, 1, true);
                break;
            }
            const int fw = (a.w - lw) / 3;
            for (int i = 0; i < 3; ++i) {
                fb_.fillBox(a.x + lw + fw * i, a.y + 1, fw - 2, a.h - 2, colour::kField);
                fb_.bevel(a.x + lw + fw * i, a.y + 1, fw - 2, a.h - 2, 1, true);
                drawText(fb_, a.x + lw + fw * i + 3, a.y + 3, number(c.vec[i]), ink);
            }
            break;
        }
    }
    fb_.resetClip();
}

void Panel::controlChanged(Control& c) {
    redrawControl(c);
    if (handlers_.controlEvent) handlers_.controlEvent(c);
}

void Panel::clickControl(Asker& asker, Control& c, int x, int y) {
    const Rect a = c.area;
    switch (c.kind) {
        case ControlKind::Button:
            return controlChanged(c);
        case ControlKind::Popup:
        case ControlKind::Colour: {
            if (c.kind == ControlKind::Colour) return controlChanged(c);
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
        case ControlKind::List: {
            const int row = (y - a.y - 1) / kRowHeight - 1;
            if (row < 0 || row + c.firstRow >= int(c.items.size())) return;
            c.value = row + c.firstRow;
            return controlChanged(c);
        }
        case ControlKind::Tree: {
            const int row = (y - a.y - 1) / kRowHeight - 1;
            void* item = row >= 0 ? treeItemAt(c, row) : nullptr;
            const std::vector<TreeRow> rows = treeRows(c);
            const auto it = std::find_if(rows.begin(), rows.end(), [&](const TreeRow& r) { return r.item == item; });
            // The triangle opens and closes; the rest of a row selects it.
            if (item && it->hasChildren && x < a.x + 4 + kIndent * (it->depth + 1) && c.tree.setExpanded) {
                c.tree.setExpanded(item, !(c.tree.expanded && c.tree.expanded(item)));
                return redrawControl(c);
            }
            c.item = item;
            return controlChanged(c);
        }
        case ControlKind::Vector:
        case ControlKind::Canvas:
            return;
    }
}

void Panel::mouseDown(Asker& asker, int qualifiers, int x, int y) {
    pressOnPanel_ = false;
    for (auto& c : controls_) {
        if (c->kind == ControlKind::Canvas || !c->area.contains(x, y)) continue;
        if (!c->ghosted && (qualifiers & qual::kLeft) && !(qualifiers & qual::kRight)) clickControl(asker, *c, x, y);
        return;
    }
    pressOnPanel_ = true;
    if (handlers_.mouseButton) handlers_.mouseButton(qualifiers | qual::kDown, x, y);
}

void Panel::mouseUp(int qualifiers, int x, int y) {
    if (!pressOnPanel_) return;
    pressOnPanel_ = false;
    if (handlers_.mouseButton) handlers_.mouseButton(qualifiers & ~qual::kDown, x, y);
}

void Panel::mouseMove(int qualifiers, int x, int y) {
    if (handlers_.mouseMove) handlers_.mouseMove(qualifiers, x, y);
}

void Panel::keyDown(int code) {
    if (handlers_.keyDown) handlers_.keyDown(code);
}

void Panel::keyUp(int code) {
    if (handlers_.keyUp) handlers_.keyUp(code);
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
