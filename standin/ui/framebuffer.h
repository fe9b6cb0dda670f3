// The one drawing path of the stand-in's interface: an RGB framebuffer in
// memory with lines, boxes, masks and copies. Panels, rasters and shots all
// draw through it, with or without a window on screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vxs::ui {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// A colour as the host's drawing calls take it (HOST_RGB): 2^24 +
// red x 65536 + blue x 256 + green.
constexpr Rgb unpackColour(uint32_t packed) {
    return {uint8_t(packed >> 16), uint8_t(packed), uint8_t(packed >> 8)};
}

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

class Framebuffer {
public:
    Framebuffer() = default;
    Framebuffer(int width, int height, Rgb fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<uint8_t>& bytes() const { return rgb_; }
    Rgb pixel(int x, int y) const;

    // Drawing outside the clip rectangle (the whole buffer unless set) is
    // dropped, so callers never check bounds.
    void setClip(Rect clip);
    void resetClip() { clip_ = {0, 0, width_, height_}; }

    void set(int x, int y, Rgb c);
    void blend(int x, int y, Rgb c, int alpha);  // alpha 0..255
    void fillBox(int x, int y, int w, int h, Rgb c);
    // Both end points drawn.
    void line(int x1, int y1, int x2, int y2, Rgb c);
    // The outline of the box with corners (x, y) and (x + w - 1, y + h - 1).
    void frame(int x, int y, int w, int h, Rgb c);
    // A raised (sunken = false) or sunken bevel of the given depth.
    void bevel(int x, int y, int w, int h, int depth, bool sunken);
    // Copies `src` with its top-left corner at (x, y).
    void blit(const Framebuffer& src, int x, int y);
    // Copies w x h pixels of RGB bytes, rows top first, to (x, y).
    void copyRgb(int x, int y, int w, int h, const uint8_t* rgb);

private:
    int width_ = 0, height_ = 0;
    std::vector<uint8_t> rgb_;
    Rect clip_;
};

// The toolkit's own colours for what the host draws around the module's.
namespace colour {
inline constexpr Rgb kPanel{172, 172, 172};
inline constexpr Rgb kLight{220, 220, 220};
inline constexpr Rgb kShadow{96, 96, 96};
inline constexpr Rgb kText{0, 0, 0};
inline constexpr Rgb kGhost{130, 130, 130};
inline constexpr Rgb kField{200, 200, 200};
inline constexpr Rgb kSelected{96, 112, 160};
inline constexpr Rgb kWhite{255, 255, 255};
}  // namespace colour

// Writes the pixels as an 8-bit RGB PNG; false, with a one-line reason in
// `error`, when the file cannot be written.
bool writeShot(const std::string& path, const Framebuffer& fb, std::string& error);

}  // namespace vxs::ui
