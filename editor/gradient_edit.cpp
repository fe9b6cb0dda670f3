#include "editor/gradient_edit.h"

#include <algorithm>
#include <cmath>

#include "editor/ui.h"

namespace vx {

namespace {

constexpr int kWidth = 256, kHeight = 400;
constexpr int kOpenFlags = HOST_PANF_FRAME;
constexpr int kStrip = 16;        // the marker strip left of the colours
constexpr int kMarkerHalf = 7;    // a marker's rows above and below its key's row
constexpr int kPickRows = 8;      // how near a press must be to a marker's row
constexpr double kMinGap = 0.01;  // keys keep this fraction of the range apart
constexpr int kSwatchW = 60, kSwatchH = 16;
constexpr int kFieldRight = kWidth - 8;
constexpr unsigned char kBackground = 128;
constexpr unsigned char kCurrentOutline[3] = {255, 255, 128};
constexpr unsigned char kShadow[3] = {64, 64, 64}, kLight[3] = {224, 224, 224};
constexpr const char* kValueLabels[3] = {"Value", "Alpha", "Position"};

double range(const Gradient& g) { return g.highest()->position - g.lowest()->position; }

unsigned char byte(double v) { return static_cast<unsigned char>(std::clamp(v, 0.0, 255.0)); }

// A key's colour as 0..255 components (value mode: its value as grey).
void keyColour(const GValue& k, bool valueMode, double out[3]) {
    const double c[3] = {k.red, valueMode ? k.red : k.green, valueMode ? k.red : k.blue};
    for (int i = 0; i < 3; ++i) out[i] = std::min(c[i] * 255, 255.0);
}

// The keys the evaluation walks, lowest first: the first key in list order
// at each distinct position.
std::vector<const GValue*> walkOrder(const Gradient& g) {
    std::vector<const GValue*> keys;
    for (const auto& k : g.keys) keys.push_back(k.get());
    std::stable_sort(keys.begin(), keys.end(), [](auto* a, auto* b) { return a->position < b->position; });
    keys.erase(std::unique(keys.begin(), keys.end(), [](auto* a, auto* b) { return a->position == b->position; }),
               keys.end());
    return keys;
}

void putPixel(std::vector<unsigned char>& rgb, int w, int x, int y, const unsigned char c[3]) {
    std::copy_n(c, 3, &rgb[(size_t(y) * size_t(w) + size_t(x)) * 3]);
}

// A 16 x 15 arrow pointing right, its tip row at yk: rows of 2, 4, ... 16,
// ... 2 pixels filled, outlined on the left and on each row's last two pixels.
void drawMarker(std::vector<unsigned char>& rgb, int w, int h, int yk, const unsigned char fill[3],
                const unsigned char outline[3]) {
    for (int r = 0; r <= 2 * kMarkerHalf; ++r) {
        const int y = yk - kMarkerHalf + r;
        if (y < 0 || y >= h) continue;
        const int n = kStrip - 2 * std::abs(r - kMarkerHalf);
        for (int x = 0; x < n; ++x) putPixel(rgb, w, x, y, x == 0 || x >= n - 2 ? outline : fill);
    }
}

// A sunken frame of depth 1, two pixels wide: shadow above and left, light
// below and right.
void sunkenBorder(std::vector<unsigned char>& rgb, int w, int h, int x) {
    for (int y = 0; y < h; ++y) {
        putPixel(rgb, w, x, y, y == h - 1 ? kLight : kShadow);
        putPixel(rgb, w, x + 1, y, y == 0 ? kShadow : kLight);
    }
}

HostControl addControl(const HostPanelServices& s, HostPanel p, int kind, const char* label, int x, int y, int w = 0,
                       int h = 0) {
    HostControlDesc d = controlAt(kind, label, x, y, w, h);
    if (kind == HOST_CTL_PERCENT) d.max = 100;
    return s.addControl(p, &d);
}

bool inside(const HostPanelServices& s, HostControl c, int px, int py) {
    int x = 0, y = 0, w = 0, h = 0;
    if (c) s.controlRect(c, &x, &y, &w, &h);
    return c && px >= x && px < x + w && py >= y && py < y + h;
}
}  // namespace

void gradientAt(const Gradient& keys, double p, NodeValue& colour, double& alpha) {
    colour = {};
    alpha = 1;
    if (keys.keys.size() >= 2) keys.lookup(p, colour, alpha);
}

void drawGradientBar(const Gradient& g, const GValue* current, bool valueMode, int w, int h,
                     std::vector<unsigned char>& rgb) {
    rgb.assign(size_t(w) * size_t(h) * 3, kBackground);
    if (g.keys.empty() || w <= kStrip + 2 || h <= 0) return;
    const double low = g.lowest()->position, span = range(g);
    const std::vector<const GValue*> walk = walkOrder(g);
    size_t seg = 0;  // rows go down the range, so the walk only moves on
    for (int y = 0; y < h; ++y) {
        const double p = low + span * y / h;
        NodeValue colour;
        double alpha = 1;
        if (g.keys.size() >= 2) {
            while (seg + 1 < walk.size() && p > walk[seg + 1]->position) ++seg;
            const GValue& a = *walk[seg];
            const GValue* b = seg + 1 < walk.size() ? walk[seg + 1] : nullptr;
            // Below the first key and beyond the last, t = 0 holds the end key.
            const double t = b && p >= a.position ? (p - a.position) / (b->position - a.position) : 0;
            colour = NodeValue{a.red, a.green, a.blue} * (1 - t);
            alpha = a.alpha * (1 - t);
            if (b && t > 0) {
                colour = colour + NodeValue{b->red, b->green, b->blue} * t;
                alpha += b->alpha * t;
            }
        }
        double c[3] = {colour.x, valueMode ? colour.x : colour.y, valueMode ? colour.x : colour.z};
        for (double& v : c) v = std::min(v * 255, 255.0);
        // The two greys of the checkerboard seen through this row's colour.
        unsigned char over[2][3];
        for (int b = 0; b < 2; ++b)
            for (int i = 0; i < 3; ++i) over[b][i] = byte(c[i] * alpha + (64 + 128 * b) * (1 - alpha));
        const int flip = (y / 16) % 2;
        for (int x = kStrip; x < w; ++x) putPixel(rgb, w, x, y, over[((x / 16) % 2) ^ flip]);
    }
    std::vector<const GValue*> byPosition;
    for (const auto& k : g.keys) byPosition.push_back(k.get());
    std::stable_sort(byPosition.begin(), byPosition.end(),
                     [](auto* a, auto* b) { return a->position < b->position; });
    for (const GValue* k : byPosition) {
        const int yk = span > 0 ? int((k->position - low) / span * h) : 0;
        double c[3];
        keyColour(*k, valueMode, c);
        const unsigned char fill[3] = {byte(c[0]), byte(c[1]), byte(c[2])}, black[3] = {0, 0, 0};
        drawMarker(rgb, w, h, yk, fill, k == current ? kCurrentOutline : black);
    }
    sunkenBorder(rgb, w, h, kStrip);
    sunkenBorder(rgb, w, h, w - 2);
}

PGradientEdit::PGradientEdit(bool valueMode)
    : PSimplePanel(kGradientEditorTitle),
      bar_(kGradientBarWidth, kGradientBarHeight),
      swatch_(kSwatchW, kSwatchH),
      valueMode_(valueMode) {
    width = minWidth = kWidth;
    height = minHeight = kHeight;
}

void PGradientEdit::edit(Gradient& keys) {
    keys_ = &keys;
    open(kOpenFlags);
}

void PGradientEdit::buildControls() {
    if (!services || !panel) return;
    const HostPanelServices& s = *services;
    const auto tw = [&](const char* t) { return s.textWidth(panel, t); };
    const int l1 = std::max(tw("low"), tw("high"));
    int l2 = 0;
    for (const char* t : kValueLabels) l2 = std::max(l2, tw(t));
    c_.low = addControl(s, panel, HOST_CTL_FLOAT, "low", l1 - tw("low") + 16, 8);
    c_.high = addControl(s, panel, HOST_CTL_FLOAT, "high", l1 - tw("high") + 16, 348);
    c_.copy = addControl(s, panel, HOST_CTL_BUTTON, "Copy data", 160, 240, 80);
    c_.paste = addControl(s, panel, HOST_CTL_BUTTON, "Paste data", 160, 264, 80);
    c_.inverse = addControl(s, panel, HOST_CTL_BUTTON, "Inverse key", 160, 296, 80);
    c_.remove = addControl(s, panel, HOST_CTL_BUTTON, "Delete key", 160, 320, 80);
    const int fx = l2 + 128;
    c_.value = valueMode_ ? addControl(s, panel, HOST_CTL_PERCENT, nullptr, fx, 40, kFieldRight - fx)
                          : addControl(s, panel, HOST_CTL_CANVAS, nullptr, l2 + 136, 40, kSwatchW + 1, kSwatchH + 1);
    c_.alpha = addControl(s, panel, HOST_CTL_PERCENT, nullptr, fx, 64, kFieldRight - fx);
    c_.position = addControl(s, panel, HOST_CTL_FLOAT, nullptr, fx, 88, kFieldRight - fx);
    for (int i = 0; i < 3; ++i)
        addControl(s, panel, HOST_CTL_TEXT, kValueLabels[i], l2 + 120 - tw(kValueLabels[i]), 40 + 24 * i);
    c_.bar = addControl(s, panel, HOST_CTL_CANVAS, nullptr, 26, 40, kGradientBarWidth + 1, kGradientBarHeight + 1);
}

void PGradientEdit::opened() {
    current_ = keys_ ? keys_->lowest() : nullptr;
    dragging_ = false;
    refresh();
}

void PGradientEdit::closed() {
    keys_ = nullptr;
    current_ = nullptr;
    dragging_ = false;
}

void PGradientEdit::refresh() {
    if (!current_ || !keys_ || !services) return;
    const HostPanelServices& s = *services;
    if (valueMode_) s.setFloat(c_.value, current_->red * 100);
    else redrawSwatch();
    s.setFloat(c_.alpha, current_->alpha * 100);
    s.setFloat(c_.position, current_->position);
    s.setFloat(c_.low, keys_->lowest()->position);
    s.setFloat(c_.high, keys_->highest()->position);
}

void PGradientEdit::redrawBar() {
    if (!keys_) return;
    drawGradientBar(*keys_, current_, valueMode_, bar_.width(), bar_.height(), barPixels_);
    bar_.rgb(0, 0, bar_.width(), bar_.height(), barPixels_.data());
    bar_.blit(c_.bar);
}

void PGradientEdit::redrawSwatch() {
    if (valueMode_ || !current_) return;
    double c[3];
    keyColour(*current_, false, c);
    swatch_.box(HOST_RGB(byte(c[0]), byte(c[1]), byte(c[2])), 0, 0, swatch_.width(), swatch_.height());
    swatch_.blit(c_.value);
}

void PGradientEdit::drawPanel() {
    redrawBar();
    redrawSwatch();
}

void PGradientEdit::drawControl(HostControl control) {
    if (control == c_.bar && keys_) bar_.blit(c_.bar);
    if (control == c_.value && !valueMode_ && current_) swatch_.blit(c_.value);
}

double PGradientEdit::positionAt(int y) const {
    int bx = 0, by = 0, bw = 0, bh = 1;
    services->controlRect(c_.bar, &bx, &by, &bw, &bh);
    return keys_->lowest()->position + double(y - by) / std::max(bh, 1) * range(*keys_);
}

GValue* PGradientEdit::keyAtRow(int y) const {
    std::vector<GValue*> byPosition;
    for (const auto& k : keys_->keys) byPosition.push_back(k.get());
    std::stable_sort(byPosition.begin(), byPosition.end(),
                     [](auto* a, auto* b) { return a->position > b->position; });
    const double low = keys_->lowest()->position, span = range(*keys_);
    for (GValue* k : byPosition) {
        const int yk = span > 0 ? int((k->position - low) / span * bar_.height()) : 0;
        if (std::abs(yk - y) <= kPickRows) return k;
    }
    return nullptr;
}

void PGradientEdit::addKeyAt(double p) {
    const double span = range(*keys_);
    for (const auto& k : keys_->keys)
        if (std::abs(k->position - p) <= kMinGap * span) return;
    NodeValue colour;
    double alpha = 1;
    gradientAt(*keys_, p, colour, alpha);
    keys_->keys.push_back(std::make_unique<GValue>(GValue{p, colour.x, colour.y, colour.z, alpha}));
    current_ = keys_->keys.back().get();
    refresh();
}

void PGradientEdit::buttonDown(int x, int y, int qualifiers, bool) {
    dragging_ = false;
    if (!(qualifiers & HOST_QUAL_LEFT) || (qualifiers & HOST_QUAL_RIGHT) || !keys_ || !services) return;
    int bx = 0, by = 0, bw = 0, bh = 0;
    services->controlRect(c_.bar, &bx, &by, &bw, &bh);
    const bool inBarRows = !keys_->keys.empty() && y >= by && y <= by + bh;
    if (inBarRows && x > bx && x < bx + kStrip) {
        if (GValue* k = keyAtRow(y - by)) {
            current_ = k;
            refresh();
            dragging_ = k != keys_->highest() && k != keys_->lowest();
        }
    } else if (inBarRows && x > bx + kStrip && x < bx + bw) {
        addKeyAt(positionAt(y));
    } else if (!valueMode_ && inside(*services, c_.value, x, y)) {
        pickColour();
    }
    redrawBar();
}

void PGradientEdit::buttonUp(int, int, int) { dragging_ = false; }

void PGradientEdit::pointerMove(int, int y, int) {
    if (dragging_ && current_ && keys_) dragTo(positionAt(y));
}

void PGradientEdit::dragTo(double p) {
    const double gap = kMinGap * range(*keys_);
    const GValue *before = nullptr, *after = nullptr;
    for (const auto& k : keys_->keys) {
        if (k->position < current_->position && (!before || k->position > before->position)) before = k.get();
        if (k->position > current_->position && (!after || k->position < after->position)) after = k.get();
    }
    if (before) p = std::max(p, before->position + gap);
    if (after) p = std::min(p, after->position - gap);  // the upper limit wins
    current_->position = p;
    refresh();
    redrawBar();
}

void PGradientEdit::pickColour() {
    const HostColorPicker* picker = uiService<HostColorPicker>(HOST_GLOBAL_COLOR_PICKER);
    if (!picker || !current_) return;
    HostColorPick req{};
    req.title = "Gradient color";
    req.rgb[0] = float(current_->red);
    req.rgb[1] = float(current_->green);
    req.rgb[2] = float(current_->blue);
    if (picker->pick(4, &req) != 0 || !req.result) return;
    current_->red = req.rgb[0];
    current_->green = req.rgb[1];
    current_->blue = req.rgb[2];
    refresh();
}

void PGradientEdit::rescale(double low, double high) {
    const double from = keys_->lowest()->position, span = range(*keys_);
    // Keys all at one place have no range to map from: they stay.
    if (span > 0)
        for (const auto& k : keys_->keys) k->position = (k->position - from) * (high - low) / span + low;
    refresh();
    redrawBar();
}

void PGradientEdit::controlEvent(HostControl control) {
    if (!keys_ || !services) return;
    const double v = services->getFloat(control);
    const bool empty = keys_->keys.empty();
    if (control == c_.remove) {
        if (!current_ || current_ == keys_->highest() || current_ == keys_->lowest()) return;
        std::erase_if(keys_->keys, [&](const auto& k) { return k.get() == current_; });
        current_ = keys_->lowest();
        refresh();
        redrawBar();
    } else if (control == c_.inverse && !empty) {
        const double sum = keys_->highest()->position + keys_->lowest()->position;
        for (const auto& k : keys_->keys) k->position = sum - k->position;
        refresh();
        redrawBar();
    } else if (control == c_.copy && current_) {
        if (!clipboard_) clipboard_ = std::make_unique<GValue>();
        *clipboard_ = *current_;
    } else if (control == c_.paste && clipboard_ && current_) {
        current_->red = clipboard_->red;
        current_->green = clipboard_->green;
        current_->blue = clipboard_->blue;
        current_->alpha = clipboard_->alpha;
        refresh();
        redrawBar();
    } else if (control == c_.value && valueMode_ && current_) {
        current_->red = current_->green = current_->blue = v * 0.01;
        redrawBar();
    } else if (control == c_.alpha && current_) {
        current_->alpha = v * 0.01;
        redrawBar();
    } else if (control == c_.position) {
        refresh();
    } else if (control == c_.low && !empty) {
        if (v >= keys_->highest()->position) refresh();  // the range would turn over
        else rescale(v, keys_->highest()->position);
    } else if (control == c_.high && !empty) {
        if (v <= keys_->lowest()->position) refresh();
        else rescale(keys_->lowest()->position, v);
    }
}

}  // namespace vx
