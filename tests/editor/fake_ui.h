// A small host of interface services for driving the editor in-process:
// panels keep their handlers and controls, rasters only their size, text is
// 6 pixels a character, and the answers of menus, questions and requesters
// are set by the test. Installs itself as the module's host while it lives.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/ui_services.h"
#include "tests/core/fake_host.h"

namespace vxt {

struct FakeControl {
    int kind = 0;
    std::string label;
    int x = 0, y = 0, w = 0, h = 0;
    HostTreeFuncs tree{};
    int value = 0;
    void* item = nullptr;
    bool ghosted = false;
};

struct FakePanel {
    HostPanelHandlers on{};
    void* data = nullptr;
    bool open = false;
    int w = 0, h = 0;
    std::vector<std::unique_ptr<FakeControl>> controls;
};

struct FakeUi {
    using Control = FakeControl;
    using Panel = FakePanel;
    static inline Panel* live = nullptr;  // the panel created last
    static inline uint32_t now = 1000;
    static inline int px = 0, py = 0;
    static inline int menuChoice = -1;
    static inline int okAnswer = 1;

    static Panel* P(HostPanel p) { return reinterpret_cast<Panel*>(p); }
    static Control* C(HostControl c) { return reinterpret_cast<Control*>(c); }

    static inline HostPanelServices panels = [] {
        HostPanelServices t{};
        t.create = [](const char*, const HostPanelHandlers* on, void* data) {
            live = new Panel;
            live->on = *on;
            live->data = data;
            return reinterpret_cast<HostPanel>(live);
        };
        t.destroy = [](HostPanel p) {
            if (P(p)->open && P(p)->on.close) P(p)->on.close(P(p)->data);
            if (live == P(p)) live = nullptr;
            delete P(p);
        };
        t.open = [](HostPanel p, int) {
            P(p)->open = true;
            P(p)->on.open(P(p)->data);
            return 1;
        };
        t.close = [](HostPanel p) {
            P(p)->open = false;
            P(p)->on.close(P(p)->data);
        };
        t.isOpen = [](HostPanel p) { return P(p)->open ? 1 : 0; };
        t.setSize = [](HostPanel p, int w, int h) {
            P(p)->w = w;
            P(p)->h = h;
        };
        t.redraw = [](HostPanel) {};
        t.pointer = [](HostPanel, int* x, int* y) {
            *x = px;
            *y = py;
        };
        t.clock = [] { return now; };
        t.drawLine = [](HostPanel, HostColor, int, int, int, int) {};
        t.drawBox = [](HostPanel, HostColor, int, int, int, int) {};
        t.drawBorder = [](HostPanel, int, int, int, int, int) {};
        t.drawText = [](HostPanel, HostColor, int, int, const char*) {};
        t.textWidth = [](HostPanel, const char* s) { return 6 * static_cast<int>(std::strlen(s)); };
        t.addControl = [](HostPanel p, const HostControlDesc* d) {
            auto c = std::make_unique<Control>();
            c->kind = d->kind;
            c->label = d->label ? d->label : "";
            c->x = d->x;
            c->y = d->y;
            c->w = d->width;
            c->h = d->height;
            if (d->tree) c->tree = *d->tree;
            return reinterpret_cast<HostControl>(P(p)->controls.emplace_back(std::move(c)).get());
        };
        auto rect = [](HostControl c, int* x, int* y, int* w, int* h) {
            *x = C(c)->x;
            *y = C(c)->y;
            *w = C(c)->w;
            *h = C(c)->h;
        };
        t.controlRect = rect;
        t.hotRect = rect;
        t.ghost = [](HostControl c, int g) { C(c)->ghosted = g != 0; };
        t.getInt = [](HostControl c) { return C(c)->value; };
        t.setInt = [](HostControl c, int v) { C(c)->value = v; };
        t.getItem = [](HostControl c) { return C(c)->item; };
        return t;
    }();

    struct Raster {
        int w, h;
    };
    static inline HostRasterServices rasters = [] {
        HostRasterServices t{};
        t.create = [](int w, int h) { return reinterpret_cast<HostRaster>(new Raster{w, h}); };
        t.destroy = [](HostRaster r) { delete reinterpret_cast<Raster*>(r); };
        t.drawPixel = [](HostRaster, HostColor, int, int) {};
        t.drawLine = [](HostRaster, HostColor, int, int, int, int) {};
        t.drawBox = [](HostRaster, HostColor, int, int, int, int) {};
        t.drawRGB = [](HostRaster, int, int, int, int, const unsigned char*) {};
        t.drawText = [](HostRaster, HostColor, int, int, const char*) {};
        t.textWidth = [](HostRaster, const char* s) { return 6 * static_cast<int>(std::strlen(s)); };
        t.blit = [](HostRaster, HostControl, int, int) {};
        return t;
    }();
    static inline HostContextMenuFuncs menus = [] {
        HostContextMenuFuncs t{};
        t.create = [](const HostPopupDesc*) { return reinterpret_cast<HostMenu>(&menuChoice); };
        t.deploy = [](HostMenu, HostPanel, int) { return menuChoice; };
        t.destroy = [](HostMenu) {};
        return t;
    }();
    static inline HostInfoMessages messages = [] {
        HostInfoMessages t{};
        t.okCancel = [](const char*, const char*) { return okAnswer; };
        return t;
    }();

    static void* lookup(const char* name, int mode) {
        const std::string s = name;
        if (s == HOST_GLOBAL_PANEL_SERVICES) return &panels;
        if (s == HOST_GLOBAL_RASTER_SERVICES) return &rasters;
        if (s == HOST_GLOBAL_CONTEXT_MENU) return &menus;
        if (s == HOST_GLOBAL_INFO_MESSAGES) return &messages;
        return FakeHost::lookup(name, mode);
    }

    FakeUi() { vx::acquireHandlerGlobals(lookup); }
    ~FakeUi() { vx::acquireHandlerGlobals(FakeHost::lookup); }

    // Events, 50 ms apart unless a test waits longer.
    static void mouse(int q, int x, int y) {
        now += 50;
        px = x;
        py = y;
        live->on.mouse(live->data, q, x, y);
    }
    static void press(int x, int y, int q = HOST_QUAL_LEFT) { mouse(q | HOST_QUAL_DOWN, x, y); }
    static void release(int x, int y, int q = HOST_QUAL_LEFT) { mouse(q, x, y); }
    static void click(int x, int y, int q = HOST_QUAL_LEFT) {
        press(x, y, q);
        release(x, y, q);
    }
    static void move(int x, int y) {
        now += 50;
        px = x;
        py = y;
        live->on.move(live->data, HOST_QUAL_LEFT, x, y);
    }
    static void key(int code) {
        live->on.keyDown(live->data, code);
        live->on.keyUp(live->data, code);
    }
    static Control* control(const std::string& label) {
        for (auto& c : live->controls)
            if (c->label == label) return c.get();
        return nullptr;
    }
    // A control event with the pointer at the control's top-left + (dx, dy).
    static void use(Control* c, int dx = 4, int dy = 4) {
        now += 50;
        px = c->x + dx;
        py = c->y + dy;
        live->on.control(live->data, reinterpret_cast<HostControl>(c));
    }
};

}  // namespace vxt
