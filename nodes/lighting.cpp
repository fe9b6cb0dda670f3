#include "nodes/lighting.h"

#include <algorithm>

#include "nodes/light_loop.h"

namespace vx {

namespace {
constexpr const char* kIlluminate = "Illuminate";

// clang-format off
constexpr InputDecl kBaseCol{"base_col", VT_COLOR, PK_COLOR, 1, {1, 1, 1}};
constexpr InputDecl kBoost{"boost", VT_SCALAR, PK_PERCENT, 1, NodeValue::scalar(1)};
constexpr InputDecl kNorm{"norm", VT_VECTOR, PK_NONE, 1};
constexpr InputDecl kLightFlag{"light_flag", VT_INT, PK_POPUP, 0, {}, LF_DIFFUSE, kLightFlagItems};
constexpr InputDecl kGatherIn[]    = {kBaseCol, kBoost, {nullptr}};
constexpr InputDecl kBackLightIn[] = {kBaseCol, kBoost, kNorm, kLightFlag, {nullptr}};
constexpr InputDecl kBackWrapIn[]  = {kBaseCol, kBoost, {"wrap", VT_SCALAR, PK_PERCENT, 1, NodeValue::scalar(0.25)}, kNorm, kLightFlag, {nullptr}};
constexpr OutputDecl kResult[] = {{"result", VT_COLOR}, {nullptr}};
// clang-format on

// Every kind here gives base_col x gathered light x boost.
template <class Gather>
void gatherInto(const Node& node, NodeEnv& env, Gather gather) {
    const NodeValue base = node.readValue(0, env);
    const double boost = node.readScalar(1, env);
    node.outputSlots(env)[0] = base * gather(boost) * boost;
}

// The host's radiosity or caustics, unless the sample's object shuts it out.
NodeValue pseudoGather(NodeEnv& env, HostID id, double boost) {
    NodeValue color;
    if (lightServicesPresent() && boost > 0 && env.record && env.record->objID && !lightExcluded(env, id))
        pseudoLight(env, id, color);
    return color;
}
}  // namespace

// clang-format off
NFullAmbient::NFullAmbient() { setup("fullambient",       kIlluminate, kGatherIn,    kResult, false); }
NAmbient::NAmbient()         { setup("ambient",           kIlluminate, kGatherIn,    kResult, false); }
NRadiosity::NRadiosity()     { setup("radiosity",         kIlluminate, kGatherIn,    kResult, false); }
NCaustics::NCaustics()       { setup("caustics",          kIlluminate, kGatherIn,    kResult, false); }
NBackLight::NBackLight()     { setup("backlight",         kIlluminate, kBackLightIn, kResult, false); }
NBackLightW::NBackLightW()   { setup("backlight wrapped", kIlluminate, kBackWrapIn,  kResult, false); }
// clang-format on

void NFullAmbient::evaluate(NodeEnv& env) const {
    gatherInto(*this, env, [&](double boost) { return fullAmbient(env, boost); });
}

void NAmbient::evaluate(NodeEnv& env) const {
    gatherInto(*this, env, [&](double) { return ambientLight(env); });
}

void NRadiosity::evaluate(NodeEnv& env) const {
    gatherInto(*this, env, [&](double boost) { return pseudoGather(env, kRadiosityLight, boost); });
}

void NCaustics::evaluate(NodeEnv& env) const {
    gatherInto(*this, env, [&](double boost) { return pseudoGather(env, kCausticsLight, boost); });
}

void NBackLight::evaluate(NodeEnv& env) const {
    gatherInto(*this, env, [&](double boost) {
        if (boost <= 0) return NodeValue{};
        const ShadePoint at = shadePoint(*this, 2, env);
        return gatherLights(env, at.P, inputs[3].param.intValue,
                            [&](const NodeValue& L) { return std::max(0.0, dot(-at.N, L)); });
    });
}

void NBackLightW::evaluate(NodeEnv& env) const {
    gatherInto(*this, env, [&](double boost) {
        if (boost <= 0) return NodeValue{};
        const double wrap = readScalar(2, env);
        const ShadePoint at = shadePoint(*this, 3, env);
        return wrappedLight(env, at, -at.N, wrap, inputs[4].param.intValue);
    });
}

}  // namespace vx
