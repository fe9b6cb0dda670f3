// The stand-in's standard shading of a sample: what the host makes of the
// surface channels in a shading record once the surface's shader has written
// them. Lighting, shadows and rays go through the record's own callbacks, so
// a shader that redoes this shading from inside gets the same answer.
#pragma once

#include <span>
#include <vector>

#include "core/value.h"
#include "host/services.h"
#include "standin/scene/scene.h"
#include "standin/scene/vec_convert.h"

namespace vxs {

using vx::NodeValue;

// A light where it stands at the render time.
struct PlacedLight {
    HostID id = 0;
    const Light* light = nullptr;
    NodeValue position;
    NodeValue right, up, forward;  // unit
    double time = 0;  // of the frame, for the animated colour
};

// Light arriving at a point with no shadow: the direction it travels (unit
// for a distant light, from the light's position to the point otherwise) and
// its colour after intensity, falloff and cone, or through the projected
// image of a spot light that has one.
struct LightRay {
    NodeValue direction;
    NodeValue color;
};
LightRay lightAtPoint(const PlacedLight& light, const NodeValue& p, const Scene& scene);

// What shading reads of the scene beyond the record: the lights where they
// stand, and the scene's ambient light, backdrop, render switches and images.
struct ShadingWorld {
    std::span<const PlacedLight> lights;
    const Scene* scene = nullptr;
};

// The surface and object the sample lies on. `object` is null for a sample
// on nothing the scene holds.
struct ShadedSurface {
    const Surface* surface = nullptr;
    const Object* object = nullptr;
};

// The sample's colour. Blurred reflection and refraction raise the thread's
// blurred-trace word that modules raise for theirs, so that blurs nested in
// blurs, the host's or a module's, send single rays.
NodeValue standardShading(const HostShading& sa, const ShadingWorld& world, const ShadedSurface& where);

}  // namespace vxs
