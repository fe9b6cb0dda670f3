#include "standin/textures/envelope_window.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "standin/services/ui_services.h"
#include "standin/textures/vparm.h"
#include "standin/textures/window_rows.h"
#include "standin/ui/keys.h"

namespace vxs {

namespace {
using ui::Control;
using ui::ControlKind;
using ui::Rgb;

constexpr int kWidth = 480, kHeight = 336;
constexpr ui::Rect kCurve{8, 8, 464, 200};
constexpr int kPickPixels = 5;      // a press this near a key picks it
constexpr double kMinGap = 1e-3;    // seconds kept between neighbouring keys
constexpr const char* kShapes[] = {"TCB", "Linear", "Stepped"};
constexpr const char* kEnds[] = {"Constant", "Repeat", "Oscillate", "Linear"};
constexpr const char* kChannels[] = {"Red", "Green", "Blue"};
constexpr Rgb kBackground{40, 40, 40}, kGrid{64, 64, 64}, kAxis{110, 110, 110}, kKey{255, 255, 255},
    kCurrentKey{255, 255, 0};
constexpr Rgb kCurveColours[4] = {{230, 230, 230}, {230, 70, 70}, {70, 200, 70}, {90, 120, 240}};

class EnvelopeWindow {
public:
    EnvelopeWindow() : panel_(kEnvelopeEditorTitle, kWidth, kHeight) {
        ui::Panel::Handlers& h = panel_.handlers();
        h.close = [this] { panelClosed(&panel_); };
        h.controlDraw = [this](Control& c) {
            if (&c == curve_) drawCurves();
        };
        h.mouseButton = [this](int q, int x, int y) {
            if (q & ui::qual::kDown) press(x, y);
            else dragging_ = false, fit(), panel_.redraw();
        };
        h.mouseMove = [this](int, int x, int y) {
            if (dragging_) dragTo(x, y);
        };
        h.keyDown = [this](int code) {
            if (code == ui::key::kDelete) deleteKey();
            if (code == ui::key::kEscape) panel_.close();
        };
        h.controlEvent = [this](Control& c) { changed(c); };
    }

    void open(HostVParm& parm) {
        parm_ = &parm;
        channel_ = 0;
        current_ = editable() && !keys().empty() ? 0 : -1;
        build();
        fit();
        if (!panel_.isOpen()) panel_.open();
        refresh();
        panelOpened(&panel_);
    }

    void forget(const HostVParm& parm) {
        if (parm_ != &parm) return;
        parm_ = nullptr;
        panel_.close();
    }

private:
    int channels() const { return parm_ ? vparmElements(*parm_) : 0; }
    // A parameter set up without a channel group has no envelopes to edit.
    bool editable() const { return parm_ && parm_->channels[channel_]; }
    Envelope& envelope() { return parm_->channels[channel_]->envelope; }
    std::vector<EnvelopeKey>& keys() { return envelope().keys; }
    EnvelopeKey* key() {
        return editable() && current_ >= 0 && current_ < int(keys().size()) ? &keys()[size_t(current_)] : nullptr;
    }

    Control& add(ControlKind kind, const char* label, int x, int y, int w, std::vector<std::string> items = {}) {
        return addRow(panel_, kind, label, x, y, w, std::move(items));
    }
    template <size_t N>
    Control& popup(const char* label, int x, int y, int w, const char* const (&items)[N]) {
        return labelledPopup(panel_, label, x, y, w, {items, items + N});
    }

    void build() {
        panel_.controls().clear();
        curve_ = &panel_.addControl(ControlKind::Canvas, "", kCurve);
        time_ = &add(ControlKind::Number, "Time", 8, 216, 150);
        value_ = &add(ControlKind::Number, "Value", 166, 216, 150);
        shape_ = &popup("Shape", 324, 216, 148, kShapes);
        tension_ = &add(ControlKind::Number, "Tension", 8, 244, 150);
        continuity_ = &add(ControlKind::Number, "Continuity", 166, 244, 150);
        bias_ = &add(ControlKind::Number, "Bias", 324, 244, 148);
        pre_ = &popup("Pre", 8, 272, 150, kEnds);
        post_ = &popup("Post", 166, 272, 150, kEnds);
        channelChoice_ = channels() == 3 ? &add(ControlKind::Choice, "", 324, 272, 148, {kChannels, kChannels + 3})
                                       : nullptr;
        add(ControlKind::Button, "Add Key", 8, 304, 100);
        add(ControlKind::Button, "Delete Key", 116, 304, 100);
    }

    // The fields show the current key, the ends and the channel again.
    void refresh() {
        EnvelopeKey* k = key();
        for (Control* c : {time_, value_, shape_, tension_, continuity_, bias_}) c->ghosted = !k;
        if (k) {
            time_->vec[0] = k->time, value_->vec[0] = k->value, shape_->value = k->shape;
            tension_->vec[0] = k->tension, continuity_->vec[0] = k->continuity, bias_->vec[0] = k->bias;
        }
        if (editable()) pre_->value = envelope().pre, post_->value = envelope().post;
        if (channelChoice_) channelChoice_->value = channel_;
        panel_.redraw();
    }

    // The view: every channel's keys with a margin, at least 0 to 1 on both axes.
    void fit() {
        double t0 = 0, t1 = 1, v0 = 0, v1 = 1;
        for (int c = 0; c < channels(); ++c)
            if (const HostChannel* ch = parm_->channels[c])
                for (const EnvelopeKey& k : ch->envelope.keys) {
                    t0 = std::min(t0, k.time), t1 = std::max(t1, k.time);
                    v0 = std::min(v0, k.value), v1 = std::max(v1, k.value);
                }
        const double dt = (t1 - t0) * 0.05, dv = (v1 - v0) * 0.1;
        t0_ = t0 - dt, t1_ = t1 + dt, v0_ = v0 - dv, v1_ = v1 + dv;
    }

    int xOf(double t) const { return kCurve.x + int(std::lround((t - t0_) / (t1_ - t0_) * (kCurve.w - 1))); }
    int yOf(double v) const {
        const double y = kCurve.y + kCurve.h - 1 - (v - v0_) / (v1_ - v0_) * (kCurve.h - 1);
        return int(std::lround(std::clamp(y, -1e6, 1e6)));
    }
    double timeAt(int x) const { return t0_ + double(x - kCurve.x) / (kCurve.w - 1) * (t1_ - t0_); }
    double valueAt(int y) const { return v0_ + double(kCurve.y + kCurve.h - 1 - y) / (kCurve.h - 1) * (v1_ - v0_); }

    void drawCurves() {
        ui::Framebuffer& fb = panel_.pixels();
        fb.setClip(kCurve);
        fb.fillBox(kCurve.x, kCurve.y, kCurve.w, kCurve.h, kBackground);
        for (double t = std::ceil(t0_); t <= t1_; t += 1) fb.line(xOf(t), kCurve.y, xOf(t), kCurve.y + kCurve.h, kGrid);
        fb.line(kCurve.x, yOf(0), kCurve.x + kCurve.w, yOf(0), kAxis);
        fb.line(kCurve.x, yOf(1), kCurve.x + kCurve.w, yOf(1), kGrid);
        fb.line(xOf(0), kCurve.y, xOf(0), kCurve.y + kCurve.h, kAxis);
        for (int c = 0; c < channels(); ++c) {
            const HostChannel* ch = parm_->channels[c];
            if (!ch || c == channel_) continue;
            drawCurve(fb, ch->envelope, kCurveColours[1 + c]);
        }
        if (editable()) {
            drawCurve(fb, envelope(), kCurveColours[channels() == 3 ? 1 + channel_ : 0]);
            for (size_t i = 0; i < keys().size(); ++i) {
                const int x = xOf(keys()[i].time), y = yOf(keys()[i].value);
                fb.fillBox(x - 2, y - 2, 5, 5, int(i) == current_ ? kCurrentKey : kKey);
            }
        }
        fb.resetClip();
        fb.bevel(kCurve.x - 1, kCurve.y - 1, kCurve.w + 2, kCurve.h + 2, 1, true);
    }

    void drawCurve(ui::Framebuffer& fb, const Envelope& e, Rgb colour) const {
        int lastY = yOf(e.at(timeAt(kCurve.x)));
        for (int x = kCurve.x + 1; x < kCurve.x + kCurve.w; ++x) {
            const int y = yOf(e.at(timeAt(x)));
            fb.line(x - 1, lastY, x, y, colour);
            lastY = y;
        }
    }

    void press(int x, int y) {
        if (!editable() || !kCurve.contains(x, y)) return;
        current_ = -1;
        for (size_t i = 0; i < keys().size(); ++i)
            if (std::abs(xOf(keys()[i].time) - x) <= kPickPixels && std::abs(yOf(keys()[i].value) - y) <= kPickPixels)
                current_ = int(i);
        if (current_ < 0) addKey(timeAt(x), valueAt(y));
        dragging_ = true;
        refresh();
    }

    // Keeps the keys in time order: a key moves no nearer its neighbours
    // than kMinGap.
    void dragTo(int x, int y) {
        EnvelopeKey* k = key();
        if (!k) return;
        double t = timeAt(x);
        if (current_ > 0) t = std::max(t, keys()[size_t(current_) - 1].time + kMinGap);
        if (current_ + 1 < int(keys().size())) t = std::min(t, keys()[size_t(current_) + 1].time - kMinGap);
        k->time = t;
        k->value = valueAt(y);
        refresh();
    }

    // A key at t with value v, or the key already at t takes v.
    void addKey(double t, double v) {
        auto& ks = keys();
        const auto at = std::lower_bound(ks.begin(), ks.end(), t, [](const EnvelopeKey& k, double s) { return k.time < s; });
        if (at != ks.end() && std::abs(at->time - t) < kMinGap) {
            at->value = v;
            current_ = int(at - ks.begin());
            return;
        }
        EnvelopeKey k;
        k.time = t;
        k.value = v;
        const auto placed = ks.insert(at, k);  // before begin(): the insert may move the keys
        current_ = int(placed - ks.begin());
    }

    void deleteKey() {
        if (!key()) return;
        keys().erase(keys().begin() + current_);
        current_ = std::min(current_, int(keys().size()) - 1);
        fit();
        refresh();
    }

    // A typed time re-sorts the key among the others.
    void moveKeyTo(double t) {
        EnvelopeKey k = *key();
        keys().erase(keys().begin() + current_);
        addKey(t, k.value);
        k.time = keys()[size_t(current_)].time;
        keys()[size_t(current_)] = k;
    }

    void changed(Control& c) {
        if (!editable()) return;
        const std::string& label = c.label;
        EnvelopeKey* k = key();
        if (label == "Add Key") {
            const double t = keys().empty() ? 0 : keys().back().time + 1;
            addKey(t, envelope().at(t));
        } else if (label == "Delete Key") {
            return deleteKey();
        } else if (&c == channelChoice_) {
            channel_ = std::clamp(c.value, 0, 2);
            current_ = editable() && !keys().empty() ? 0 : -1;
        } else if (&c == pre_ || &c == post_) {
            (&c == pre_ ? envelope().pre : envelope().post) = std::clamp(c.value, 0, 3);
        } else if (k && &c == time_) {
            moveKeyTo(c.vec[0]);
        } else if (k) {
            if (&c == value_) k->value = c.vec[0];
            if (&c == shape_) k->shape = std::clamp(c.value, 0, 2);
            if (&c == tension_) k->tension = c.vec[0];
            if (&c == continuity_) k->continuity = c.vec[0];
            if (&c == bias_) k->bias = c.vec[0];
        }
        fit();
        refresh();
    }

    ui::Panel panel_;
    HostVParm* parm_ = nullptr;
    int channel_ = 0, current_ = -1;
    bool dragging_ = false;
    double t0_ = 0, t1_ = 1, v0_ = 0, v1_ = 1;
    Control *curve_ = nullptr, *time_ = nullptr, *value_ = nullptr, *shape_ = nullptr, *tension_ = nullptr,
            *continuity_ = nullptr, *bias_ = nullptr, *pre_ = nullptr, *post_ = nullptr, *channelChoice_ = nullptr;
};

EnvelopeWindow& window() {
    static EnvelopeWindow w;
    return w;
}
}  // namespace

void openEnvelopeEditor(HostVParm& parm) { window().open(parm); }
void forgetEnvelopeEditor(const HostVParm& parm) { window().forget(parm); }

}  // namespace vxs
