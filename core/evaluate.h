// Render-time use of a tree: the per-render hooks and the evaluation of one
// shaded sample from the root, written back into the host's record.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/env.h"
#include "core/node.h"
#include "core/plan.h"
#include "host/services.h"

namespace vx {

void initTree(NodeList& tree, void* hostContext);
void cleanupTree(NodeList& tree);
void newTimeTree(const NodeList& tree, int32_t frame, double time);
uint32_t treeFlags(const NodeList& tree);

// itemParam answers the item nodes' lookups; the render's comes from the
// item-parameter cache that the caller refills at every new time.
using ItemParamFn = void (*)(HostID item, int code, double out[3]);
void evaluateSample(const NodeList& tree, void* hostContext, HostShading* sa, ItemParamFn itemParam = nullptr);

// The root's two passes over env.record: when "norm" or "bump_h" is linked,
// those two first, written into the record before every node is evaluated
// again; then the channels, an unlinked one taking the record's value. Leaves
// the values in the root's outputs, in the tree's terms (glossiness, the
// sharpness exponent), and returns that array.
// A render's plan runs its nodes ahead of each pass.
const NodeValue* gatherRootChannels(const Node& root, NodeEnv& env, const RenderPlan* plan = nullptr);

// Glossiness g of a tree and the host's roughness r = 2^-(10 g + 2).
inline double glossFromRoughness(double r) { return (std::log2(1.0 / r) - 2.0) / 10.0; }
// A glossiness that is a stored single-precision parameter (0.4 is 0.4f) is
// scaled in single precision, where 10 x 0.4f is exactly 4: a typed 0.4 gives
// 1/64. Any other value keeps double precision, so a host's roughness passes
// through unchanged apart from rounding.
inline double roughnessFromGloss(double g) {
    const auto single = static_cast<float>(g);
    const double tenG = single == g ? static_cast<double>(10.0f * single) : 10.0 * g;
    return std::exp2(-(tenG + 2.0));
}

// The texture record of a shading record.
void fillTextureSample(const HostShading& sa, HostTextureSample& ts);

// The sample's texture record, filled from its shading record on first use.
HostTextureSample& textureSample(NodeEnv& env);

// Snapping near a bound: v becomes exactly t when 0 <= v - t <= 0.001.
inline double snapTo(double v, double t) { return (v - t >= 0 && v - t <= 0.001) ? t : v; }

}  // namespace vx
