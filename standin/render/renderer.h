// The stand-in's renderer: camera rays through every pixel, the module's
// shader at every hit on a surface with a tree, then the host's standard
// shading of what the shader wrote, on every core.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "standin/services/module_loader.h"
#include "standin/scene/scene.h"

namespace vxs {

struct RenderSettings {
    int width = 0, height = 0;  // 0 takes the scene's frame size
    int frame = 0;
    int samples = 1;        // per pixel, stratified
    int threads = 0;        // 0: one per core
    bool progress = false;  // a bar on standard error
};

// Linear RGB, three floats per pixel, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<float> rgb;
};

struct RenderStats {
    uint64_t samples = 0;        // camera rays
    uint64_t evaluations = 0;    // calls of the module's evaluate, nested ones included
    double evaluateSeconds = 0;  // inside the outermost evaluate calls, summed over threads
    double threadSeconds = 0;    // busy time of the render threads, summed
    double seconds = 0;          // wall clock from the first tile to the last
};

// The module with one shader instance per surface that names a tree, each
// created on its `const Surface*` and loaded from the tree file (a path as
// the scene reader resolved it). The scene must outlive it and keep its
// surfaces where they are.
class SurfaceShaders {
public:
    // Null when the module or a tree cannot be used; `where` then names the
    // file at fault and `error` says what is wrong, in one line.
    static std::unique_ptr<SurfaceShaders> load(const Scene& scene, const std::string& modulePath,
                                                std::string& where, std::string& error);
    // No instances yet: `copy` gives them, from instances of `shader`.
    SurfaceShaders(const Scene& scene, const Shader& shader);
    ~SurfaceShaders();

    // The surface's instance becomes a copy of `source`, made with the
    // module's copy callback (none for null). Only while no render runs.
    void copy(size_t surface, HostInstance source);

    const Shader& shader() const { return *shader_; }
    // Null for a surface without a tree.
    HostInstance instance(size_t surface) const;
    std::vector<HostInstance> instances() const;

private:
    SurfaceShaders() = default;
    const Scene* scene_ = nullptr;
    std::unique_ptr<Module> module_;
    std::unique_ptr<Shader> ownShader_;
    const Shader* shader_ = nullptr;
    std::vector<Shader::InstancePtr> instances_;  // by surface
};

// The callbacks a render gives a sample (illuminate with shadows and
// radiosity, trace, cast and shade against the scene at `time`), for a
// record made outside a render. Surfaces that rays hit are shaded with the
// given shaders, or with their plain channels without. Throws
// std::runtime_error when Embree cannot build the scene.
class SceneCallbacks {
public:
    SceneCallbacks(const Scene& scene, const SurfaceShaders* shaders, double time);
    ~SceneCallbacks();
    SceneCallbacks(const SceneCallbacks&) = delete;
    SceneCallbacks& operator=(const SceneCallbacks&) = delete;

    // Points the record's callbacks here, for a sample at its position with
    // its normals, seen from its pixel; valid while this object lives.
    void attach(HostShading& sa);

private:
    struct Frame;
    std::unique_ptr<Frame> frame_;
};

// A render thread's own counters, never shared: a cache line of their own,
// as every evaluation writes them.
struct alignas(64) RenderWorker {
    int evaluateNesting = 0;
    uint64_t evaluations = 0;
    double evaluateSeconds = 0;  // inside the outermost evaluate calls
    double busySeconds = 0;      // rendering tiles
};

class FrameRender;

// One frame of a scene ready to shade: pixels in any order, from any
// thread, each exactly as `render` makes it. The scene and the shaders must
// outlive it; the shaders may change between a begin and the next, never
// between a begin and its end.
class FrameRenderer {
public:
    // Throws std::runtime_error when Embree cannot build the scene.
    FrameRenderer(const Scene& scene, const SurfaceShaders* shaders, const RenderSettings& settings);
    ~FrameRenderer();
    FrameRenderer(const FrameRenderer&) = delete;
    FrameRenderer& operator=(const FrameRenderer&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    int samples() const { return samples_; }
    int threads() const { return threads_; }  // 0 for one per core

    // The shaders' init and newTime for the frame; their cleanup.
    void begin() const;
    void end() const;

    // Pixel (x, y) as the mean of its first `samples` samples.
    void pixel(RenderWorker& worker, int x, int y, int samples, float out[3]) const;
    // The index of the scene's surface seen through the middle of pixel
    // (x, y); -1 for none.
    int surfaceAt(int x, int y) const;

private:
    const Scene& scene_;
    const SurfaceShaders* shaders_;
    int width_, height_, samples_, threads_, frame_;
    double time_;
    std::unique_ptr<FrameRender> render_;
};

// Pictures are rendered in tiles of this many pixels a side, row by row.
inline constexpr int kRenderTile = 16;

// Calls `tile(worker, t)` for t from 0 to count - 1, each once, in any
// order, on one thread per worker, and hands out no more tiles once
// `cancel` holds. With `progress`, the calling thread meanwhile calls it
// with the number of tiles done, about ten times a second and at the end.
void runTiles(int count, std::vector<RenderWorker>& workers, const std::function<void(RenderWorker&, int)>& tile,
              const std::atomic<bool>* cancel = nullptr, const std::function<void(int done)>& progress = {});

// Renders one frame of `scene`: the shaders' init, their newTime for the
// frame, the picture, their cleanup. With shaders, `scene` must be the scene
// the service tables describe (currentScene()). The picture depends only on
// the scene and the settings, not on the number of threads, unless a tree
// uses the occlusion gradient inputs with their process-wide random state.
// Throws
// std::runtime_error when Embree cannot build the scene.
Picture render(const Scene& scene, const SurfaceShaders* shaders, const RenderSettings& settings,
               RenderStats* stats = nullptr);

}  // namespace vxs
