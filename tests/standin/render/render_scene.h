// Small scenes for the renderer's tests, built item by item.
#pragma once

#include <numbers>
#include <string>
#include <utility>

#include "standin/scene/primitives.h"
#include "standin/scene/scene.h"

namespace vxs::testing {

inline constexpr double kDegree = std::numbers::pi / 180;

class SceneBuilder {
public:
    SceneBuilder() {
        scene.ambientIntensity = 0;
        scene.renderOpts = HOST_RENDER_SHADOWS | HOST_RENDER_REFLECT | HOST_RENDER_REFRACT;
    }

    // Heading, pitch and bank in degrees.
    SceneBuilder& camera(const Vec3& position, const Vec3& hpbDegrees = {}, double fovDegrees = 50) {
        Item& item = add(HOST_CAMERA, "Camera", position, hpbDegrees);
        item.camera.fieldOfView = fovDegrees * kDegree;
        return *this;
    }

    SceneBuilder& light(const Light& light, const Vec3& position, const Vec3& hpbDegrees = {}) {
        add(HOST_LIGHT, "Light", position, hpbDegrees).light = light;
        return *this;
    }

    // Every polygon of the mesh gets the surface.
    SceneBuilder& object(Mesh mesh, const Vec3& position, int surface, const Vec3& hpbDegrees = {}) {
        Item& item = add(HOST_OBJECT, "Object", position, hpbDegrees);
        mesh.polygonSurface.assign(mesh.polygons.size(), surface);
        item.object.mesh = std::move(mesh);
        return *this;
    }

    // The new surface's index.
    int surface(const Surface& s) {
        scene.surfaces.push_back(s);
        return int(scene.surfaces.size()) - 1;
    }

    Scene scene;

private:
    Item& add(int type, const std::string& name, const Vec3& position, const Vec3& hpbDegrees) {
        Item& item = scene.items.emplace_back();
        item.id = makeItemId(type, scene.items.size() - 1);
        item.type = type;
        item.name = name;
        item.placement.position.value = position;
        for (int i = 0; i < 3; ++i) item.placement.rotation.value[i] = hpbDegrees[i] * kDegree;
        return item;
    }
};

// A white, purely diffuse surface.
inline Surface matte(const Vec3& color = {1, 1, 1}) {
    Surface s;
    s.color = color;
    return s;
}

inline Light distantLight(double intensity = 1) {
    Light l;
    l.type = LIGHT_DISTANT;
    l.intensity = intensity;
    return l;
}

}  // namespace vxs::testing
