// Rendered pictures written in the format their file name asks for.
#pragma once

#include <optional>
#include <string>

#include "standin/render/renderer.h"

namespace vxs {

enum class PictureFormat { Png, Jpeg, Exr };

// By the extension, in any case: .png, .jpg or .jpeg, .exr; nothing for any
// other.
std::optional<PictureFormat> pictureFormat(const std::string& path);

// PNG and JPEG hold 8 bits a channel as writePng makes them; OpenEXR holds
// the renderer's linear values unclamped, as 32-bit floats. False, with a
// one-line reason in `error`, when the file cannot be written.
bool writePicture(const std::string& path, PictureFormat format, const Picture& picture, std::string& error);

}  // namespace vxs
