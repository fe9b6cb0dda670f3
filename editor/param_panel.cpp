#include "editor/param_panel.h"

#include <algorithm>
#include <cstdio>

#include "editor/preview.h"
#include "editor/ui.h"

namespace vx {

namespace {
constexpr int kLabelGap = 96, kControlGap = 104, kPopupWidth = 150, kTextChars = 32;
constexpr size_t kMaxText = 512;
constexpr uint32_t kQualPressed = HOST_QUAL_DOWN | HOST_QUAL_LEFT;
constexpr int kMinHeight = kParamPreviewY + kParamPreviewSide + 4;

// Where a control's value lives and how it is shown.
enum class Holds { Nothing, Scalar, Percent, Vector, Int, Lines, Text, MapName };

// One row per paramKind: the host control, its description and the value.
struct KindRow {
    int control;
    Holds holds;
    int xOffset = 0;
    int width = 0, height = 0;
    double min = 0, max = 0;
    int itemType = 0;
    int chars = 0;
};

// clang-format off
constexpr KindRow kKinds[] = {
    /* 0 none          */ {0, Holds::Nothing},
    /* 1 colour        */ {HOST_CTL_CANVAS, Holds::Nothing, 7, kSwatchWidth, kSwatchHeight},
    /* 2 number        */ {HOST_CTL_FLOAT, Holds::Scalar},
    /* 3 vector        */ {HOST_CTL_VECTOR, Holds::Vector},
    /* 4 distance      */ {HOST_CTL_DISTANCE, Holds::Scalar},
    /* 5 percent       */ {HOST_CTL_PERCENT, Holds::Percent, 0, 0, 0, 0, 100},
    /* 6 angle         */ {HOST_CTL_ANGLE, Holds::Scalar, 0, 0, 0, 0, 360},
    /* 7 scale vector  */ {HOST_CTL_DISTANCE_VECTOR, Holds::Vector},
    /* 8 check box     */ {HOST_CTL_CHECKBOX, Holds::Int, 6},
    /* 9 integer       */ {HOST_CTL_INTEGER, Holds::Int},
    /* 10 item         */ {HOST_CTL_ITEM_LIST, Holds::Int, 0, 0, 0, 0, 0, 5},
    /* 11 object       */ {HOST_CTL_ITEM_LIST, Holds::Int, 0, 0, 0, 0, 0, 0},
    /* 12 light        */ {HOST_CTL_ITEM_LIST, Holds::Int, 0, 0, 0, 0, 0, 1},
    /* 13 camera       */ {HOST_CTL_ITEM_LIST, Holds::Int, 0, 0, 0, 0, 0, 2},
    /* 14 bone         */ {HOST_CTL_ITEM_LIST, Holds::Int, 0, 0, 0, 0, 0, 3},
    /* 15 image        */ {HOST_CTL_ITEM_LIST, Holds::Int, 0, 0, 0, 0, 0, 4},
    /* 16 text         */ {HOST_CTL_EDIT, Holds::Text, 0, 0, 0, 0, 0, 0, kTextChars},
    /* 17 file         */ {HOST_CTL_LOAD, Holds::Text, 0, 0, 0, 0, 0, 0, kTextChars},
    /* 18 directory    */ {HOST_CTL_DIR, Holds::Text, 0, 0, 0, 0, 0, 0, kTextChars},
    /* 19 UV map       */ {HOST_CTL_CUSTOM_POPUP, Holds::MapName, 0, kPopupWidth},
    /* 20 colour map   */ {HOST_CTL_CUSTOM_POPUP, Holds::MapName, 0, kPopupWidth},
    /* 21 surface      */ {HOST_CTL_CUSTOM_POPUP, Holds::MapName, 0, kPopupWidth},
    /* 22 choice       */ {HOST_CTL_CHOICE, Holds::Lines},
    /* 23 popup        */ {HOST_CTL_POPUP, Holds::Lines},
    /* 24 texture      */ {HOST_CTL_BUTTON, Holds::Nothing, 6, kSwatchWidth},
};
// clang-format on
constexpr const char* kEditParameter = "Edit Parameter";
constexpr const char* kNone = "(none)";

bool isRow(const InputPort& in) { return in.paramKind >= 1 && in.paramKind <= PK_TEXTURE; }

// The names a scene list offers after "(none)": UV maps, vertex-colour maps
// (RGB, then RGBA), or every surface of every object as "object:surface";
// asked of the host each time.
std::vector<std::string> sceneList(int kind) {
    std::vector<std::string> out;
    const auto* so = static_cast<const HostSceneObjects*>(host().sceneObjects);
    if (!so) return out;
    const auto maps = [&](uint32_t type) {
        for (int i = 0, n = so->numVMaps(type); i < n; ++i)
            if (const char* s = so->vmapName(type, i)) out.emplace_back(s);
    };
    if (kind == PK_UVMAP) {
        maps(HOST_VMAP_TXUV);
    } else if (kind == PK_VCMAP) {
        maps(HOST_VMAP_RGB);
        maps(HOST_VMAP_RGBA);
    } else {
        for (int o = 0, n = so->numObjects(); o < n; ++o) {
            const char* object = so->objectName(o);
            for (int s = 0, m = so->numSurfaces(o); s < m; ++s)
                if (const char* surface = so->surfaceName(o, s))
                    out.push_back(std::string(object ? object : "") + ":" + surface);
        }
    }
    return out;
}

template <int Kind>
int listCount(void*) {
    return 1 + int(sceneList(Kind).size());
}

template <int Kind>
const char* listName(void* data, int index) {
    auto& row = *static_cast<EditCtlData*>(data);
    const std::vector<std::string> list = sceneList(Kind);
    if (index < 0 || size_t(index) > list.size()) return nullptr;
    row.name = index == 0 ? kNone : list[size_t(index - 1)];
    return row.name.c_str();
}

using CountFunc = int (*)(void*);
using NameFunc = const char* (*)(void*, int);
constexpr CountFunc kCounts[] = {listCount<PK_UVMAP>, listCount<PK_VCMAP>, listCount<PK_SURFACE>};
constexpr NameFunc kNames[] = {listName<PK_UVMAP>, listName<PK_VCMAP>, listName<PK_SURFACE>};

// The lines of a choice or popup text; an empty text is one empty item.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out(1);
    for (char c : text) {
        if (c == '\n') out.emplace_back();
        else out.back() += c;
    }
    return out;
}

double mean(const NodeValue& v) { return (v.x + v.y + v.z) / 3; }

void setInitial(const HostPanelServices& ps, EditCtlData& row, const InputPort& in) {
    const ParamValue& p = in.param;
    switch (kKinds[in.paramKind].holds) {
        case Holds::Scalar: ps.setFloat(row.control, mean(p.value)); break;
        case Holds::Percent: ps.setFloat(row.control, mean(p.value) * 100); break;
        case Holds::Vector: {
            const double v[3] = {p.value.x, p.value.y, p.value.z};
            ps.setVector(row.control, v);
            break;
        }
        case Holds::Int:
        case Holds::Lines: ps.setInt(row.control, p.intValue); break;
        case Holds::Text: ps.setText(row.control, p.text.c_str()); break;
        case Holds::MapName: {
            const std::vector<std::string> list = sceneList(in.paramKind);
            const auto it = std::find(list.begin(), list.end(), p.text);
            ps.setInt(row.control, it == list.end() ? 0 : 1 + int(it - list.begin()));
            break;
        }
        case Holds::Nothing: break;
    }
}

HostColor packed(const NodeValue& c) {
    const auto byte = [](double v) { return uint32_t(std::clamp(v, 0.0, 1.0) * 255); };
    return HOST_RGB(byte(c.x), byte(c.y), byte(c.z));
}

void drawSwatch(const EditPanelData& d, HostControl c, const InputPort& in) {
    const HostPanelServices& ps = *d.services;
    int x = 0, y = 0, w = 0, h = 0;
    ps.controlRect(c, &x, &y, &w, &h);
    ps.drawBox(d.panel, HOST_RGB(128, 128, 128), x, y, w, h);
    ps.drawBox(d.panel, packed(in.param.value), x, y, 24, h);
    const double parts[3] = {in.param.value.x, in.param.value.y, in.param.value.z};
    const HostColor inks[3] = {HOST_RGB(255, 0, 0), HOST_RGB(0, 255, 0), HOST_RGB(0, 0, 255)};
    for (int i = 0; i < 3; ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "%03d", int(std::clamp(parts[i] * 255, 0.0, 255.0)));
        ps.drawText(d.panel, in.source ? HOST_RGB(96, 96, 96) : inks[i], x + 48 + 24 * i - ps.textWidth(d.panel, text),
                    y + 2, text);
    }
}

bool inside(const HostPanelServices& ps, HostControl c, int px, int py) {
    int x = 0, y = 0, w = 0, h = 0;
    ps.controlRect(c, &x, &y, &w, &h);
    return px >= x && py >= y && px < x + w && py < y + h;
}

EditPanelData& self(void* data) { return *static_cast<EditPanelData*>(data); }

void onDraw(void* data) {
    EditPanelData& d = self(data);
    int w = 0, h = 0;
    d.services->getSize(d.panel, &w, &h);
    d.services->drawBorder(d.panel, 2, kParamBorderX, 0, 2, h - 32);
}

void onDrawControl(void* data, HostControl c) {
    EditPanelData& d = self(data);
    if (c == d.previewCanvas) return d.preview.blit(c);
    for (const auto& row : d.controls)
        if (row->control == c && d.node->inputs[size_t(row->input)].paramKind == PK_COLOR)
            drawSwatch(d, c, d.node->inputs[size_t(row->input)]);
}

void pickColour(EditPanelData& d, const EditCtlData& row) {
    InputPort& in = d.node->inputs[size_t(row.input)];
    if (!in.source)
        if (const auto* picker = uiService<HostColorPicker>(HOST_GLOBAL_COLOR_PICKER)) {
            HostColorPick request{"", {float(in.param.value.x), float(in.param.value.y), float(in.param.value.z)}, 0};
            if (picker->pick(4, &request) == 0 && request.result)
                in.param.value = {request.rgb[0], request.rgb[1], request.rgb[2]};
        }
    d.services->redrawControl(row.control);
}

void onMouse(void* data, int qualifiers, int x, int y) {
    EditPanelData& d = self(data);
    if ((qualifiers & kQualPressed) != kQualPressed || (qualifiers & HOST_QUAL_RIGHT)) return;
    if (d.previewCanvas && inside(*d.services, d.previewCanvas, x, y)) {
        readBack(d);
        renderPreview(d.surface, *d.tree, *d.node);
        if (d.node->preview) d.preview.rgb(0, 0, kPreviewSize, kPreviewSize, d.node->preview.get());
        return d.services->redrawControl(d.previewCanvas);
    }
    for (const auto& row : d.controls)
        if (d.node->inputs[size_t(row->input)].paramKind == PK_COLOR && inside(*d.services, row->control, x, y))
            return pickColour(d, *row);
}

void onControl(void* data, HostControl c) {
    EditPanelData& d = self(data);
    for (const auto& row : d.controls) {
        InputPort& in = d.node->inputs[size_t(row->input)];
        // A node that edits the parameter itself ends the panel; the other
        // rows are not read back.
        if (row->control == c && in.paramKind == PK_TEXTURE && d.node->editParameter(&in))
            return d.services->close(d.panel);
    }
}

// Adds the row's control at (x, y) as the kind's table row says.
HostControl addRowControl(EditPanelData& d, EditCtlData& row, int kind, int x, int y) {
    const KindRow& k = kKinds[kind];
    HostControlDesc desc{};
    desc.kind = k.control;
    desc.label = k.control == HOST_CTL_BUTTON ? kEditParameter : "";
    desc.x = x + k.xOffset, desc.y = y;
    desc.width = k.width, desc.height = k.height;
    desc.min = k.min, desc.max = k.max;
    desc.itemType = k.itemType;
    desc.chars = k.chars;
    if (k.holds == Holds::Lines) {
        row.lines = lines(d.node->inputs[size_t(row.input)].param.text);
        for (const std::string& s : row.lines) row.items.push_back(s.c_str());
        row.items.push_back(nullptr);
        desc.items = row.items.data();
    } else if (k.holds == Holds::MapName) {
        desc.data = &row;
        desc.count = kCounts[kind - PK_UVMAP];
        desc.name = kNames[kind - PK_UVMAP];
    }
    return d.services->addControl(d.panel, &desc);
}
}  // namespace

EditPanelData::~EditPanelData() {
    if (panel && services) services->destroy(panel);
}

void readBack(EditPanelData& d) {
    const HostPanelServices& ps = *d.services;
    for (const auto& row : d.controls) {
        InputPort& in = d.node->inputs[size_t(row->input)];
        ParamValue& p = in.param;
        switch (kKinds[in.paramKind].holds) {
            case Holds::Scalar: {
                const double v = ps.getFloat(row->control);
                p.value = {v, v, v};
                break;
            }
            case Holds::Percent: {
                const double v = ps.getFloat(row->control) * 0.01;
                p.value = {v, v, v};
                break;
            }
            case Holds::Vector: {
                double v[3];
                ps.getVector(row->control, v);
                p.value = {v[0], v[1], v[2]};
                break;
            }
            case Holds::Int:
            case Holds::Lines: p.intValue = ps.getInt(row->control); break;
            case Holds::Text: {
                const char* text = ps.getText(row->control);
                p.text = std::string(text ? text : "").substr(0, kMaxText);
                break;
            }
            case Holds::MapName: {
                const int i = ps.getInt(row->control);
                const std::vector<std::string> list = sceneList(in.paramKind);
                p.text = i > 0 && size_t(i) <= list.size() ? list[size_t(i - 1)] : "";
                break;
            }
            case Holds::Nothing: break;
        }
    }
}

bool editParameters(NodeList& tree, void* surface, Node& node) {
    if (std::none_of(node.inputs.begin(), node.inputs.end(), [](const InputPort& in) { return in.paramKind != 0; }))
        return false;
    EditPanelData d;
    d.tree = &tree, d.surface = surface, d.node = &node;
    d.services = panelServices();
    if (!d.services) return true;
    static const HostPanelHandlers handlers = {nullptr, nullptr, nullptr,   onDraw,    nullptr,
                                               nullptr, onMouse, nullptr,   onControl, onDrawControl};
    d.panel = d.services->create(("Node parameters [ " + node.name + " ]").c_str(), &handlers, &d);
    if (!d.panel) return true;
    d.preview = PRaster(kPreviewSize, kPreviewSize);

    int labelMax = 0;
    for (const InputPort& in : node.inputs) labelMax = std::max(labelMax, d.services->textWidth(d.panel, in.name.c_str()));

    HostControlDesc canvas{};
    canvas.kind = HOST_CTL_CANVAS;
    canvas.x = kParamPreviewX, canvas.y = kParamPreviewY;
    canvas.width = canvas.height = kParamPreviewSide;
    d.previewCanvas = d.services->addControl(d.panel, &canvas);
    if (node.preview) d.preview.rgb(0, 0, kPreviewSize, kPreviewSize, node.preview.get());

    int y = 0, right = kParamPreviewX + kParamPreviewSide, bottom = kMinHeight;
    for (size_t i = 0; i < node.inputs.size(); ++i) {
        const InputPort& in = node.inputs[i];
        if (!isRow(in)) continue;
        auto row = std::make_unique<EditCtlData>();
        row->input = int(i);
        row->control = addRowControl(d, *row, in.paramKind, labelMax + kControlGap, y);
        if (!row->control) continue;
        if (in.source) d.services->ghost(row->control, 1);
        setInitial(*d.services, *row, in);
        HostControlDesc label{};
        label.kind = HOST_CTL_TEXT;
        label.label = in.name.c_str();
        label.x = labelMax - d.services->textWidth(d.panel, in.name.c_str()) + kLabelGap, label.y = y;
        d.services->addControl(d.panel, &label);
        int cx = 0, cy = 0, cw = 0, ch = 0;
        d.services->controlRect(row->control, &cx, &cy, &cw, &ch);
        right = std::max(right, cx + cw);
        bottom = std::max(bottom, cy + ch);
        d.controls.push_back(std::move(row));
        y += kParamRowPitch;
    }
    d.services->setSize(d.panel, right + 8, bottom + 4);
    if (d.services->open(d.panel, kParamPanelFlags)) readBack(d);
    return true;
}

}  // namespace vx
