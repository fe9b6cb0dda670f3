// Ambient occlusion, the view's incidence, Fresnel reflectance with the
// reflection and refraction vectors, and distance falloff curves.
#pragma once

#include "core/env.h"
#include "core/node.h"

namespace vx {

// How "occlusion" weighs a hit by its distance.
enum OcclusionDecay { DECAY_NONE = 0, DECAY_LINEAR = 1, DECAY_NONLINEAR = 2 };

// The blocked fraction of the hemisphere above `n` at `p`, by 3 x rings²
// ray casts through the record, each jittered within its cell of equal
// solid angle. With `half`, directions below the horizontal plane count as
// blocked without a ray. 0 when the record cannot cast rays.
double occlusionSample(const HostShading& sa, const NodeValue& p, const NodeValue& n, int rings, double jitter,
                       bool half);

// The same rays, each hit weighed by its distance under DECAY_LINEAR or
// DECAY_NONLINEAR.
double occlusionDecay(const HostShading& sa, const NodeValue& p, const NodeValue& n, int rings, double jitter,
                      int decay, double decayDist);

// Unpolarised reflectance and transmittance of a ray along `i` meeting a
// surface with normal `n`, `invEta` the ratio of the refraction indices.
// Twice the textbook reflectance before clamping to [0, 1], with three
// intermediates in single precision; no reflection where no real solution.
struct FresnelTerms {
    double refl = 0, tran = 1;
};
FresnelTerms fresnel(const NodeValue& i, const NodeValue& n, double invEta);

// clang-format off
class NOcclusion   final : public NodeKind<NOcclusion>   { public: NOcclusion();   void evaluate(NodeEnv& env) const override; };
class NOcclusionH  final : public NodeKind<NOcclusionH>  { public: NOcclusionH();  void evaluate(NodeEnv& env) const override; };
class NIncidence   final : public NodeKind<NIncidence>   { public: NIncidence();   void evaluate(NodeEnv& env) const override; };
class NIncidence2  final : public NodeKind<NIncidence2>  { public: NIncidence2();  void evaluate(NodeEnv& env) const override; };
class NFresnel     final : public NodeKind<NFresnel>     { public: NFresnel();     void evaluate(NodeEnv& env) const override; };
class NTranV       final : public NodeKind<NTranV>       { public: NTranV();       void evaluate(NodeEnv& env) const override; };
class NReflV       final : public NodeKind<NReflV>       { public: NReflV();       void evaluate(NodeEnv& env) const override; };
class NDecayL      final : public NodeKind<NDecayL>      { public: NDecayL();      void evaluate(NodeEnv& env) const override; };
class NDecayE      final : public NodeKind<NDecayE>      { public: NDecayE();      void evaluate(NodeEnv& env) const override; };
class NDecayP      final : public NodeKind<NDecayP>      { public: NDecayP();      void evaluate(NodeEnv& env) const override; };
// clang-format on

}  // namespace vx
