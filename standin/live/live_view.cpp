#include "standin/live/live_view.h"

#include <cstdio>

#include "standin/render/picture_file.h"
#include "standin/render/png.h"
#include "standin/streams/streams.h"
#include "standin/ui/font.h"
#include "standin/ui/keys.h"

namespace vxs {

LiveView::LiveView(const Scene& scene, const Shader& shader, std::vector<HostInstance> instances, size_t edited,
                   const RenderSettings& settings, std::function<void()> passDone)
    : scene_(scene),
      shader_(shader),
      instances_(std::move(instances)),
      edited_(edited),
      rendered_(instances_.size()),
      copies_(scene, shader),
      render_(scene, &copies_, settings, std::move(passDone)),
      panel_(kTitle, render_.frame().width(), render_.frame().height() + kStatusHeight) {
    for (size_t i = 0; i < instances_.size(); ++i) {
        if (!instances_[i]) continue;
        rendered_[i] = saved(instances_[i]);
        copies_.copy(i, instances_[i]);
    }
    // The status line is a canvas, so that a script's show reads it.
    panel_.addControl(ui::ControlKind::Canvas, "Status", {0, render_.frame().height(), panel_.width(), kStatusHeight});
    ui::Panel::Handlers& h = panel_.handlers();
    h.draw = [this] { drawPicture(); };
    h.controlDraw = [this](ui::Control&) { drawStatus(); };
    h.mouseMove = [this](int, int x, int y) { hover(x, y); };
    h.mouseButton = [this](int q, int x, int y) {
        if (!(q & ui::qual::kDown) || !(q & ui::qual::kLeft) || y >= render_.frame().height()) return;
        const int surface = render_.frame().surfaceAt(x, y);
        if (surface >= 0 && size_t(surface) != edited_ && pickSurface) pickSurface(size_t(surface));
    };
    panel_.shot = [this](const std::string& path, std::string& error) { return writeShot(path, error); };
    shown_ = render_.latest();
    panel_.open();
    render_.start();
}

LiveView::~LiveView() { render_.stop(); }

std::string LiveView::saved(HostInstance instance) const {
    SaveStream stream(HOST_IO_BINARY);
    shader_.save(instance, *stream.state());
    return stream.bytes();
}

void LiveView::afterEvent() {
    if (HostInstance inst = instances_[edited_]) {
        std::string bytes = saved(inst);
        if (bytes != rendered_[edited_]) {
            render_.stop();
            copies_.copy(edited_, inst);
            rendered_[edited_] = std::move(bytes);
            render_.start();
            shown_.number = 0;
            drawStatus();
        }
    }
    refresh();
}

void LiveView::edit(size_t surface, HostInstance instance) {
    if (surface >= instances_.size()) return;
    instances_[surface] = instance;
    edited_ = surface;
    afterEvent();
}

void LiveView::refresh() {
    const uint64_t done = render_.passesDone();
    if (done == shownPasses_) return;
    shownPasses_ = done;
    shown_ = render_.latest();
    panel_.redraw();
}

bool LiveView::waitFinished(std::chrono::milliseconds timeout) {
    const bool finished = render_.waitFinished(timeout);
    refresh();
    return finished;
}

bool LiveView::writeShot(const std::string& path, std::string& error) const {
    const std::optional<PictureFormat> format = pictureFormat(path);
    if (!format) {
        error = path + ": the name must end in .png, .jpg, .jpeg or .exr";
        return false;
    }
    return writePicture(path, *format, render_.latest().picture, error);
}

void LiveView::drawPicture() {
    const Picture& p = shown_.picture;
    const std::vector<uint8_t> rgb = toRgb8(p);
    panel_.pixels().copyRgb(0, 0, p.width, p.height, rgb.data());
}

void LiveView::drawStatus() {
    const int y = render_.frame().height(), w = panel_.width();
    panel_.fillBox(0, y, w, kStatusHeight, ui::colour::kPanel);
    char text[96];
    if (shown_.number == 0) std::snprintf(text, sizeof text, "rendering");
    else
        std::snprintf(text, sizeof text, "pass %d of %d   %.2f s   %.2f M samples/s", shown_.number, shown_.passes,
                      shown_.seconds, shown_.samplesPerSecond * 1e-6);
    panel_.text(6, y + (kStatusHeight - ui::kTextHeight) / 2, text, ui::colour::kText);
    panel_.text(w - 6 - ui::textWidth(pointing_), y + (kStatusHeight - ui::kTextHeight) / 2, pointing_,
                ui::colour::kText);
}

void LiveView::hover(int x, int y) {
    const FrameRenderer& frame = render_.frame();
    pointing_.clear();
    if (x >= 0 && y >= 0 && x < frame.width() && y < frame.height()) {
        const int surface = frame.surfaceAt(x, y);
        pointing_ = std::to_string(x) + ", " + std::to_string(y) + "   " +
                    (surface >= 0 ? scene_.surfaces[size_t(surface)].name : std::string("backdrop"));
    }
    drawStatus();
}

}  // namespace vxs
