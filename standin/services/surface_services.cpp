// "Surface Functions 2": a surface's name, options and channels.
#include <string_view>

#include "standin/scene/scene.h"
#include "standin/services/scene_services.h"
#include "standin/textures/envelope.h"

namespace vxs {

namespace {
const Surface* surfaceOf(void* surface) { return static_cast<const Surface*>(surface); }

const char* name(void* surface) { return surface ? surfaceOf(surface)->name.c_str() : ""; }

int getInt(void* surface, const char* option) {
    if (!surface || !option) return 0;
    const std::string_view o = option;
    if (o == "ReflectionOptions") return surfaceOf(surface)->reflectionOptions;
    if (o == "RefractionOptions") return surfaceOf(surface)->refractionOptions;
    return 0;
}

HostID getImage(void* surface, const char* option) {
    if (!surface || !option) return 0;
    const std::string_view o = option;
    if (o == "ReflectionImage") return surfaceOf(surface)->reflectionImage;
    if (o == "RefractionImage") return surfaceOf(surface)->refractionImage;
    return 0;
}

struct Channel {
    const char* name;
    double Surface::*scalar = nullptr;
    Vec3 Surface::*colour = nullptr;
};

// clang-format off
constexpr Channel kChannels[] = {
    {"BaseColor",             nullptr,                          &Surface::color},
    {"Luminosity",            &Surface::luminosity},
    {"Diffuse",               &Surface::diffuse},
    {"Specularity",           &Surface::specular},
    {"Glossiness",            &Surface::glossiness},
    {"Reflectivity",          &Surface::reflection},
    {"Transparency",          &Surface::transparency},
    {"IOR",                   &Surface::refractionIndex},
    {"Translucency",          &Surface::translucency},
    {"ColorHighlights",       &Surface::colorHighlights},
    {"ColorFilter",           &Surface::colorFilter},
    {"AdditiveTransparency",  &Surface::additiveTransparency},
    {"DiffuseSharpness",      &Surface::diffuseSharpness},
    {"ReflectionBlurring",    &Surface::reflectionBlurring},
    {"RefractionBlurring",    &Surface::refractionBlurring},
    {"ReflectionSeamAngle",   &Surface::reflectionSeamAngle},
    {"RefractionSeamAngle",   &Surface::refractionSeamAngle},
    {"ReplacementPercentage", &Surface::replacementPercentage},
    {"ReplacementColor",      nullptr,                          &Surface::replacementColor},
};
// clang-format on

int getChannel(void* surface, const char* channel, double out[3]) {
    if (!surface || !channel) return 0;
    const Surface& s = *surfaceOf(surface);
    for (const Channel& c : kChannels) {
        if (channel != std::string_view(c.name)) continue;
        for (int i = 0; i < 3; ++i) out[i] = c.scalar ? s.*c.scalar : (s.*c.colour)[i];
        return 1;
    }
    return 0;
}

void* chanGroup(void* surface) { return surfaceGroup(surface); }

void* channelTexture(void* surface, const char* channel) {
    if (!surface || !channel) return nullptr;
    const auto& textures = surfaceOf(surface)->textures;
    const auto it = textures.find(channel);
    return it == textures.end() ? nullptr : it->second.get();
}

const HostSurfaceFuncs kSurfaceFuncs{.name = name,
                                     .getInt = getInt,
                                     .getImage = getImage,
                                     .getChannel = getChannel,
                                     .chanGroup = chanGroup,
                                     .channelTexture = channelTexture};
}  // namespace

const HostSurfaceFuncs* surfaceService() { return &kSurfaceFuncs; }

}  // namespace vxs
