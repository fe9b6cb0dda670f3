#include "editor/preview_scene.h"

#include <algorithm>
#include <cmath>

#include "core/value.h"
#include "host/host.h"

namespace vx {

namespace {
constexpr HostID kRadiosityLight = 0x21000000;
constexpr HostID kCausticsLight = 0x22000000;
constexpr double kMiss = -1.0;


// Share of a light's colour left after distance d.
double falloffScale(const PreviewLight& l, double d) {
    switch (l.falloff) {
        case HOST_FALLOFF_LINEAR: return d <= l.range ? 1 - d / l.range : 0;
        case HOST_FALLOFF_INVERSE: return l.range / d;
        case HOST_FALLOFF_INVERSE_SQUARE: return l.range * l.range / (d * d);
        default: return 1;
    }
}

PreviewLight readLight(const HostItemInfo& items, const HostLightInfo& info, HostID id, double time) {
    PreviewLight l;
    l.id = id;
    l.type = info.type(id);
    double v[3];
    info.color(id, time, v);
    l.color = fromArray(v);
    items.param(id, HOST_IP_W_POSITION, time, v);
    l.position = fromArray(v);
    items.param(id, HOST_IP_FORWARD, time, v);
    l.axis = fromArray(v);
    // Without both entries the light cannot fade.
    if (info.falloff && info.range) {
        l.falloff = info.falloff(id);
        l.range = info.range(id, time);
    }
    return l;
}
}  // namespace

double previewChecker(double x, double y) {
    double u = 4 * x, v = 4 * y;
    if (u < 0) u = 0.5 - u;
    if (v < 0) v = 0.5 - v;
    return (std::fmod(u, 1.0) > 0.5) != (std::fmod(v, 1.0) > 0.5) ? 0.75 : 0.35;
}

PreviewLights readPreviewLights(double time) {
    const HostServices& h = host();
    PreviewLights out;
    out.time = time;
    if (!h.itemInfo) return out;
    out.present = true;
    // Without the colour entry of an older host no light can be told.
    if (!h.lightInfo || !h.lightInfo->color) return out;
    for (HostID id = h.itemInfo->first(HOST_LIGHT, 0); id; id = h.itemInfo->next(id)) {
        const auto seen = [id](const PreviewLight& l) { return l.id == id; };
        if (std::any_of(out.lights.begin(), out.lights.end(), seen)) break;  // a looping host list
        out.lights.push_back(readLight(*h.itemInfo, *h.lightInfo, id, time));
    }
    return out;
}

int previewIlluminate(void* ctx, HostID light, const double pos[3], double dir[3], double color[3]) {
    toArray(dir, {});
    toArray(color, {});
    if (light == kRadiosityLight || light == kCausticsLight || !ctx) return 0;
    const auto& lights = static_cast<const PreviewLights*>(ctx)->lights;
    const auto it =
        std::find_if(lights.begin(), lights.end(), [light](const PreviewLight& l) { return l.id == light; });
    if (it == lights.end()) return 0;
    NodeValue toPoint, colour = it->color;
    if (it->type == HOST_LIGHT_DISTANT) {
        toPoint = normalized(it->axis);
    } else {
        // Left at full length: nodes take the distance to the light from it.
        toPoint = fromArray(pos) - it->position;
        colour = colour * falloffScale(*it, length(toPoint));
    }
    toArray(dir, toPoint);
    toArray(color, colour);
    return 1;
}

double previewTrace(void*, const double origin[3], const double dir[3], double color[3]) {
    // Not a true plane: a cheap surrounding for reflections and refractions,
    // the checker seen after a depth step that depends on the ray's heading.
    const double s = dir[0] + dir[1] + dir[2];
    const double k = s < 0 ? 1 - origin[2] : origin[2];
    const double f = std::fabs(k / dir[2]);
    toArray(color, NodeValue::scalar(previewChecker(origin[0] + f * dir[0], origin[1] + f * dir[1])));
    return kMiss;
}

double previewCast(void*, const double[3], const double[3]) { return kMiss; }

double previewShade(void*, const double[3], const double[3], HostShading*) { return kMiss; }

void previewItemParam(HostID item, int code, double out[3]) {
    const HostItemInfo* items = host().itemInfo;
    if (items && code >= 1 && code <= 12)
        items->param(item, code, 0.0, out);
    else
        toArray(out, {});
}

}  // namespace vx
