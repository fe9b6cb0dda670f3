#include "standin/render/shading_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "nodes/raytrace.h"
#include "standin/scene/image_file.h"
#include "standin/scene/image_lookup.h"
#include "standin/services/render_memory.h"

namespace vxs {

namespace {
constexpr int kBlurSamples = 3;  // rays per side of a blurred trace's grid

double mean(const NodeValue& v) { return (v.x + v.y + v.z) / 3.0; }

bool excluded(const Object* object, HostID light) { return object && excludes(*object, light); }

// Spot cone with a smooth edge: 1 inside radius - edge, 0 outside radius.
double coneFactor(const Light& light, const NodeValue& p, const PlacedLight& placed) {
    const double c = dot(normalized(p - placed.position), placed.forward);
    const double inner = std::cos(light.coneAngle - light.edgeAngle), outer = std::cos(light.coneAngle);
    if (c >= inner) return 1;
    if (c <= outer) return 0;
    const double s = (c - outer) / (inner - outer);
    return 3 * s * s - 2 * s * s * s;
}

double falloffFactor(const Light& light, double dist) {
    switch (light.falloff) {
    case FALLOFF_LINEAR: return dist <= light.range ? 1 - dist / light.range : 0;
    case FALLOFF_INVERSE: return light.range / dist;
    case FALLOFF_INVERSE_SQUARE: return light.range * light.range / (dist * dist);
    default: return 1;
    }
}

// An image's colour filtered over one pixel, as the module samples maps.
NodeValue imageColor(const Image& image, double u, double v) {
    if (image.width <= 0 || image.height <= 0) return {};
    const Rgba c = imageSpot(image, u, v, std::min(1.0 / image.width, 1.0 / image.height), true);
    return {c[0], c[1], c[2]};
}

// The colour a spot light projects towards p: its image seen through a
// perspective along the forward axis with the cone angle as half angle.
// Nothing behind the light or outside the image.
NodeValue projectedColor(const PlacedLight& placed, const Image& image, const NodeValue& p) {
    const double radius = placed.light->coneAngle;
    if (radius <= 0 || radius >= std::numbers::pi / 2) return {};
    const NodeValue d = p - placed.position;
    const double depth = dot(d, placed.forward);
    if (depth <= 0) return {};
    const double focal = 1 / std::tan(radius);
    const double x = focal * dot(d, placed.right) / depth, y = focal * dot(d, placed.up) / depth;
    if (std::fabs(x) >= 1 || std::fabs(y) >= 1) return {};
    return imageColor(image, (x + 1) / 2, 1 - (y + 1) / 2);
}

enum TraceMode { kReflection = 0, kRefraction = 1 };

// The colour a reflection or refraction ray brings back under the
// surface's options: backdrop, ray tracing, spherical map, or both.
NodeValue traceSurface(const HostShading& sa, const ShadingWorld& world, const Surface& surface,
                       const NodeValue& p, const NodeValue& dir, TraceMode mode) {
    const int options = mode == kReflection ? surface.reflectionOptions : surface.refractionOptions;
    NodeValue color;
    double distance = -1;
    if (options == REFL_BACKDROP) color = toValue(backdropColor(*world.scene, toVec3(dir)));
    if (options == REFL_RAYTRACE_BACKDROP || options == REFL_RAYTRACE_SPHERICAL) {
        const int bit = mode == kReflection ? HOST_RENDER_REFLECT : HOST_RENDER_REFRACT;
        if ((world.scene->renderOpts & bit) && sa.rayTrace) {
            const double from[3] = {p.x, p.y, p.z}, along[3] = {dir.x, dir.y, dir.z};
            double c[3] = {};
            distance = sa.rayTrace(sa.callbackData, from, along, c);
            color = fromArray(c);
        }
    }
    if (options == REFL_SPHERICAL || (options == REFL_RAYTRACE_SPHERICAL && distance < 0)) {
        const HostID id = mode == kReflection ? surface.reflectionImage : surface.refractionImage;
        const double seam = mode == kReflection ? surface.reflectionSeamAngle : surface.refractionSeamAngle;
        if (const Image* image = findImage(*world.scene, id)) {
            double u, v;
            vx::sphericalMapUV(dir, seam, u, v);
            color = imageColor(*image, u, v);
        }
    }
    return color;
}

// Glossy reflection or refraction: the jittered bundle a module's blurred
// trace sends, under the same per-thread word.
NodeValue blurredTrace(const HostShading& sa, const ShadingWorld& world, const Surface& surface, const NodeValue& p,
                       const NodeValue& dir, double blur, int n, TraceMode mode) {
    uint32_t* flag = threadWord(vx::kBluredTraceFlag);
    if (blur <= 0 || !flag || *flag) return traceSurface(sa, world, surface, p, dir, mode);
    *flag = 1;
    NodeValue sum;
    vx::forEachBlurRay(sa.sx, sa.sy, dir, blur, n, [&](const NodeValue& d) {
        sum = sum + traceSurface(sa, world, surface, p, d, mode);
    });
    *flag = 0;
    return n > 0 ? sum * (1.0 / (n * n)) : sum;
}

// Radiosity when the host has it, else the flat ambient, plus caustics.
NodeValue ambientAt(const HostShading& sa, const ShadingWorld& world, const Object* object) {
    const NodeValue ambient = toValue(world.scene->ambientColor) * world.scene->ambientIntensity;
    if (!object || !sa.illuminate) return ambient;
    const double p[3] = {sa.wPos[0], sa.wPos[1], sa.wPos[2]};
    const auto pseudoLight = [&](HostID id, const NodeValue& fallback) {
        if (excluded(object, id)) return fallback;
        double dir[3] = {sa.wNorm[0], sa.wNorm[1], sa.wNorm[2]}, c[3] = {};
        return sa.illuminate(sa.callbackData, id, p, dir, c) ? fromArray(c) : fallback;
    };
    return pseudoLight(kRadiosityLight, ambient) + pseudoLight(kCausticsLight, {});
}
}  // namespace

LightRay lightAtPoint(const PlacedLight& placed, const NodeValue& p, const Scene& scene) {
    const Light& light = *placed.light;
    NodeValue color = toValue(lightColor(light, placed.time));
    if (light.type == LIGHT_DISTANT) return {placed.forward, color};
    const NodeValue d = p - placed.position;
    double factor = falloffFactor(light, length(d));
    if (light.type == LIGHT_SPOT) {
        if (const Image* image = light.image ? findImage(scene, light.image) : nullptr)
            color = color * projectedColor(placed, *image, p);
        else
            factor *= coneFactor(light, p, placed);
    }
    return {d, color * factor};
}

NodeValue standardShading(const HostShading& sa, const ShadingWorld& world, const ShadedSurface& where) {
    const NodeValue surfaceColor = fromArray(sa.color), replacement = fromArray(sa.replacementColor);
    const double p = sa.replacementPercentage;
    if (p >= 1) return replacement;

    const NodeValue P = fromArray(sa.wPos), S = fromArray(sa.raySource);
    const NodeValue N = normalized(fromArray(sa.wNorm));
    const NodeValue V = normalized(S - P), D = normalized(P - S);
    const double position[3] = {P.x, P.y, P.z};

    NodeValue diffuse, specular;
    for (const PlacedLight& placed : world.lights) {
        if (excluded(where.object, placed.id)) continue;
        const Light& light = *placed.light;
        double dir[3] = {}, c[3] = {};
        int result = sa.illuminate ? sa.illuminate(sa.callbackData, placed.id, position, dir, c) : 0;
        NodeValue color = fromArray(c), toPoint = fromArray(dir);
        if (light.shadowType != SHADOW_OFF) {
            // What the shadow took away comes back, averaged to grey and
            // tinted by the shadow colour.
            const LightRay open = lightAtPoint(placed, P, *world.scene);
            color = color + toValue(light.shadowColor) * mean(open.color - color);
            toPoint = open.direction;
            result = 1;
        }
        if (!result) continue;
        const NodeValue L = -normalized(toPoint);
        if (light.affectDiffuse) {
            diffuse = diffuse + color * std::max(0.0, dot(N, L));
            diffuse = diffuse + color * (std::max(0.0, dot(-N, L)) * sa.translucency);
        }
        if (light.affectSpecular) {
            const NodeValue H = normalized(L + V);
            specular = specular + color * std::pow(std::max(0.0, dot(N, H)), 1.0 / sa.roughness);
        }
    }
    diffuse = diffuse + ambientAt(sa, world, where.object);

    NodeValue reflected, refracted;
    if (sa.mirror > 0)
        reflected = blurredTrace(sa, world, *where.surface, P, normalized(reflect(D, N)), sa.reflectionBlur,
                                 kBlurSamples, kReflection);
    if (sa.transparency > 0)
        refracted = blurredTrace(sa, world, *where.surface, P, normalized(refract(D, N, 1.0 / sa.eta)),
                                 sa.refractionBlur, kBlurSamples, kRefraction);

    const NodeValue one = NodeValue::scalar(1);
    const NodeValue highlight = one * (1 - sa.colorHL) + surfaceColor * sa.colorHL;
    const NodeValue filter = one * (1 - sa.colorFL) + surfaceColor * sa.colorFL;
    const NodeValue lit = (diffuse * surfaceColor * sa.diffuse + surfaceColor * sa.luminous) * (1 - sa.transparency);
    const NodeValue result = lit + specular * highlight * sa.specular + reflected * highlight * sa.mirror +
                             refracted * filter * sa.transparency;
    return replacement * p + result * (1 - p);
}

}  // namespace vxs
