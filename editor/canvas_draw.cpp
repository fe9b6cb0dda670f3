// Drawing the node canvas and the overview into their rasters.
#include <algorithm>
#include <climits>

#include "editor/config.h"
#include "editor/preview.h"
#include "editor/user_panel.h"

namespace vx {

namespace {
constexpr HostColor kBlack = HOST_RGB(0, 0, 0);
constexpr HostColor kWhite = HOST_RGB(255, 255, 255);
constexpr HostColor kGrey32 = HOST_RGB(32, 32, 32);
constexpr HostColor kGrey64 = HOST_RGB(64, 64, 64);
constexpr HostColor kGrey96 = HOST_RGB(96, 96, 96);
constexpr HostColor kGrey128 = HOST_RGB(128, 128, 128);
constexpr HostColor kGrey192 = HOST_RGB(192, 192, 192);
constexpr HostColor kHalo = HOST_RGB(255, 255, 192);
constexpr HostColor kCurrentName = HOST_RGB(255, 255, 0);
constexpr HostColor kCurrentLink = HOST_RGB(0, 0, 255);
constexpr HostColor kDraggedLink = HOST_RGB(255, 0, 0);

// Rows of set pixels, the leftmost pixel in the highest of `width` bits.
constexpr uint16_t kArrow[] = {0x60, 0x78, 0x7E, 0x7F, 0x7E, 0x78, 0x60};
constexpr uint16_t kExpanded[] = {0x7FF, 0x3FE, 0x3FE, 0x1FC, 0x1FC, 0xF8, 0xF8, 0x70, 0x70, 0x20, 0x20};
constexpr uint16_t kCollapsed[] = {0x1, 0x7, 0x1F, 0x7F, 0x1FF, 0x7FF, 0x1FF, 0x7F, 0x1F, 0x7, 0x1};

HostColor portColor(int valueType) {
    switch (valueType) {
    case VT_COLOR: return HOST_RGB(32, 96, 32);
    case VT_SCALAR: return HOST_RGB(32, 32, 32);
    case VT_VECTOR: return HOST_RGB(32, 32, 96);
    default: return HOST_RGB(112, 112, 112);
    }
}

void linkMark(const PRaster& r, int x, int y) {
    r.box(kGrey192, x, y, 4, 4);
    r.line(kGrey64, x, y, x + 4, y);
    r.line(kGrey64, x + 4, y, x + 4, y + 4);
    r.line(kGrey64, x, y + 4, x + 4, y + 4);
    r.line(kGrey64, x, y, x, y + 4);
}

void outline(const PRaster& r, HostColor c, int x1, int y1, int x2, int y2) {
    r.line(c, x1, y1, x2, y1);
    r.line(c, x2, y1, x2, y2);
    r.line(c, x1, y2, x2, y2);
    r.line(c, x1, y1, x1, y2);
}

void polyline(const PRaster& r, HostColor c, const std::vector<Point>& points) {
    for (size_t i = 1; i < points.size(); ++i) r.line(c, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
}

}  // namespace

void UserPanel::redrawCanvas() {
    const PRaster& r = canvasRaster_;
    if (r) {
        r.box(kGrey128, 0, 0, r.width(), r.height());
        drawLinks();
        const LinkedOutputs linked = linkedOutputs(*current_);
        for (const auto& n : current_->nodes) {
            const int x = n->x - scrollX_, y = n->y - scrollY_;
            if (x + n->width + 2 < 0 || y + displayedHeight(*n) + 2 < 0 || x - 2 > r.width() || y - 2 > r.height())
                continue;
            drawNode(*n, linked);
        }
        if (drag_ == DragState::Connecting && linkSource_) {
            const Point from{anchor_.x - kCanvasLeft, anchor_.y - kCanvasTop};
            const Point to{pointer_.x - kCanvasLeft, pointer_.y - kCanvasTop};
            polyline(r, kDraggedLink,
                     linkPath(from, to, editorOptions().lineMode, linkOutput_, linkSource_->outputCount));
        }
        if (drag_ == DragState::RubberBand && pointer_.x != anchor_.x && pointer_.y != anchor_.y)
            outline(r, kHalo, anchor_.x - kCanvasLeft, anchor_.y - kCanvasTop, pointer_.x - kCanvasLeft,
                    pointer_.y - kCanvasTop);
        r.blit(canvas_);
    }
    drawOverview();
}

void UserPanel::drawLinks() const {
    const PRaster& r = canvasRaster_;
    const Node* current = currentNode();
    const Point scroll{scrollX_, scrollY_};
    for (const auto& n : current_->nodes)
        for (int i = 0; i < static_cast<int>(n->inputs.size()); ++i) {
            const InputPort& in = n->inputs[i];
            if (!in.connectable || !in.source) continue;
            const Node& s = *in.source;
            Point from = outputPoint(s, in.sourceOutput), to = inputPoint(*n, i);
            from = {from.x - scroll.x, from.y - scroll.y};
            to = {to.x - scroll.x, to.y - scroll.y};
            const HostColor c = &s == current || n.get() == current ? kCurrentLink : kBlack;
            polyline(r, c, linkPath(from, to, editorOptions().lineMode, in.sourceOutput, s.outputCount));
            r.mask(c, to.x - 6, to.y - 3, 7, kArrow, 7);
        }
}

void UserPanel::drawNode(const Node& n, const LinkedOutputs& linked) const {
    const PRaster& r = canvasRaster_;
    const int x = n.x - scrollX_, y = n.y - scrollY_, w = n.width, h = displayedHeight(n);
    const bool current = &n == currentNode();
    if (selection_.size() > 1 && std::find(selection_.begin(), selection_.end(), &n) != selection_.end())
        r.box(kHalo, x - 1, y - 1, w + 3, h + 3);
    r.box(kGrey192, x + 1, y + 1, w - 1, h - 1);
    r.box(current ? kGrey64 : kGrey128, x + 1, y + 1, w - 1, 15);
    outline(r, kGrey64, x, y, x + w, y + h);
    r.text(current ? kCurrentName : kWhite, x + 8, y + 2, n.name.c_str());
    r.mask(kGrey32, x + w - 16, y + 3, 11, n.expanded ? kExpanded : kCollapsed, 11);

    bool inputLinked = false, outputLinked = false;
    int row = 0;
    for (const InputPort& in : n.inputs) {
        if (!in.connectable) continue;
        inputLinked |= in.source != nullptr;
        const int t = y + kFirstRow + kRowHeight * row++;
        if (!n.expanded) continue;
        r.text(portColor(in.valueType), x + 8, t + 2, in.name.c_str());
        r.box(portColor(in.valueType), x + 1, t, 4, 16);
        if (in.source) linkMark(r, x - 2, t + 6);
    }
    const int outputs = n.isRoot ? 0 : static_cast<int>(n.outputs.size());
    for (int j = 0; j < outputs; ++j) {
        const bool isLinked = linked.count({&n, j}) != 0;
        outputLinked |= isLinked;
        if (!n.expanded) continue;
        const int t = y + kFirstRow + kRowHeight * j;
        const OutputPort& out = n.outputs[j];
        r.text(portColor(out.valueType), x + w - r.textWidth(out.name.c_str()) - 6, t + 2, out.name.c_str());
        r.box(portColor(out.valueType), x + w - 4, t, 4, 16);
        if (isLinked) linkMark(r, x + w - 2, t + 6);
    }
    if (!n.expanded) {
        if (outputLinked) linkMark(r, x + w - 2, y + 6);
        if (inputLinked) linkMark(r, x - 2, y + 6);
        return;
    }
    r.line(kGrey96, x, y + 16, x + w - 1, y + 16);
    r.line(kGrey96, x + n.layout + 16, y + kFirstRow, x + n.layout + 16, y + h - 1);
    r.box(current ? kGrey64 : kGrey128, x + 1, y + h - 4, w - 1, 4);
    if (n.preview)
        r.rgb(x + 5, y + 22, kPreviewSize, kPreviewSize, n.preview.get());
    else
        r.box(kBlack, x + 5, y + 22, kPreviewSize, kPreviewSize);
    for (int i = 0; i <= std::max(row, outputs); ++i)
        r.line(kGrey96, x + 1, y + kFirstRow + kRowHeight * i, x + w - 1, y + kFirstRow + kRowHeight * i);
}

void UserPanel::drawOverview() const {
    const PRaster& r = overviewRaster_;
    if (!r) return;
    r.box(kGrey128, 0, 0, r.width(), r.height());
    int left = scrollX_, top = scrollY_, right = scrollX_ + canvasWidth(), bottom = scrollY_ + canvasHeight();
    for (const auto& n : current_->nodes) {
        left = std::min(left, n->x);
        top = std::min(top, n->y);
        right = std::max(right, n->x + n->width);
        bottom = std::max(bottom, n->y + displayedHeight(*n));
    }
    const long spanX = std::max(1, right - left), spanY = std::max(1, bottom - top);
    const auto mapX = [&](long v) { return static_cast<int>(v * kOverviewWidth / spanX); };
    const auto mapY = [&](long v) { return static_cast<int>(v * kOverviewHeight / spanY); };
    const Node* current = currentNode();
    for (const auto& n : current_->nodes) {
        const int bx = mapX(n->x - left), by = mapY(n->y - top);
        const int bw = std::max(1, mapX(n->width)), bh = std::max(1, mapY(displayedHeight(*n)));
        HostColor fill = HOST_RGB(176, 176, 176);
        if (n.get() == current) {
            fill = HOST_RGB(176, 224, 176);
        } else if (std::find(selection_.begin(), selection_.end(), n.get()) != selection_.end()) {
            fill = HOST_RGB(224, 224, 176);
        } else if (current) {
            for (const InputPort& in : n->inputs)
                if (in.source == current) fill = HOST_RGB(176, 176, 224);
            for (const InputPort& in : current->inputs)
                if (in.source == n.get()) fill = HOST_RGB(224, 176, 176);
        }
        r.box(fill, bx, by, bw, bh);
        outline(r, kBlack, bx, by, bx + bw, by + bh);
    }
    outline(r, kBlack, mapX(scrollX_ - left), mapY(scrollY_ - top), mapX(scrollX_ - left) + mapX(canvasWidth()),
            mapY(scrollY_ - top) + mapY(canvasHeight()));
    r.blit(overview_);
}

}  // namespace vx
