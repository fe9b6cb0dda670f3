// The node canvas's mouse and keyboard: selecting, moving, panning,
// connecting, rubber bands, scrolling and the keys.
#include <algorithm>

#include "core/macro.h"
#include "editor/config.h"
#include "editor/param_panel.h"
#include "editor/user_panel.h"

namespace vx {

namespace {
constexpr int kButtons = HOST_QUAL_LEFT | HOST_QUAL_RIGHT;
constexpr int kEdgeScroll = 16;
constexpr int kKeyScroll = 32;
}  // namespace

bool UserPanel::inCanvas(int x, int y) const {
    return x >= kCanvasLeft && x < kCanvasLeft + canvasWidth() && y >= kCanvasTop && y < kCanvasTop + canvasHeight();
}

void UserPanel::dropSelection() {
    selection_.clear();
    drag_ = DragState::None;
}

void UserPanel::selectOnly(Node* node) { selection_.assign(1, node); }

void UserPanel::toggleSelected(Node* node) {
    const auto it = std::find(selection_.begin(), selection_.end(), node);
    if (it == selection_.end())
        selection_.push_back(node);
    else
        selection_.erase(it);
}

void UserPanel::makeCurrent(Node* node) {
    std::erase(selection_, node);
    selection_.insert(selection_.begin(), node);
}

void UserPanel::buttonDown(int x, int y, int qualifiers, bool doubleClick) {
    setInfo("");
    const int buttons = qualifiers & kButtons;
    if (buttons == kButtons) {
        if (inCanvas(x, y)) runMenuItem(menu_.show(panel));
        return;
    }
    if (buttons == 0) return;
    if (!inCanvas(x, y)) {
        drag_ = DragState::None;
        return;
    }
    last_ = {x, y};
    const auto [cx, cy] = toCanvas(x, y);
    const bool extend = (qualifiers & HOST_QUAL_SHIFT) || buttons == HOST_QUAL_RIGHT;
    Node* node = bringToFront(*current_, cx, cy);
    if (!node) {
        drag_ = extend ? DragState::RubberBand : DragState::Panning;
        anchor_ = pointer_ = {x, y};
        redrawCanvas();
        return;
    }
    if (currentNode() && extend) {
        toggleSelected(node);
        redrawCanvas();
        return;
    }
    if (std::find(selection_.begin(), selection_.end(), node) != selection_.end())
        makeCurrent(node);
    else
        selectOnly(node);
    const NodeHit hit = hitPart(*node, cx, cy);
    if (doubleClick && hit.part != NodePart::Expand) {
        editNode(node);
        return;
    }
    startDrag(node, hit, x, y);
}

void UserPanel::startDrag(Node* node, const NodeHit& hit, int x, int y) {
    auto toWindow = [this](Point p) { return Point{p.x - scrollX_ + kCanvasLeft, p.y - scrollY_ + kCanvasTop}; };
    drag_ = DragState::None;
    pointer_ = {x, y};
    switch (hit.part) {
    case NodePart::Expand: node->expanded = !node->expanded; break;
    case NodePart::Preview: previewCurrent(); return;
    case NodePart::Input: {
        InputPort& in = node->inputs[hit.port];
        if (!in.source) break;
        linkSource_ = in.source;
        linkOutput_ = in.sourceOutput;
        in.source = nullptr;
        in.sourceOutput = -1;
        anchor_ = toWindow(outputPoint(*linkSource_, linkOutput_));
        drag_ = DragState::Connecting;
        break;
    }
    case NodePart::Output:
        linkSource_ = node;
        linkOutput_ = hit.port;
        anchor_ = toWindow(outputPoint(*node, hit.port));
        drag_ = DragState::Connecting;
        break;
    case NodePart::Body: drag_ = DragState::Moving; break;
    }
    redrawCanvas();
}

void UserPanel::edgeScroll(int x, int y, int& dx, int& dy) {
    auto scroll = [](int pos, int low, int high, int& scrollPos, int& anchor, int& pointer, int& d) {
        const int step = pos < low + kEdgeScroll ? -kEdgeScroll : pos > high - kEdgeScroll ? kEdgeScroll : 0;
        scrollPos += step;
        anchor -= step;
        pointer -= step;
        d += step;
    };
    scroll(x, kCanvasLeft, kCanvasLeft + canvasWidth(), scrollX_, anchor_.x, pointer_.x, dx);
    scroll(y, kCanvasTop, kCanvasTop + canvasHeight(), scrollY_, anchor_.y, pointer_.y, dy);
}

void UserPanel::pointerMove(int x, int y, int) {
    int dx = x - last_.x, dy = y - last_.y;
    if (drag_ == DragState::Moving || drag_ == DragState::Connecting || drag_ == DragState::RubberBand)
        edgeScroll(x, y, dx, dy);
    switch (drag_) {
    case DragState::Moving:
        for (Node* n : selection_) {
            n->x += dx;
            n->y += dy;
        }
        if (dx || dy) redrawCanvas();
        break;
    case DragState::Panning:
        scrollX_ -= dx;
        scrollY_ -= dy;
        if (dx || dy) redrawCanvas();
        break;
    case DragState::Connecting:
    case DragState::RubberBand:
        pointer_ = {x, y};
        redrawCanvas();
        break;
    case DragState::None: break;
    }
    last_ = {x, y};
}

void UserPanel::buttonUp(int x, int y, int) {
    const DragState state = drag_;
    drag_ = DragState::None;
    if (state == DragState::Connecting) finishLink(x, y);
    if (state == DragState::RubberBand) finishRubberBand(x, y);
}

void UserPanel::finishLink(int x, int y) {
    const auto [cx, cy] = toCanvas(x, y);
    Node* node = bringToFront(*current_, cx, cy);
    if (node && node != linkSource_) {
        const NodeHit hit = hitPart(*node, cx, cy);
        if (hit.part == NodePart::Input) {
            if (linkMakesCycle(*current_, *node, hit.port, linkSource_, linkOutput_)) {
                setInfo(kConnectionLoop);
            } else {
                node->inputs[hit.port].source = linkSource_;
                node->inputs[hit.port].sourceOutput = linkOutput_;
            }
        }
    }
    redrawCanvas();
}

void UserPanel::finishRubberBand(int x, int y) {
    const Point a = toCanvas(std::min(anchor_.x, x), std::min(anchor_.y, y));
    const Point b = toCanvas(std::max(anchor_.x, x), std::max(anchor_.y, y));
    for (const auto& n : current_->nodes)
        if (n->x <= b.x && n->x + n->width >= a.x && n->y <= b.y && n->y + displayedHeight(*n) >= a.y)
            toggleSelected(n.get());
    redrawCanvas();
}

void UserPanel::keyDown(int key) {
    switch (key) {
    case HOST_KEY_DELETE: deleteSelected(); return;
    case HOST_KEY_INSERT:
    case HOST_KEY_KP_ENTER:
    case HOST_KEY_SPACE: editNode(nullptr); return;
    case HOST_KEY_LEFT: scrollX_ -= kKeyScroll; redrawCanvas(); return;
    case HOST_KEY_RIGHT: scrollX_ += kKeyScroll; redrawCanvas(); return;
    case HOST_KEY_UP: scrollY_ -= kKeyScroll; redrawCanvas(); return;
    case HOST_KEY_DOWN: scrollY_ += kKeyScroll; redrawCanvas(); return;
    default: break;
    }
    if (modifier(HOST_KEY_CTRL)) {
        shortcut(key);
        redrawCanvas();
        return;
    }
    switch (key) {
    case HOST_KEY_RETURN: editNode(nullptr); redrawCanvas(); break;
    case HOST_KEY_ESCAPE: deselectAll(); break;
    case 'C': case 'c': copySelected(); break;
    case 'X': case 'x': cutSelected(); break;
    case 'V': case 'v': paste(); break;
    case 'R': case 'r': previewAll(); break;
    default: redrawCanvas(); break;
    }
}

void UserPanel::editNode(Node* node) {
    if (!node) node = currentNode();
    if (!node) return;
    if (auto* macro = dynamic_cast<NMacro*>(node)) {
        macros_.push_back({scrollX_, scrollY_, current_});
        current_ = &macro->inner;
        scrollX_ = scrollY_ = 0;
        resetView();
        return;
    }
    if (node->openEditor()) return;
    if (!editParameters(*current_, surface_, *node)) return setInfo(kNoParameters);
    redrawCanvas();
}

void UserPanel::runMenuItem(int item) {
    switch (item) {
    case MI_EDIT: editNode(nullptr); break;
    case MI_PREVIEW: previewCurrent(); break;
    case MI_PREVIEW_ALL: previewAll(); break;
    case MI_SELECT_ALL: selectAll(); break;
    case MI_DESELECT_ALL: deselectAll(); break;
    case MI_CUT: cutSelected(); break;
    case MI_COPY: copySelected(); break;
    case MI_PASTE: paste(); break;
    case MI_DELETE: deleteSelected(); break;
    default: break;
    }
}

}  // namespace vx
