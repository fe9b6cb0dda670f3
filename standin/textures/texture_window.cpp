#include "standin/textures/texture_window.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "standin/scene/scene.h"
#include "standin/services/globals.h"
#include "standin/services/ui_services.h"
#include "standin/textures/procedural.h"
#include "standin/textures/texture.h"
#include "standin/textures/window_rows.h"
#include "standin/ui/keys.h"

namespace vxs {

namespace {
using ui::Control;
using ui::ControlKind;

constexpr int kWidth = 560, kHeight = 472;
constexpr ui::Rect kList{8, 8, 170, 160};
constexpr int kRow = 16;
constexpr int kX = 190, kW = kWidth - kX - 8;  // the settings column
constexpr int kSpecificY = 212;                // where a layer type's own settings start
constexpr int kMaxKeyRows = 8;
constexpr int kAway = -10000;                  // where controls of other layer types wait
constexpr double kDegrees = 57.29577951308232;
int keyRowY(int row) { return kSpecificY + 56 + 22 * row; }
const std::vector<std::string> kHostInputs = {"X Coordinate", "Y Coordinate", "Z Coordinate", "Camera Distance",
                                              "Surface Slope"};

template <size_t N>
std::vector<std::string> texts(const char* const (&names)[N]) {
    return {names, names + N};
}
std::vector<std::string> texts(const char* (*name)(int), int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) out.emplace_back(name(i));
    return out;
}

// "(none)" and then the scene's items or images, as popups list them.
std::vector<HostID> sceneIds(bool images) {
    std::vector<HostID> ids{0};
    if (images)
        for (const Image& i : currentScene().images) ids.push_back(i.id);
    else
        for (const Item& i : currentScene().items) ids.push_back(i.id);
    return ids;
}
std::vector<std::string> sceneNames(bool images) {
    std::vector<std::string> names{"(none)"};
    if (images)
        for (const Image& i : currentScene().images) names.push_back(i.name);
    else
        for (const Item& i : currentScene().items) names.push_back(i.name);
    return names;
}
int indexOfId(bool images, HostID id) {
    const std::vector<HostID> ids = sceneIds(images);
    const auto it = std::find(ids.begin(), ids.end(), id);
    return it == ids.end() ? 0 : int(it - ids.begin());
}
}  // namespace

struct TextureWindow::Form {
    ui::Panel panel{kTextureEditorTitle, kWidth, kHeight};
    HostTexture* texture = nullptr;
    int selected = -1;
    Control *list = nullptr, *type = nullptr, *blend = nullptr, *opacity = nullptr, *invert = nullptr,
            *world = nullptr, *centre = nullptr, *size = nullptr, *rotation = nullptr, *reference = nullptr;
    Control *pattern = nullptr, *colour = nullptr, *colour2 = nullptr, *octaves = nullptr;
    Control *image = nullptr, *projection = nullptr, *axis = nullptr, *repeatU = nullptr, *repeatV = nullptr;
    Control *input = nullptr, *inputItem = nullptr, *addKey = nullptr, *removeKey = nullptr;
    struct KeyRow {
        Control *position, *colour, *alpha;
    };
    KeyRow keys[kMaxKeyRows] = {};
    // Every control of one layer type, with the place it takes when shown.
    std::vector<std::pair<Control*, ui::Rect>> groups[3];

    Form() {
        ui::Panel::Handlers& h = panel.handlers();
        h.close = [this] { panelClosed(&panel); };
        h.controlDraw = [this](Control& c) {
            if (&c == list) drawList();
        };
        h.mouseButton = [this](int q, int x, int y) {
            if ((q & ui::qual::kDown) && kList.contains(x, y) && texture) {
                const int row = (y - kList.y - 2) / kRow;
                if (row >= 0 && row < int(texture->layers.size())) selected = row;
                refresh();
            }
        };
        h.keyDown = [this](int code) {
            if (code == ui::key::kEscape) panel.close();
        };
        h.controlEvent = [this](Control& c) { changed(c); };
        build();
    }

    Control& add(ControlKind kind, const char* label, int x, int y, int w, std::vector<std::string> items = {}) {
        return addRow(panel, kind, label, x, y, w, std::move(items));
    }
    Control& popup(const char* label, int y, std::vector<std::string> items) {
        return labelledPopup(panel, label, kX, y, kW, std::move(items));
    }
    Control& own(int type, Control& c) {
        groups[type].push_back({&c, c.area});
        return c;
    }

    void build() {
        list = &panel.addControl(ControlKind::Canvas, "", kList);
        const char* buttons[] = {"Add Procedural", "Add Image", "Add Gradient", "Remove Layer", "Move Up", "Move Down"};
        for (int i = 0; i < 6; ++i) add(ControlKind::Button, buttons[i], kList.x, kList.y + kList.h + 8 + 24 * i, kList.w);
        type = &popup("Type", 8, texts(layerTypeName, 3));
        blend = &popup("Blend", 32, texts(blendName, 5));
        opacity = &add(ControlKind::Number, "Opacity", kX, 56, kW);
        invert = &add(ControlKind::Checkbox, "Invert", kX, 80, 80);
        world = &add(ControlKind::Checkbox, "World Coordinates", kX + 90, 80, 160);
        centre = &add(ControlKind::Vector, "Center", kX, 104, kW);
        size = &add(ControlKind::Vector, "Size", kX, 128, kW);
        rotation = &add(ControlKind::Vector, "Rotation", kX, 152, kW);
        opacity->unit = ui::Unit::Percent, opacity->max = 100;
        centre->unit = size->unit = ui::Unit::Distance;
        rotation->unit = ui::Unit::Angle;
        reference = &popup("Reference", 176, {});
        reference->liveItems = [] { return sceneNames(false); };

        const int y = kSpecificY;
        pattern = &own(LAYER_PROCEDURAL, popup("Pattern", y, texts(patternName, PAT_COUNT)));
        colour = &own(LAYER_PROCEDURAL, add(ControlKind::Vector, "Color", kX, y + 24, kW));
        colour2 = &own(LAYER_PROCEDURAL, add(ControlKind::Vector, "Color 2", kX, y + 48, kW));
        octaves = &own(LAYER_PROCEDURAL, add(ControlKind::Number, "Octaves", kX, y + 72, 160));
        octaves->unit = ui::Unit::Integer;

        image = &own(LAYER_IMAGE, popup("Image", y, {}));
        image->liveItems = [] { return sceneNames(true); };
        projection = &own(LAYER_IMAGE, popup("Projection", y + 24, texts(projectionName, 5)));
        axis = &own(LAYER_IMAGE, add(ControlKind::Choice, "", kX, y + 48, 120, {"X", "Y", "Z"}));
        repeatU = &own(LAYER_IMAGE, add(ControlKind::Number, "Repeat U", kX, y + 72, 160));
        repeatV = &own(LAYER_IMAGE, add(ControlKind::Number, "Repeat V", kX + 162, y + 72, 160));

        input = &own(LAYER_GRADIENT, popup("Input", y, {}));
        input->liveItems = [this] {
            std::vector<std::string> names = kHostInputs;
            if (texture && texture->context)
                for (const auto& i : texture->context->inputs) names.push_back(i.name);
            return names;
        };
        inputItem = &own(LAYER_GRADIENT, popup("Item", y + 24, {}));
        inputItem->liveItems = [] { return sceneNames(false); };
        for (int i = 0; i < kMaxKeyRows; ++i) {
            const std::string n = std::to_string(i + 1);
            const int ky = keyRowY(i);
            keys[i].position = &own(LAYER_GRADIENT, add(ControlKind::Number, "", kX, ky, 96));
            keys[i].position->label = "Key " + n;
            keys[i].colour = &own(LAYER_GRADIENT, add(ControlKind::Vector, "", kX + 100, ky, 170));
            keys[i].colour->label = "RGB " + n;
            keys[i].alpha = &own(LAYER_GRADIENT, add(ControlKind::Number, "", kX + 274, ky, kW - 274));
            keys[i].alpha->label = "Alpha " + n;
            keys[i].alpha->unit = ui::Unit::Percent;
        }
        addKey = &own(LAYER_GRADIENT, add(ControlKind::Button, "Add Key", kX, keyRowY(kMaxKeyRows), 90));
        removeKey = &own(LAYER_GRADIENT, add(ControlKind::Button, "Remove Key", kX + 96, keyRowY(kMaxKeyRows), 90));
    }

    HostTextureLayer* layer() {
        return texture && selected >= 0 && selected < int(texture->layers.size()) ? texture->layers[size_t(selected)].get()
                                                                                  : nullptr;
    }

    // The controls show the selected layer: its type's own controls in
    // place, the others away, and none of them without a layer.
    void refresh() {
        HostTextureLayer* l = layer();
        for (int t = 0; t < 3; ++t)
            for (auto& [c, place] : groups[t]) {
                c->area = place;
                if (!l || l->type != t) c->area.x = kAway;
            }
        for (Control* c : {type, blend, opacity, invert, world, centre, size, rotation, reference}) c->ghosted = !l;
        if (l) show(*l);
        panel.redraw();
    }

    void show(const TextureLayer& l) {
        type->value = l.type;
        blend->value = l.blend;
        opacity->vec[0] = l.opacity * 100;
        invert->value = l.invert;
        world->value = l.world;
        std::copy(l.centre.begin(), l.centre.end(), centre->vec);
        std::copy(l.size.begin(), l.size.end(), size->vec);
        for (int i = 0; i < 3; ++i) rotation->vec[i] = l.rotation[size_t(i)] * kDegrees;
        reference->value = indexOfId(false, l.reference);
        pattern->value = l.pattern;
        std::copy(l.colour.begin(), l.colour.end(), colour->vec);
        std::copy(l.colour2.begin(), l.colour2.end(), colour2->vec);
        octaves->vec[0] = l.octaves;
        image->value = indexOfId(true, l.image);
        projection->value = l.projection;
        axis->value = l.axis;
        repeatU->vec[0] = l.repeatU;
        repeatV->vec[0] = l.repeatV;
        const std::vector<std::string> inputs = input->liveItems();
        input->value = int(std::find(inputs.begin(), inputs.end(), l.input) - inputs.begin());
        inputItem->value = indexOfId(false, l.inputItem);
        // The key buttons follow the last key's row.
        addKey->area.y = removeKey->area.y = keyRowY(int(l.keys.size()));
        for (int i = 0; i < kMaxKeyRows; ++i) {
            const bool used = i < int(l.keys.size());
            if (!used) keys[i].position->area.x = keys[i].colour->area.x = keys[i].alpha->area.x = kAway;
            if (!used) continue;
            const GradientKey& k = l.keys[size_t(i)];
            keys[i].position->vec[0] = k.position;
            std::copy(k.colour.begin(), k.colour.end(), keys[i].colour->vec);
            keys[i].alpha->vec[0] = k.alpha * 100;
        }
    }

    void drawList() {
        ui::Framebuffer& fb = panel.pixels();
        fb.fillBox(kList.x, kList.y, kList.w, kList.h, ui::colour::kField);
        fb.bevel(kList.x, kList.y, kList.w, kList.h, 1, true);
        if (!texture) return;
        fb.setClip({kList.x + 1, kList.y + 1, kList.w - 2, kList.h - 2});
        for (size_t i = 0; i < texture->layers.size(); ++i) {
            const TextureLayer& l = *texture->layers[i];
            const int y = kList.y + 2 + kRow * int(i);
            const bool on = int(i) == selected;
            if (on) fb.fillBox(kList.x + 1, y, kList.w - 2, kRow, ui::colour::kSelected);
            std::string text = std::to_string(i + 1) + " " +
                               (l.type == LAYER_PROCEDURAL ? patternName(l.pattern)
                                : l.type == LAYER_IMAGE   ? "image"
                                                          : "gradient: " + l.input);
            if (l.blend != BLEND_NORMAL) text += std::string(" (") + blendName(l.blend) + ")";
            panel.text(kList.x + 4, y + 1, text, on ? ui::colour::kWhite : ui::colour::kText);
        }
        fb.resetClip();
    }

    void addLayer(int t) {
        auto l = std::make_unique<HostTextureLayer>();
        l->type = t;
        if (t == LAYER_GRADIENT) l->keys = {{0, {0, 0, 0}, 1}, {1, {1, 1, 1}, 1}};
        texture->layers.push_back(std::move(l));
        selected = int(texture->layers.size()) - 1;
    }

    void moveLayer(int by) {
        const int to = selected + by;
        if (!layer() || to < 0 || to >= int(texture->layers.size())) return;
        std::swap(texture->layers[size_t(selected)], texture->layers[size_t(to)]);
        selected = to;
    }

    void changedLayer(Control& c, TextureLayer& l) {
        const auto triple = [](const Control& v) { return Triple{v.vec[0], v.vec[1], v.vec[2]}; };
        if (&c == type) l.type = std::clamp(c.value, 0, 2);
        if (&c == blend) l.blend = std::clamp(c.value, 0, 4);
        if (&c == opacity) l.setOpacity(c.vec[0] / 100);
        if (&c == invert) l.invert = c.value != 0;
        if (&c == world) l.world = c.value != 0;
        if (&c == centre) l.centre = triple(c);
        if (&c == size) l.size = triple(c);
        if (&c == rotation) l.rotation = {c.vec[0] / kDegrees, c.vec[1] / kDegrees, c.vec[2] / kDegrees};
        if (&c == reference) l.reference = sceneIds(false).at(size_t(std::clamp(c.value, 0, int(sceneIds(false).size()) - 1)));
        if (&c == pattern) l.pattern = std::clamp(c.value, 0, PAT_COUNT - 1);
        if (&c == colour) l.colour = triple(c);
        if (&c == colour2) l.colour2 = triple(c);
        if (&c == octaves) l.octaves = std::clamp(int(c.vec[0]), 1, 16);
        if (&c == image) l.image = sceneIds(true).at(size_t(std::clamp(c.value, 0, int(sceneIds(true).size()) - 1)));
        if (&c == projection) l.projection = std::clamp(c.value, 0, 4);
        if (&c == axis) l.axis = std::clamp(c.value, 0, 2);
        if (&c == repeatU) l.repeatU = c.vec[0];
        if (&c == repeatV) l.repeatV = c.vec[0];
        if (&c == input) {
            const std::vector<std::string> names = input->liveItems();
            if (c.value >= 0 && c.value < int(names.size())) l.input = names[size_t(c.value)];
        }
        if (&c == inputItem) l.inputItem = sceneIds(false).at(size_t(std::clamp(c.value, 0, int(sceneIds(false).size()) - 1)));
        if (&c == addKey && l.keys.size() < size_t(kMaxKeyRows)) {
            const double p = l.keys.empty() ? 0 : l.keys.back().position + 1;
            l.keys.push_back({p, l.keys.empty() ? Triple{} : l.keys.back().colour, 1});
        }
        if (&c == removeKey && !l.keys.empty()) l.keys.pop_back();
        for (int i = 0; i < kMaxKeyRows && i < int(l.keys.size()); ++i) {
            GradientKey& k = l.keys[size_t(i)];
            if (&c == keys[i].position) k.position = c.vec[0];
            if (&c == keys[i].colour) k.colour = triple(c);
            if (&c == keys[i].alpha) k.alpha = c.vec[0] / 100;
        }
        // The layer looks keys up by position.
        std::stable_sort(l.keys.begin(), l.keys.end(), [](auto& a, auto& b) { return a.position < b.position; });
    }

    void changed(Control& c) {
        if (!texture) return;
        const std::string& label = c.label;
        if (label == "Add Procedural") addLayer(LAYER_PROCEDURAL);
        else if (label == "Add Image") addLayer(LAYER_IMAGE);
        else if (label == "Add Gradient") addLayer(LAYER_GRADIENT);
        else if (label == "Move Up") moveLayer(-1);
        else if (label == "Move Down") moveLayer(1);
        else if (label == "Remove Layer" && layer()) {
            texture->layers.erase(texture->layers.begin() + selected);
            selected = std::min(selected, int(texture->layers.size()) - 1);
        } else if (HostTextureLayer* l = layer()) {
            changedLayer(c, *l);
        }
        refresh();
    }
};

TextureWindow::TextureWindow() : form_(std::make_unique<Form>()) {}

TextureWindow::~TextureWindow() { close(); }

void TextureWindow::open(HostTexture& texture) {
    form_->texture = &texture;
    form_->selected = texture.layers.empty() ? -1 : 0;
    if (!form_->panel.isOpen()) form_->panel.open();
    form_->refresh();
    panelOpened(&form_->panel);
}

void TextureWindow::close() {
    form_->panel.close();
    form_->texture = nullptr;
}

bool TextureWindow::isOpen() const { return form_->panel.isOpen(); }

}  // namespace vxs
