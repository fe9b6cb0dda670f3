// Lookups in a decoded image: what the image list answers and what the
// stand-in's own shading reads for spherical maps and projected spots.
#pragma once

#include <array>

#include "standin/scene/scene.h"

namespace vxs {

using Rgba = std::array<double, 4>;

// The image at (u, v), both wrapping over [0, 1), row 0 at v = 0. Without
// blending the nearest pixel; with it, bilinear within a pixel and a box
// filter over a square of side spotSize once the spot covers more than one
// pixel. Zero for an empty image or a non-finite position.
Rgba imageSpot(const Image& image, double u, double v, double spotSize, bool blend);

}  // namespace vxs
