// An off-screen raster of the host, drawn into and then copied onto a canvas
// control in one call.
#pragma once

#include "host/ui_services.h"

namespace vx {

class PRaster {
public:
    PRaster() = default;
    PRaster(int width, int height);
    ~PRaster();
    PRaster(PRaster&& other) noexcept;
    PRaster& operator=(PRaster&& other) noexcept;

    // False when the host gave no raster; every call below then does nothing.
    explicit operator bool() const { return raster_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }

    void line(HostColor c, int x1, int y1, int x2, int y2) const;
    void box(HostColor c, int x, int y, int w, int h) const;
    void rgb(int x, int y, int w, int h, const unsigned char* pixels) const;
    void text(HostColor c, int x, int y, const char* s) const;
    int textWidth(const char* s) const;
    // Draws the mask's set pixels, rows of `width` bits from the top, most
    // significant bit leftmost.
    void mask(HostColor c, int x, int y, int width, const uint16_t* rows, int count) const;
    void blit(HostControl canvas) const;

private:
    void release();
    const HostRasterServices* services_ = nullptr;
    HostRaster raster_ = nullptr;
    int width_ = 0, height_ = 0;
};

}  // namespace vx
