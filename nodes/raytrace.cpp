#include "nodes/raytrace.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/host.h"
#include "nodes/image_spot.h"
#include "nodes/sample.h"

namespace vx {

const char* const kBluredTraceFlag = "QK's Torvanixa:BluredTraceFlag";

namespace {
constexpr const char* kRaytrace = "Raytrace";
constexpr double kPi = std::numbers::pi;

// clang-format off
constexpr InputDecl kBaseCol = {"base_col",  VT_COLOR,  PK_COLOR,   1, {1, 1, 1}};
constexpr InputDecl kRefl    = {"refl",      VT_SCALAR, PK_PERCENT, 1, NodeValue::scalar(1)};
constexpr InputDecl kTran    = {"tran",      VT_SCALAR, PK_PERCENT, 1, NodeValue::scalar(1)};
constexpr InputDecl kEta     = {"eta",       VT_SCALAR, PK_NUMBER,  1, NodeValue::scalar(1.4)};
constexpr InputDecl kNorm    = {"norm",      VT_VECTOR, PK_NONE,    1};

constexpr InputDecl kRayIn[] = {{"pos", VT_VECTOR, PK_NONE, 1}, {"dir", VT_VECTOR, PK_VECTOR, 1, {1, 0, 0}}, {nullptr}};
constexpr InputDecl kReflectIn[]     = {kBaseCol, kRefl, kNorm, {nullptr}};
constexpr InputDecl kRefractIn[]     = {kBaseCol, kTran, kEta, kNorm, {nullptr}};
constexpr InputDecl kReflectBlurIn[] = {kBaseCol, kRefl, {"refl_blur", VT_SCALAR, PK_PERCENT, 1},
                                        {"refl_sample", VT_INT, PK_INT, 0, {}, 3}, kNorm, {nullptr}};
constexpr InputDecl kRefractBlurIn[] = {kBaseCol, kTran, kEta, {"tran_blur", VT_SCALAR, PK_PERCENT, 1},
                                        {"tran_sample", VT_INT, PK_INT, 0, {}, 3}, kNorm, {nullptr}};

constexpr OutputDecl kTraceOut[]  = {{"result", VT_COLOR}, {"dist", VT_SCALAR}, {nullptr}};
constexpr OutputDecl kCastOut[]   = {{"dist", VT_SCALAR}, {nullptr}};
constexpr OutputDecl kResultOut[] = {{"result", VT_COLOR}, {nullptr}};
// clang-format on

double reported(double distance) { return distance < 0 ? kMissDistance : distance; }

// fmod(|x|, 1), mirrored below zero, as the spherical map folds its angles.
double unitWrap(double x) { return x >= 0 ? std::fmod(x, 1.0) : 1 - std::fmod(-x, 1.0); }

// Origin and unit direction of the raw ray kinds.
struct Ray {
    NodeValue origin, dir;
};
Ray rayOf(const Node& node, NodeEnv& env) {
    const NodeValue origin = linkedOr(node, 0, env, fromArray(sampleOf(env).wPos));
    return {origin, normalized(node.readValue(1, env))};
}

// A ray through the environment's own trace: the host's in a render, the
// preview's in the editor.
TraceResult envTrace(const NodeEnv& env, const NodeValue& origin, const NodeValue& dir) {
    TraceResult r;
    if (!env.rayTrace) return r;
    double o[3], d[3], c[3] = {};
    toArray(o, origin);
    toArray(d, dir);
    r.distance = env.rayTrace(env.callbackData, o, d, c);
    r.color = fromArray(c);
    return r;
}

// The view ray's direction at the sample.
NodeValue viewDirection(const NodeEnv& env) {
    const HostShading& sa = sampleOf(env);
    return normalized(fromArray(sa.wPos) - fromArray(sa.raySource));
}

NodeValue refractedDirection(const Node& node, int etaInput, int normInput, NodeEnv& env) {
    const double eta = node.readScalar(etaInput, env);
    return normalized(refract(viewDirection(env), normalInput(node, normInput, env), 1.0 / eta));
}

// A mirror or refraction ray of the sample: the preview's own trace, or,
// when `amount` is above 0, the surface's options.
TraceResult sampleRay(const NodeEnv& env, const NodeValue& dir, double amount, TraceMode mode) {
    const NodeValue p = fromArray(sampleOf(env).wPos);
    if (env.isPreview) return envTrace(env, p, dir);
    if (amount > 0 && env.record) return traceSurface(*env.record, env.hostContext, env.time, p, dir, mode);
    return {};
}

NodeValue blurredSampleRay(const NodeEnv& env, const NodeValue& dir, double amount, double blur, int samples,
                           TraceMode mode) {
    if (!env.isPreview && !(amount > 0)) return {};
    return nodeBlurredTrace(env, fromArray(sampleOf(env).wPos), dir, blur, std::max(1, samples), mode);
}

void writeTrace(NodeValue* out, const NodeValue& base, double amount, const TraceResult& r) {
    out[0] = base * r.color * amount;
    out[1] = NodeValue::scalar(reported(r.distance));
}
}  // namespace

// clang-format off
NRayTrace::NRayTrace()       { setup("raytrace",     kRaytrace, kRayIn,         kTraceOut,  false); }
NRayCast::NRayCast()         { setup("raycast",      kRaytrace, kRayIn,         kCastOut,   false); }
NReflect::NReflect()         { setup("reflect",      kRaytrace, kReflectIn,     kTraceOut,  false); }
NRefract::NRefract()         { setup("refract",      kRaytrace, kRefractIn,     kTraceOut,  false); }
NReflectBlur::NReflectBlur() { setup("reflect_blur", kRaytrace, kReflectBlurIn, kResultOut, false); }
NRefractBlur::NRefractBlur() { setup("refract_blur", kRaytrace, kRefractBlurIn, kResultOut, false); }
// clang-format on

Angles directionToAngles(const NodeValue& d) {
    Angles a;
    if (d.x == 0 && d.z == 0) {
        a.pitch = d.y == 0 ? 0 : d.y > 0 ? kPi / 2 : -kPi / 2;
        return a;
    }
    if (d.z == 0) a.heading = d.x > 0 ? -kPi / 2 : kPi / 2;
    else a.heading = d.z > 0 ? -std::atan(d.x / d.z) : kPi - std::atan(d.x / d.z);
    const double r = std::sqrt(d.x * d.x + d.z * d.z);
    a.pitch = r > 0 ? std::atan(d.y / r) : (d.y > 0 ? kPi / 2 : -kPi / 2);
    return a;
}

void sphericalMapUV(const NodeValue& dir, double seam, double& u, double& v) {
    const Angles a = directionToAngles(dir);
    u = unitWrap(1 - (a.heading + seam) / (2 * kPi));
    v = unitWrap(0.5 - a.pitch / kPi);
}

TraceResult traceSurface(const HostShading& sa, void* surface, double time, const NodeValue& p, const NodeValue& dir,
                         TraceMode mode) {
    const HostServices& h = host();
    const HostSurfaceFuncs* funcs = surface ? h.surfaceFuncs : nullptr;
    const bool reflection = mode == TRACE_REFLECTION;
    const int options = funcs ? funcs->getInt(surface, reflection ? "ReflectionOptions" : "RefractionOptions") : 0;
    TraceResult r;
    double from[3], along[3], c[3] = {};
    toArray(from, p);
    toArray(along, dir);
    if (options == 0 && h.backdropInfo) {
        h.backdropInfo->backdrop(time, along, c);
        r.color = fromArray(c);
    }
    if (options == 1 || options == 3) {
        const int bit = reflection ? HOST_RENDER_REFLECT : HOST_RENDER_REFRACT;
        if (h.sceneInfo && (h.sceneInfo->renderOpts & bit) && sa.rayTrace) {
            r.distance = sa.rayTrace(sa.callbackData, from, along, c);
            r.color = fromArray(c);
        }
    }
    if (options == 2 || (options == 3 && r.distance < 0)) {
        const HostID image = funcs->getImage(surface, reflection ? "ReflectionImage" : "RefractionImage");
        if (image) {
            double seam[3] = {};
            if (funcs->getChannel) funcs->getChannel(surface, reflection ? "ReflectionSeamAngle" : "RefractionSeamAngle", seam);
            double u, v;
            sphericalMapUV(dir, seam[0], u, v);
            r.color = sampleImageSpot(image, u, v);
        }
    }
    return r;
}

NodeValue nodeBlurredTrace(const NodeEnv& env, const NodeValue& p, const NodeValue& dir, double blur, int n,
                           TraceMode mode) {
    if (env.isPreview) return envTrace(env, p, dir).color;
    return env.record ? blurredTrace(*env.record, env.hostContext, env.time, p, dir, blur, n, mode) : NodeValue{};
}

NodeValue blurredTrace(const HostShading& sa, void* surface, double time, const NodeValue& p, const NodeValue& dir,
                       double blur, int n, TraceMode mode) {
    // Without a flag nested traces could not be told apart, so they would
    // multiply: such a host gets single rays.
    auto* flag = static_cast<uint32_t*>(threadFlag(kBluredTraceFlag, 4));
    if (!(blur > 0) || !flag || *flag) return traceSurface(sa, surface, time, p, dir, mode).color;
    *flag = 1;
    NodeValue sum;
    forEachBlurRay(sa.sx, sa.sy, dir, blur, n, [&](const NodeValue& d) {
        sum = sum + traceSurface(sa, surface, time, p, d, mode).color;
    });
    *flag = 0;
    return n > 0 ? sum * (1.0 / (double(n) * n)) : sum;
}

void NRayTrace::evaluate(NodeEnv& env) const {
    const Ray ray = rayOf(*this, env);
    writeTrace(outputSlots(env), {1, 1, 1}, 1, envTrace(env, ray.origin, ray.dir));
}

void NRayCast::evaluate(NodeEnv& env) const {
    const Ray ray = rayOf(*this, env);
    double distance = -1;
    if (env.rayCast) {
        double o[3], d[3];
        toArray(o, ray.origin);
        toArray(d, ray.dir);
        distance = env.rayCast(env.callbackData, o, d);
    }
    outputSlots(env)[0] = NodeValue::scalar(reported(distance));
}

void NReflect::evaluate(NodeEnv& env) const {
    const NodeValue base = readValue(0, env);
    const double refl = readScalar(1, env);
    const NodeValue R = normalized(reflect(viewDirection(env), normalInput(*this, 2, env)));
    writeTrace(outputSlots(env), base, refl, sampleRay(env, R, refl, TRACE_REFLECTION));
}

void NRefract::evaluate(NodeEnv& env) const {
    const NodeValue base = readValue(0, env);
    const double tran = readScalar(1, env);
    const NodeValue T = refractedDirection(*this, 2, 3, env);
    writeTrace(outputSlots(env), base, tran, sampleRay(env, T, tran, TRACE_REFRACTION));
}

void NReflectBlur::evaluate(NodeEnv& env) const {
    const NodeValue base = readValue(0, env);
    const double refl = readScalar(1, env), blur = readScalar(2, env);
    const NodeValue R = normalized(reflect(viewDirection(env), normalInput(*this, 4, env)));
    const int samples = inputs[3].param.intValue;
    outputSlots(env)[0] = base * blurredSampleRay(env, R, refl, blur, samples, TRACE_REFLECTION) * refl;
}

void NRefractBlur::evaluate(NodeEnv& env) const {
    const NodeValue base = readValue(0, env);
    const double tran = readScalar(1, env);
    const NodeValue T = refractedDirection(*this, 2, 5, env);
    const double blur = readScalar(3, env);
    const int samples = inputs[4].param.intValue;
    outputSlots(env)[0] = base * blurredSampleRay(env, T, tran, blur, samples, TRACE_REFRACTION) * tran;
}

}  // namespace vx
