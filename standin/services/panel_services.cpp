#include <algorithm>
#include <chrono>
#include <string>

#include "standin/services/panel_records.h"
#include "standin/services/ui_services.h"
#include "standin/scene/scene.h"
#include "standin/services/globals.h"
#include "standin/ui/font.h"

namespace vxs {

namespace {
using ui::ControlKind;

struct OpenPanel {
    ui::Panel* panel;
    bool modal;  // opened blocking: the panels under it wait for it
};

// In the order the focus reached them; the last one has it.
std::vector<OpenPanel>& openPanels() {
    static std::vector<OpenPanel> panels;
    return panels;
}

// The open panel with the title nearest the focus, or rend().
std::vector<OpenPanel>::reverse_iterator topmostTitled(std::string_view title) {
    auto& open = openPanels();
    return std::find_if(open.rbegin(), open.rend(), [&](const OpenPanel& o) { return o.panel->title() == title; });
}

// Item types of the item list beyond the scene's own.
constexpr int kImageItems = 4, kAnyItem = 5;

// The OK and Cancel buttons the host adds below a panel opened with them.
constexpr int kButtonRow = 32;
constexpr const char* kOk = "OK";
constexpr const char* kCancel = "Cancel";

HostControlRec* recordOf(ui::Control& c) { return static_cast<HostControlRec*>(c.host); }

HostPanel create(const char* title, const HostPanelHandlers* handlers, void* data) {
    auto* rec = new HostPanelRec(title, handlers, data);
    ui::Panel::Handlers& h = rec->panel.handlers();
    const HostPanelHandlers& m = rec->handlers;
    h.open = [rec] {
        if (rec->handlers.open) rec->handlers.open(rec->data);
    };
    h.close = [rec] {
        panelClosed(&rec->panel);
        if (rec->handlers.close) rec->handlers.close(rec->data);
    };
    if (m.activate) h.activate = [rec] { rec->handlers.activate(rec->data); };
    if (m.draw) h.draw = [rec] { rec->handlers.draw(rec->data); };
    if (m.mouse) h.mouseButton = [rec](int q, int x, int y) { rec->handlers.mouse(rec->data, q, x, y); };
    if (m.move) h.mouseMove = [rec](int q, int x, int y) { rec->handlers.move(rec->data, q, x, y); };
    if (m.keyDown) h.keyDown = [rec](int k) { rec->handlers.keyDown(rec->data, k); };
    if (m.keyUp) h.keyUp = [rec](int k) { rec->handlers.keyUp(rec->data, k); };
    h.controlEvent = [rec](ui::Control& c) {
        if (!c.host) {  // the host's own OK or Cancel
            rec->result = c.label == kOk;
            rec->panel.close();
        } else if (rec->handlers.control) {
            rec->handlers.control(rec->data, recordOf(c));
        }
    };
    if (m.drawControl) h.controlDraw = [rec](ui::Control& c) {
        if (c.host) rec->handlers.drawControl(rec->data, recordOf(c));
    };
    return rec;
}

void destroy(HostPanel p) {
    if (!p) return;
    p->panel.close();
    panelClosed(&p->panel);
    delete p;
}

int open(HostPanel p, int flags) {
    if (!p) return 0;
    if (p->panel.isOpen()) return 1;
    p->result = 0;
    p->panel.open();
    if (!(flags & HOST_PANF_NOBUTT)) {
        // Below the size the open handler set; kept across re-openings.
        ui::Panel& panel = p->panel;
        const int y = panel.height() + (kButtonRow - ui::kControlHeight) / 2;
        panel.setSize(panel.width(), panel.height() + kButtonRow);
        ui::Control* ok = panel.find(ControlKind::Button, kOk);
        ui::Control* cancel = panel.find(ControlKind::Button, kCancel);
        if (!ok) ok = &panel.addControl(ControlKind::Button, kOk, {});
        if (!cancel) cancel = &panel.addControl(ControlKind::Button, kCancel, {});
        ok->area = {panel.width() - 176, y, 80, ui::kControlHeight};
        cancel->area = {panel.width() - 88, y, 80, ui::kControlHeight};
        panel.redraw();
    }
    panelOpened(&p->panel, flags & HOST_PANF_BLOCKING);
    if (!(flags & HOST_PANF_BLOCKING)) return 1;
    if (uiSession().eventLoop) uiSession().eventLoop([p] { return p->panel.isOpen(); });
    p->panel.close();
    return p->result;
}

void close(HostPanel p) {
    if (p) p->panel.close();
}

int isOpen(HostPanel p) { return p && p->panel.isOpen(); }

void setSize(HostPanel p, int w, int h) {
    if (p) p->panel.setSize(w, h);
}

void getSize(HostPanel p, int* w, int* h) {
    if (w) *w = p ? p->panel.width() : 0;
    if (h) *h = p ? p->panel.height() : 0;
}

void redraw(HostPanel p) {
    if (p) p->panel.redraw();
}

void pointer(HostPanel p, int* x, int* y) {
    if (x) *x = p ? p->panel.pointerX() : 0;
    if (y) *y = p ? p->panel.pointerY() : 0;
}

uint32_t clock() {
    if (uiSession().clock) return uiSession().clock();
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void drawLine(HostPanel p, HostColor c, int x1, int y1, int x2, int y2) {
    if (p && p->panel.isOpen()) p->panel.pixels().line(x1, y1, x2, y2, ui::unpackColour(c));
}

void drawBox(HostPanel p, HostColor c, int x, int y, int w, int h) {
    if (p && p->panel.isOpen()) p->panel.fillBox(x, y, w, h, ui::unpackColour(c));
}

void drawBorder(HostPanel p, int depth, int x, int y, int w, int h) {
    if (p && p->panel.isOpen()) p->panel.pixels().bevel(x, y, w, h, depth, true);
}

void drawText(HostPanel p, HostColor c, int x, int y, const char* text) {
    if (p && p->panel.isOpen() && text) p->panel.text(x, y, text, ui::unpackColour(c));
}

int textWidth(HostPanel, const char* text) { return text ? ui::textWidth(text) : 0; }
int textHeight(HostPanel) { return ui::kTextHeight; }

// The texts of a null-ended array the module keeps alive.
std::vector<std::string> itemTexts(const char* const* items) {
    std::vector<std::string> out;
    for (; items && *items; ++items) out.emplace_back(*items);
    return out;
}

HostControl addControl(HostPanel p, const HostControlDesc* d) {
    if (!p || !d) return nullptr;
    auto rec = std::make_unique<HostControlRec>();
    HostControlRec* r = rec.get();
    r->panel = p;
    r->kind = d->kind;
    const std::string label = d->label ? d->label : "";
    const int lw = ui::textWidth(label);
    ControlKind kind = ControlKind::Number;
    ui::Unit unit = ui::Unit::Plain;
    const ui::Requester requester = d->kind == HOST_CTL_LOAD  ? ui::Requester::File
                                    : d->kind == HOST_CTL_DIR ? ui::Requester::Directory
                                                              : ui::Requester::None;
    const bool ranged = d->min < d->max;
    int w = lw + (ranged ? 200 : 100);
    switch (d->kind) {
        case HOST_CTL_BUTTON: kind = ControlKind::Button, w = lw + 24; break;
        case HOST_CTL_POPUP: case HOST_CTL_CUSTOM_POPUP: case HOST_CTL_ITEM_LIST: kind = ControlKind::Popup, w = 120; break;
        case HOST_CTL_TREE: kind = ControlKind::Tree, w = 160; break;
        case HOST_CTL_CANVAS: kind = ControlKind::Canvas; break;
        case HOST_CTL_TEXT: kind = ControlKind::Text, w = lw; break;
        case HOST_CTL_FLOAT: break;
        case HOST_CTL_DISTANCE: unit = ui::Unit::Distance; break;
        case HOST_CTL_PERCENT: unit = ui::Unit::Percent; break;
        case HOST_CTL_ANGLE: unit = ui::Unit::Angle; break;
        case HOST_CTL_INTEGER: unit = ui::Unit::Integer; break;
        case HOST_CTL_CHECKBOX: kind = ControlKind::Checkbox, w = lw + 24; break;
        case HOST_CTL_DISTANCE_VECTOR: unit = ui::Unit::Distance; [[fallthrough]];
        case HOST_CTL_VECTOR: kind = ControlKind::Vector, w = lw + 3 * 72; break;
        case HOST_CTL_CHOICE: kind = ControlKind::Choice, w = 240; break;
        case HOST_CTL_EDIT: case HOST_CTL_LOAD: case HOST_CTL_DIR:
            kind = ControlKind::Edit;
            w = lw + (d->chars > 0 ? d->chars * ui::textWidth("0") + 8 : 300) + (requester != ui::Requester::None ? 22 : 0);
            break;
        default: return nullptr;
    }
    const int h = d->kind == HOST_CTL_TREE ? 200 : ui::kControlHeight;
    ui::Control& c = p->panel.addControl(kind, label, {d->x, d->y, d->width > 0 ? d->width : w,
                                                       d->height > 0 ? d->height : h});
    c.host = r;
    c.unit = unit;
    c.requester = requester;
    if (ranged) c.min = d->min, c.max = d->max;
    r->control = &c;
    if (d->kind == HOST_CTL_POPUP || d->kind == HOST_CTL_CHOICE) {
        const char* const* items = d->items;
        c.liveItems = [items] { return itemTexts(items); };
    } else if (d->kind == HOST_CTL_CUSTOM_POPUP && d->count && d->name) {
        c.liveItems = [data = d->data, count = d->count, name = d->name] {
            std::vector<std::string> out;
            for (int i = 0, n = count(data); i < n; ++i) {
                const char* s = name(data, i);
                out.emplace_back(s ? s : "");
            }
            return out;
        };
    } else if (d->kind == HOST_CTL_ITEM_LIST) {
        c.liveItems = [r, type = d->itemType] {
            std::vector<std::string> out{"(none)"};
            r->itemIds.assign(1, 0);
            const auto add = [&](const std::string& name, HostID id) {
                out.push_back(name);
                r->itemIds.push_back(id);
            };
            if (type == kImageItems)
                for (const Image& image : currentScene().images) add(image.name, image.id);
            for (const Item& item : currentScene().items)
                if (item.type == type || type == kAnyItem) add(item.name, item.id);
            return out;
        };
    } else if (d->kind == HOST_CTL_TREE && d->tree) {
        r->tree = *d->tree;
        const HostTreeFuncs& t = r->tree;
        c.tree.count = [&t](void* item) { return t.count ? t.count(t.data, item) : 0; };
        c.tree.child = [&t](void* item, int i) { return t.child ? t.child(t.data, item, i) : nullptr; };
        c.tree.name = [&t](void* item) {
            const char* s = t.label ? t.label(t.data, item) : nullptr;
            return std::string(s ? s : "");
        };
        c.tree.expanded = [&t](void* item) { return t.expanded && t.expanded(t.data, item) != 0; };
        c.tree.setExpanded = [&t](void* item, bool e) {
            if (t.setExpanded) t.setExpanded(t.data, item, e);
        };
    }
    p->controls.push_back(std::move(rec));
    return r;
}

void controlRect(HostControl c, int* x, int* y, int* w, int* h) {
    const ui::Rect a = c ? c->control->area : ui::Rect{};
    if (x) *x = a.x;
    if (y) *y = a.y;
    if (w) *w = a.w;
    if (h) *h = a.h;
}

void moveControl(HostControl c, int x, int y) {
    if (!c) return;
    c->control->area.x = x, c->control->area.y = y;
    c->panel->panel.redraw();
}

void ghost(HostControl c, int ghosted) {
    if (!c) return;
    c->control->ghosted = ghosted != 0;
    c->panel->panel.redrawControl(*c->control);
}

void redrawControl(HostControl c) {
    if (c) c->panel->panel.redrawControl(*c->control);
}

int getInt(HostControl c) {
    if (!c) return 0;
    const ui::Control& k = *c->control;
    if (c->kind == HOST_CTL_ITEM_LIST) {
        const int i = k.value;
        return i >= 0 && size_t(i) < c->itemIds.size() ? c->itemIds[size_t(i)] : 0;
    }
    return k.kind == ControlKind::Number ? int(k.vec[0]) : k.value;
}

void setInt(HostControl c, int v) {
    if (!c) return;
    ui::Control& k = *c->control;
    if (c->kind == HOST_CTL_ITEM_LIST) {
        if (k.liveItems) k.items = k.liveItems();
        const auto it = std::find(c->itemIds.begin(), c->itemIds.end(), v);
        k.value = it == c->itemIds.end() ? 0 : int(it - c->itemIds.begin());
    } else if (k.kind == ControlKind::Number) {
        k.vec[0] = v;
    } else {
        k.value = v;
    }
    c->panel->panel.redrawControl(k);
}

double getFloat(HostControl c) { return c ? c->control->vec[0] : 0; }

void setFloat(HostControl c, double v) {
    if (!c) return;
    c->control->vec[0] = v;
    c->panel->panel.redrawControl(*c->control);
}

void getVector(HostControl c, double v[3]) {
    for (int i = 0; i < 3; ++i) v[i] = c ? c->control->vec[i] : 0;
}

void setVector(HostControl c, const double v[3]) {
    if (!c) return;
    std::copy_n(v, 3, c->control->vec);
    c->panel->panel.redrawControl(*c->control);
}

const char* getText(HostControl c) { return c ? c->control->text.c_str() : ""; }

void setText(HostControl c, const char* text) {
    if (!c) return;
    c->control->text = text ? text : "";
    c->panel->panel.redrawControl(*c->control);
}

void* getItem(HostControl c) { return c ? c->control->item : nullptr; }

void setItem(HostControl c, void* item) {
    if (!c) return;
    c->control->item = item;
    c->panel->panel.redrawControl(*c->control);
}

const HostPanelServices kPanelServices{
    .create = create, .destroy = destroy, .open = open, .close = close, .isOpen = isOpen, .setSize = setSize,
    .getSize = getSize, .redraw = redraw, .pointer = pointer, .clock = clock, .drawLine = drawLine,
    .drawBox = drawBox, .drawBorder = drawBorder, .drawText = drawText, .textWidth = textWidth,
    .textHeight = textHeight, .addControl = addControl, .controlRect = controlRect, .hotRect = controlRect,
    .moveControl = moveControl, .ghost = ghost, .redrawControl = redrawControl, .getInt = getInt,
    .setInt = setInt, .getFloat = getFloat, .setFloat = setFloat, .getVector = getVector, .setVector = setVector,
    .getText = getText, .setText = setText, .getItem = getItem, .setItem = setItem};
}  // namespace

const HostPanelServices* panelServices() { return &kPanelServices; }

UiSession& uiSession() {
    static UiSession session;
    return session;
}

ui::Panel* focusPanel() {
    static ui::Panel* focused = nullptr;
    ui::Panel* now = openPanels().empty() ? nullptr : openPanels().back().panel;
    if (now != focused && (focused = now) && now->handlers().activate) now->handlers().activate();
    return now;
}

ui::Panel* openPanelTitled(std::string_view title) {
    const auto it = topmostTitled(title);
    return it == openPanels().rend() ? nullptr : it->panel;
}

std::string focusOn(std::string_view title) {
    auto& open = openPanels();
    const auto it = topmostTitled(title);
    if (it == open.rend()) return "no open panel is titled \"" + std::string(title) + "\"";
    const auto modal = std::find_if(open.rbegin(), it, [](const OpenPanel& o) { return o.modal; });
    if (modal != it) return "\"" + modal->panel->title() + "\" must be closed first";
    std::rotate(it.base() - 1, it.base(), open.end());
    focusPanel();
    return "";
}

void focusNext() {
    auto& open = openPanels();
    // Only among the panels over the last modal one, which is among them.
    const auto modal = std::find_if(open.rbegin(), open.rend(), [](const OpenPanel& o) { return o.modal; });
    const auto first = modal == open.rend() ? open.begin() : modal.base() - 1;
    if (open.end() - first > 1) std::rotate(first, first + 1, open.end());
    focusPanel();
}

void panelOpened(ui::Panel* panel, bool modal) {
    panelClosed(panel);
    openPanels().push_back({panel, modal});
}

void panelClosed(ui::Panel* panel) {
    std::erase_if(openPanels(), [panel](const OpenPanel& o) { return o.panel == panel; });
}

}  // namespace vxs
