// The stand-in's renderer: camera rays through every pixel, the module's
// shader at every hit on a surface with a tree, then the host's standard
// shading of what the shader wrote, on every core.
#pragma once

#include <cstdint>
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
    ~SurfaceShaders();

    const Shader& shader() const { return *shader_; }
    // Null for a surface without a tree.
    HostInstance instance(size_t surface) const;
    std::vector<HostInstance> instances() const;

private:
    SurfaceShaders() = default;
    std::unique_ptr<Module> module_;
    std::unique_ptr<Shader> shader_;
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
