// One sample through "tex_col" over procedural layers, and one "img_col"
// lookup with and without blending, with the stand-in as the host.
#include <benchmark/benchmark.h>

#include "core/catalogue.h"
#include "host/host.h"
#include "nodes/texture.h"
#include "standin/scene/image_file.h"
#include "standin/services/globals.h"
#include "standin/textures/procedural.h"
#include "standin/textures/texture.h"

namespace {

const vx::NodeFactoryData& catalogue() {
    static const auto made = [] {
        vx::acquireHandlerGlobals(vxs::globalLookup);
        return vx::buildCatalogue(nullptr, "QK_Valtorimex");
    }();
    return *made;
}

void sample(benchmark::State& state, const vx::Node& node) {
    HostTextureSample ts{};
    ts.oPos[0] = ts.wPos[0] = 0.3, ts.oPos[1] = ts.wPos[1] = 0.7, ts.oPos[2] = ts.wPos[2] = -0.2;
    ts.wNorm[1] = 1;
    for (auto _ : state) {
        vx::NodeEnv env;
        env.textureSample = &ts;
        env.textureSampleFilled = true;
        node.evaluate(env);
        benchmark::DoNotOptimize(env.cache.find(&node));
    }
}

void TexColLayers(benchmark::State& state) {
    auto node = catalogue().createByName("Texture", "tex_col");
    auto& layers = static_cast<vx::NTextureC&>(*node).texture().texture()->layers;
    // A mix of the patterns, noisy ones included, as a textured surface has.
    for (int i = 0; i < state.range(0); ++i) {
        layers.push_back(std::make_unique<HostTextureLayer>());
        layers.back()->pattern = i % vxs::PAT_COUNT;
        layers.back()->blend = i % 5;
        layers.back()->setOpacity(0.7);
    }
    sample(state, *node);
}
BENCHMARK(TexColLayers)->Arg(1)->Arg(4)->Arg(8);

void ImgColLookup(benchmark::State& state) {
    vxs::Image image;
    image.id = vxs::makeImageId(0);
    image.name = "noise";
    image.width = image.height = 256;
    image.rgba.resize(256 * 256 * 4);
    for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = float((i * 2654435761u) % 1000) / 1000.0f;
    vxs::currentScene().images = {image};
    auto node = catalogue().createByName("Texture", "img_col");
    node->inputs[0].param.intValue = image.id;
    node->inputs[1].param.value = {0.3, 0.6, 0};
    node->inputs[2].param.value = vx::NodeValue::scalar(state.range(0) ? 0.001 : 0);
    sample(state, *node);
}
BENCHMARK(ImgColLookup)->Arg(0)->Arg(1);

}  // namespace
