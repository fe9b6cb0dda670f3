// The light machinery the shading-model and lighting kinds share: the walk
// over the scene's lights, shadowed light from the host through the sample's
// light cache, the unshadowed light computed from the light's settings, and
// the jittered translucency gather.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/env.h"
#include "core/node.h"
#include "nodes/jitter.h"

namespace vx {

// Host item ids that are no scene items: illuminate hands out the host's
// radiosity and caustics at a point under them.
constexpr HostID kRadiosityLight = 0x21000000;
constexpr HostID kCausticsLight = 0x22000000;

// light_flag: which lights a node listens to.
enum LightFlag { LF_ALL = 0, LF_DIFFUSE = 1, LF_SPECULAR = 2 };
constexpr const char* kLightFlagItems = "all\ndiffuse\nspecular";

// Light at a point: the direction it travels (from the light towards the
// point), its colour and whether it arrives (nonzero).
struct LightRay {
    int32_t result = 0;
    NodeValue direction, color;
    NodeValue towards;  // -normalized(direction), filled by shadowedLight
};

// 2^(10 g + 2): 4 at gloss 0, 4096 at gloss 1.
inline double glossExponent(double g) { return std::exp2(10.0 * g + 2.0); }

// Unshadowed light at p from the light's own settings at the sample's time:
// colour with falloff and spot cone (or projected image). The direction is
// the unit forward axis for a distant light, else p minus the light's
// position, not normalised.
LightRay lightAtPoint(const NodeEnv& env, HostID light, const NodeValue& p);

// Where p falls in the light's projected image, looking along its forward
// axis with the cone radius as half angle; false behind the light, outside
// the frustum or for a cone of 90 degrees or more.
bool projectSpotImage(HostID light, double time, const NodeValue& p, double& u, double& v);

// Shadowed light from the host, asked once per light per sample.
LightRay illuminateCached(NodeEnv& env, HostID light, const NodeValue& p);
// Without a cache: a real light is asked with the shadow-ray flag set, and
// not at all while the flag is already set.
LightRay illuminateGuarded(NodeEnv& env, HostID light, const NodeValue& p);

// Whether the object does not receive the light (false for no object).
bool objectExcludes(HostID object, HostID light);
// Whether the sample's object does not receive the light.
bool lightExcluded(const NodeEnv& env, HostID light);
// Whether the light's flags let it through light_flag.
bool passesLightFlag(HostID light, int lightFlag);

// The host's radiosity or caustics at the sample (black and false when it
// has none), asked with the shading normal.
bool pseudoLight(NodeEnv& env, HostID id, NodeValue& color);
// The scene's flat ambient light at the sample's time.
NodeValue ambientLight(const NodeEnv& env);
// Radiosity in place of the flat ambient when the host has it, plus
// caustics; the flat ambient alone without services, boost or object.
NodeValue fullAmbient(NodeEnv& env, double boost);
// Whether the item and object services that a light loop needs are there.
bool lightServicesPresent();

// The shade point with the norm input when linked, else the shading normal
// (normInput -1 for none).
ShadePoint shadePoint(const Node& node, int normInput, NodeEnv& env);

// Calls visit(light id, unit direction towards the light, colour) for every
// light that reaches the point past exclusion and the light_flag filter,
// with the shadowed, cached and corrected light of the host. Nothing without
// the item or object service.
template <class Visit>
void forEachLight(NodeEnv& env, const NodeValue& p, int lightFlag, Visit&& visit);

// Sum over the lights of colour x weight(L) (a scalar or colour weight).
template <class Weight>
NodeValue gatherLights(NodeEnv& env, const NodeValue& p, int lightFlag, Weight&& weight) {
    NodeValue sum;
    forEachLight(env, p, lightFlag, [&](HostID, const NodeValue& L, const NodeValue& color) {
        sum = sum + color * weight(L);
    });
    return sum;
}

// Wrapped light on the side of n: each light fades out linearly in angle,
// reaching zero at (wrap + 1) x 90 degrees from n; shadows take away only
// what they take at the Lambert angle.
NodeValue wrappedLight(NodeEnv& env, const ShadePoint& at, const NodeValue& n, double wrap, int lightFlag);

// Light arriving through the object along the view ray continued inside.
struct Translucency {
    double decay, directivity, internalScatter, eta, blur;
    int samples;
    int lightFlag;
};
NodeValue translucencyAt(NodeEnv& env, const ShadePoint& at, const Translucency& t);

// ---- the loop itself ---------------------------------------------------

namespace detail {
const HostShading& sampleOf(const NodeEnv& env);
int lightFlags(HostID light);
inline bool passesFilter(int flags, int lightFlag) {
    if (lightFlag == LF_DIFFUSE && (flags & HOST_LIGHT_NO_DIFFUSE)) return false;
    return !(lightFlag == LF_SPECULAR && (flags & HOST_LIGHT_NO_SPECULAR));
}
HostID firstLight();
HostID nextLight(HostID light, HostID first);
}  // namespace detail

// Shadowed light of step 1 of the loop: false when the light is skipped
// altogether (a shadow computation is under way on this thread), else its
// light from the host, through the cache, with the coloured-shadow
// correction when the host traced the shadow.
bool shadowedLight(NodeEnv& env, HostID light, const NodeValue& p, LightRay& out);

// Lists the lights the sample's object receives in its light cache, from
// the thread's list for the object, render and time (the host's lights,
// exclusions and flags hold for a frame) or from a walk over the host's
// lights; false without a cache or services, or with more than its room.
bool listLights(const NodeEnv& env);  // the first time in a sample
inline bool listReceivedLights(const NodeEnv& env) {
    return (env.lights && env.lights->listed) || listLights(env);
}

// Calls visit(light) for every scene light the sample's object receives and
// light_flag lets through; a host list that loops back ends the walk.
template <class Visit>
void walkLights(const NodeEnv& env, int lightFlag, Visit&& visit) {
    if (listReceivedLights(env)) {
        const ReceivedLights& received = env.lights->received;
        for (int i = 0; i < received.count; ++i)
            if (detail::passesFilter(received.lights[i].flags, lightFlag)) visit(received.lights[i].light);
        return;
    }
    if (!lightServicesPresent()) return;
    const HostID first = detail::firstLight();
    for (HostID light = first; light; light = detail::nextLight(light, first))
        if (!lightExcluded(env, light) && passesLightFlag(light, lightFlag)) visit(light);
}

template <class Visit>
void forEachLight(NodeEnv& env, const NodeValue& p, int lightFlag, Visit&& visit) {
    walkLights(env, lightFlag, [&](HostID light) {
        LightRay ray;
        if (shadowedLight(env, light, p, ray) && ray.result) visit(light, ray.towards, ray.color);
    });
}

}  // namespace vx
