// Rendered pictures as 8-bit PNG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "standin/render/renderer.h"

namespace vxs {

// Eight bits per channel, RGB, rows top first: each value clamped to
// [0, 1] and rounded to the nearest of 256 steps. No gamma is applied:
// the renderer's colours are the picture's.
std::vector<uint8_t> toRgb8(const Picture& picture);

// False, with a one-line reason in `error`, when the file cannot be written.
bool writePng(const std::string& path, const Picture& picture, std::string& error);
// The same for pixels already in 8-bit RGB, rows top first.
bool writePng(const std::string& path, int width, int height, const uint8_t* rgb, std::string& error);

}  // namespace vxs
