#include "standin/scene/exr_file.h"

#include <cstdint>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <vector>

#include <OpenEXR/ImfIO.h>
#include <OpenEXR/ImfRgbaFile.h>

#include "standin/scene/image_file.h"


namespace vxs {

namespace {
// The file's bytes as OpenEXR reads them, already read and size-checked.
class MemoryStream final : public Imf::IStream {
public:
    explicit MemoryStream(const std::string& bytes) : Imf::IStream("image"), bytes_(bytes) {}
    bool read(char c[], int n) override {
        if (n < 0 || pos_ > bytes_.size() || bytes_.size() - pos_ < static_cast<size_t>(n))
            throw std::runtime_error("the file ends early");
        std::memcpy(c, bytes_.data() + pos_, static_cast<size_t>(n));
        pos_ += static_cast<size_t>(n);
        return pos_ < bytes_.size();
    }
    uint64_t tellg() override { return pos_; }
    void seekg(uint64_t pos) override { pos_ = pos; }

private:
    const std::string& bytes_;
    uint64_t pos_ = 0;
};
}  // namespace

bool isExr(const std::string& bytes) { return bytes.size() >= 4 && bytes.compare(0, 4, "\x76\x2f\x31\x01") == 0; }

bool decodeExr(const std::string& bytes, Image& out, std::string& error, std::size_t maxPixels, bool pixels) {
    try {
        MemoryStream stream(bytes);
        Imf::RgbaInputFile file(stream);
        const Imath::Box2i window = file.dataWindow();
        const long long w = static_cast<long long>(window.max.x) - window.min.x + 1;
        const long long h = static_cast<long long>(window.max.y) - window.min.y + 1;
        if (!imageFits(w, h, maxPixels, error)) return false;
        out.width = static_cast<int>(w);
        out.height = static_cast<int>(h);
        out.hasAlpha = (file.channels() & Imf::WRITE_A) != 0;
        if (!pixels) return true;
        std::vector<Imf::Rgba> decoded(static_cast<size_t>(w * h));
        // The frame buffer is addressed by the data window's own coordinates;
        // its base may lie outside the array, so it is computed as a number.
        const auto offset = static_cast<uintptr_t>((window.min.x + window.min.y * w) * sizeof(Imf::Rgba));
        auto* base = reinterpret_cast<Imf::Rgba*>(reinterpret_cast<uintptr_t>(decoded.data()) - offset);
        file.setFrameBuffer(base, 1, static_cast<size_t>(w));
        file.readPixels(window.min.y, window.max.y);
        out.rgba.resize(decoded.size() * 4);
        for (size_t i = 0; i < decoded.size(); ++i) {
            const Imf::Rgba& p = decoded[i];
            out.rgba[4 * i] = p.r;
            out.rgba[4 * i + 1] = p.g;
            out.rgba[4 * i + 2] = p.b;
            out.rgba[4 * i + 3] = out.hasAlpha ? float(p.a) : 1.0f;
        }
        return true;
    } catch (const std::exception& e) {
        error = std::string("cannot decode the OpenEXR image: ") + e.what();
        return false;
    }
}

}  // namespace vxs
