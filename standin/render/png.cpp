#include "standin/render/png.h"

#include <algorithm>
#include <cmath>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

#include "standin/streams/files.h"

namespace vxs {

std::vector<uint8_t> toRgb8(const Picture& picture) {
    std::vector<uint8_t> out(picture.rgb.size());
    // NaN from a shader's arithmetic becomes black rather than undefined.
    std::transform(picture.rgb.begin(), picture.rgb.end(), out.begin(), [](float v) {
        return uint8_t(std::lround(std::isnan(v) ? 0.0f : std::clamp(v, 0.0f, 1.0f) * 255.0f));
    });
    return out;
}

bool writePng(const std::string& path, const Picture& picture, std::string& error) {
    const std::vector<uint8_t> pixels = toRgb8(picture);
    return writePng(path, picture.width, picture.height, pixels.data(), error);
}

bool writePng(const std::string& path, int width, int height, const uint8_t* rgb, std::string& error) {
    std::string bytes;
    const auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), size_t(size));
    };
    if (!stbi_write_png_to_func(append, &bytes, width, height, 3, rgb, width * 3)) {
        error = "cannot encode the picture";
        return false;
    }
    return writeFile(path, bytes, error);
}

}  // namespace vxs
