// Textures over a surface's channels, as the stand-in's own shading and the
// renderer apply them before a shader sees the sample.
#pragma once

#include "host/services.h"
#include "standin/scene/scene.h"

namespace vxs {

// Lays each channel's texture over the record's channel values; "Bump"
// tilts the normal by the texture's slope and adds its height.
void applySurfaceTextures(const Surface& surface, HostShading& sa);

void surfaceTexturesNewTime(const Scene& scene, double time, int frame);
void surfaceTexturesCleanup(const Scene& scene);

}  // namespace vxs
