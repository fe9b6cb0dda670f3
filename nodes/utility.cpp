#include "nodes/utility.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "nodes/raytrace.h"
#include "nodes/sample.h"

namespace vx {

namespace {
constexpr const char* kUtility = "Utility";
constexpr const char* kIlluminate = "Illuminate";
// Already 50 million rays a sample; keeps the sector count within an int.
constexpr int kMaxRings = 4096;

// clang-format off
constexpr InputDecl kJitter    = {"jitter", VT_SCALAR, PK_PERCENT, 0, NodeValue::scalar(1)};
constexpr InputDecl kSample    = {"sample", VT_INT,    PK_INT,     0, {}, 6};
constexpr InputDecl kInvert    = {"invert", VT_INT,    PK_CHECK,   0};
constexpr InputDecl kNorm      = {"norm",   VT_VECTOR, PK_NONE,    1};
constexpr InputDecl kViewVec   = {"view_vec", VT_VECTOR, PK_NONE,  1};
constexpr InputDecl kEta       = {"eta",    VT_SCALAR, PK_NUMBER,  1, NodeValue::scalar(1.3)};
constexpr InputDecl kDist      = {"dist",   VT_SCALAR, PK_NUMBER,  1};
constexpr InputDecl kNear      = {"near",   VT_SCALAR, PK_NUMBER,  1};
constexpr InputDecl kScale     = {"scale",  VT_SCALAR, PK_NUMBER,  1, NodeValue::scalar(1)};

constexpr InputDecl kOcclusionIn[]  = {kJitter, kSample, kInvert, kNorm,
                                       {"decay", VT_INT, PK_POPUP, 0, {}, DECAY_NONE, "none\nlinear\nnonlinear"},
                                       {"decay_dist", VT_SCALAR, PK_DISTANCE, 1, NodeValue::scalar(1)}, {nullptr}};
constexpr InputDecl kOcclusionHIn[] = {kJitter, kSample, kInvert, kNorm, {nullptr}};
constexpr InputDecl kIncidenceIn[]  = {{"vec", VT_VECTOR, PK_NONE, 1}, kNorm, kInvert, {nullptr}};
constexpr InputDecl kFresnelIn[]    = {kViewVec, kNorm, kEta, {nullptr}};
constexpr InputDecl kReflVIn[]      = {kViewVec, kNorm, {nullptr}};
constexpr InputDecl kDecayLIn[]     = {kDist, kNear, {"far", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(1)}, kInvert, {nullptr}};
constexpr InputDecl kDecayEIn[]     = {kDist, kNear, kScale, kInvert, {nullptr}};
constexpr InputDecl kDecayPIn[]     = {kDist, kNear, kScale, {"coeff", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(2)}, kInvert, {nullptr}};

constexpr OutputDecl kResultOut[]  = {{"result", VT_SCALAR}, {nullptr}};
constexpr OutputDecl kFresnelOut[] = {{"refl", VT_SCALAR}, {"refl_vec", VT_VECTOR}, {"tran", VT_SCALAR},
                                      {"tran_vec", VT_VECTOR}, {nullptr}};
constexpr OutputDecl kReflVOut[]   = {{"refl_vec", VT_VECTOR}, {nullptr}};
constexpr OutputDecl kTranVOut[]   = {{"tran_vec", VT_VECTOR}, {nullptr}};
// clang-format on

double cast(const HostShading& sa, const NodeValue& p, const NodeValue& d) {
    double from[3], along[3];
    toArray(from, p);
    toArray(along, d);
    return sa.rayCast(sa.callbackData, from, along);
}

// The mean of weight(direction) over the jittered hemisphere: `rings` rings
// of equal solid angle, three times as many sectors.
template <class Weight>
double hemisphere(const HostShading& sa, const NodeValue& n, int rings, double jitter, Weight weight) {
    if (!sa.rayCast) return 0;
    const NodeValue N = normalized(n);
    const NodeValue A = std::fabs(N.x) <= std::fabs(N.y) ? NodeValue{1, 0, 0} : NodeValue{0, 1, 0};
    const NodeValue B1 = normalized(cross(N, A)), B2 = normalized(cross(N, B1));
    const int R = std::clamp(rings, 1, kMaxRings), K = 3 * R;
    Jitter random(sa.sx, sa.sy);
    double sum = 0;
    for (int k = 0; k < R; ++k) {
        const double lo = std::acos(1 - double(k) / R), hi = std::acos(1 - double(k + 1) / R);
        for (int j = 0; j < K; ++j) {
            const double r1 = random.next(), r2 = random.next();
            const double theta = hi - r1 * jitter * (hi - lo);
            const double phi = (r2 * jitter + j) * 2 * std::numbers::pi / K;
            sum += weight(normalized((B2 * std::cos(phi) + B1 * std::sin(phi)) * std::sin(theta) + N * std::cos(theta)));
        }
    }
    return sum / (double(R) * K);
}

double invertIf(const Node& node, int input, double r) { return node.inputs[input].param.intValue ? 1 - r : r; }

// "occlusion" and "half occlusion" in a preview: no rays, a sky above.
double previewOcclusion(const NodeValue& n) { return std::max(0.0, dot(n, {0, -1, 0})); }

// The view vector of the Fresnel kinds: linked and normalised, else the
// view ray's direction.
NodeValue incident(const Node& node, NodeEnv& env) {
    const HostShading& sa = sampleOf(env);
    return normalized(linkedOr(node, 0, env, fromArray(sa.wPos) - fromArray(sa.raySource)));
}

// The incidence kinds' vector: linked, else towards the viewer.
NodeValue towardsViewer(const Node& node, NodeEnv& env) {
    const HostShading& sa = sampleOf(env);
    return normalized(linkedOr(node, 0, env, fromArray(sa.raySource) - fromArray(sa.wPos)));
}

void writeScalar(const Node& node, NodeEnv& env, int invertInput, double r) {
    node.outputSlots(env)[0] = NodeValue::scalar(invertIf(node, invertInput, r));
}
}  // namespace

// clang-format off
NOcclusion::NOcclusion()   { setup("occlusion",      kIlluminate, kOcclusionIn,  kResultOut,  false); }
NOcclusionH::NOcclusionH() { setup("half occlusion", kIlluminate, kOcclusionHIn, kResultOut,  false); }
NIncidence::NIncidence()   { setup("incidence",      kUtility,    kIncidenceIn,  kResultOut,  false); }
NIncidence2::NIncidence2() { setup("incidence2",     kUtility,    kIncidenceIn,  kResultOut,  false); }
NFresnel::NFresnel()       { setup("fresnel",        kUtility,    kFresnelIn,    kFresnelOut, false); }
NTranV::NTranV()           { setup("tran_vec",       kUtility,    kFresnelIn,    kTranVOut,   false); }
NReflV::NReflV()           { setup("refl_vec",       kUtility,    kReflVIn,      kReflVOut,   false); }
NDecayL::NDecayL()         { setup("decay_linear",   kUtility,    kDecayLIn,     kResultOut,  false); }
NDecayE::NDecayE()         { setup("decay_exp",      kUtility,    kDecayEIn,     kResultOut,  false); }
NDecayP::NDecayP()         { setup("decay_pow",      kUtility,    kDecayPIn,     kResultOut,  false); }
// clang-format on

double occlusionSample(const HostShading& sa, const NodeValue& p, const NodeValue& n, int rings, double jitter,
                       bool half) {
    return hemisphere(sa, n, rings, jitter,
                      [&](const NodeValue& d) { return (half && d.y < 0) || cast(sa, p, d) > 0 ? 1.0 : 0.0; });
}

double occlusionDecay(const HostShading& sa, const NodeValue& p, const NodeValue& n, int rings, double jitter,
                      int decay, double decayDist) {
    return hemisphere(sa, n, rings, jitter, [&](const NodeValue& d) {
        const double t = cast(sa, p, d);
        if (!(t > 0)) return 0.0;
        if (decay == DECAY_LINEAR) {
            const double range = decayDist > 0 ? decayDist : 0;
            return t <= range ? 1 - t / range : 0.0;
        }
        return std::exp(-(decayDist < 0 ? 0 : 1 / decayDist) * t);
    });
}

FresnelTerms fresnel(const NodeValue& i, const NodeValue& n, double invEta) {
    const double c = dot(-normalized(i), normalized(n));
    const double g2 = 1 / (invEta * invEta) + c * c - 1;
    if (g2 < 0) return {};
    const double g = std::sqrt(g2);
    const double sum = static_cast<float>(g + c), difference = static_cast<float>(g - c);
    const double a = static_cast<float>(c * sum - 1), b = c * difference + 1;
    const double f = difference * difference / (sum * sum) * (1 + (a / b) * (a / b));
    const double refl = std::clamp(f, 0.0, 1.0);
    return {refl, 1 - refl};
}

void NOcclusion::evaluate(NodeEnv& env) const {
    const NodeValue N = normalInput(*this, 3, env);
    const HostShading& sa = sampleOf(env);
    const double jitter = inputs[0].param.value.mean();
    const int rings = inputs[1].param.intValue, decay = inputs[4].param.intValue;
    double r = 0;
    if (env.isPreview) r = previewOcclusion(N);
    else if (decay == DECAY_NONE) r = occlusionSample(sa, fromArray(sa.wPos), N, rings, jitter, false);
    else if (decay == DECAY_LINEAR || decay == DECAY_NONLINEAR)
        r = occlusionDecay(sa, fromArray(sa.wPos), N, rings, jitter, decay, readScalar(5, env));
    writeScalar(*this, env, 2, r);
}

void NOcclusionH::evaluate(NodeEnv& env) const {
    const NodeValue N = normalInput(*this, 3, env);
    const HostShading& sa = sampleOf(env);
    const double jitter = inputs[0].param.value.mean();
    const int rings = inputs[1].param.intValue;
    const double r = env.isPreview ? previewOcclusion(N) : occlusionSample(sa, fromArray(sa.wPos), N, rings, jitter, true);
    writeScalar(*this, env, 2, r);
}

void NIncidence::evaluate(NodeEnv& env) const {
    const NodeValue v = towardsViewer(*this, env), N = normalInput(*this, 1, env);
    writeScalar(*this, env, 2, std::max(0.0, dot(v, N)));
}

void NIncidence2::evaluate(NodeEnv& env) const {
    const NodeValue v = towardsViewer(*this, env), N = normalInput(*this, 1, env);
    writeScalar(*this, env, 2, (dot(v, N) + 1) * 0.5);
}

void NFresnel::evaluate(NodeEnv& env) const {
    const NodeValue i = incident(*this, env), N = normalInput(*this, 1, env);
    const double invEta = 1 / readScalar(2, env);
    const FresnelTerms f = fresnel(i, N, invEta);
    NodeValue* out = outputSlots(env);
    out[0] = NodeValue::scalar(f.refl);
    out[1] = reflect(i, N);
    out[2] = NodeValue::scalar(f.tran);
    out[3] = refract(i, N, invEta);
}

void NTranV::evaluate(NodeEnv& env) const {
    const NodeValue i = incident(*this, env), N = normalInput(*this, 1, env);
    outputSlots(env)[0] = refract(i, N, 1 / readScalar(2, env));
}

void NReflV::evaluate(NodeEnv& env) const {
    const NodeValue i = incident(*this, env), N = normalInput(*this, 1, env);
    outputSlots(env)[0] = reflect(i, N);
}

void NDecayL::evaluate(NodeEnv& env) const {
    const double d = readScalar(0, env), n = readScalar(1, env), far = readScalar(2, env);
    writeScalar(*this, env, 3, d < n ? 1 : d > far ? 0 : 1 - (d - n) / (far - n));
}

void NDecayE::evaluate(NodeEnv& env) const {
    const double d = readScalar(0, env), n = readScalar(1, env), scale = readScalar(2, env);
    writeScalar(*this, env, 3, d < n ? 1 : std::exp(-(d - n) * scale));
}

void NDecayP::evaluate(NodeEnv& env) const {
    const double d = readScalar(0, env), n = readScalar(1, env), scale = readScalar(2, env), coeff = readScalar(3, env);
    writeScalar(*this, env, 4, d < n ? 1 : std::pow(1 / (1 + (d - n) * scale), coeff));
}

}  // namespace vx
