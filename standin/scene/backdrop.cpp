#include <algorithm>
#include <cmath>
#include <numbers>

#include "standin/scene/scene.h"

namespace vxs {

Vec3 backdropColor(const Scene& scene, const Vec3& d) {
    const BackdropGradient& g = scene.gradient;
    if (!g.on) return scene.backdrop;
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    const double y = length > 0 ? std::clamp(d[1] / length, -1.0, 1.0) : 0;
    const bool up = y >= 0;
    const Vec3& horizon = up ? g.sky : g.ground;
    const Vec3& pole = up ? g.zenith : g.nadir;
    const double squeeze = std::max(up ? g.skySqueeze : g.groundSqueeze, 1e-6);
    // The pole's share grows with the angle from the horizon.
    const double w = std::pow(std::asin(std::fabs(y)) / (std::numbers::pi / 2), 1 / squeeze);
    Vec3 c;
    for (int i = 0; i < 3; ++i) c[i] = horizon[i] + (pole[i] - horizon[i]) * w;
    return c;
}

}  // namespace vxs
