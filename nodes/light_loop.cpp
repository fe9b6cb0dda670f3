#include "nodes/light_loop.h"

#include <algorithm>
#include <numbers>

#include "host/host.h"
#include "nodes/image_spot.h"

namespace vx {

namespace {
constexpr double kFarLight = 1e15;  // how far a distant light counts as
constexpr double kNoHit = 1e16;     // a ray cast that hits nothing

NodeValue itemVector(HostID item, int code, double time) {
    double v[3] = {};
    host().itemInfo->param(item, code, time, v);
    return fromArray(v);
}

int lightType(HostID light) {
    const HostLightInfo* info = host().lightInfo;
    return info ? info->type(light) : -1;
}

LightRay askHost(const NodeEnv& env, HostID light, const NodeValue& p) {
    LightRay ray;
    if (!env.illuminate) return ray;
    double pos[3], dir[3] = {}, color[3] = {};
    toArray(pos, p);
    ray.result = env.illuminate(env.callbackData, light, pos, dir, color);
    ray.direction = fromArray(dir);
    ray.color = fromArray(color);
    return ray;
}

double falloffFactor(int falloff, double range, double dist) {
    switch (falloff) {
    case HOST_FALLOFF_LINEAR: return dist <= range ? 1 - dist / range : 0;
    case HOST_FALLOFF_INVERSE: return range / dist;
    case HOST_FALLOFF_INVERSE_SQUARE: return range * range / (dist * dist);
    default: return 1;
    }
}

// 1 inside radius - edge, 0 outside the radius, a smooth step between.
double coneFactor(const HostLightInfo& info, HostID light, double time, const NodeValue& toPoint,
                  const NodeValue& forward) {
    if (!info.coneAngles) return 1;
    double radius = 0, edge = 0;
    info.coneAngles(light, time, &radius, &edge);
    const double c = dot(normalized(toPoint), forward);
    const double inner = std::cos(radius - edge), outer = std::cos(radius);
    if (c >= inner) return 1;
    if (c <= outer) return 0;
    const double s = (c - outer) / (inner - outer);
    return 3 * s * s - 2 * s * s * s;
}

// Whether the host traces the light's shadows, whose colour is corrected.
bool tracesShadow(HostID light) {
    const HostLightInfo* info = host().lightInfo;
    const int type = lightType(light);
    return info && type >= 0 && type <= 2 && info->shadowType && info->shadowType(light);
}

// The part of the light a traced shadow took away comes back averaged to
// grey and tinted by the light's shadow colour.
void correctShadow(const NodeEnv& env, HostID light, const NodeValue& p, LightRay& ray) {
    const LightRay open = lightAtPoint(env, light, p);
    double sc[3] = {};
    if (const HostLightInfo* info = host().lightInfo; info->shadowColor) info->shadowColor(light, env.time, sc);
    ray.color = ray.color + fromArray(sc) * (open.color - ray.color).mean();
    ray.direction = open.direction;
    ray.result = 1;
}

double internalFalloff(double d, double decay) {
    const double t = std::max(0.0, d - 0.01 * decay);
    return t > decay || decay <= 0 ? 0 : 1 - t / decay;
}

double castRay(const NodeEnv& env, const NodeValue& from, const NodeValue& dir) {
    if (!env.rayCast) return kNoHit;
    double o[3], d[3];
    toArray(o, from);
    toArray(d, dir);
    const double hit = env.rayCast(env.callbackData, o, d);
    return hit < 0 ? kNoHit : hit;
}
}  // namespace

namespace detail {
const HostShading& sampleOf(const NodeEnv& env) {
    static const HostShading none{};
    return env.record ? *env.record : none;
}

int lightFlags(HostID light) {
    const HostLightInfo* info = host().lightInfo;
    return info && info->flags ? info->flags(light) : 0;
}

HostID firstLight() { return host().itemInfo->first(HOST_LIGHT, 0); }

HostID nextLight(HostID light, HostID first) {
    const HostID next = host().itemInfo->next(light);
    return next == first ? 0 : next;
}
}  // namespace detail

bool passesLightFlag(HostID light, int lightFlag) { return detail::passesFilter(detail::lightFlags(light), lightFlag); }

bool lightServicesPresent() { return host().itemInfo && host().objectInfo; }

LightRay lightAtPoint(const NodeEnv& env, HostID light, const NodeValue& p) {
    LightRay ray;
    const HostServices& h = host();
    if (!h.itemInfo || !h.lightInfo) return ray;
    const HostLightInfo& info = *h.lightInfo;
    const int type = info.type(light);
    double c[3] = {};
    if (info.color) info.color(light, env.time, c);
    const NodeValue position = itemVector(light, HOST_IP_W_POSITION, env.time);
    const NodeValue forward = normalized(itemVector(light, HOST_IP_W_FORWARD, env.time));
    ray.result = 1;
    ray.color = fromArray(c);
    if (type == HOST_LIGHT_DISTANT) {
        ray.direction = forward;
        return ray;
    }
    const NodeValue d = p - position;
    double factor = info.falloff && info.range ? falloffFactor(info.falloff(light), info.range(light, env.time), length(d)) : 1;
    if (type == HOST_LIGHT_SPOT) {
        const HostID image = info.image ? info.image(light, env.time) : 0;
        double u = 0, v = 0;
        if (!image) factor *= coneFactor(info, light, env.time, d, forward);
        else if (projectSpotImage(light, env.time, p, u, v)) ray.color = ray.color * sampleImageSpot(image, u, v);
        else factor = 0;
    }
    ray.color = ray.color * factor;
    ray.direction = d;
    return ray;
}

bool projectSpotImage(HostID light, double time, const NodeValue& p, double& u, double& v) {
    const HostServices& h = host();
    if (!h.itemInfo || !h.lightInfo || !h.lightInfo->coneAngles) return false;
    double radius = 0, edge = 0;
    h.lightInfo->coneAngles(light, time, &radius, &edge);
    if (radius >= std::numbers::pi / 2 || radius <= 0) return false;
    const NodeValue d = p - itemVector(light, HOST_IP_W_POSITION, time);
    const double depth = dot(d, itemVector(light, HOST_IP_W_FORWARD, time));
    if (depth <= 0) return false;
    const double focal = 1 / std::tan(radius);
    const double x = focal * dot(d, itemVector(light, HOST_IP_W_RIGHT, time)) / depth;
    const double y = focal * dot(d, itemVector(light, HOST_IP_W_UP, time)) / depth;
    if (std::fabs(x) >= 1 || std::fabs(y) >= 1) return false;
    u = (x + 1) / 2;
    v = 1 - (y + 1) / 2;
    return true;
}

namespace {
const LightSample* cachedLight(LightCache& cache, HostID light) {
    for (int k = 0, i = cache.next; k < cache.count; ++k, i = i + 1 < cache.count ? i + 1 : 0)
        if (cache.samples[i].light == light) {
            cache.next = i + 1;
            return &cache.samples[i];
        }
    return nullptr;
}

LightRay cachedRay(const LightSample& s) { return {s.result, s.direction, s.color, s.towards}; }

void keepLight(LightCache& cache, HostID light, const LightRay& ray) {
    if (cache.count < kLightRoom)
        cache.samples[cache.count++] = {light, ray.direction, ray.color, ray.result, ray.towards};
}

LightRay withTowards(LightRay ray) {
    ray.towards = -normalized(ray.direction);
    return ray;
}
}  // namespace

LightRay illuminateCached(NodeEnv& env, HostID light, const NodeValue& p) {
    LightCache* cache = env.lights;
    if (const LightSample* s = cache ? cachedLight(*cache, light) : nullptr) return cachedRay(*s);
    const LightRay ray = withTowards(askHost(env, light, p));
    if (cache) keepLight(*cache, light, ray);
    return ray;
}

LightRay illuminateGuarded(NodeEnv& env, HostID light, const NodeValue& p) {
    uint32_t* flag = env.shadowRayFlag;
    if (!flag || light == kRadiosityLight || light == kCausticsLight) return askHost(env, light, p);
    if (*flag) return {};
    *flag = 1;
    const LightRay ray = askHost(env, light, p);
    *flag = 0;
    return ray;
}

namespace {
// What a thread listed last, and for which object, render and time.
struct ReceivedList {
    const HostItemInfo* items = nullptr;
    const HostObjectInfo* objects = nullptr;
    const HostLightInfo* lights = nullptr;
    uint64_t epoch = 0;
    double time = 0;
    HostID object = 0;
    ReceivedLights received;
};

NodeValue askAmbient(const NodeEnv& env) {
    const HostLightInfo* info = host().lightInfo;
    double a[3] = {};
    if (info && info->ambient) info->ambient(env.time, a);
    return fromArray(a);
}

void listFromHost(const NodeEnv& env, ReceivedLights& list) {
    list.count = 0;
    const HostID first = detail::firstLight();
    for (HostID light = first; light; light = detail::nextLight(light, first)) {
        if (lightExcluded(env, light)) continue;
        if (list.count == kLightRoom) {
            list.count = -1;
            return;
        }
        list.lights[list.count++] = {light, detail::lightFlags(light), tracesShadow(light)};
    }
    list.radiosityExcluded = lightExcluded(env, kRadiosityLight);
    list.causticsExcluded = lightExcluded(env, kCausticsLight);
    list.ambient = askAmbient(env);
}

bool correctsShadow(const NodeEnv& env, HostID light) {
    if (env.isPreview) return false;
    if (LightCache* cache = env.lights; cache && cache->listed) {
        // The lights are asked for in the list's order: the search starts
        // after the last one found, so that asking for all of them is linear.
        const ReceivedLights& r = cache->received;
        for (int k = 0, i = cache->nextReceived; k < r.count; ++k, i = i + 1 < r.count ? i + 1 : 0)
            if (r.lights[i].light == light) {
                cache->nextReceived = i + 1 < r.count ? i + 1 : 0;
                return r.lights[i].correctsShadow;
            }
    }
    return tracesShadow(light);
}
}  // namespace

bool listLights(const NodeEnv& env) {
    LightCache* cache = env.lights;
    if (!cache || !lightServicesPresent()) return false;
    const HostServices& h = host();
    const HostID object = detail::sampleOf(env).objID;
    constinit thread_local ReceivedList last;
    ReceivedList& list = last;
    const uint64_t epoch = renderEpoch();
    if (list.items != h.itemInfo || list.objects != h.objectInfo || list.lights != h.lightInfo ||
        list.epoch != epoch || list.time != env.time || list.object != object) {
        list.items = h.itemInfo;
        list.objects = h.objectInfo;
        list.lights = h.lightInfo;
        list.epoch = epoch;
        list.time = env.time;
        list.object = object;
        listFromHost(env, list.received);
    }
    if (list.received.count < 0) return false;
    cache->received = list.received;
    cache->listed = true;
    return true;
}

bool shadowedLight(NodeEnv& env, HostID light, const NodeValue& p, LightRay& out) {
    if (!env.lights) out = withTowards(illuminateGuarded(env, light, p));
    else if (light == kRadiosityLight || light == kCausticsLight) out = withTowards(askHost(env, light, p));
    else if (!env.shadowRayFlag) out = illuminateCached(env, light, p);
    else if (*env.shadowRayFlag) return false;
    else if (const LightSample* s = cachedLight(*env.lights, light)) out = cachedRay(*s);
    else {
        // Kept as corrected: the correction is the same for every model.
        *env.shadowRayFlag = 1;
        out = askHost(env, light, p);
        *env.shadowRayFlag = 0;
        if (correctsShadow(env, light)) correctShadow(env, light, p, out);
        out = withTowards(out);
        keepLight(*env.lights, light, out);
    }
    return true;
}

bool objectExcludes(HostID object, HostID light) {
    const HostObjectInfo* objects = host().objectInfo;
    return object && objects && objects->excluded && objects->excluded(object, light);
}

bool lightExcluded(const NodeEnv& env, HostID light) { return objectExcludes(detail::sampleOf(env).objID, light); }

bool pseudoLight(NodeEnv& env, HostID id, NodeValue& color) {
    color = {};
    if (!env.illuminate) return false;
    const HostShading& sa = detail::sampleOf(env);
    double dir[3] = {sa.wNorm[0], sa.wNorm[1], sa.wNorm[2]}, c[3] = {};
    if (!env.illuminate(env.callbackData, id, sa.wPos, dir, c)) return false;
    color = fromArray(c);
    return true;
}

NodeValue ambientLight(const NodeEnv& env) {
    return listReceivedLights(env) ? env.lights->received.ambient : askAmbient(env);
}

NodeValue fullAmbient(NodeEnv& env, double boost) {
    const NodeValue flat = ambientLight(env);
    if (!lightServicesPresent() || boost <= 0 || !detail::sampleOf(env).objID) return flat;
    NodeValue radiosity, caustics;
    const bool listed = listReceivedLights(env);
    const auto excluded = [&](HostID id, bool ReceivedLights::*known) {
        return listed ? env.lights->received.*known : lightExcluded(env, id);
    };
    const bool gathered = !excluded(kRadiosityLight, &ReceivedLights::radiosityExcluded) &&
                          pseudoLight(env, kRadiosityLight, radiosity);
    if (!excluded(kCausticsLight, &ReceivedLights::causticsExcluded)) pseudoLight(env, kCausticsLight, caustics);
    return (gathered ? radiosity : flat) + caustics;
}

ShadePoint shadePoint(const Node& node, int normInput, NodeEnv& env) {
    const HostShading& sa = detail::sampleOf(env);
    const auto at = [&](const NodeValue& normal) {
        const NodeValue P = fromArray(sa.wPos), S = fromArray(sa.raySource);
        // S - P and P - S have the same length, taken once.
        const double l = length(S - P);
        const auto unit = [l](const NodeValue& v) { return l > 0 ? v / l : NodeValue{}; };
        return ShadePoint{P, normalized(normal), unit(S - P), unit(P - S)};
    };
    if (normInput >= 0 && node.inputs[normInput].source) return at(node.readValue(normInput, env));
    // The models of a sample share it.
    const NodeValue normal = env.record ? fromArray(sa.wNorm) : env.normal;
    LightCache* cache = env.lights;
    if (!cache) return at(normal);
    if (!cache->shadeKnown || !(cache->shade.normal == normal)) {
        cache->shade = {normal, at(normal)};
        cache->shadeKnown = true;
    }
    return cache->shade.at;
}

NodeValue wrappedLight(NodeEnv& env, const ShadePoint& at, const NodeValue& n, double wrap, int lightFlag) {
    const double fadeAngle = (wrap + 1) * std::numbers::pi / 2;
    const auto fade = [&](const NodeValue& L) {
        const double angle = std::acos(std::clamp(dot(n, L), -1.0, 1.0));
        return std::clamp(1 - std::min(1.0, angle / fadeAngle), 0.0, 1.0);
    };
    NodeValue sum;
    walkLights(env, lightFlag, [&](HostID light) {
        const int type = lightType(light);
        LightRay shadowed;
        if (env.isPreview || type < 0 || type > 2) {
            if (shadowedLight(env, light, at.P, shadowed) && shadowed.result)
                sum = sum + shadowed.color * fade(shadowed.towards);
            return;
        }
        const LightRay open = lightAtPoint(env, light, at.P);
        if (!shadowedLight(env, light, at.P, shadowed)) return;
        const NodeValue Cs = shadowed.result ? shadowed.color : NodeValue{};
        const NodeValue L = -normalized(open.direction);
        const NodeValue c = open.color * fade(L) - (open.color - Cs) * std::max(0.0, dot(n, L));
        sum = sum + NodeValue{std::max(0.0, c.x), std::max(0.0, c.y), std::max(0.0, c.z)};
    });
    return sum;
}

NodeValue translucencyAt(NodeEnv& env, const ShadePoint& at, const Translucency& t) {
    const HostShading& sa = detail::sampleOf(env);
    const NodeValue inside = normalized(refract(at.D, at.N, 1 / t.eta));
    const NodeValue Ng = fromArray(sa.gNorm);
    const bool sharp = env.isPreview || t.blur <= 0;
    const double spread = sharp ? 0 : t.blur;
    const int k = sharp ? 1 : t.samples;
    NodeValue sum;
    if (k <= 0) return sum;
    const double share = 1.0 / (double(k) * k);
    walkLights(env, t.lightFlag, [&](HostID light) {
        const LightRay l = env.isPreview ? askHost(env, light, at.P) : lightAtPoint(env, light, at.P);
        const double reach = lightType(light) == HOST_LIGHT_DISTANT ? kFarLight : length(l.direction);
        const NodeValue Ld = normalized(-l.direction);
        const NodeValue across = normalized({Ld.z - Ld.y, Ld.x - Ld.z, Ld.y - Ld.x});
        const NodeValue q1 = across * (spread * 0.5), q2 = cross(Ld, across) * (spread * 0.5);
        Jitter jitter(sa.sx, sa.sy);
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < k; ++j) {
                const double r1 = jitter.next(), r2 = jitter.next();
                const NodeValue R = normalized(Ld + q1 * ((r1 + i) / k - 0.5) + q2 * ((r2 + j) / k - 0.5));
                const double d1 = castRay(env, at.P, R);
                NodeValue c = l.color;
                if (d1 <= reach) {
                    if (dot(R, Ng) >= 0) {
                        c = c * t.internalScatter;
                    } else {
                        const double d2 = castRay(env, at.P + R * d1, R);
                        c = c * internalFalloff(d1, t.decay);
                        if (d1 + d2 <= reach) c = c * t.internalScatter;
                    }
                }
                const double q = dot(R, inside) * t.directivity + (1 - t.directivity);
                if (q > 0) sum = sum + c * (q * share);
            }
    });
    return sum;
}

}  // namespace vx
