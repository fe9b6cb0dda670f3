#include "standin/scene/image_lookup.h"

#include <algorithm>
#include <cmath>

namespace vxs {

namespace {
// Enough taps for a smooth average; a wider spot spaces them out instead.
constexpr int kMaxTaps = 8;

int wrapIndex(double t, int n) {
    const long long i = (long long)std::floor(t) % n;
    return int(i < 0 ? i + n : i);
}

Rgba texel(const Image& image, double tx, double ty) {
    const float* p = &image.rgba[(size_t(wrapIndex(ty, image.height)) * image.width + wrapIndex(tx, image.width)) * 4];
    return {p[0], p[1], p[2], p[3]};
}

Rgba lerp(const Rgba& a, const Rgba& b, double t) {
    Rgba out;
    for (int i = 0; i < 4; ++i) out[i] = a[i] * (1 - t) + b[i] * t;
    return out;
}

Rgba bilinear(const Image& image, double u, double v) {
    const double x = u * image.width - 0.5, y = v * image.height - 0.5;
    const double fx = std::floor(x), fy = std::floor(y);
    const double ax = x - fx, ay = y - fy;
    return lerp(lerp(texel(image, fx, fy), texel(image, fx + 1, fy), ax),
                lerp(texel(image, fx, fy + 1), texel(image, fx + 1, fy + 1), ax), ay);
}
}  // namespace

Rgba imageSpot(const Image& image, double u, double v, double spotSize, bool blend) {
    if (image.width <= 0 || image.height <= 0 || image.rgba.size() < size_t(image.width) * image.height * 4 ||
        !std::isfinite(u) || !std::isfinite(v))
        return {};
    if (!blend) return texel(image, std::floor(u * image.width), std::floor(v * image.height));
    const double pixels = std::isfinite(spotSize) ? spotSize * std::max(image.width, image.height) : 0;
    if (pixels <= 1) return bilinear(image, u, v);
    const int taps = std::min(kMaxTaps, int(std::ceil(pixels)));
    Rgba sum{};
    for (int j = 0; j < taps; ++j)
        for (int i = 0; i < taps; ++i) {
            const Rgba s = bilinear(image, u + spotSize * ((i + 0.5) / taps - 0.5), v + spotSize * ((j + 0.5) / taps - 0.5));
            for (int k = 0; k < 4; ++k) sum[k] += s[k];
        }
    for (double& c : sum) c /= double(taps) * taps;
    return sum;
}

}  // namespace vxs
