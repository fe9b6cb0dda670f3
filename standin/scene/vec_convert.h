// Between the scene's Vec3, the shading record's double[3] and the
// NodeValue that shading computes with.
#pragma once

#include "core/value.h"
#include "standin/scene/scene.h"

namespace vxs {

inline vx::NodeValue toValue(const Vec3& v) { return {v[0], v[1], v[2]}; }
inline Vec3 toVec3(const vx::NodeValue& v) { return {v.x, v.y, v.z}; }
using vx::fromArray;
using vx::toArray;

}  // namespace vxs
