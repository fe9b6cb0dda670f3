// Rays per second of "occlusion" (6 rings: 108 casts a sample) and
// "reflect_blur" (3 per side: 9 traces a sample) evaluated over a grid of
// floor samples in a box room, on one and two threads, beside Embree's own
// rate for the very same rays: the limit the kinds approach.
#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "host/host.h"
#include "nodes/raytrace.h"
#include "nodes/utility.h"
#include "standin/render/raytracer.h"
#include "standin/scene/primitives.h"
#include "standin/services/globals.h"

namespace {

using vx::NodeValue;

constexpr int kGrid = 48;  // samples per side

struct Ray {
    NodeValue origin, dir;
};

// A floor in a box room with a ball, as one tracer; the sample's callbacks
// answer from it and, when asked to, keep the rays they were given.
struct Room {
    std::vector<vxs::Item> items;
    std::unique_ptr<vxs::RayTracer> tracer;
    vxs::Surface surface;

    Room() {
        vxs::Scene& scene = vxs::currentScene();
        scene = {};
        scene.renderOpts = HOST_RENDER_REFLECT | HOST_RENDER_REFRACT;
        vx::acquireHandlerGlobals(vxs::globalLookup);
        items.resize(2);
        items[0].object.mesh = vxs::boxMesh({6, 3, 6});  // faces out, but rays hit either side
        items[1].object.mesh = vxs::sphereMesh(0.7, 32);
        vxs::Mat at[2];
        at[0].offset = {0, 1.5, 0};
        at[1].offset = {1, 0.7, 1};
        std::vector<vxs::PlacedObject> placed;
        for (int i = 0; i < 2; ++i) placed.emplace_back(&items[i], at[i]);
        tracer = std::make_unique<vxs::RayTracer>(std::move(placed));
    }

    struct Sampler {
        const Room* room;
        std::vector<Ray>* kept;
        uint64_t rays = 0;
    };

    static double cast(void* ctx, const double pos[3], const double dir[3]) {
        auto& s = *static_cast<Sampler*>(ctx);
        ++s.rays;
        const Ray ray{vx::fromArray(pos), vx::fromArray(dir)};
        if (s.kept) s.kept->push_back(ray);
        const auto hit = s.room->tracer->intersect(ray.origin, ray.dir, s.room->tracer->epsilon());
        return hit ? hit->distance : -1;
    }
    static double trace(void* ctx, const double pos[3], const double dir[3], double color[3]) {
        const double d = cast(ctx, pos, dir);
        color[0] = color[1] = color[2] = d > 0 ? 0.5 : 0;
        return d;
    }

    // Evaluates the node at the rows [from, to) of the grid; the rays it sent.
    uint64_t evaluate(const vx::Node& node, int from, int to, std::vector<Ray>* kept) const {
        Sampler sampler{this, kept};
        for (int y = from; y < to; ++y)
            for (int x = 0; x < kGrid; ++x) {
                HostShading sa{};
                sa.sx = x;
                sa.sy = y;
                sa.wPos[0] = -2.9 + 5.8 * x / kGrid;
                sa.wPos[2] = -2.9 + 5.8 * y / kGrid;
                sa.wNorm[1] = 1;
                sa.raySource[1] = 1.6;
                sa.raySource[2] = -2.5;
                sa.callbackData = &sampler;
                sa.rayCast = cast;
                sa.rayTrace = trace;
                vx::NodeEnv env;
                env.hostContext = const_cast<vxs::Surface*>(&surface);
                env.normal = {0, 1, 0};
                env.record = &sa;
                node.evaluate(env);
            }
        return sampler.rays;
    }
};

const Room& room() {
    static const Room r;
    return r;
}

std::unique_ptr<vx::Node> kindUnderTest(int kind) {
    if (kind == 0) {
        auto node = std::make_unique<vx::NOcclusion>();
        node->inputs[1].param.intValue = 6;
        return node;
    }
    auto node = std::make_unique<vx::NReflectBlur>();
    node->inputs[2].param.value = NodeValue::scalar(0.2);
    node->inputs[3].param.intValue = 3;
    return node;
}

// Runs `work(thread, from, to)` over the grid's rows split between threads;
// the rays they report, summed.
template <class Work>
uint64_t onThreads(int threads, Work work) {
    std::atomic<uint64_t> rays{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&, t] { rays += work(t, kGrid * t / threads, kGrid * (t + 1) / threads); });
    for (std::thread& th : pool) th.join();
    return rays;
}

// Arguments: kind (0 "occlusion", 1 "reflect_blur"), threads, raw (1: the
// same rays straight into Embree).
void BM_Rays(benchmark::State& state) {
    const Room& r = room();
    const auto node = kindUnderTest(int(state.range(0)));
    const int threads = int(state.range(1));
    std::vector<std::vector<Ray>> kept(threads);
    onThreads(threads, [&](int t, int from, int to) { return r.evaluate(*node, from, to, &kept[t]); });
    double rays = 0;
    for (auto _ : state) {
        if (state.range(2)) {
            rays += double(onThreads(threads, [&](int t, int, int) {
                uint64_t hits = 0;
                for (const Ray& ray : kept[t]) hits += r.tracer->intersect(ray.origin, ray.dir, r.tracer->epsilon()) ? 1 : 0;
                benchmark::DoNotOptimize(hits);
                return uint64_t(kept[t].size());
            }));
        } else {
            rays += double(onThreads(threads, [&](int, int from, int to) { return r.evaluate(*node, from, to, nullptr); }));
        }
    }
    state.counters["rays/s"] = benchmark::Counter(rays, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_Rays)
    ->ArgNames({"kind", "threads", "raw"})
    ->ArgsProduct({{0, 1}, {1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
