// "LWShelfFuncs" and "Image Utility": a preset shelf that keeps each preset
// as a tree file with an 80 x 80 thumbnail beside it in one folder, and shows
// them in a window of its own, where a click loads a preset into the client
// the window serves.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "standin/render/png.h"
#include "standin/scene/image_file.h"
#include "standin/services/ui_services.h"
#include "standin/ui/font.h"
#include "standin/ui/keys.h"

struct HostImageRec {
    int width, height;
    std::vector<float> rgb;
};

struct HostShelfRec {
    void* data;
    HostShelfLoadOkFunc loadOk;
    HostShelfLoadFunc load;
    HostShelfSaveFunc save;
};

namespace vxs {

namespace {
namespace fs = std::filesystem;

constexpr int kThumb = 80, kCell = 88, kColumns = 4, kTop = 28, kRow = kThumb + 24;
constexpr int kMaxImageSide = 4096;

// ---- Image Utility ----

HostImage createImage(int type, int w, int h) {
    if (type != HOST_IMAGE_RGBFP || w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide) return nullptr;
    return new HostImageRec{w, h, std::vector<float>(size_t(w) * size_t(h) * 3, 0.0f)};
}

void destroyImage(HostImage image) { delete image; }

float* at(HostImage image, int x, int y) {
    if (!image || x < 0 || y < 0 || x >= image->width || y >= image->height) return nullptr;
    return &image->rgb[(size_t(y) * size_t(image->width) + size_t(x)) * 3];
}

void setPixel(HostImage image, int x, int y, const float rgb[3]) {
    if (float* p = at(image, x, y)) std::copy_n(rgb, 3, p);
}

void getPixel(HostImage image, int x, int y, float rgb[3]) {
    const float* p = at(image, x, y);
    for (int i = 0; i < 3; ++i) rgb[i] = p ? p[i] : 0.0f;
}

void imageSize(HostImage image, int* w, int* h) {
    if (w) *w = image ? image->width : 0;
    if (h) *h = image ? image->height : 0;
}

const HostImageUtility kImageUtility{.create = createImage,
                                     .destroy = destroyImage,
                                     .setPixel = setPixel,
                                     .getPixel = getPixel,
                                     .size = imageSize};

// ---- the shelf ----

// The presets of the folder, by file name.
std::vector<fs::path> presets() {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(uiSession().presetFolder, ec))
        if (e.path().extension() == ".shd") out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

class ShelfWindow {
public:
    ShelfWindow() : panel_("Presets", kColumns * kCell + 8, kTop + kRow + 8) {
        ui::Panel::Handlers& h = panel_.handlers();
        h.draw = [this] { draw(); };
        h.close = [this] { panelClosed(&panel_); };
        h.mouseButton = [this](int q, int x, int y) {
            if (q & ui::qual::kDown) choose(x, y);
        };
        h.keyDown = [this](int code) {
            if (code == ui::key::kEscape) panel_.close();
        };
    }

    bool isOpen() const { return panel_.isOpen(); }
    HostShelfRec*& serving() { return serving_; }

    void open() {
        fit();
        if (!panel_.isOpen()) panel_.open();
        panelOpened(&panel_);
    }
    void refresh() {
        fit();
        panel_.redraw();
    }

private:
    void fit() {
        const int rows = std::max(1, (int(presets().size()) + kColumns - 1) / kColumns);
        panel_.setSize(kColumns * kCell + 8, kTop + rows * kRow + 8);
    }

    void draw() {
        const std::vector<fs::path> all = presets();
        panel_.text(8, 6, all.empty() ? "No presets yet" : "Click a preset to load it", ui::colour::kText);
        for (size_t i = 0; i < all.size(); ++i) {
            const int x = 8 + int(i % kColumns) * kCell, y = kTop + int(i / kColumns) * kRow;
            panel_.fillBox(x, y, kThumb, kThumb, {0, 0, 0});
            Image thumb;
            std::string error;
            fs::path png = all[i];
            if (readImageFile(png.replace_extension(".png").string(), thumb, error)) {
                ui::Framebuffer pixels(thumb.width, thumb.height);
                for (int py = 0; py < thumb.height; ++py)
                    for (int px = 0; px < thumb.width; ++px) {
                        const float* p = &thumb.rgba[(size_t(py) * size_t(thumb.width) + size_t(px)) * 4];
                        const auto byte = [](float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
                        pixels.set(px, py, {byte(p[0]), byte(p[1]), byte(p[2])});
                    }
                panel_.pixels().setClip({x, y, kThumb, kThumb});
                panel_.pixels().blit(pixels, x, y);
                panel_.pixels().resetClip();
            }
            panel_.pixels().bevel(x - 1, y - 1, kThumb + 2, kThumb + 2, 1, true);
            panel_.text(x, y + kThumb + 4, all[i].stem().string(), ui::colour::kText);
        }
    }

    void choose(int x, int y) {
        const int col = (x - 8) / kCell, row = (y - kTop) / kRow;
        if (x < 8 || y < kTop || col >= kColumns) return;
        const std::vector<fs::path> all = presets();
        const size_t i = size_t(row * kColumns + col);
        if (i >= all.size() || !serving_) return;
        if (!serving_->loadOk || serving_->loadOk(serving_->data))
            if (serving_->load) serving_->load(serving_->data, nullptr, all[i].string().c_str(), nullptr);
    }

    ui::Panel panel_;
    HostShelfRec* serving_ = nullptr;
};

ShelfWindow& shelf() {
    static ShelfWindow w;
    return w;
}

HostShelfClient openClient(const char*, const char*, void* data, int, HostShelfLoadOkFunc loadOk,
                           HostShelfLoadFunc load, HostShelfSaveFunc save) {
    return new HostShelfRec{data, loadOk, load, save};
}

void closeClient(HostShelfClient client) {
    if (shelf().serving() == client) shelf().serving() = nullptr;
    delete client;
}

int isOpen(HostShelfClient) { return shelf().isOpen(); }

void openWindow(HostShelfClient client) {
    shelf().serving() = client;
    shelf().open();
}

void setContext(HostShelfClient client) { shelf().serving() = client; }

bool writeThumbnail(const fs::path& path, HostImage image) {
    std::vector<uint8_t> bytes(size_t(image->width) * size_t(image->height) * 3);
    std::transform(image->rgb.begin(), image->rgb.end(), bytes.begin(),
                   [](float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); });
    std::string error;
    return writePng(path.string(), image->width, image->height, bytes.data(), error);
}

int addPreset(HostShelfClient client, HostImage thumbnail, const char**) {
    if (!client || !client->save) return 0;
    std::error_code ec;
    const fs::path folder = uiSession().presetFolder;
    fs::create_directories(folder, ec);
    if (ec) return 0;
    fs::path file;
    for (int n = 1; file.empty() || fs::exists(file); ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "preset-%03d.shd", n);
        file = folder / name;
    }
    client->save(client->data, nullptr, file.string().c_str());
    if (!fs::exists(file)) return 0;
    if (thumbnail) writeThumbnail(fs::path(file).replace_extension(".png"), thumbnail);
    if (shelf().isOpen()) shelf().refresh();
    return 1;
}

const HostShelfFuncs kShelf{.open = openClient,
                            .close = closeClient,
                            .isOpen = isOpen,
                            .openWindow = openWindow,
                            .setContext = setContext,
                            .addPreset = addPreset};
}  // namespace

const HostShelfFuncs* shelfService() { return &kShelf; }
const HostImageUtility* imageUtilityService() { return &kImageUtility; }

}  // namespace vxs
