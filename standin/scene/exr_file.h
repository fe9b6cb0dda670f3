// High-dynamic-range images from OpenEXR files.
#pragma once

#include <cstddef>
#include <string>

#include "standin/scene/scene.h"

namespace vxs {

// Whether the bytes start as an OpenEXR file does.
bool isExr(const std::string& bytes);

// Decodes an OpenEXR file's RGBA into `out` as linear floats, unclamped; an
// image without an alpha channel has alpha 1 and no alpha. False, with a
// one-line reason, for a file that cannot be decoded or is too large.
bool decodeExr(const std::string& bytes, Image& out, std::string& error, std::size_t maxPixels, bool pixels = true);

}  // namespace vxs
