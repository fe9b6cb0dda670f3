#include "editor/panel.h"

#include <algorithm>
#include <cstdlib>

#include "editor/ui.h"

namespace vx {

HostControlDesc controlAt(int kind, const char* label, int x, int y, int w, int h) {
    HostControlDesc d{};
    d.kind = kind;
    d.label = label;
    d.x = x;
    d.y = y;
    d.width = w;
    d.height = h;
    return d;
}

bool DoubleClick::press(int x, int y, uint32_t ms) {
    const bool dbl = pressed_ && std::abs(x - x_) <= kDoubleClickPixels && std::abs(y - y_) <= kDoubleClickPixels &&
                     ms - time_ < kDoubleClickMs;
    pressed_ = true;
    x_ = x;
    y_ = y;
    time_ = ms;
    return dbl;
}

PPanel::PPanel(std::string title_, bool resizable)
    : title(std::move(title_)), services(panelServices()), resizable_(resizable) {}

PPanel::~PPanel() {
    if (panel && services) services->destroy(panel);
}

int PPanel::open(int flags) {
    if (!services) return 0;
    if (panel) {
        beforeRecreate();
        HostPanel old = panel;
        panel = nullptr;  // the close event of the old panel must not touch the new one
        services->destroy(old);
        recreated_ = true;
    }
    static const HostPanelHandlers handlers = {onOpen,    onClose,   onActivate, onDraw,    onKeyDown,
                                               onKeyUp,   onMouse,   onMove,     onControl, onDrawControl};
    panel = services->create(title.c_str(), &handlers, this);
    if (!panel) return 0;
    services->setSize(panel, minWidth, minHeight);
    flags_ = flags;
    return services->open(panel, flags | kPanelBaseFlags);
}

bool PPanel::modifier(int keyCode) const {
    return keyCode == HOST_KEY_SHIFT ? shift_ : keyCode == HOST_KEY_ALT ? alt_ : keyCode == HOST_KEY_CTRL && ctrl_;
}

uint32_t PPanel::clock() const { return services && services->clock ? services->clock() : 0; }

void PPanel::setModifier(int keyCode, bool down) {
    if (keyCode == HOST_KEY_SHIFT) shift_ = down;
    if (keyCode == HOST_KEY_ALT) alt_ = down;
    if (keyCode == HOST_KEY_CTRL) ctrl_ = down;
}

namespace {
PPanel& self(void* data) { return *static_cast<PPanel*>(data); }
}  // namespace

void PPanel::onOpen(void* data) {
    PPanel& p = self(data);
    if (!p.panel) return;
    p.services->setSize(p.panel, p.width, p.height);
    p.buildControls();
    if (p.recreated_) p.afterRecreate();
    p.recreated_ = false;
    p.shift_ = p.alt_ = p.ctrl_ = false;
    p.opened();
}

void PPanel::onClose(void* data) {
    if (self(data).panel) self(data).closed();
}
void PPanel::onActivate(void* data) { self(data).activated(); }
void PPanel::onDraw(void* data) { self(data).drawPanel(); }

void PPanel::onKeyDown(void* data, int key) {
    self(data).setModifier(key, true);
    self(data).keyDown(key);
}

void PPanel::onKeyUp(void* data, int key) {
    self(data).setModifier(key, false);
    self(data).keyUp(key);
}

void PPanel::onMouse(void* data, int qualifiers, int x, int y) {
    PPanel& p = self(data);
    if (qualifiers & HOST_QUAL_DOWN) {
        if (p.resizable_ && x > p.width - kGripSize && y > p.height - kGripSize) {
            p.resizing_ = true;
            p.lastX_ = x;
            p.lastY_ = y;
            return;
        }
        p.buttonDown(x, y, qualifiers, p.click_.press(x, y, p.clock()));
    } else if (p.resizing_) {
        p.resizing_ = false;
        p.open(p.flags_);
        if (p.panel) p.services->redraw(p.panel);
    } else {
        p.buttonUp(x, y, qualifiers);
    }
}

void PPanel::onMove(void* data, int qualifiers, int x, int y) {
    PPanel& p = self(data);
    if (p.resizing_) {
        p.width = std::max(p.minWidth, p.width + x - p.lastX_);
        p.height = std::max(p.minHeight, p.height + y - p.lastY_);
        p.services->setSize(p.panel, p.width, p.height);
    } else {
        p.pointerMove(x, y, qualifiers);
    }
    p.lastX_ = x;
    p.lastY_ = y;
}

void PPanel::onControl(void* data, HostControl control) { self(data).controlEvent(control); }
void PPanel::onDrawControl(void* data, HostControl control) { self(data).drawControl(control); }

}  // namespace vx
