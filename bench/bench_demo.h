// The built-in demo, loaded once as the current scene, with its shaders
// from the module beside the benchmarks.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "standin/cli/commands.h"
#include "standin/render/renderer.h"
#include "standin/scene/demo_scene.h"
#include "standin/scene/scene_file.h"
#include "standin/services/globals.h"

namespace vxb {

struct Demo {
    std::unique_ptr<vxs::DemoScene> files;  // the trees stay readable
    std::unique_ptr<vxs::SurfaceShaders> shaders;
};

inline const Demo& demo() {
    static const Demo loaded = [] {
        std::string error, where;
        auto files = vxs::DemoScene::write(error);
        vxs::Scene scene;
        if (!files || !vxs::loadSceneFile(files->scenePath(), scene, error)) {
            std::fprintf(stderr, "demo scene: %s\n", error.c_str());
            std::exit(1);
        }
        vxs::currentScene() = std::move(scene);
        Demo d;
        d.files = std::make_unique<vxs::DemoScene>(std::move(*files));
        d.shaders = vxs::SurfaceShaders::load(vxs::currentScene(), vxs::defaultModulePath(), where, error);
        if (!d.shaders) {
            std::fprintf(stderr, "%s: %s\n", where.c_str(), error.c_str());
            std::exit(1);
        }
        return d;
    }();
    return loaded;
}

}  // namespace vxb
