#include "nodes/texture_context.h"

#include <array>
#include <atomic>
#include <cmath>
#include <mutex>

#include "core/host_wrappers.h"
#include "core/value.h"
#include "host/host.h"
#include "nodes/light_loop.h"

namespace vx {

namespace {
constexpr double kHalfPi = 1.5707963267948966;

enum Input {
    IN_BUMP = 1, IN_SLOPE, IN_INCIDENCE, IN_LIGHT_INCIDENCE, IN_DIST_CAMERA, IN_DIST_OBJECT, IN_X_DIST, IN_Y_DIST,
    IN_Z_DIST, IN_WEIGHT_MAP, IN_THICKNESS, IN_OBJECT_X, IN_OBJECT_Y, IN_OBJECT_Z, IN_WORLD_X, IN_WORLD_Y, IN_WORLD_Z,
    IN_XY_DIST, IN_YZ_DIST, IN_ZX_DIST, IN_LIGHT_SPECULAR, IN_LIGHT_PHONG, IN_AMBIENT, IN_DIFFUSE, IN_SPECULAR,
    IN_PHONG, IN_OCCLUSION, IN_HALF_OCCLUSION = IN_OCCLUSION + 5
};

// Rings and segments of the five occlusion settings.
constexpr int kOcclusion[5][2] = {{3, 9}, {6, 18}, {8, 24}, {10, 30}, {12, 36}};

// One generator for every occlusion input of the process, as the sampling
// pattern is meant to differ from sample to sample.
std::atomic<uint32_t> gOcclusionState{1};
double occlusionRandom() {
    uint32_t s = gOcclusionState.load(std::memory_order_relaxed), next;
    do next = s * 1566083941u + 1u;
    while (!gOcclusionState.compare_exchange_weak(s, next, std::memory_order_relaxed));
    return next * (1.0 / 4294967296.0);
}

bool isSceneObject(HostID item) {
    const HostItemInfo* items = host().itemInfo;
    if (!items || !item) return false;
    for (HostID id = items->first(HOST_OBJECT, 0); id; id = items->next(id))
        if (id == item) return true;
    return false;
}

NodeValue itemVector(const GradientTime* record, HostID item, int code) {
    double v[3] = {0, 0, 0};
    if (record) record->items.lookup(item, code, v);
    return fromArray(v);
}

// Unit direction from the sample towards the light; zero for no light.
NodeValue towardsLight(const GradientTime* record, HostID light, const NodeValue& p) {
    const HostServices& h = host();
    if (!h.itemInfo || !h.lightInfo || !light) return {};
    if (h.lightInfo->type(light) != HOST_LIGHT_DISTANT) return normalized(itemVector(record, light, HOST_IP_W_POSITION) - p);
    return normalized(-itemVector(record, light, HOST_IP_FORWARD));
}

double specularTerm(const NodeValue& n, const NodeValue& l, const NodeValue& v) {
    return std::pow(std::max(0.0, dot(n, normalized(l + v))), 4);
}

// Σ of term(L) × the mean colour over the lights that reach the sample,
// that light_flag lets through and that the object (0: none found)
// receives.
template <class Term>
double lightSum(const HostTextureSample& s, int lightFlag, HostID object, Term term) {
    const HostItemInfo* items = host().itemInfo;
    if (!items || !s.illuminate) return 0;
    double sum = 0;
    for (HostID light = items->first(HOST_LIGHT, 0); light; light = items->next(light)) {
        if (!passesLightFlag(light, lightFlag) || objectExcludes(object, light)) continue;
        double dir[3] = {0, 0, 0}, colour[3] = {0, 0, 0};
        if (!s.illuminate(s.callbackData, light, s.wPos, dir, colour)) continue;
        sum += term(normalized(-fromArray(dir))) * fromArray(colour).mean();
    }
    return sum;
}

double ambient(const HostTextureSample& s, const GradientTime* record, HostID object, const NodeValue& n) {
    const HostServices& h = host();
    double colour[3] = {0, 0, 0};
    if (h.objectInfo && s.illuminate && !objectExcludes(object, kRadiosityLight)) {
        double dir[3];
        toArray(dir, n);
        if (s.illuminate(s.callbackData, kRadiosityLight, s.wPos, dir, colour)) return fromArray(colour).mean();
    }
    if (h.lightInfo && h.lightInfo->ambient) h.lightInfo->ambient(record ? record->time : 0, colour);
    return fromArray(colour).mean();
}

double weightMap(const HostGradientChoice* choice, const HostTextureSample& s) {
    const HostObjectInfo* objects = host().objectInfo;
    if (!objects || !objects->meshInfo || !choice || !choice->weightMap) return 0;
    HostMeshInfo* mesh = objects->meshInfo(s.objID, 1);
    if (!mesh) return 0;
    double sum = 0;
    if (void* map = mesh->pntVLookup(mesh->priv, HOST_VMAP_WGHT, choice->weightMap)) {
        mesh->pntVSelect(mesh->priv, map);
        for (int i = 0; i < 4; ++i) {
            float value = 0;
            if (mesh->pntVGet(mesh->priv, s.verts[i], &value)) sum += value * s.weights[i];
        }
    }
    if (mesh->destroy) mesh->destroy(mesh);
    return sum;
}

double occlusion(const HostTextureSample& s, const NodeValue& n, int setting, bool half) {
    const int rings = kOcclusion[setting][0], segments = kOcclusion[setting][1];
    const NodeValue axis = std::fabs(n.x) < std::fabs(n.y) ? NodeValue{1, 0, 0} : NodeValue{0, 1, 0};
    const NodeValue t = normalized(cross(axis, n)), b = cross(n, t);
    int occluded = 0;
    for (int i = 0; i < rings; ++i) {
        const double lo = std::acos(1.0 - static_cast<double>(i) / rings);
        const double hi = std::acos(1.0 - static_cast<double>(i + 1) / rings);
        for (int j = 0; j < segments; ++j) {
            const double theta = hi - occlusionRandom() * (hi - lo);
            const double phi = (occlusionRandom() + j) * 2 * 3.141592653589793 / segments;
            const NodeValue d = (t * std::cos(phi) + b * std::sin(phi)) * std::sin(theta) + n * std::cos(theta);
            if (half && d.y < 0) {
                ++occluded;
            } else if (s.rayCast) {
                double dir[3];
                toArray(dir, d);
                occluded += s.rayCast(s.callbackData, s.wPos, dir) > 0;
            }
        }
    }
    return static_cast<double>(occluded) / (rings * segments);
}

double flatDistance(NodeValue d, int dropped) {
    (dropped == 0 ? d.z : dropped == 1 ? d.x : d.y) = 0;
    return length(d);
}
}  // namespace

// clang-format off
const HostGradientInput kGradientInputs[kGradientInputCount] = {
    {"Bump",                            0, 1,         2, 0x4, -1},
    {"Slope",                           0, 1,         2, 0xc, -1},
    {"Incidence Angle",                 0, kHalfPi,   5, 0xc, -1},
    {"Light Incidence",                 0, kHalfPi,   5, 0xc, HOST_LIGHT},
    {"Distance to Camera",              0, 10,        3, 0x4, HOST_CAMERA},
    {"Distance to Object",              0, 10,        3, 0x4, HOST_OBJECT},
    {"X Distance to Object",            0, 10,        3, 0x4, HOST_OBJECT},
    {"Y Distance to Object",            0, 10,        3, 0x4, HOST_OBJECT},
    {"Z Distance to Object",            0, 10,        3, 0x4, HOST_OBJECT},
    {"Weight Map",                      -1, 1,        4, 0x4, 4},
    {"Surface Thickness",               0, 1,         3, 0x4, -1},
    {"Object X Axis",                   -kHalfPi, kHalfPi, 5, 0xc, HOST_OBJECT},
    {"Object Y Axis",                   -kHalfPi, kHalfPi, 5, 0xc, HOST_OBJECT},
    {"Object Z Axis",                   -kHalfPi, kHalfPi, 5, 0xc, HOST_OBJECT},
    {"World X Axis",                    -kHalfPi, kHalfPi, 5, 0xc, -1},
    {"World Y Axis",                    -kHalfPi, kHalfPi, 5, 0xc, -1},
    {"World Z Axis",                    -kHalfPi, kHalfPi, 5, 0xc, -1},
    {"XY Distance to Object",           0, 10,        3, 0x4, HOST_OBJECT},
    {"YZ Distance to Object",           0, 10,        3, 0x4, HOST_OBJECT},
    {"ZX Distance to Object",           0, 10,        3, 0x4, HOST_OBJECT},
    {"Light Specular Incidence",        0, 1,         2, 0xc, HOST_LIGHT},
    {"Light Phong Incidence",           0, 1,         2, 0xc, HOST_LIGHT},
    {"Gradient Ambient",                0, 1,         2, 0x4, -1},
    {"Gradient Diffuse",                0, 1,         2, 0x4, -1},
    {"Gradient Specular",               0, 1,         2, 0x4, -1},
    {"Gradient Phong",                  0, 1,         2, 0x4, -1},
    {"Ambient Occlusion (Preview)",     0, 1,         2, 0xc, -1},
    {"Ambient Occlusion (Low)",         0, 1,         2, 0xc, -1},
    {"Ambient Occlusion (Medium)",      0, 1,         2, 0xc, -1},
    {"Ambient Occlusion (High)",        0, 1,         2, 0xc, -1},
    {"Ambient Occlusion (Very High)",   0, 1,         2, 0xc, -1},
    {"Half Occlusion (Preview)",        0, 1,         2, 0xc, -1},
    {"Half Occlusion (Low)",            0, 1,         2, 0xc, -1},
    {"Half Occlusion (Medium)",         0, 1,         2, 0xc, -1},
    {"Half Occlusion (High)",           0, 1,         2, 0xc, -1},
    {"Half Occlusion (Very High)",      0, 1,         2, 0xc, -1},
};
// clang-format on

HostTextureContext* textureContext() {
    // Made on the first texture that a host with textures serves; nodes made
    // before the host's tables were acquired do not keep it from being made.
    static std::mutex lock;
    static HostTextureContext* context = nullptr;
    std::lock_guard guard(lock);
    const HostTextureFuncs* tf = textureFuncs();
    if (context || !tf) return context;
    context = tf->contextCreate(nullptr, gradientTimeBegin, gradientInput, gradientTimeEnd);
    if (context)
        for (const HostGradientInput& input : kGradientInputs) tf->contextAddParam(context, &input);
    return context;
}

void* gradientTimeBegin(void*, HostTexture* texture, double time, int frame) {
    if (!texture) return nullptr;
    auto* record = new GradientTime;
    record->time = time;
    record->frame = frame;
    record->items.rebuild(time, frame);
    return record;
}

void gradientTimeEnd(void* timeRecord) { delete static_cast<GradientTime*>(timeRecord); }

double gradientInput(const HostGradientChoice* choice, int index, const HostTextureSample* sample, void* timeRecord) {
    if (index < 1 || index > kGradientInputCount || !sample) return 1.0;
    const HostTextureSample& s = *sample;
    const auto* record = static_cast<const GradientTime*>(timeRecord);
    const HostID chosen = choice ? choice->item : 0;
    const HostID item = chosen ? chosen : s.objID;
    const bool found = isSceneObject(item);
    const HostID receiver = found ? item : 0;
    const NodeValue n = normalized(fromArray(s.wNorm)), p = fromArray(s.wPos);
    const NodeValue rayDir = normalized(fromArray(s.rayDir)), towardsViewer = -rayDir;
    const NodeValue itemPos = found ? itemVector(record, item, HOST_IP_W_POSITION) : NodeValue{};
    const NodeValue d = p - itemPos;
    const auto itemAxis = [&](int code) {
        return found ? -dot(n, normalized(itemVector(record, item, code))) * kHalfPi : 0.0;
    };
    const auto worldAxis = [&](const NodeValue& a) { return -dot(n, a) * kHalfPi; };
    const NodeValue light = towardsLight(record, chosen, p);
    const NodeValue mirrored = normalized(reflect(rayDir, n));

    switch (index) {
    case IN_BUMP: return s.bumpHeight;
    case IN_SLOPE: {
        const NodeValue up = found ? normalized(itemVector(record, item, HOST_IP_UP)) : NodeValue{0, 1, 0};
        return 1 - dot(n, up);
    }
    case IN_INCIDENCE: return s.cosine * kHalfPi;
    case IN_LIGHT_INCIDENCE: return std::max(0.0, dot(n, light)) * kHalfPi;
    case IN_DIST_CAMERA: return s.rayLength;
    case IN_DIST_OBJECT: return length(d);
    case IN_X_DIST: return std::fabs(d.x);
    case IN_Y_DIST: return std::fabs(d.y);
    case IN_Z_DIST: return std::fabs(d.z);
    case IN_WEIGHT_MAP: return weightMap(choice, s);
    case IN_THICKNESS: {
        if (!s.rayCast) return 0;
        double dir[3];
        toArray(dir, rayDir);
        return std::max(0.0, s.rayCast(s.callbackData, s.wPos, dir));
    }
    case IN_OBJECT_X: return itemAxis(HOST_IP_RIGHT);
    case IN_OBJECT_Y: return itemAxis(HOST_IP_UP);
    case IN_OBJECT_Z: return itemAxis(HOST_IP_FORWARD);
    case IN_WORLD_X: return worldAxis({1, 0, 0});
    case IN_WORLD_Y: return worldAxis({0, 1, 0});
    case IN_WORLD_Z: return worldAxis({0, 0, 1});
    case IN_XY_DIST: return flatDistance(d, 0);
    case IN_YZ_DIST: return flatDistance(d, 1);
    case IN_ZX_DIST: return flatDistance(d, 2);
    case IN_LIGHT_SPECULAR: return length(light) > 0 ? specularTerm(n, light, towardsViewer) : 0;
    case IN_LIGHT_PHONG: return std::max(0.0, dot(mirrored, light));
    case IN_AMBIENT: return found ? ambient(s, record, item, n) : 0;
    case IN_DIFFUSE:
        return lightSum(s, LF_DIFFUSE, receiver, [&](const NodeValue& l) { return std::max(0.0, dot(n, l)); });
    case IN_SPECULAR:
        return lightSum(s, LF_SPECULAR, receiver, [&](const NodeValue& l) { return specularTerm(n, l, towardsViewer); });
    case IN_PHONG:
        return lightSum(s, LF_SPECULAR, receiver, [&](const NodeValue& l) { return std::max(0.0, dot(mirrored, l)); });
    default: {
        const bool half = index >= IN_HALF_OCCLUSION;
        return found ? occlusion(s, n, index - (half ? IN_HALF_OCCLUSION : IN_OCCLUSION), half) : 0;
    }
    }
}

}  // namespace vx
