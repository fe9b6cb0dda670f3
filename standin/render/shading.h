// Shading records the stand-in hands to a shader's evaluate.
#pragma once

#include "host/services.h"

namespace vxs {

// One sample at the world origin, facing a ray from (0, 0, -4), with the
// channels of a plain grey surface (glossiness 0.4, i.e. roughness 1/64).
// Its callbacks see an empty world: every ray misses and no light arrives.
HostShading defaultShading();

}  // namespace vxs
