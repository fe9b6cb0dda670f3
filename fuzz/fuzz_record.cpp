// Feeds arbitrary bytes to `eval` as a sample record on a small scene: a
// record that reads must aim at the scene and shade a tree of lights,
// shadows, ray tracing and occlusion, wherever it puts the sample; one that
// does not must say why.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/catalogue.h"
#include "core/evaluate.h"
#include "host/host.h"
#include "standin/cli/record_json.h"
#include "standin/cli/record_scene.h"
#include "standin/render/renderer.h"
#include "standin/render/shading.h"
#include "standin/scene/scene_file.h"
#include "standin/services/globals.h"

namespace {

constexpr const char* kScene = R"({
  "lights": [{"name": "Key", "rotation": [-60, 30, 0]}, {"name": "Bulb", "type": "point", "position": [0, 2, -1]}],
  "objects": [{"name": "Floor", "type": "plane", "size": [4, 4]},
              {"name": "Ball", "type": "sphere", "radius": 0.5, "position": [0, 0.5, 0]}]
})";

struct Setup {
    std::unique_ptr<vx::NodeFactoryData> catalogue;
    vx::NodeList tree;
    std::unique_ptr<vxs::SceneCallbacks> callbacks;
};

// The root's colour is Lambert + Blinn + a reflection, times occlusion.
const Setup& setup() {
    static const auto s = [] {
        auto out = std::make_unique<Setup>();
        std::string error;
        if (!vxs::readScene(kScene, "/nonexistent", vxs::currentScene(), error)) __builtin_trap();
        vx::acquireHandlerGlobals(vxs::globalLookup);
        out->catalogue = vx::buildCatalogue(nullptr, "QK_Valtorimex");
        const char* kinds[][2] = {{"Root", "root"},        {"Custom Shader", "Lambert"}, {"Custom Shader", "Blinn"},
                                  {"Raytrace", "reflect"}, {"Illuminate", "occlusion"},      {"Operator", "add"},
                                  {"Operator", "add"},     {"Operator", "mul"}};
        auto& n = out->tree.nodes;
        for (const auto& k : kinds) {
            n.push_back(out->catalogue->createByName(k[0], k[1]));
            if (!n.back()) __builtin_trap();
        }
        n[5]->inputs[0].source = n[1].get();
        n[5]->inputs[1].source = n[2].get();
        n[6]->inputs[0].source = n[5].get();
        n[6]->inputs[1].source = n[3].get();
        n[7]->inputs[0].source = n[6].get();
        n[7]->inputs[1].source = n[4].get();
        n[0]->inputs[0].source = n[7].get();
        out->callbacks = std::make_unique<vxs::SceneCallbacks>(vxs::currentScene(), nullptr, 0.0);
        vx::initTree(out->tree, nullptr);
        return out;
    }();
    return *s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Setup& s = setup();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    HostShading sa = vxs::defaultShading();
    vxs::RecordTarget target;
    std::string error;
    if (!vxs::readRecordJson(text, sa, error, &target)) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    const vxs::Surface* surface = nullptr;
    if (!target.object.empty() && !vxs::aimRecord(vxs::currentScene(), target, 0.0, sa, surface, error)) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    s.callbacks->attach(sa);
    vx::evaluateSample(s.tree, nullptr, &sa);
    return 0;
}
