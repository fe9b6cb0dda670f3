#include "standin/ui/framebuffer.h"

#include <algorithm>
#include <cstdlib>

#include "standin/render/png.h"

namespace vxs::ui {

Framebuffer::Framebuffer(int width, int height, Rgb fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), rgb_(size_t(width_) * size_t(height_) * 3) {
    resetClip();
    fillBox(0, 0, width_, height_, fill);
}

Rgb Framebuffer::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    const uint8_t* p = &rgb_[(size_t(y) * size_t(width_) + size_t(x)) * 3];
    return {p[0], p[1], p[2]};
}

void Framebuffer::setClip(Rect clip) {
    const int x0 = std::max(clip.x, 0), y0 = std::max(clip.y, 0);
    const int x1 = std::min(clip.x + clip.w, width_), y1 = std::min(clip.y + clip.h, height_);
    clip_ = {x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0)};
}

void Framebuffer::set(int x, int y, Rgb c) {
    if (!clip_.contains(x, y)) return;
    uint8_t* p = &rgb_[(size_t(y) * size_t(width_) + size_t(x)) * 3];
    p[0] = c.r, p[1] = c.g, p[2] = c.b;
}

void Framebuffer::blend(int x, int y, Rgb c, int alpha) {
    if (!clip_.contains(x, y) || alpha <= 0) return;
    uint8_t* p = &rgb_[(size_t(y) * size_t(width_) + size_t(x)) * 3];
    const auto mix = [alpha](uint8_t d, uint8_t s) { return uint8_t(d + ((s - d) * alpha + 127) / 255); };
    p[0] = mix(p[0], c.r), p[1] = mix(p[1], c.g), p[2] = mix(p[2], c.b);
}

void Framebuffer::fillBox(int x, int y, int w, int h, Rgb c) {
    const int x0 = std::max(x, clip_.x), y0 = std::max(y, clip_.y);
    const int x1 = std::min(x + w, clip_.x + clip_.w), y1 = std::min(y + h, clip_.y + clip_.h);
    if (x1 <= x0 || y1 <= y0) return;
    uint8_t* first = &rgb_[(size_t(y0) * size_t(width_) + size_t(x0)) * 3];
    for (uint8_t* p = first; p < first + size_t(x1 - x0) * 3; p += 3) p[0] = c.r, p[1] = c.g, p[2] = c.b;
    for (int py = y0 + 1; py < y1; ++py)
        std::copy_n(first, size_t(x1 - x0) * 3, &rgb_[(size_t(py) * size_t(width_) + size_t(x0)) * 3]);
}

void Framebuffer::line(int x1, int y1, int x2, int y2, Rgb c) {
    if (y1 == y2) return fillBox(std::min(x1, x2), y1, std::abs(x2 - x1) + 1, 1, c);
    if (x1 == x2) return fillBox(x1, std::min(y1, y2), 1, std::abs(y2 - y1) + 1, c);
    // Bresenham; long lines far outside the buffer still end, one step per pixel.
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    for (int err = dx + dy;;) {
        set(x1, y1, c);
        if (x1 == x2 && y1 == y2) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x1 += sx;
        if (e2 <= dx) err += dx, y1 += sy;
    }
}

void Framebuffer::frame(int x, int y, int w, int h, Rgb c) {
    if (w <= 0 || h <= 0) return;
    fillBox(x, y, w, 1, c);
    fillBox(x, y + h - 1, w, 1, c);
    fillBox(x, y, 1, h, c);
    fillBox(x + w - 1, y, 1, h, c);
}

void Framebuffer::bevel(int x, int y, int w, int h, int depth, bool sunken) {
    const Rgb top = sunken ? colour::kShadow : colour::kLight;
    const Rgb bottom = sunken ? colour::kLight : colour::kShadow;
    for (int i = 0; i < depth && w > 2 * i && h > 2 * i; ++i) {
        fillBox(x + i, y + i, w - 2 * i, 1, top);
        fillBox(x + i, y + i, 1, h - 2 * i, top);
        fillBox(x + i, y + h - 1 - i, w - 2 * i, 1, bottom);
        fillBox(x + w - 1 - i, y + i, 1, h - 2 * i, bottom);
    }
}

void Framebuffer::blit(const Framebuffer& src, int x, int y) {
    copyRgb(x, y, src.width_, src.height_, src.rgb_.data());
}

void Framebuffer::copyRgb(int x, int y, int w, int h, const uint8_t* rgb) {
    const int x0 = std::max(x, clip_.x), y0 = std::max(y, clip_.y);
    const int x1 = std::min(x + w, clip_.x + clip_.w), y1 = std::min(y + h, clip_.y + clip_.h);
    if (x1 <= x0) return;
    for (int py = y0; py < y1; ++py)
        std::copy_n(&rgb[(size_t(py - y) * size_t(w) + size_t(x0 - x)) * 3], size_t(x1 - x0) * 3,
                    &rgb_[(size_t(py) * size_t(width_) + size_t(x0)) * 3]);
}

bool writeShot(const std::string& path, const Framebuffer& fb, std::string& error) {
    return writePng(path, fb.width(), fb.height(), fb.bytes().data(), error);
}

}  // namespace vxs::ui
