// A colour of an image, as the ray-trace maps and projected spot lights read it.
#pragma once

#include "core/value.h"
#include "host/services.h"

namespace vx {

// The image's colour at (u, v), filtered over one pixel; black when the host
// has no image list or no such image.
NodeValue sampleImageSpot(HostID image, double u, double v);

}  // namespace vx
