#include "nodes/image_spot.h"

#include <algorithm>

#include "host/host.h"

namespace vx {

NodeValue sampleImageSpot(HostID image, double u, double v) {
    const HostImageList* images = host().imageList;
    if (!image || !images || !images->size || !images->spotColor) return {};
    int w = 0, h = 0;
    images->size(image, &w, &h);
    if (w <= 0 || h <= 0) return {};
    double rgb[3] = {};
    images->spotColor(image, u, v, std::min(1.0 / w, 1.0 / h), 1, rgb);
    return fromArray(rgb);
}

}  // namespace vx
