// Lighting kinds: the scene's flat ambient, the host's radiosity and
// caustics, and light reaching the back of the surface.
#pragma once

#include "core/env.h"
#include "core/node.h"

namespace vx {

// clang-format off
class NFullAmbient final : public NodeKind<NFullAmbient> { public: NFullAmbient(); void evaluate(NodeEnv& env) const override; };
class NAmbient final : public NodeKind<NAmbient> { public: NAmbient(); void evaluate(NodeEnv& env) const override; };
class NRadiosity final : public NodeKind<NRadiosity> { public: NRadiosity(); void evaluate(NodeEnv& env) const override; };
class NCaustics final : public NodeKind<NCaustics> { public: NCaustics(); void evaluate(NodeEnv& env) const override; };
class NBackLight final : public NodeKind<NBackLight> { public: NBackLight(); void evaluate(NodeEnv& env) const override; };
class NBackLightW final : public NodeKind<NBackLightW> { public: NBackLightW(); void evaluate(NodeEnv& env) const override; };
// clang-format on

}  // namespace vx
