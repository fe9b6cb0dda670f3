// Procedural patterns over texture space, each a value in [0, 1] that mixes
// a layer's two colours.
#pragma once

#include <array>
#include <string_view>

namespace vxs {

using Point3 = std::array<double, 3>;

enum Pattern { PAT_CHECKERBOARD, PAT_GRID, PAT_DOTS, PAT_NOISE, PAT_TURBULENCE, PAT_MARBLE, PAT_WOOD, PAT_COUNT };

int patternByName(std::string_view name);  // -1 for an unknown name
const char* patternName(int pattern);

// Gradient noise in [-1, 1], zero at every lattice point.
double perlin(const Point3& p);
// Sums of octaves, each at twice the frequency and half the weight of the
// one before: signed noise in about [-1, 1], turbulence of its magnitude in [0, 1].
double fractalNoise(const Point3& p, int octaves);
double turbulence(const Point3& p, int octaves);

// The pattern's value at p (one unit per cell, ring or vein).
double pattern(int kind, const Point3& p, int octaves);

}  // namespace vxs
