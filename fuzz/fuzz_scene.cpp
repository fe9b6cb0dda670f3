// Reads arbitrary bytes as a scene file. The seeds' meshes and images are
// looked up beside the corpus, so most inputs exercise the JSON side; a
// scene that loads must also be walkable through the item frames.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "standin/scene/scene.h"
#include "standin/scene/scene_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vxs::Scene scene;
    std::string error;
    if (!vxs::readScene(text, "/nonexistent", scene, error)) {
        if (error.empty()) __builtin_trap();  // every refusal must say why
        return 0;
    }
    for (const vxs::Item& item : scene.items) (void)vxs::worldTransform(scene, item, 0.5);
    return 0;
}
