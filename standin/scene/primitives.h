// Primitive objects built as polygon meshes, each with a "TXUV" map named
// "uv". A polygon's front is the side (p2 - p1) x (pN - p1) points to, for
// its first, second and last points; primitives face outwards.
#pragma once

#include <vector>

#include "standin/scene/scene.h"

namespace vxs {

inline constexpr const char* kPrimitiveUVMap = "uv";
inline constexpr int kMinSphereSegments = 3;
inline constexpr int kMaxSphereSegments = 1024;

// Centred on the origin. `segments` around the equator (clamped to the
// limits above) and half as many, at least two, from pole to pole: triangles
// at the poles, quads between. u runs once around from +z towards +x, v from
// the bottom pole (0) to the top (1).
Mesh sphereMesh(double radius, int segments);
// One quad in the x-z plane facing +y, centred on the origin; u along x,
// v along z.
Mesh planeMesh(double sizeX, double sizeZ);
// Centred on the origin; each face maps the whole of u and v.
Mesh boxMesh(const Vec3& size);

// Gives `point` the value on `polygon`: as the point's own value when it has
// none yet or the same one, otherwise as a value for this polygon only.
void setCornerValue(VertexMap& map, HostID point, HostID polygon, std::vector<float> value);

}  // namespace vxs
