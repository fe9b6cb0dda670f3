#include "standin/scene/scene.h"

#include <algorithm>
#include <cmath>

namespace vxs {

namespace {
Vec3 operator-(const Vec3& a) { return {-a[0], -a[1], -a[2]}; }

Vec3 unit(const Vec3& v) {
    const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (len == 0 || !std::isfinite(len)) return {0, 0, 0};
    return {v[0] / len, v[1] / len, v[2] / len};
}

Mat translation(const Vec3& t) {
    Mat m;
    m.offset = t;
    return m;
}

Mat scaling(const Vec3& s) {
    Mat m;
    for (int i = 0; i < 3; ++i) m.linear[i][i] = s[i];
    return m;
}

Mat transposed(const Mat& m) {
    Mat t;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) t.linear[r][c] = m.linear[c][r];
    return t;
}

Vec3 column(const Mat& m, int c) { return {m.linear[0][c], m.linear[1][c], m.linear[2][c]}; }

// Cofactors of the linear part: the inverse transpose times the determinant.
void cofactors(const Mat& m, double out[3][3]) {
    const auto& a = m.linear;
    for (int r = 0; r < 3; ++r) {
        const int r1 = (r + 1) % 3, r2 = (r + 2) % 3;
        for (int c = 0; c < 3; ++c) {
            const int c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            out[r][c] = a[r1][c1] * a[r2][c2] - a[r1][c2] * a[r2][c1];
        }
    }
}

double determinant(const Mat& m, const double cof[3][3]) {
    return m.linear[0][0] * cof[0][0] + m.linear[0][1] * cof[0][1] + m.linear[0][2] * cof[0][2];
}
}  // namespace

Vec3 Animated::at(double time) const { return animatedAt(value, keys, time); }

Vec3 lightColor(const Light& light, double time) {
    const Vec3 c = animatedAt(light.color, light.colorKeys, time);
    const double k = animatedAt({light.intensity, light.intensity, light.intensity}, light.intensityKeys, time)[0];
    return {c[0] * k, c[1] * k, c[2] * k};
}

Vec3 animatedAt(const Vec3& value, const std::vector<Animated::Key>& keys, double time) {
    if (keys.empty()) return value;
    if (time <= keys.front().time) return keys.front().value;
    if (time >= keys.back().time) return keys.back().value;
    const auto next = std::upper_bound(keys.begin(), keys.end(), time,
                                       [](double t, const Animated::Key& k) { return t < k.time; });
    const Animated::Key& a = *(next - 1);
    const Animated::Key& b = *next;
    const double f = (time - a.time) / (b.time - a.time);
    Vec3 v;
    for (int i = 0; i < 3; ++i) v[i] = a.value[i] + (b.value[i] - a.value[i]) * f;
    return v;
}

Vec3 Mat::point(const Vec3& p) const {
    Vec3 v = vector(p);
    for (int i = 0; i < 3; ++i) v[i] += offset[i];
    return v;
}

Vec3 Mat::vector(const Vec3& v) const {
    Vec3 out;
    for (int r = 0; r < 3; ++r) out[r] = linear[r][0] * v[0] + linear[r][1] * v[1] + linear[r][2] * v[2];
    return out;
}

NormalMap::NormalMap(const Mat& m) {
    cofactors(m, cof_);
    const double det = determinant(m, cof_);
    flat_ = det == 0;
    // A mirroring map turns the cofactors against the inverse transpose.
    sign_ = det < 0 ? -1 : 1;
}

Vec3 NormalMap::operator()(const Vec3& n) const {
    if (flat_) return {0, 0, 0};
    Vec3 out;
    for (int r = 0; r < 3; ++r) out[r] = sign_ * (cof_[r][0] * n[0] + cof_[r][1] * n[1] + cof_[r][2] * n[2]);
    return unit(out);
}

bool Mat::inverse(Mat& out) const {
    double cof[3][3];
    cofactors(*this, cof);
    const double det = determinant(*this, cof);
    if (det == 0 || !std::isfinite(det)) return false;
    Mat inv;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) inv.linear[r][c] = cof[c][r] / det;
    inv.offset = -inv.vector(offset);
    out = inv;
    return true;
}

Mat operator*(const Mat& a, const Mat& b) {
    Mat m;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m.linear[r][c] = a.linear[r][0] * b.linear[0][c] + a.linear[r][1] * b.linear[1][c] +
                             a.linear[r][2] * b.linear[2][c];
    m.offset = a.point(b.offset);
    return m;
}

Mat rotationHPB(const Vec3& hpb) {
    const double ch = std::cos(hpb[0]), sh = std::sin(hpb[0]);
    const double cp = std::cos(hpb[1]), sp = std::sin(hpb[1]);
    const double cb = std::cos(hpb[2]), sb = std::sin(hpb[2]);
    Mat heading, pitch, bank;
    heading.linear[0][0] = ch, heading.linear[0][2] = sh;
    heading.linear[2][0] = -sh, heading.linear[2][2] = ch;
    pitch.linear[1][1] = cp, pitch.linear[1][2] = -sp;
    pitch.linear[2][1] = sp, pitch.linear[2][2] = cp;
    bank.linear[0][0] = cb, bank.linear[0][1] = -sb;
    bank.linear[1][0] = sb, bank.linear[1][1] = cb;
    return heading * pitch * bank;
}

Mat localTransform(const Placement& pl, double time) {
    // A rotation's inverse is its transpose.
    return translation(pl.position.at(time)) * rotationHPB(pl.rotation.at(time)) *
           transposed(rotationHPB(pl.pivotRotation)) * scaling(pl.scale.at(time)) * translation(-pl.pivot);
}

HostID makeItemId(int type, std::size_t index) { return HostID(((type + 1) << 24) | int(index + 1)); }

const Item* findItem(const Scene& scene, HostID id) {
    if (!id) return nullptr;
    const std::size_t index = std::size_t(id & 0xFFFFFF) - 1;
    if (index < scene.items.size() && scene.items[index].id == id) return &scene.items[index];
    for (const Item& item : scene.items)
        if (item.id == id) return &item;
    return nullptr;
}

const Item* findItem(const Scene& scene, int type, std::string_view name) {
    for (const Item& item : scene.items)
        if (item.type == type && item.name == name) return &item;
    return nullptr;
}

Mat worldTransform(const Scene& scene, const Item& item, double time) {
    Mat world = localTransform(item.placement, time);
    const Item* at = &item;
    for (std::size_t depth = 0; depth < scene.items.size() && at->parent; ++depth) {
        at = findItem(scene, at->parent);
        if (!at) break;
        world = localTransform(at->placement, time) * world;
    }
    return world;
}

Vec3 itemParam(const Scene& scene, const Item& item, int code, double time) {
    const Placement& pl = item.placement;
    switch (code) {
        case HOST_IP_POSITION: return pl.position.at(time);
        case HOST_IP_ROTATION: return pl.rotation.at(time);
        case HOST_IP_SCALING: return pl.scale.at(time);
        case HOST_IP_PIVOT: return pl.pivot;
        case HOST_IP_PIVOT_ROT: return pl.pivotRotation;
        case HOST_IP_RIGHT:
        case HOST_IP_UP:
        case HOST_IP_FORWARD: {
            const Mat axes = rotationHPB(pl.rotation.at(time)) * transposed(rotationHPB(pl.pivotRotation));
            return column(axes, code - HOST_IP_RIGHT);
        }
        case HOST_IP_W_POSITION: return worldTransform(scene, item, time).point(pl.pivot);
        case HOST_IP_W_RIGHT:
        case HOST_IP_W_UP:
        case HOST_IP_W_FORWARD: return unit(column(worldTransform(scene, item, time), code - HOST_IP_W_RIGHT));
    }
    return {0, 0, 0};
}

bool excludes(const Object& object, HostID light) {
    if (light == kRadiosityLight) return object.excludeRadiosity;
    if (light == kCausticsLight) return object.excludeCaustics;
    return std::find(object.excludedLights.begin(), object.excludedLights.end(), light) != object.excludedLights.end();
}

}  // namespace vxs
