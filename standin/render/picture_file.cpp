#include "standin/render/picture_file.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfIO.h>
#include <OpenEXR/ImfOutputFile.h>

#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

#include "standin/render/png.h"
#include "standin/streams/files.h"

namespace vxs {

namespace {
constexpr int kJpegQuality = 95;

bool writeJpeg(const std::string& path, const Picture& picture, std::string& error) {
    const std::vector<uint8_t> pixels = toRgb8(picture);
    std::string bytes;
    const auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), size_t(size));
    };
    if (!stbi_write_jpg_to_func(append, &bytes, picture.width, picture.height, 3, pixels.data(), kJpegQuality)) {
        error = "cannot encode the picture";
        return false;
    }
    return writeFile(path, bytes, error);
}

// OpenEXR writes into memory, so that the file itself goes out whole through
// writeFile.
class ExrBytes : public Imf::OStream {
public:
    ExrBytes() : Imf::OStream("memory") {}
    void write(const char c[], int n) override {
        if (at_ + size_t(n) > bytes.size()) bytes.resize(at_ + size_t(n));
        std::copy_n(c, n, bytes.begin() + std::ptrdiff_t(at_));
        at_ += size_t(n);
    }
    uint64_t tellp() override { return at_; }
    void seekp(uint64_t pos) override { at_ = size_t(pos); }

    std::string bytes;

private:
    size_t at_ = 0;
};

bool writeExr(const std::string& path, const Picture& picture, std::string& error) {
    try {
        Imf::Header header(picture.width, picture.height);
        Imf::FrameBuffer frame;
        const char* names[] = {"R", "G", "B"};
        auto* base = const_cast<char*>(reinterpret_cast<const char*>(picture.rgb.data()));
        for (int c = 0; c < 3; ++c) {
            header.channels().insert(names[c], Imf::Channel(Imf::FLOAT));
            frame.insert(names[c], Imf::Slice(Imf::FLOAT, base + c * sizeof(float), 3 * sizeof(float),
                                              3 * sizeof(float) * size_t(picture.width)));
        }
        ExrBytes out;
        {
            Imf::OutputFile file(out, header);
            file.setFrameBuffer(frame);
            file.writePixels(picture.height);
        }
        return writeFile(path, out.bytes, error);
    } catch (const std::exception& e) {
        error = std::string("cannot encode the picture: ") + e.what();
        return false;
    }
}
}  // namespace

std::optional<PictureFormat> pictureFormat(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == ".png") return PictureFormat::Png;
    if (ext == ".jpg" || ext == ".jpeg") return PictureFormat::Jpeg;
    if (ext == ".exr") return PictureFormat::Exr;
    return std::nullopt;
}

bool writePicture(const std::string& path, PictureFormat format, const Picture& picture, std::string& error) {
    switch (format) {
    case PictureFormat::Jpeg:
        return writeJpeg(path, picture, error);
    case PictureFormat::Exr:
        return writeExr(path, picture, error);
    case PictureFormat::Png:
        break;
    }
    return writePng(path, picture, error);
}

}  // namespace vxs
