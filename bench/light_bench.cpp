// One sample through "Lambert" + "Blinn" + "fullambient" under 1, 4 and 16
// lights, beside the same sum written by hand; and the gallery of shading
// models rendered with radiosity off and on.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/paired.h"
#include "core/catalogue.h"
#include "core/evaluate.h"
#include "core/root.h"
#include "host/host.h"
#include "standin/cli/commands.h"
#include "nodes/light_loop.h"
#include "nodes/shading.h"
#include "standin/render/renderer.h"
#include "standin/render/shading.h"
#include "standin/scene/scene_file.h"
#include "standin/services/globals.h"

namespace {

using namespace vx;

constexpr NodeValue kBase{0.8, 0.5, 0.3};
constexpr double kGloss = 0.5;

// The scene's lights as the bench's illuminate answers them: unshadowed,
// each from its own direction, found by a linear search as a host would.
struct BenchLight {
    HostID id;
    NodeValue direction, color;
};
std::vector<BenchLight> gLights;

int illuminate(void*, HostID light, const double[3], double dir[3], double color[3]) {
    for (const BenchLight& l : gLights)
        if (l.id == light) {
            toArray(dir, l.direction);
            toArray(color, l.color);
            return 1;
        }
    return 0;
}

// A scene of `count` distant lights around one object, made current, with
// the record of a sample on the object.
HostShading makeScene(int count) {
    vxs::Scene scene;
    gLights.clear();
    for (int i = 0; i < count; ++i) {
        vxs::Item& item = scene.items.emplace_back();
        item.id = vxs::makeItemId(HOST_LIGHT, scene.items.size() - 1);
        item.type = HOST_LIGHT;
        item.light.shadowType = vxs::SHADOW_OFF;
        item.light.color = {1, 0.9, 0.8};
        item.light.intensity = 1.0 / count;
        const double a = 0.4 * i;
        gLights.push_back({item.id, normalized({std::sin(a), -1, std::cos(a)}), NodeValue{1, 0.9, 0.8} * (1.0 / count)});
    }
    vxs::Item& object = scene.items.emplace_back();
    object.id = vxs::makeItemId(HOST_OBJECT, scene.items.size() - 1);
    object.type = HOST_OBJECT;
    scene.ambientIntensity = 0.1;
    vxs::currentScene() = std::move(scene);
    acquireHandlerGlobals(vxs::globalLookup);

    HostShading sa = vxs::defaultShading();
    sa.objID = vxs::currentScene().items.back().id;
    sa.wNorm[0] = 0.3, sa.wNorm[1] = 0.9, sa.wNorm[2] = -0.3;
    sa.raySource[1] = 3;
    sa.illuminate = illuminate;
    return sa;
}

// The same light by hand: one host call per light, both models' weights,
// and the flat ambient the host falls back to without radiosity.
NodeValue handWritten(const HostShading& sa) {
    const NodeValue N = normalized(fromArray(sa.wNorm)), P = fromArray(sa.wPos);
    const NodeValue V = normalized(fromArray(sa.raySource) - P);
    const double n = glossExponent(kGloss);
    NodeValue diffuse, specular;
    for (const BenchLight& l : gLights) {
        double dir[3], c[3];
        if (!illuminate(nullptr, l.id, sa.wPos, dir, c)) continue;
        const NodeValue L = -normalized(fromArray(dir)), color = fromArray(c);
        diffuse = diffuse + color * std::max(0.0, dot(N, L));
        specular = specular + color * blinnWeight(N, V, L, n);
    }
    const vxs::Scene& scene = vxs::currentScene();
    const NodeValue ambient = NodeValue{scene.ambientColor[0], scene.ambientColor[1], scene.ambientColor[2]} *
                              scene.ambientIntensity;
    return kBase * diffuse + kBase * specular + kBase * ambient;
}

struct LitTree {
    std::unique_ptr<NodeFactoryData> cat = buildCatalogue(nullptr, "QK_Valtorimex");
    NodeList list;
    LitTree() {
        constexpr std::pair<const char*, const char*> kinds[] = {
            {"Root", "root"},          {"Custom Shader", "Lambert"}, {"Custom Shader", "Blinn"},
            {"Illuminate", "fullambient"}, {"Operator", "add"},      {"Operator", "add"}};
        for (size_t i = 0; i < std::size(kinds); ++i) {
            list.nodes.push_back(cat->createByName(kinds[i].first, kinds[i].second));
            nodes[i] = list.nodes.back().get();
        }
        for (int i = 1; i <= 3; ++i) nodes[i]->inputs[0].param.value = kBase;
        nodes[2]->inputs[2].param.value = NodeValue::scalar(kGloss);
        link(nodes[4], 0, nodes[1]);
        link(nodes[4], 1, nodes[2]);
        link(nodes[5], 0, nodes[4]);
        link(nodes[5], 1, nodes[3]);
        link(nodes[0], RI_COLOR, nodes[5]);
        initTree(list, nullptr);
    }
    static void link(Node* to, int input, Node* from) { to->inputs[input].source = from; }
    std::array<Node*, 6> nodes{};
};

// One sample through the tree or by hand, on a record of its own.
template <bool UseTree>
auto lightSampler(const LitTree& tree, const HostShading& base) {
    return [&] {
        HostShading sa = base;
        if constexpr (UseTree) {
            evaluateSample(tree.list, nullptr, &sa);
        } else {
            toArray(sa.color, handWritten(sa));
        }
        benchmark::DoNotOptimize(sa);
    };
}

// Runs `measure` on the scene of state.range(0) lights once the tree and
// its twin are seen to agree.
template <class Measure>
void withLitScene(benchmark::State& state, Measure measure) {
    const vxs::Scene saved = vxs::currentScene();
    const HostShading base = makeScene(int(state.range(0)));
    const LitTree tree;
    HostShading check = base;
    evaluateSample(tree.list, nullptr, &check);
    const NodeValue want = handWritten(base);
    if (std::fabs(check.color[0] - want.x) + std::fabs(check.color[1] - want.y) + std::fabs(check.color[2] - want.z) > 1e-12)
        state.SkipWithError("the tree and its hand-written twin disagree");
    else
        measure(tree, base);
    vxs::currentScene() = saved;
}

template <bool UseTree>
void BM_Lights(benchmark::State& state) {
    withLitScene(state, [&](const LitTree& tree, const HostShading& base) {
        auto sample = lightSampler<UseTree>(tree, base);
        for (auto _ : state) sample();
        state.SetItemsProcessed(state.iterations());
    });
}

void BM_LightsPaired(benchmark::State& state) {
    withLitScene(state, [&](const LitTree& tree, const HostShading& base) {
        vxb::runPaired(state, lightSampler<true>(tree, base), lightSampler<false>(tree, base));
    });
}

BENCHMARK(BM_Lights<true>)->Name("lights_tree")->ArgName("lights")->Arg(1)->Arg(4)->Arg(16);
BENCHMARK(BM_Lights<false>)->Name("lights_hand")->ArgName("lights")->Arg(1)->Arg(4)->Arg(16);
BENCHMARK(BM_LightsPaired)->Name("lights_over_hand")->ArgName("lights")->Arg(1)->Arg(4)->Arg(16)->UseManualTime();

// The gallery at 500 x 110 on every core; the argument is the radiosity rays.
void BM_RenderGallery(benchmark::State& state) {
    const vxs::Scene saved = vxs::currentScene();
    std::string error, where;
    vxs::Scene scene;
    if (!vxs::loadSceneFile(VX_SOURCE_DIR "/examples/scenes/gallery.json", scene, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    scene.radiosityRays = int(state.range(0));
    vxs::currentScene() = std::move(scene);
    const auto shaders = vxs::SurfaceShaders::load(vxs::currentScene(), vxs::defaultModulePath(), where, error);
    if (!shaders) {
        state.SkipWithError((where + ": " + error).c_str());
        return;
    }
    vxs::RenderSettings settings;
    settings.width = 500;
    settings.height = 110;
    for (auto _ : state) benchmark::DoNotOptimize(vxs::render(vxs::currentScene(), shaders.get(), settings).rgb.data());
    vxs::currentScene() = saved;
}

BENCHMARK(BM_RenderGallery)->ArgName("radiosity")->Arg(0)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
