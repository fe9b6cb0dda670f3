// NodeValue and the vector helpers every node family shares.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

namespace vx {

struct NodeValue {
    double x = 0, y = 0, z = 0;

    constexpr NodeValue() = default;
    constexpr NodeValue(double a, double b, double c) : x(a), y(b), z(c) {}
    static constexpr NodeValue scalar(double v) { return {v, v, v}; }

    // The channel a scalar written as (v, v, v) stands for: exactly v, so a
    // host value passes through the root unchanged.
    constexpr double mean() const { return x == y && y == z ? x : (x + y + z) / 3.0; }
    constexpr bool operator==(const NodeValue&) const = default;

    constexpr NodeValue operator+(const NodeValue& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr NodeValue operator-(const NodeValue& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr NodeValue operator*(const NodeValue& o) const { return {x * o.x, y * o.y, z * o.z}; }
    constexpr NodeValue operator*(double s) const { return {x * s, y * s, z * s}; }
    constexpr NodeValue operator/(double s) const { return {x / s, y / s, z / s}; }
    constexpr NodeValue operator-() const { return {-x, -y, -z}; }
};

// A scalar input read from a triple: the plain mean, with no shortcut.
constexpr double scalarOf(const NodeValue& v) { return (v.x + v.y + v.z) / 3.0; }

// The same bits three times (0 and -0 differ, and a NaN may be uniform).
constexpr bool isUniform(const NodeValue& v) {
    const auto x = std::bit_cast<uint64_t>(v.x);
    return x == std::bit_cast<uint64_t>(v.y) && x == std::bit_cast<uint64_t>(v.z);
}

// Between the host's arrays of three and NodeValue.
template <class T>
constexpr NodeValue fromArray(const T v[3]) { return {v[0], v[1], v[2]}; }
inline void toArray(double out[3], const NodeValue& v) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
}

constexpr double dot(const NodeValue& a, const NodeValue& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

constexpr NodeValue cross(const NodeValue& a, const NodeValue& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline double length(const NodeValue& a) { return std::sqrt(dot(a, a)); }

// A zero-length vector stays (0, 0, 0) rather than turning into NaNs.
inline void normalize(NodeValue& a) {
    const double l = length(a);
    a = l > 0 ? a / l : NodeValue{};
}

inline NodeValue normalized(NodeValue a) {
    normalize(a);
    return a;
}

inline NodeValue reflect(const NodeValue& i, const NodeValue& n) {
    const NodeValue ii = normalized(i), nn = normalized(n);
    return ii - nn * (2.0 * dot(ii, nn));
}

inline NodeValue refract(const NodeValue& i, const NodeValue& n, double eta) {
    const NodeValue ii = normalized(i), nn = normalized(n);
    const double c = dot(ii, nn);
    const double k = 1.0 - eta * eta * (1.0 - c * c);
    if (k < 0) return {};
    return ii * eta - nn * (eta * c + std::sqrt(k));
}

// Positive remainder: wrap(0, y) is y, not 0, which "uv_n" and "mod" rely on.
inline double wrap(double x, double y) { return x > 0 ? std::fmod(x, y) : y - std::fmod(-x, y); }

}  // namespace vx
