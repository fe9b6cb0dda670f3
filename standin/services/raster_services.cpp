#include "standin/services/panel_records.h"
#include "standin/services/ui_services.h"
#include "standin/ui/font.h"

struct HostRasterRec {
    vxs::ui::Framebuffer pixels;
};

namespace vxs {

namespace {
// Rasters larger than this are refused rather than allocated.
constexpr long long kMaxRasterPixels = 8192LL * 8192;

HostRaster create(int w, int h) {
    if (w <= 0 || h <= 0 || (long long)w * h > kMaxRasterPixels) return nullptr;
    return new HostRasterRec{ui::Framebuffer(w, h)};
}

void destroy(HostRaster r) { delete r; }

void drawPixel(HostRaster r, HostColor c, int x, int y) {
    if (r) r->pixels.set(x, y, ui::unpackColour(c));
}

void drawLine(HostRaster r, HostColor c, int x1, int y1, int x2, int y2) {
    if (r) r->pixels.line(x1, y1, x2, y2, ui::unpackColour(c));
}

void drawBox(HostRaster r, HostColor c, int x, int y, int w, int h) {
    if (r) r->pixels.fillBox(x, y, w, h, ui::unpackColour(c));
}

void drawRGB(HostRaster r, int x, int y, int w, int h, const unsigned char* rgb) {
    if (r && rgb && w > 0 && h > 0) r->pixels.copyRgb(x, y, w, h, rgb);
}

void drawText(HostRaster r, HostColor c, int x, int y, const char* text) {
    if (r && text) ui::drawText(r->pixels, x, y, text, ui::unpackColour(c));
}

int textWidth(HostRaster, const char* text) { return text ? ui::textWidth(text) : 0; }

void blit(HostRaster r, HostControl canvas, int x, int y) {
    if (!r || !canvas || !canvas->panel->panel.isOpen()) return;
    canvas->panel->panel.blit(r->pixels, *canvas->control, x, y);
}

const HostRasterServices kRasterServices{.create = create,
                                         .destroy = destroy,
                                         .drawPixel = drawPixel,
                                         .drawLine = drawLine,
                                         .drawBox = drawBox,
                                         .drawRGB = drawRGB,
                                         .drawText = drawText,
                                         .textWidth = textWidth,
                                         .blit = blit};
}  // namespace

const HostRasterServices* rasterServices() { return &kRasterServices; }

}  // namespace vxs
