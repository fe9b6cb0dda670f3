#include "standin/textures/surface_textures.h"

#include <algorithm>
#include <cmath>

#include "core/evaluate.h"
#include "standin/textures/texture.h"

namespace vxs {

namespace {
struct ScalarChannel {
    const char* name;
    double HostShading::*field;
};
// clang-format off
constexpr ScalarChannel kScalars[] = {
    {"Luminosity", &HostShading::luminous},        {"Diffuse", &HostShading::diffuse},
    {"Specularity", &HostShading::specular},       {"Reflectivity", &HostShading::mirror},
    {"Transparency", &HostShading::transparency},  {"IOR", &HostShading::eta},
    {"Translucency", &HostShading::translucency},  {"ColorHighlights", &HostShading::colorHL},
    {"ColorFilter", &HostShading::colorFL},        {"AdditiveTransparency", &HostShading::addTransp},
    {"ReflectionBlurring", &HostShading::reflectionBlur}, {"RefractionBlurring", &HostShading::refractionBlur},
};
// clang-format on

double overlay(const HostTexture& t, HostTextureSample& ts, double v) {
    double value[3] = {v, v, v};
    evaluateTexture(t, ts, value);
    return value[0];
}
}  // namespace

void applySurfaceTextures(const Surface& surface, HostShading& sa) {
    if (surface.textures.empty()) return;
    HostTextureSample ts;
    vx::fillTextureSample(sa, ts);
    const auto find = [&](const char* channel) -> const HostTexture* {
        const auto it = surface.textures.find(channel);
        return it == surface.textures.end() ? nullptr : it->second.get();
    };
    if (const HostTexture* bump = find("Bump")) {
        HostTextureSample own = ts;
        own.bumpHeight = 0;
        double slope[3] = {0, 0, 0};
        evaluateTexture(*bump, own, slope);
        double n[3], len = 0;
        for (int i = 0; i < 3; ++i) {
            n[i] = sa.wNorm[i] - slope[i];
            len += n[i] * n[i];
        }
        if (len > 0)
            for (int i = 0; i < 3; ++i) sa.wNorm[i] = ts.wNorm[i] = n[i] / std::sqrt(len);
        sa.bumpHeight += own.bumpHeight;
    }
    if (const HostTexture* colour = find("BaseColor")) evaluateTexture(*colour, ts, sa.color);
    for (const ScalarChannel& c : kScalars)
        if (const HostTexture* t = find(c.name)) sa.*c.field = overlay(*t, ts, sa.*c.field);
    if (const HostTexture* t = find("Glossiness")) {
        const double gloss = overlay(*t, ts, (std::log2(1 / sa.roughness) - 2) / 10);
        sa.roughness = std::exp2(-(10 * gloss + 2));
    }
}

void surfaceTexturesNewTime(const Scene& scene, double time, int frame) {
    for (const Surface& s : scene.surfaces)
        for (const auto& entry : s.textures) textureNewTime(*entry.second, time, frame);
}

void surfaceTexturesCleanup(const Scene& scene) {
    for (const Surface& s : scene.surfaces)
        for (const auto& entry : s.textures) textureCleanup(*entry.second);
}

}  // namespace vxs
