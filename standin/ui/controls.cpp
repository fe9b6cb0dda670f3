#include "standin/ui/controls.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

#include "standin/ui/font.h"

namespace vxs::ui {

namespace {
constexpr int kSliderGap = 4, kUnitWidth = 12, kButtonWidth = 20, kNumberBox = 64;

constexpr std::array<std::pair<std::string_view, double>, 5> kLengths{
    {{"um", 1e-6}, {"mm", 1e-3}, {"cm", 1e-2}, {"m", 1}, {"km", 1e3}}};

std::string_view skipBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

// One number from the front of `s`, with the unit the control allows
// (a length for a distance, "%" for a percentage, the degree sign for an angle).
bool readQuantity(std::string_view& s, Unit unit, double& v) {
    s = skipBlanks(s);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || !std::isfinite(v)) return false;
    s.remove_prefix(size_t(end - s.data()));
    const std::string_view rest = skipBlanks(s);
    const auto suffix = [&](std::string_view u) {
        if (!rest.starts_with(u)) return false;
        const std::string_view after = rest.substr(u.size());
        if (!after.empty() && after.front() != ' ') return false;
        s = after;
        return true;
    };
    if (unit == Unit::Distance) {
        for (const auto& [name, metres] : kLengths)
            if (suffix(name)) return v *= metres, true;
    }
    if (unit == Unit::Percent) suffix("%");
    if (unit == Unit::Angle) suffix("\u00b0");
    if (unit == Unit::Integer) v = std::round(v);
    return true;
}

std::string number(double v, Unit unit) {
    if (v == 0) v = 0;  // no "-0"
    char buf[48];
    if (unit == Unit::Integer) {
        std::snprintf(buf, sizeof buf, "%.0f", std::round(v));
    } else if (unit == Unit::Distance) {
        const double a = std::fabs(v);
        const auto& [name, metres] = a == 0 || (a >= 1 && a < 1e3) ? kLengths[3]
                                     : a >= 1e3                   ? kLengths[4]
                                     : a >= 1e-2                  ? kLengths[2]
                                                                  : kLengths[1];
        std::snprintf(buf, sizeof buf, "%g %.*s", v / metres, int(name.size()), name.data());
    } else {
        std::snprintf(buf, sizeof buf, "%g", v);
    }
    return buf;
}

void refresh(Control& c) {
    if (c.liveItems) c.items = c.liveItems();
}
}  // namespace

std::string fieldText(const Control& c, int part) {
    if (c.kind == ControlKind::Edit) return c.text;
    return number(c.vec[std::clamp(part, 0, 2)], c.unit);
}

std::string shownValue(Control& c) {
    switch (c.kind) {
        case ControlKind::Number:
        case ControlKind::Edit:
            return fieldText(c, 0);
        case ControlKind::Vector:
            return fieldText(c, 0) + " " + fieldText(c, 1) + " " + fieldText(c, 2);
        case ControlKind::Checkbox:
            return c.value ? "1" : "0";
        case ControlKind::Popup:
        case ControlKind::Choice:
            refresh(c);
            return c.value >= 0 && size_t(c.value) < c.items.size() ? c.items[size_t(c.value)] : "";
        case ControlKind::Canvas:
            return c.drawnText;
        case ControlKind::Tree:
            return c.item && c.tree.name ? c.tree.name(c.item) : "";
        case ControlKind::Text:
        case ControlKind::Button:
            return c.label;
    }
    return "";
}

bool setFromText(Control& c, std::string_view typed) {
    switch (c.kind) {
        case ControlKind::Number:
        case ControlKind::Vector: {
            double v[3] = {0, 0, 0};
            const int n = c.kind == ControlKind::Vector ? 3 : 1;
            for (int i = 0; i < n; ++i)
                if (!readQuantity(typed, c.unit, v[i])) return false;
            if (!skipBlanks(typed).empty()) return false;
            std::copy_n(v, n, c.vec);
            return true;
        }
        case ControlKind::Checkbox:
            if (typed != "0" && typed != "1") return false;
            c.value = typed == "1";
            return true;
        case ControlKind::Popup:
        case ControlKind::Choice: {
            refresh(c);
            const auto it = std::find(c.items.begin(), c.items.end(), typed);
            if (it == c.items.end()) return false;
            c.value = int(it - c.items.begin());
            return true;
        }
        case ControlKind::Edit:
            c.text = std::string(typed);
            return true;
        default:
            return false;
    }
}

FieldLayout fieldLayout(const Control& c) {
    FieldLayout f;
    const Rect a = c.area;
    const int lw = c.label.empty() ? 0 : textWidth(c.label) + 8;
    const int x = a.x + lw, w = a.w - lw, y = a.y + 1, h = a.h - 2;
    if (c.kind == ControlKind::Vector) {
        f.parts = 3;
        for (int i = 0; i < 3; ++i) f.box[i] = {x + w * i / 3, y, w / 3 - 2, h};
    } else if (c.kind == ControlKind::Edit) {
        const int bw = c.requester == Requester::None ? 0 : kButtonWidth;
        f.box[0] = {x, y, w - (bw ? bw + 2 : 0), h};
        if (bw) f.button = {a.x + a.w - bw, y, bw, h};
    } else {
        const bool unit = c.unit == Unit::Percent || c.unit == Unit::Angle;
        const bool slider = c.min < c.max && w > kNumberBox + kUnitWidth + 3 * kSliderGap;
        f.box[0] = {x, y, slider ? kNumberBox : w - (unit ? kUnitWidth : 0), h};
        const int right = x + f.box[0].w;
        if (unit) f.unitX = right + 2;
        if (slider) {
            const int sx = right + (unit ? kUnitWidth : 0) + kSliderGap;
            f.slider = {sx, a.y + 4, a.x + a.w - sx, a.h - 8};
        }
    }
    return f;
}

double sliderValue(const Control& c, int x) {
    const Rect s = fieldLayout(c).slider;
    const double t = std::clamp(double(x - s.x) / std::max(s.w - 1, 1), 0.0, 1.0);
    const double v = c.min + t * (c.max - c.min);
    return c.unit == Unit::Integer ? std::round(v) : v;
}

Control* findLabelled(Panel& panel, std::string_view label) {
    for (auto& c : panel.controls())
        if (c->kind != ControlKind::Text && c->label == label) return c.get();
    for (auto& t : panel.controls()) {
        if (t->kind != ControlKind::Text || t->label != label) continue;
        Control* nearest = nullptr;
        for (auto& c : panel.controls()) {
            const Rect a = c->area, l = t->area;
            const bool onRow = a.y < l.y + l.h && l.y < a.y + a.h;
            if (c->kind != ControlKind::Text && onRow && a.x >= l.x && (!nearest || a.x < nearest->area.x))
                nearest = c.get();
        }
        return nearest ? nearest : t.get();
    }
    return nullptr;
}

}  // namespace vxs::ui
