#include "standin/scene/preview_scene.h"

#include <cmath>

namespace vxs {

Scene defaultPreviewScene() {
    Scene scene;
    scene.name = "Preview";
    scene.ambientColor = {1, 1, 1};
    scene.ambientIntensity = 0.1;
    Item key;
    key.id = makeItemId(HOST_LIGHT, 0);
    key.type = HOST_LIGHT;
    key.name = "Key light";
    key.light.type = LIGHT_DISTANT;
    // Heading 45 degrees and pitch down by asin(1 / sqrt(3)): the light
    // travels along (1, -1, 1) / sqrt(3), from the eye's upper left.
    key.placement.rotation.value = {std::atan(1.0), std::asin(1 / std::sqrt(3.0)), 0};
    scene.items.push_back(key);
    return scene;
}

}  // namespace vxs
