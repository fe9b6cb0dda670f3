#include "nodes/colour.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr double kThirdPi = 1.0471975511965976;     // π/3
constexpr double kThreeOverPi = 0.9549296585513721;  // 3/π

// Hue in turns of a colour with max - min = d > 0.
double hueOf(const NodeValue& c, double max, double d) {
    double h;
    if (c.x == max) h = (c.y - c.z) / d;
    else if (c.y == max) h = (c.z - c.x) / d + 2;
    else h = (c.x - c.y) / d + 4;
    h *= kThirdPi;
    if (h < 0) h += kTwoPi;
    return h * 0.15915494309189535;  // 1/(2π)
}

// Into 0 <= a < 2π by whole turns. Far-off angles lose their turns in one
// fmod so that a huge hue cannot keep the loops busy.
double wrapAngle(double a) {
    if (!(std::fabs(a) < 4 * kTwoPi)) a = std::fmod(a, kTwoPi);
    while (a < 0) a += kTwoPi;
    while (a >= kTwoPi) a -= kTwoPi;
    return a;
}

double hlsChannel(double p, double q, double a) {
    a = wrapAngle(a);
    if (a < kThirdPi) return p + (q - p) * a * kThreeOverPi;
    if (a < 3.141592653589793) return q;
    if (a < 4.1887902047863905) return p + (q - p) * (4.1887902047863905 - a) * kThreeOverPi;  // 4π/3
    return p;
}

constexpr const char* kUtility = "Utility";

// clang-format off
constexpr InputDecl  kRgbIn[]  = {{"rgb", VT_COLOR, PK_COLOR, 1}, {nullptr}};
constexpr OutputDecl kRgbOut[] = {{"rgb", VT_COLOR}, {nullptr}};

constexpr InputDecl kHsvIn[] = {{"h", VT_SCALAR, PK_NUMBER, 1}, {"s", VT_SCALAR, PK_NUMBER, 1}, {"v",  VT_SCALAR, PK_NUMBER, 1}, {nullptr}};
constexpr InputDecl kHlsIn[] = {{"h", VT_SCALAR, PK_NUMBER, 1}, {"l", VT_SCALAR, PK_NUMBER, 1}, {"s",  VT_SCALAR, PK_NUMBER, 1}, {nullptr}};
constexpr InputDecl kYccIn[] = {{"y", VT_SCALAR, PK_NUMBER, 1}, {"cr", VT_SCALAR, PK_NUMBER, 1}, {"cb", VT_SCALAR, PK_NUMBER, 1}, {nullptr}};

constexpr OutputDecl kHsvOut[] = {{"h", VT_SCALAR}, {"s", VT_SCALAR},  {"v", VT_SCALAR},  {nullptr}};
constexpr OutputDecl kHlsOut[] = {{"h", VT_SCALAR}, {"l", VT_SCALAR},  {"s", VT_SCALAR},  {nullptr}};
constexpr OutputDecl kYccOut[] = {{"y", VT_SCALAR}, {"cr", VT_SCALAR}, {"cb", VT_SCALAR}, {nullptr}};
}  // namespace

NRGBtoHSV::NRGBtoHSV() { setup("rgb -> hsv", kUtility, kRgbIn, kHsvOut, false); }
NHSVtoRGB::NHSVtoRGB() { setup("hsv -> rgb", kUtility, kHsvIn, kRgbOut, false); }
NRGBtoHLS::NRGBtoHLS() { setup("rgb -> hls", kUtility, kRgbIn, kHlsOut, false); }
NHLStoRGB::NHLStoRGB() { setup("hls -> rgb", kUtility, kHlsIn, kRgbOut, false); }
NRGBtoYCC::NRGBtoYCC() { setup("rgb -> ycc", kUtility, kRgbIn, kYccOut, false); }
NYCCtoRGB::NYCCtoRGB() { setup("ycc -> rgb", kUtility, kYccIn, kRgbOut, false); }
// clang-format on

NodeValue rgbToHsv(const NodeValue& c) {
    const double max = std::max({c.x, c.y, c.z}), d = max - std::min({c.x, c.y, c.z});
    if (d == 0) return {0, 0, max};
    return {hueOf(c, max, d), d / max, max};
}

NodeValue hsvToRgb(const NodeValue& hsv) {
    const auto [h, s, v] = hsv;
    if (s == 0) return {v, v, v};
    double x = wrapAngle(h * kTwoPi) * kThreeOverPi;
    if (!(x < 6)) x = 0;  // rounded up to a full turn, or not a number
    const int i = static_cast<int>(x);
    const double f = x - i;
    const double p = v * (1 - s), q = v * (1 - f * s), t = v * (1 - (1 - f) * s);
    switch (i) {
        case 0: return {v, t, p};
        case 1: return {q, v, p};
        case 2: return {p, v, t};
        case 3: return {p, q, v};
        case 4: return {t, p, v};
        default: return {v, p, q};
    }
}

NodeValue rgbToHls(const NodeValue& c) {
    const double max = std::max({c.x, c.y, c.z}), min = std::min({c.x, c.y, c.z});
    const double sum = max + min, d = max - min, l = sum * 0.5;
    if (d == 0) return {0, l, 0};
    return {hueOf(c, max, d), l, l <= 0.5 ? d / sum : d / (2 - sum)};
}

NodeValue hlsToRgb(const NodeValue& hls) {
    const auto [h, l, s] = hls;
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s, m1 = 2 * l - m2;
    if (s == 0) return {l, l, l};
    const double a = h * kTwoPi, third = 2.0943951023931953;  // 2π/3
    return {hlsChannel(m1, m2, a + third), hlsChannel(m1, m2, a), hlsChannel(m1, m2, a - third)};
}

NodeValue rgbToYcc(const NodeValue& c) {
    return {0.299 * c.x + 0.587 * c.y + 0.114 * c.z,  //
            0.5 * c.x - 0.419 * c.y - 0.081 * c.z,    //
            0.5 * c.z - (0.332 * c.y + 0.169 * c.x)};
}

NodeValue yccToRgb(const NodeValue& c) {
    const auto [y, cr, cb] = c;
    return {y + 1.402 * cr, y - 0.714 * cr - 0.344 * cb, y + 1.772 * cb};
}

}  // namespace vx
