// What node kinds read of the sample besides their inputs.
#pragma once

#include "core/env.h"
#include "core/node.h"

namespace vx {

// The sample's record; an all-zero one when a tree is pulled without a sample.
const HostShading& sampleOf(const NodeEnv& env);

// Input `i` when it is linked, else `fallback`.
NodeValue linkedOr(const Node& node, int i, NodeEnv& env, const NodeValue& fallback);

// Input `i` when linked, else the sample's shading normal; of unit length.
NodeValue normalInput(const Node& node, int i, NodeEnv& env);

}  // namespace vx
