// Image files read into the scene's images, with stb_image and OpenEXR.
#pragma once

#include <cstddef>
#include <string>

#include "standin/scene/scene.h"

namespace vxs {

// Larger images are refused before they are decoded.
inline constexpr std::size_t kMaxImagePixels = std::size_t{4096} * 4096;

// Reads a PNG, JPEG, BMP, TGA or OpenEXR file into the pixels, size and alpha flag of
// `out` (its id, name and path are left alone); without `pixels` only the
// header is read, for the size and alpha flag. False, with a one-line reason
// in `error`, when the file cannot be read or decoded, or its header gives it
// more than `maxPixels` (then nothing is decoded).
bool readImageFile(const std::string& path, Image& out, std::string& error, std::size_t maxPixels = kMaxImagePixels,
                   bool pixels = true);
// The header's check: false, with the reason in `error`, for an empty image
// or one of more than `maxPixels`.
bool imageFits(long long width, long long height, std::size_t maxPixels, std::string& error);

// Image ids: 0x08000000 plus the index in Scene::images plus 1.
HostID makeImageId(std::size_t index);
const Image* findImage(const Scene& scene, HostID id);

}  // namespace vxs
