// PNG files the command wrote, decoded for pixel checks.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#define STBI_NO_STDIO
#include <stb/stb_image.h>

#include "tests/temp_dir.h"

namespace vxt {

struct Png {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;

    std::array<int, 3> at(int row, int column) const {
        const uint8_t* p = rgb.data() + (size_t(row) * size_t(width) + size_t(column)) * 3;
        return {p[0], p[1], p[2]};
    }
};

// Width and height 0 when the file is not a PNG.
inline Png decodePng(const std::string& file) {
    const std::string bytes = readBytes(file);
    Png png;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), int(bytes.size()),
                                            &png.width, &png.height, &channels, 3);
    if (!pixels) return png;
    png.rgb.assign(pixels, pixels + size_t(png.width) * size_t(png.height) * 3);
    stbi_image_free(pixels);
    return png;
}

}  // namespace vxt
