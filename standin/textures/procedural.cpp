#include "standin/textures/procedural.h"

#include "standin/textures/names.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vxs {

namespace {
constexpr const char* kNames[PAT_COUNT] = {"checkerboard", "grid", "dots", "noise", "turbulence", "marble", "wood"};
constexpr int kMaxOctaves = 16;

// A fixed permutation so that every run and thread sees the same noise.
struct Permutation {
    uint8_t p[512];
    Permutation() {
        uint32_t state = 0x9E3779B9u;
        for (int i = 0; i < 256; ++i) p[i] = static_cast<uint8_t>(i);
        for (int i = 255; i > 0; --i) {
            state = state * 1664525u + 1013904223u;
            std::swap(p[i], p[state % static_cast<uint32_t>(i + 1)]);
        }
        for (int i = 0; i < 256; ++i) p[256 + i] = p[i];
    }
};
const Permutation kPerm;

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
double lerp(double a, double b, double t) { return a + (b - a) * t; }
double grad(int hash, double x, double y, double z) {
    const int h = hash & 15;
    const double u = h < 8 ? x : y, v = h < 4 ? y : (h == 12 || h == 14 ? x : z);
    return ((h & 1) ? -u : u) + ((h & 2) ? -v : v);
}
double frac(double v) { return v - std::floor(v); }
}  // namespace

int patternByName(std::string_view name) { return indexOf(kNames, name); }

const char* patternName(int pattern) { return kNames[std::clamp(pattern, 0, PAT_COUNT - 1)]; }

double perlin(const Point3& q) {
    if (!std::isfinite(q[0]) || !std::isfinite(q[1]) || !std::isfinite(q[2])) return 0;
    const double fx = std::floor(q[0]), fy = std::floor(q[1]), fz = std::floor(q[2]);
    const int X = static_cast<int>(std::fmod(fx, 256.0) + 256) & 255, Y = static_cast<int>(std::fmod(fy, 256.0) + 256) & 255,
              Z = static_cast<int>(std::fmod(fz, 256.0) + 256) & 255;
    const double x = q[0] - fx, y = q[1] - fy, z = q[2] - fz;
    const double u = fade(x), v = fade(y), w = fade(z);
    const uint8_t* p = kPerm.p;
    const int A = p[X] + Y, AA = p[A] + Z, AB = p[A + 1] + Z, B = p[X + 1] + Y, BA = p[B] + Z, BB = p[B + 1] + Z;
    return lerp(lerp(lerp(grad(p[AA], x, y, z), grad(p[BA], x - 1, y, z), u),
                     lerp(grad(p[AB], x, y - 1, z), grad(p[BB], x - 1, y - 1, z), u), v),
                lerp(lerp(grad(p[AA + 1], x, y, z - 1), grad(p[BA + 1], x - 1, y, z - 1), u),
                     lerp(grad(p[AB + 1], x, y - 1, z - 1), grad(p[BB + 1], x - 1, y - 1, z - 1), u), v),
                w);
}

template <class Shape>
double octaveSum(const Point3& p, int octaves, Shape shape) {
    double sum = 0, weight = 1, total = 0, f = 1;
    for (int i = 0; i < std::clamp(octaves, 1, kMaxOctaves); ++i, weight *= 0.5, f *= 2) {
        sum += weight * shape(perlin({p[0] * f, p[1] * f, p[2] * f}));
        total += weight;
    }
    return sum / total;
}

double fractalNoise(const Point3& p, int octaves) {
    return octaveSum(p, octaves, [](double n) { return n; });
}

double turbulence(const Point3& p, int octaves) {
    return std::min(1.0, octaveSum(p, octaves, [](double n) { return std::fabs(n); }) * 2);
}

double pattern(int kind, const Point3& p, int octaves) {
    switch (kind) {
    case PAT_CHECKERBOARD: {
        const double s = std::floor(p[0]) + std::floor(p[1]) + std::floor(p[2]);
        return std::fmod(std::fabs(s), 2.0) < 0.5 ? 1 : 0;
    }
    case PAT_GRID: {
        constexpr double kLine = 0.1;
        return frac(p[0]) < kLine || frac(p[1]) < kLine || frac(p[2]) < kLine ? 1 : 0;
    }
    case PAT_DOTS: {
        const double dx = frac(p[0]) - 0.5, dy = frac(p[1]) - 0.5, dz = frac(p[2]) - 0.5;
        return dx * dx + dy * dy + dz * dz < 0.35 * 0.35 ? 1 : 0;
    }
    case PAT_NOISE: return std::clamp(0.5 + 0.5 * fractalNoise(p, octaves) * 1.5, 0.0, 1.0);
    case PAT_TURBULENCE: return turbulence(p, octaves);
    case PAT_MARBLE: {
        const double veins = std::sin((p[0] + 4 * turbulence(p, octaves)) * 3.141592653589793);
        return std::pow(1 - std::fabs(veins), 3);
    }
    case PAT_WOOD: {
        const double r = std::sqrt(p[0] * p[0] + p[2] * p[2]) + 0.3 * fractalNoise({p[0] * 0.5, p[1] * 0.1, p[2] * 0.5}, octaves);
        return 0.5 + 0.5 * std::cos(frac(r) * 2 * 3.141592653589793);
    }
    default: return 0;
    }
}

}  // namespace vxs
