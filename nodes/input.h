// Kinds that bring the shaded sample, the scene and the placement of items
// into a tree.
#pragma once

#include "core/env.h"
#include "core/kernel.h"
#include "core/node.h"

namespace vx {

// clang-format off
// The surface values the host holds for the sample.
class NSpot final : public SampleKind<NSpot> { public: NSpot(); static void outputs(const Node& n, NodeEnv& env, NodeValue* out); };
// Normals and positions of the sample.
class NGeom final : public SampleKind<NGeom> { public: NGeom(); static void outputs(const Node& n, NodeEnv& env, NodeValue* out); };
// A UV map at the sample.
class NUVMap final : public SampleKind<NUVMap> { public: NUVMap(); static void outputs(const Node& n, NodeEnv& env, NodeValue* out); };
// A vertex-colour map at the sample.
class NVCol final : public SampleKind<NVCol> { public: NVCol(); static void outputs(const Node& n, NodeEnv& env, NodeValue* out); };
// Time, ray, pixel position and frame rate.
class NScene final : public SampleKind<NScene> { public: NScene(); static void outputs(const Node& n, NodeEnv& env, NodeValue* out); };
// An item's placement; the shaded object when no item is chosen.
class NItem final : public SampleKind<NItem> { public: NItem(); static void outputs(const Node& n, NodeEnv& env, NodeValue* out); };
// A point from an item's axes to world space.
class NTransform final : public SampleKind<NTransform> { public: NTransform(); static void outputs(const Node& n, NodeEnv& env, NodeValue* out); };
// A direction from an item's axes to world space.
class NVTransform final : public SampleKind<NVTransform> { public: NVTransform(); static void outputs(const Node& n, NodeEnv& env, NodeValue* out); };
// "front" or "back" by the side of the polygon the sample sees.
class NFace final : public SampleKind<NFace> { public: NFace(); static void outputs(const Node& n, NodeEnv& env, NodeValue* out); };
// clang-format on

}  // namespace vx
