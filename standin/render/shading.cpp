#include "standin/render/shading.h"

namespace vxs {

namespace {
constexpr double kMiss = -1.0;

int noLight(void*, HostID, const double[3], double[3], double color[3]) {
    color[0] = color[1] = color[2] = 0;
    return 0;
}
double traceMiss(void*, const double[3], const double[3], double color[3]) {
    color[0] = color[1] = color[2] = 0;
    return kMiss;
}
double castMiss(void*, const double[3], const double[3]) { return kMiss; }
double shadeMiss(void*, const double[3], const double[3], HostShading*) { return kMiss; }
}  // namespace

HostShading defaultShading() {
    HostShading sa{};
    sa.gNorm[2] = sa.wNorm[2] = sa.wNorm0[2] = -1;
    sa.raySource[2] = -4;
    sa.rayLength = 4;
    sa.cosine = 1;
    sa.color[0] = sa.color[1] = sa.color[2] = 0.785;
    sa.diffuse = 1;
    sa.roughness = 1.0 / 64;
    sa.eta = 1;
    sa.diffSharpness = 1;
    sa.illuminate = noLight;
    sa.rayTrace = traceMiss;
    sa.rayCast = castMiss;
    sa.rayShade = shadeMiss;
    return sa;
}

}  // namespace vxs
