// Kinds that bring the shaded sample, the scene and the placement of items
// into a tree.
#pragma once

#include "core/env.h"
#include "core/node.h"

namespace vx {

// clang-format off
// The surface values the host holds for the sample.
class NSpot final : public NodeKind<NSpot> { public: NSpot(); void evaluate(NodeEnv& env) const override; };
// Normals and positions of the sample.
class NGeom final : public NodeKind<NGeom> { public: NGeom(); void evaluate(NodeEnv& env) const override; };
// A UV map at the sample.
class NUVMap final : public NodeKind<NUVMap> { public: NUVMap(); void evaluate(NodeEnv& env) const override; };
// A vertex-colour map at the sample.
class NVCol final : public NodeKind<NVCol> { public: NVCol(); void evaluate(NodeEnv& env) const override; };
// Time, ray, pixel position and frame rate.
class NScene final : public NodeKind<NScene> { public: NScene(); void evaluate(NodeEnv& env) const override; };
// An item's placement; the shaded object when no item is chosen.
class NItem final : public NodeKind<NItem> { public: NItem(); void evaluate(NodeEnv& env) const override; };
// A point from an item's axes to world space.
class NTransform final : public NodeKind<NTransform> { public: NTransform(); void evaluate(NodeEnv& env) const override; };
// A direction from an item's axes to world space.
class NVTransform final : public NodeKind<NVTransform> { public: NVTransform(); void evaluate(NodeEnv& env) const override; };
// "front" or "back" by the side of the polygon the sample sees.
class NFace final : public NodeKind<NFace> { public: NFace(); void evaluate(NodeEnv& env) const override; };
// clang-format on

}  // namespace vx
