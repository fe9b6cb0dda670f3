#include "editor/raster.h"

#include <utility>

#include "editor/ui.h"

namespace vx {

PRaster::PRaster(int width, int height) : services_(rasterServices()), width_(width), height_(height) {
    if (services_ && width > 0 && height > 0) raster_ = services_->create(width, height);
}

PRaster::~PRaster() { release(); }

PRaster::PRaster(PRaster&& other) noexcept
    : services_(other.services_), raster_(std::exchange(other.raster_, nullptr)), width_(other.width_),
      height_(other.height_) {}

PRaster& PRaster::operator=(PRaster&& other) noexcept {
    if (this != &other) {
        release();
        services_ = other.services_;
        raster_ = std::exchange(other.raster_, nullptr);
        width_ = other.width_;
        height_ = other.height_;
    }
    return *this;
}

void PRaster::release() {
    if (raster_) services_->destroy(raster_);
    raster_ = nullptr;
}

void PRaster::line(HostColor c, int x1, int y1, int x2, int y2) const {
    if (raster_) services_->drawLine(raster_, c, x1, y1, x2, y2);
}

void PRaster::box(HostColor c, int x, int y, int w, int h) const {
    if (raster_) services_->drawBox(raster_, c, x, y, w, h);
}

void PRaster::rgb(int x, int y, int w, int h, const unsigned char* pixels) const {
    if (raster_) services_->drawRGB(raster_, x, y, w, h, pixels);
}

void PRaster::text(HostColor c, int x, int y, const char* s) const {
    if (raster_) services_->drawText(raster_, c, x, y, s);
}

int PRaster::textWidth(const char* s) const { return raster_ ? services_->textWidth(raster_, s) : 0; }

void PRaster::mask(HostColor c, int x, int y, int width, const uint16_t* rows, int count) const {
    if (!raster_) return;
    for (int r = 0; r < count; ++r)
        for (int i = 0; i < width; ++i)
            if (rows[r] >> (width - 1 - i) & 1) services_->drawPixel(raster_, c, x + i, y + r);
}

void PRaster::blit(HostControl canvas) const {
    if (raster_ && canvas) services_->blit(raster_, canvas, 0, 0);
}

}  // namespace vx
