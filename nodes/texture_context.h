// The plug-in's texture context: the 36 custom gradient inputs that the
// gradient layers of the textures made here may take as their input.
#pragma once

#include <cstdint>

#include "host/texture_services.h"
#include "nodes/items.h"

namespace vx {

constexpr int kGradientInputCount = 36;
extern const HostGradientInput kGradientInputs[kGradientInputCount];

// Made with its inputs on first need; null without "Texture Functions 3".
HostTextureContext* textureContext();

// What the context's time callback makes for one texture at one time.
struct GradientTime {
    double time = 0;
    int32_t frame = 0;
    IParamMan items;
};

// The context's three callbacks.
void* gradientTimeBegin(void* userData, HostTexture* texture, double time, int frame);
double gradientInput(const HostGradientChoice* choice, int index, const HostTextureSample* sample, void* timeRecord);
void gradientTimeEnd(void* timeRecord);

}  // namespace vx
