#include "nodes/shading.h"

#include <algorithm>
#include <numbers>

#include "host/host.h"
#include "nodes/light_loop.h"
#include "nodes/raytrace.h"

namespace vx {

namespace {
constexpr const char* kCustomShader = "Custom Shader";

// clang-format off
constexpr InputDecl kBaseCol{"base_col", VT_COLOR, PK_COLOR, 1, {1, 1, 1}};
constexpr InputDecl kNorm{"norm", VT_VECTOR, PK_NONE, 1};
constexpr InputDecl percent(const char* name, double v) { return {name, VT_SCALAR, PK_PERCENT, 1, NodeValue::scalar(v)}; }
constexpr InputDecl lightFlag(int v) { return {"light_flag", VT_INT, PK_POPUP, 0, {}, v, kLightFlagItems}; }
constexpr InputDecl check(const char* name) { return {name, VT_ANY, PK_CHECK, 0, {}, 1}; }
constexpr InputDecl samples(const char* name, int v) { return {name, VT_INT, PK_INT, 0, {}, v}; }

constexpr InputDecl kDiffuseIn[]   = {kBaseCol, percent("diff", 1), kNorm, lightFlag(LF_DIFFUSE), {nullptr}};
constexpr InputDecl kOrenNayerIn[] = {kBaseCol, percent("diff", 1), percent("diff_rough", 0.5), kNorm, lightFlag(LF_DIFFUSE), {nullptr}};
constexpr InputDecl kWrapIn[]      = {kBaseCol, percent("diff", 1), percent("wrap", 0.2), kNorm, lightFlag(LF_DIFFUSE), {nullptr}};
constexpr InputDecl kGlossyIn[]    = {kBaseCol, percent("spec", 1), percent("gloss", 0.4), kNorm, lightFlag(LF_SPECULAR), {nullptr}};
constexpr InputDecl kAnisoIn[] = {
    kBaseCol, percent("spec", 1), {"aniso_dir", VT_VECTOR, PK_VECTOR, 1, {0, 1, 0}},
    percent("x_gloss", 0.4), percent("y_gloss", 0.2), kNorm, lightFlag(LF_SPECULAR), {nullptr},
};
constexpr InputDecl kTranslucentIn[] = {
    kBaseCol, percent("boost", 1), {"decay", VT_SCALAR, PK_DISTANCE, 1, NodeValue::scalar(1)},
    percent("directivity", 0.5), percent("internal_sc", 0.5), {"eta", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(1)},
    percent("blur", 0), samples("blur_sample", 4), lightFlag(LF_DIFFUSE), {nullptr},
};
constexpr InputDecl kSpotShadeIn[] = {
    check("use_diff"), check("use_spec"), check("use_lumi"), check("use_refl"), check("use_tran"),
    check("use_trsl"), check("use_ambient"), samples("refl_sample", 3), samples("tran_sample", 3), kNorm, {nullptr},
};
constexpr OutputDecl kResult[] = {{"result", VT_COLOR}, {nullptr}};
// clang-format on

int lightFlagOf(const Node& node, int input) { return node.inputs[input].param.intValue; }

// A model of the base, strength, one parameter, norm and light_flag layout:
// base_col x the lights' sum weighted by weight(at, L, k) x strength, where
// k = toConstant(parameter) is worked out once for all the lights.
template <class Weight>
void shadeModel(const Node& node, NodeEnv& env, double (*toConstant)(double), Weight weight) {
    const NodeValue base = node.readValue(0, env);
    const double strength = node.readScalar(1, env);
    const double k = toConstant(node.readScalar(2, env));
    const ShadePoint at = shadePoint(node, 3, env);
    const NodeValue sum =
        gatherLights(env, at.P, lightFlagOf(node, 4), [&](const NodeValue& L) { return weight(at, L, k); });
    node.outputSlots(env)[0] = base * sum * strength;
}

double same(double v) { return v; }

// Beckmann's distribution of micro-facets with slope m around H.
double facets(const NodeValue& N, const NodeValue& H, double m) {
    const double alpha = std::acos(std::clamp(dot(N, H), -1.0, 1.0));
    const double c = std::cos(alpha), t = std::tan(alpha) / m;
    const double d = std::exp(-t * t) / (4 * m * m * c * c * c * c);
    return d > 0 ? d : 0;
}

enum SpotShadeInput { SS_DIFF, SS_SPEC, SS_LUMI, SS_REFL, SS_TRAN, SS_TRSL, SS_AMBIENT, SS_REFL_N, SS_TRAN_N, SS_NORM };
}  // namespace

double blinnWeight(const NodeValue& N, const NodeValue& V, const NodeValue& L, double n) {
    const double c = dot(N, normalized(L + V));
    return c > 0 ? std::pow(c, n) : 0;
}

double phongWeight(const NodeValue& N, const NodeValue& D, const NodeValue& L, double n) {
    const double c = dot(L, normalized(reflect(D, N)));
    return c > 0 ? std::pow(c, n / 4) : 0;
}

double velvetWeight(const NodeValue& N, const NodeValue& V, const NodeValue& L, double n) {
    const double c = std::max(0.0, dot(N, V));
    return std::max(0.0, dot(N, L)) * std::pow(std::sqrt(1 - c * c), n / 8);
}

double metallicWeight(const NodeValue& N, const NodeValue& V, const NodeValue& L, double n) {
    return facets(N, normalized(L + V), 6 / n);
}

double cookTorranceWeight(const NodeValue& N, const NodeValue& V, const NodeValue& L, double n) {
    const NodeValue H = normalized(L + V);
    const double nh = dot(N, H), nv = dot(N, V), vh = dot(V, H);
    const double g = std::min({1.0, 2 * nh * nv / vh, 2 * nh * dot(N, L) / vh});
    return facets(N, H, 6 / n) * g / nv;
}

double orenNayarWeight(const NodeValue& N, const NodeValue& V, const NodeValue& L, double roughness) {
    const double s2 = roughness * roughness;
    const double A = 1 - 0.5 * s2 / (s2 + 0.33), B = 0.45 * s2 / (s2 + 0.09);
    const double thetaR = std::acos(std::clamp(dot(N, V), -1.0, 1.0));
    const double cosI = std::max(0.0, dot(N, L));
    const double thetaI = std::acos(std::min(1.0, cosI));
    const double a = std::max(thetaI, thetaR), b = std::min(thetaI, thetaR);
    const double cPhi = std::max(0.0, dot(normalized(L - N * dot(L, N)), normalized(V - N * dot(V, N))));
    return cosI * (A + B * cPhi * std::sin(a) * std::tan(b));
}

// clang-format off
NSpotShade::NSpotShade()       { setup("spot_shade",      "Global",      kSpotShadeIn,   kResult, false); }
NTranslucent::NTranslucent()   { setup("translucent",     "Illuminate",  kTranslucentIn, kResult, false); }
NLambert::NLambert()           { setup("Lambert",         kCustomShader, kDiffuseIn,     kResult, false); }
NOrenNayer::NOrenNayer()       { setup("Oren-Nayer",      kCustomShader, kOrenNayerIn,   kResult, false); }
NWrapDiffuse::NWrapDiffuse()   { setup("Wrapped-Diffuse", kCustomShader, kWrapIn,        kResult, false); }
NBlinn::NBlinn()               { setup("Blinn",           kCustomShader, kGlossyIn,      kResult, false); }
NPhong::NPhong()               { setup("Phong",           kCustomShader, kGlossyIn,      kResult, false); }
NMetal::NMetal()               { setup("Metallic",        kCustomShader, kGlossyIn,      kResult, false); }
NCookTorrance::NCookTorrance() { setup("Cook-Torrance",   kCustomShader, kGlossyIn,      kResult, false); }
NAniso::NAniso()               { setup("Anisotropic",     kCustomShader, kAnisoIn,       kResult, false); }
NVelvet::NVelvet()             { setup("Velvet",          kCustomShader, kGlossyIn,      kResult, false); }
// clang-format on

void NLambert::evaluate(NodeEnv& env) const {
    const NodeValue base = readValue(0, env);
    const double diff = readScalar(1, env);
    const ShadePoint at = shadePoint(*this, 2, env);
    const NodeValue sum =
        gatherLights(env, at.P, lightFlagOf(*this, 3), [&](const NodeValue& L) { return std::max(0.0, dot(at.N, L)); });
    outputSlots(env)[0] = base * sum * diff;
}

void NOrenNayer::evaluate(NodeEnv& env) const {
    shadeModel(*this, env, same, [](const ShadePoint& at, const NodeValue& L, double rough) {
        return orenNayarWeight(at.N, at.V, L, rough);
    });
}

void NWrapDiffuse::evaluate(NodeEnv& env) const {
    const NodeValue base = readValue(0, env);
    const double diff = readScalar(1, env), wrap = readScalar(2, env);
    const ShadePoint at = shadePoint(*this, 3, env);
    outputSlots(env)[0] = base * wrappedLight(env, at, at.N, wrap, lightFlagOf(*this, 4)) * diff;
}

void NBlinn::evaluate(NodeEnv& env) const {
    shadeModel(*this, env, glossExponent, [](const ShadePoint& at, const NodeValue& L, double n) {
        return blinnWeight(at.N, at.V, L, n);
    });
}

void NPhong::evaluate(NodeEnv& env) const {
    shadeModel(*this, env, glossExponent, [](const ShadePoint& at, const NodeValue& L, double n) {
        return phongWeight(at.N, at.D, L, n);
    });
}

void NMetal::evaluate(NodeEnv& env) const {
    shadeModel(*this, env, glossExponent, [](const ShadePoint& at, const NodeValue& L, double n) {
        return metallicWeight(at.N, at.V, L, n);
    });
}

void NCookTorrance::evaluate(NodeEnv& env) const {
    shadeModel(*this, env, glossExponent, [](const ShadePoint& at, const NodeValue& L, double n) {
        return cookTorranceWeight(at.N, at.V, L, n);
    });
}

void NVelvet::evaluate(NodeEnv& env) const {
    shadeModel(*this, env, glossExponent, [](const ShadePoint& at, const NodeValue& L, double n) {
        return velvetWeight(at.N, at.V, L, n);
    });
}

void NAniso::evaluate(NodeEnv& env) const {
    const NodeValue base = readValue(0, env);
    const double spec = readScalar(1, env);
    const NodeValue dir = readValue(2, env);
    const double ax = 8 / glossExponent(readScalar(3, env)), ay = 8 / glossExponent(readScalar(4, env));
    const ShadePoint at = shadePoint(*this, 5, env);
    const NodeValue T = normalized(cross(at.N, dir)), B = cross(at.N, T);
    const NodeValue X = ax != 0 ? T * (1 / ax) : NodeValue{}, Y = ay != 0 ? B * (1 / ay) : NodeValue{};
    const double cV = std::clamp(dot(at.N, at.V), 0.0001, 1.0);
    const NodeValue sum = gatherLights(env, at.P, lightFlagOf(*this, 6), [&](const NodeValue& L) {
        const double cL = dot(at.N, L);
        if (cL <= 0) return 0.0;
        const NodeValue H = normalized(L + at.V);
        const double hx = dot(H, X), hy = dot(H, Y);
        const double e = std::exp(-2 * (hx * hx + hy * hy) / (1 + dot(H, at.N)));
        return std::clamp(e / std::sqrt(cL * cV), 0.0, 1.0) * cL;
    });
    outputSlots(env)[0] = base * sum * spec;
}

void NTranslucent::evaluate(NodeEnv& env) const {
    const NodeValue base = readValue(0, env);
    const double boost = readScalar(1, env);
    Translucency t;
    t.decay = readScalar(2, env);
    t.directivity = readScalar(3, env);
    t.internalScatter = readScalar(4, env);
    t.eta = readScalar(5, env);
    t.blur = readScalar(6, env);
    t.samples = inputs[7].param.intValue;
    t.lightFlag = lightFlagOf(*this, 8);
    const ShadePoint at = shadePoint(*this, -1, env);
    outputSlots(env)[0] = base * boost * translucencyAt(env, at, t);
}

void NSpotShade::evaluate(NodeEnv& env) const {
    const auto on = [this](int input) { return inputs[input].param.intValue != 0; };
    const HostShading& sa = detail::sampleOf(env);
    const NodeValue surface = fromArray(sa.color), replacement = fromArray(sa.replacementColor);
    const double p = sa.replacementPercentage;
    NodeValue* out = outputSlots(env);
    if (p >= 1) {
        out[0] = replacement;
        return;
    }
    out[0] = {};
    if (!lightServicesPresent()) return;
    const ShadePoint at = shadePoint(*this, SS_NORM, env);
    const HostLightInfo* info = host().lightInfo;
    NodeValue diffuse, specular;
    forEachLight(env, at.P, LF_ALL, [&](HostID light, const NodeValue& L, const NodeValue& color) {
        const int flags = info && info->flags ? info->flags(light) : 0;
        if (!(flags & HOST_LIGHT_NO_DIFFUSE)) {
            if (on(SS_DIFF)) diffuse = diffuse + color * std::max(0.0, dot(at.N, L));
            if (on(SS_TRSL)) diffuse = diffuse + color * (std::max(0.0, dot(-at.N, L)) * sa.translucency);
        }
        if (!(flags & HOST_LIGHT_NO_SPECULAR) && on(SS_SPEC))
            specular = specular + color * std::pow(std::max(0.0, dot(at.N, normalized(L + at.V))), 1 / sa.roughness);
    });
    if (on(SS_AMBIENT)) diffuse = diffuse + fullAmbient(env, 1);
    NodeValue reflected, refracted;
    if (sa.mirror > 0 && on(SS_REFL))
        reflected = nodeBlurredTrace(env, at.P, normalized(reflect(at.D, at.N)), sa.reflectionBlur,
                                     inputs[SS_REFL_N].param.intValue, TRACE_REFLECTION);
    if (sa.transparency > 0 && on(SS_TRAN))
        refracted = nodeBlurredTrace(env, at.P, normalized(refract(at.D, at.N, 1 / sa.eta)), sa.refractionBlur,
                                     inputs[SS_TRAN_N].param.intValue, TRACE_REFRACTION);
    const NodeValue one = NodeValue::scalar(1);
    const NodeValue highlight = one * (1 - sa.colorHL) + surface * sa.colorHL;
    const NodeValue filter = one * (1 - sa.colorFL) + surface * sa.colorFL;
    NodeValue result = diffuse * surface * sa.diffuse;
    if (on(SS_LUMI)) result = result + surface * sa.luminous;
    result = result * (1 - sa.transparency) + specular * highlight * sa.specular +
             reflected * highlight * sa.mirror + refracted * filter * sa.transparency;
    out[0] = replacement * p + result * (1 - p);
}

}  // namespace vx
