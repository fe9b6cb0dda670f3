// "Color Picker": a modal panel with a hue and saturation field, a value
// slider, the colour's red, green, blue, hue, saturation and value as
// fractions and as 0 to 255, the old and new colours side by side, OK and
// Cancel. A script may answer it before it opens.
#include <algorithm>
#include <array>
#include <cmath>

#include "nodes/colour.h"
#include "standin/services/ui_services.h"
#include "standin/ui/font.h"
#include "standin/ui/keys.h"

namespace vxs {

namespace {
using ui::ControlKind;

constexpr int kVersion = 4;
constexpr int kFieldW = 160, kFieldH = 128, kMargin = 8, kStripX = 176, kStripW = 16;
constexpr int kLabelX = 202, kFractionX = 268, kByteX = 338, kRow = 24, kSwatchY = 144, kSwatchW = 80;
constexpr int kWidth = 400, kHeight = 204;

// The rows of components: the label of the fraction's row and of the 0-255 field.
constexpr std::array<const char*, 6> kNames{"Red", "Green", "Blue", "Hue", "Saturation", "Value"};
constexpr std::array<const char*, 6> kShort{"R", "G", "B", "H", "S", "V"};

ui::Rgb toRgb(const vx::NodeValue& c) {
    const auto byte = [](double v) { return uint8_t(std::clamp(v, 0.0, 1.0) * 255 + 0.5); };
    return {byte(c.x), byte(c.y), byte(c.z)};
}

class Picker {
public:
    explicit Picker(const float rgb[3]) : panel_("Color Picker", kWidth, kHeight), old_{rgb[0], rgb[1], rgb[2]} {
        ui::Panel::Handlers& h = panel_.handlers();
        h.open = [this] { build(); };
        h.close = [this] { panelClosed(&panel_); };
        h.controlDraw = [this](ui::Control& c) { drawCanvas(c); };
        h.mouseButton = [this](int q, int x, int y) {
            if (q & ui::qual::kDown)
                grab_ = ui::Rect{kMargin, kMargin, kFieldW, kFieldH}.contains(x, y)   ? 1
                        : ui::Rect{kStripX, kMargin, kStripW, kFieldH}.contains(x, y) ? 2
                                                                                      : 0;
            pointTo(x, y);
            if (!(q & ui::qual::kDown)) grab_ = 0;
        };
        h.mouseMove = [this](int q, int x, int y) {
            if (q & ui::qual::kLeft) pointTo(x, y);
        };
        h.keyDown = [this](int code) {
            if (code == ui::key::kEscape) panel_.close();
            if (code == ui::key::kReturn) accept();
        };
        h.controlEvent = [this](ui::Control& c) { changed(c); };
        setRgb(old_);
    }

    // Runs the panel until OK or Cancel; true with the colour on OK.
    bool run(float rgb[3]) {
        panel_.open();
        panelOpened(&panel_, true);
        if (uiSession().eventLoop) uiSession().eventLoop([this] { return panel_.isOpen(); });
        panel_.close();
        if (!accepted_) return false;
        rgb[0] = float(rgb_.x), rgb[1] = float(rgb_.y), rgb[2] = float(rgb_.z);
        return true;
    }

private:
    void build() {
        panel_.addControl(ControlKind::Canvas, "", {kMargin, kMargin, kFieldW, kFieldH});
        panel_.addControl(ControlKind::Canvas, "", {kStripX, kMargin, kStripW, kFieldH});
        for (size_t i = 0; i < kNames.size(); ++i) {
            const int y = kMargin + kRow * int(i);
            panel_.addControl(ControlKind::Text, kNames[i], {kLabelX, y, ui::textWidth(kNames[i]), 20});
            ui::Control& f = panel_.addControl(ControlKind::Number, "", {kFractionX, y, 62, 20});
            ui::Control& b = panel_.addControl(ControlKind::Number, kShort[i], {kByteX, y, kWidth - 8 - kByteX, 20});
            b.unit = ui::Unit::Integer;
            fields_[i] = &f, bytes_[i] = &b;
        }
        panel_.addControl(ControlKind::Canvas, "Old", {kMargin, kSwatchY, kSwatchW, 24});
        panel_.addControl(ControlKind::Canvas, "New", {kMargin + kSwatchW, kSwatchY, kSwatchW, 24});
        const int by = kHeight - 28;
        panel_.addControl(ControlKind::Button, "OK", {kWidth - 176, by, 80, 20});
        panel_.addControl(ControlKind::Button, "Cancel", {kWidth - 88, by, 80, 20});
        show();
    }

    void setRgb(const vx::NodeValue& c) {
        rgb_ = {std::clamp(c.x, 0.0, 1.0), std::clamp(c.y, 0.0, 1.0), std::clamp(c.z, 0.0, 1.0)};
        hsv_ = vx::rgbToHsv(rgb_);
    }
    void setHsv(const vx::NodeValue& c) {
        hsv_ = {std::clamp(c.x, 0.0, 1.0), std::clamp(c.y, 0.0, 1.0), std::clamp(c.z, 0.0, 1.0)};
        rgb_ = vx::hsvToRgb(hsv_);
    }

    // Every field and picture from the colour.
    void show() {
        const double values[6] = {rgb_.x, rgb_.y, rgb_.z, hsv_.x, hsv_.y, hsv_.z};
        for (size_t i = 0; i < 6; ++i) {
            if (!fields_[i]) return;
            fields_[i]->vec[0] = values[i];
            bytes_[i]->vec[0] = std::round(values[i] * 255);
        }
        panel_.redraw();
    }

    void changed(ui::Control& c) {
        if (c.kind == ControlKind::Button) return c.label == "OK" ? accept() : panel_.close();
        for (size_t i = 0; i < 6; ++i) {
            if (&c != fields_[i] && &c != bytes_[i]) continue;
            const double v = &c == bytes_[i] ? c.vec[0] / 255 : c.vec[0];
            vx::NodeValue rgb = rgb_, hsv = hsv_;
            double* parts[6] = {&rgb.x, &rgb.y, &rgb.z, &hsv.x, &hsv.y, &hsv.z};
            *parts[i] = v;
            if (i < 3) setRgb(rgb);
            else setHsv(hsv);
        }
        show();
    }

    // A press or drag in the hue and saturation field or on the value strip.
    void pointTo(int x, int y) {
        const double across = std::clamp(double(x - kMargin) / (kFieldW - 1), 0.0, 1.0);
        const double down = std::clamp(double(y - kMargin) / (kFieldH - 1), 0.0, 1.0);
        if (grab_ == 1) setHsv({across, 1 - down, hsv_.z == 0 ? 1 : hsv_.z});
        if (grab_ == 2) setHsv({hsv_.x, hsv_.y, 1 - down});
        if (grab_) show();
    }

    void accept() {
        accepted_ = true;
        panel_.close();
    }

    void drawCanvas(ui::Control& c) {
        ui::Framebuffer& fb = panel_.pixels();
        const ui::Rect a = c.area;
        if (c.label == "Old" || c.label == "New") {
            panel_.fillBox(a.x, a.y, a.w, a.h, toRgb(c.label == "Old" ? old_ : rgb_));
            fb.bevel(a.x, a.y, a.w, a.h, 1, true);
            return;
        }
        const bool field = a.x == kMargin;
        for (int y = 0; y < a.h; ++y) {
            const double down = double(y) / (a.h - 1);
            for (int x = 0; x < a.w; ++x) {
                const vx::NodeValue hsv =
                    field ? vx::NodeValue{double(x) / (a.w - 1), 1 - down, 1} : vx::NodeValue{hsv_.x, hsv_.y, 1 - down};
                fb.set(a.x + x, a.y + y, toRgb(vx::hsvToRgb(hsv)));
            }
        }
        const ui::Rgb mark = hsv_.z > 0.5 && !field ? ui::colour::kText : ui::colour::kWhite;
        if (field) {
            const int mx = a.x + int(std::lround(hsv_.x * (a.w - 1))), my = a.y + int(std::lround((1 - hsv_.y) * (a.h - 1)));
            fb.frame(mx - 3, my - 3, 7, 7, ui::colour::kText);
            fb.frame(mx - 2, my - 2, 5, 5, ui::colour::kWhite);
        } else {
            const int my = a.y + int(std::lround((1 - hsv_.z) * (a.h - 1)));
            fb.fillBox(a.x, my - 1, a.w, 3, mark);
        }
        fb.bevel(a.x - 1, a.y - 1, a.w + 2, a.h + 2, 1, true);
    }

    ui::Panel panel_;
    vx::NodeValue old_, rgb_, hsv_;
    ui::Control* fields_[6] = {};
    ui::Control* bytes_[6] = {};
    int grab_ = 0;  // 1: the field, 2: the strip
    bool accepted_ = false;
};

int pick(int version, HostColorPick* req) {
    if (!req || version > kVersion) return 1;
    req->result = 0;
    float rgb[3];
    bool accepted = false;
    if (ui::Asker* asker = uiSession().asker; asker && asker->answerColour(rgb, accepted)) {
        if (accepted) std::copy_n(rgb, 3, req->rgb);
        req->result = accepted;
        return 0;
    }
    Picker picker(req->rgb);
    req->result = picker.run(req->rgb);
    return 0;
}

const HostColorPicker kColorPicker{.pick = pick};
}  // namespace

const HostColorPicker* colorPickerService() { return &kColorPicker; }

}  // namespace vxs
