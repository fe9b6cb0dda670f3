// "LW Image List 3".
#include <algorithm>
#include <filesystem>

#include "standin/services/globals.h"
#include "standin/scene/image_file.h"
#include "standin/scene/image_lookup.h"
#include "standin/services/scene_services.h"

namespace vxs {

namespace {
constexpr int kMaxPathChars = 4096;

HostID first() {
    const Scene& scene = currentScene();
    return scene.images.empty() ? 0 : scene.images.front().id;
}

HostID next(HostID id) {
    const Scene& scene = currentScene();
    const Image* image = findImage(scene, id);
    if (!image) return 0;
    const std::size_t index = std::size_t(image - scene.images.data()) + 1;
    return index < scene.images.size() ? scene.images[index].id : 0;
}

// Null for an id that is not an image, so that a module stores no reference.
const char* name(HostID id) {
    const Image* image = findImage(currentScene(), id);
    return image ? image->name.c_str() : nullptr;
}

HostID findByName(const char* name) {
    if (!name) return 0;
    for (const Image& image : currentScene().images)
        if (image.name == name) return image.id;
    return 0;
}

// Images are decoded whole when the scene is read.
void prepare(HostID) {}

void save(HostID id, const HostSaveState* state) {
    const Image* image = findImage(currentScene(), id);
    if (state) state->writeStr(state->data, image ? image->path.c_str() : "");
}

void load(const HostLoadState* state) {
    if (!state) return;
    char path[kMaxPathChars + 1];
    if (state->readStr(state->data, path, sizeof path) <= 0) return;
    Scene& scene = currentScene();
    for (const Image& image : scene.images)
        if (image.path == path) return;
    Image image;
    std::string error;
    // An image that cannot be read is left out, as a host leaves out a
    // missing file; the reference then finds no image.
    if (!readImageFile(path, image, error)) return;
    image.id = makeImageId(scene.images.size());
    image.path = path;
    image.name = std::filesystem::path(image.path).stem().string();
    scene.images.push_back(std::move(image));
}

void size(HostID id, int* width, int* height) {
    const Image* image = findImage(currentScene(), id);
    if (width) *width = image ? image->width : 0;
    if (height) *height = image ? image->height : 0;
}

Rgba spot(HostID id, double u, double v, double spotSize, int blend) {
    const Image* image = findImage(currentScene(), id);
    return image ? imageSpot(*image, u, v, spotSize, blend != 0) : Rgba{};
}

void spotColor(HostID id, double u, double v, double spotSize, int blend, double rgb[3]) {
    const Rgba c = spot(id, u, v, spotSize, blend);
    if (rgb) std::copy_n(c.begin(), 3, rgb);
}

// Rec. 709 weights, as for any linear RGB image.
double spotLuma(HostID id, double u, double v, double spotSize, int blend) {
    const Rgba c = spot(id, u, v, spotSize, blend);
    return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2];
}

int hasAlpha(HostID id) {
    const Image* image = findImage(currentScene(), id);
    return image && image->hasAlpha;
}

double spotAlpha(HostID id, double u, double v, double spotSize, int blend) {
    return spot(id, u, v, spotSize, blend)[3];
}

const HostImageList kImageList{.first = first,
                               .next = next,
                               .name = name,
                               .findByName = findByName,
                               .prepare = prepare,
                               .save = save,
                               .load = load,
                               .size = size,
                               .spotColor = spotColor,
                               .spotLuma = spotLuma,
                               .hasAlpha = hasAlpha,
                               .spotAlpha = spotAlpha};
}  // namespace

const HostImageList* imageListService() { return &kImageList; }

}  // namespace vxs
