// The fixed world of node previews: a grey checkerboard behind and below the
// ball, and the queries a preview environment answers instead of a render's
// host record. Nodes reach these only through their NodeEnv.
#pragma once

#include <vector>

#include "core/value.h"
#include "host/services.h"

namespace vx {

// Grey of the checkerboard at image-plane (or floor-plane) point (x, y):
// 0.75 or 0.35, in squares a quarter unit wide.
double previewChecker(double x, double y);

// A scene light as the host's light and item tables describe it at one time.
struct PreviewLight {
    HostID id = 0;
    int type = HOST_LIGHT_DISTANT;
    NodeValue color, position, axis;  // axis: the forward axis
    int falloff = HOST_FALLOFF_NONE;
    double range = 0;
};

// The scene's lights at the interface's time, read once for a whole preview
// because asking the host costs more than shading a sample. Without item
// info there are no lights and `present` is false.
struct PreviewLights {
    double time = 0;
    bool present = false;
    std::vector<PreviewLight> lights;  // in the host's order, each once
};

PreviewLights readPreviewLights(double time);

// The illuminate callback; `ctx` points to the PreviewLights. Unshadowed
// light: distant lights shine along their forward axis, the others from
// their position, dimmed by their falloff. The two pseudo-lights and an id
// that is no light of the scene give no light.
int previewIlluminate(void* ctx, HostID light, const double pos[3], double dir[3], double color[3]);

// The rayTrace callback: every ray lands on the checker plane; distance -1.
double previewTrace(void* ctx, const double origin[3], const double dir[3], double color[3]);

// The rayCast and rayShade callbacks: nothing is ever hit.
double previewCast(void* ctx, const double origin[3], const double dir[3]);
double previewShade(void* ctx, const double origin[3], const double dir[3], HostShading* hit);

// NodeEnv::itemParam of a preview: the host's item parameter at time 0,
// (0, 0, 0) without item info.
void previewItemParam(HostID item, int code, double out[3]);

}  // namespace vx
