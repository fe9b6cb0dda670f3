// Shading-model kinds: direct light of the scene's lights on the sample
// under eight reflectance models, wrapped diffuse, translucency, and the
// host's own standard shading redone from the record's channels.
#pragma once

#include "core/env.h"
#include "core/node.h"

namespace vx {

// Per-light weights, for unit N, V (towards the viewer), D (the view ray)
// and L (towards the light); n is the gloss exponent.
double blinnWeight(const NodeValue& N, const NodeValue& V, const NodeValue& L, double n);
double phongWeight(const NodeValue& N, const NodeValue& D, const NodeValue& L, double n);
double velvetWeight(const NodeValue& N, const NodeValue& V, const NodeValue& L, double n);
double metallicWeight(const NodeValue& N, const NodeValue& V, const NodeValue& L, double n);
double cookTorranceWeight(const NodeValue& N, const NodeValue& V, const NodeValue& L, double n);
double orenNayarWeight(const NodeValue& N, const NodeValue& V, const NodeValue& L, double roughness);

// clang-format off
class NSpotShade final : public NodeKind<NSpotShade> { public: NSpotShade(); void evaluate(NodeEnv& env) const override; };
class NTranslucent final : public NodeKind<NTranslucent> { public: NTranslucent(); void evaluate(NodeEnv& env) const override; };
class NLambert final : public NodeKind<NLambert> { public: NLambert(); void evaluate(NodeEnv& env) const override; };
class NOrenNayer final : public NodeKind<NOrenNayer> { public: NOrenNayer(); void evaluate(NodeEnv& env) const override; };
class NWrapDiffuse final : public NodeKind<NWrapDiffuse> { public: NWrapDiffuse(); void evaluate(NodeEnv& env) const override; };
class NBlinn final : public NodeKind<NBlinn> { public: NBlinn(); void evaluate(NodeEnv& env) const override; };
class NPhong final : public NodeKind<NPhong> { public: NPhong(); void evaluate(NodeEnv& env) const override; };
class NMetal final : public NodeKind<NMetal> { public: NMetal(); void evaluate(NodeEnv& env) const override; };
class NCookTorrance final : public NodeKind<NCookTorrance> { public: NCookTorrance(); void evaluate(NodeEnv& env) const override; };
class NAniso final : public NodeKind<NAniso> { public: NAniso(); void evaluate(NodeEnv& env) const override; };
class NVelvet final : public NodeKind<NVelvet> { public: NVelvet(); void evaluate(NodeEnv& env) const override; };
// clang-format on

}  // namespace vx
