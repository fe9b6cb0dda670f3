// The stand-in's own service tables over a scene, as the module's host.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "host/host.h"
#include "standin/render/renderer.h"
#include "standin/scene/scene_file.h"
#include "standin/services/globals.h"

namespace vxt {

// Installs the scene (or the scene-file text) as the module's host while it
// lives.
class SceneHost {
public:
    explicit SceneHost(const vxs::Scene& scene, double time = 0) { install(scene, time); }
    explicit SceneHost(std::string_view json, double time = 0) {
        vxs::Scene scene;
        std::string error;
        EXPECT_TRUE(vxs::readScene(json, ".", scene, error)) << error;
        install(scene, time);
    }
    ~SceneHost() {
        callbacks_.reset();
        vx::acquireHandlerGlobals(nullptr);
        vxs::currentScene() = {};
    }
    SceneHost(const SceneHost&) = delete;
    SceneHost& operator=(const SceneHost&) = delete;

    // The scene's item with the name; 0 for none.
    static HostID id(std::string_view name) {
        for (const vxs::Item& item : vxs::currentScene().items)
            if (item.name == name) return item.id;
        return 0;
    }
    // Render callbacks made on first use: a scene they cannot build may still
    // serve the tables.
    void attach(HostShading& sa) const {
        if (!callbacks_) callbacks_ = std::make_unique<vxs::SceneCallbacks>(vxs::currentScene(), nullptr, time_);
        callbacks_->attach(sa);
    }

private:
    void install(const vxs::Scene& scene, double time) {
        vxs::currentScene() = scene;
        vx::acquireHandlerGlobals(vxs::globalLookup);
        time_ = time;
    }
    double time_ = 0;
    mutable std::unique_ptr<vxs::SceneCallbacks> callbacks_;
};

}  // namespace vxt
