#include "standin/scene/image_file.h"

#include <memory>

#include "standin/scene/exr_file.h"
#include "standin/streams/files.h"

#define STB_IMAGE_IMPLEMENTATION
// Only the formats scenes use: fewer decoders to trust with hostile files.
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#include <stb/stb_image.h>

namespace vxs {

namespace {
struct StbFree {
    void operator()(stbi_uc* p) const { stbi_image_free(p); }
};
}  // namespace

bool imageFits(long long width, long long height, std::size_t maxPixels, std::string& error) {
    if (width > 0 && height > 0 && static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) <= maxPixels) return true;
    error = "image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels is larger than " +
            std::to_string(maxPixels) + " pixels";
    return false;
}

bool readImageFile(const std::string& path, Image& out, std::string& error, std::size_t maxPixels, bool pixels) {
    std::string bytes;
    if (!readFile(path, bytes, error)) return false;
    if (isExr(bytes)) return decodeExr(bytes, out, error, maxPixels, pixels);
    const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
    const int size = int(bytes.size());
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(data, size, &w, &h, &channels)) {
        error = std::string("not an image stb_image can read: ") + stbi_failure_reason();
        return false;
    }
    if (!imageFits(w, h, maxPixels, error)) return false;
    out.width = w;
    out.height = h;
    out.hasAlpha = channels == 2 || channels == 4;
    if (!pixels) return true;
    const std::unique_ptr<stbi_uc, StbFree> decoded(stbi_load_from_memory(data, size, &w, &h, &channels, 4));
    if (!decoded) {
        error = std::string("cannot decode the image: ") + stbi_failure_reason();
        return false;
    }
    const std::size_t count = std::size_t(w) * std::size_t(h) * 4;
    out.rgba.resize(count);
    for (std::size_t i = 0; i < count; ++i) out.rgba[i] = float(decoded.get()[i]) / 255.0f;
    return true;
}

HostID makeImageId(std::size_t index) { return HostID(0x08000000 | int(index + 1)); }

const Image* findImage(const Scene& scene, HostID id) {
    if (!id) return nullptr;
    for (const Image& image : scene.images)
        if (image.id == id) return &image;
    return nullptr;
}

}  // namespace vxs
