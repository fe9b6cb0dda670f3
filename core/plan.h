// What a render learns of a tree when it starts: the root the samples go
// through, the nodes whose outputs are the same in every sample (evaluated
// once per render and time instead), and the nodes each pass evaluates ahead
// of the pulls, in an order where every source comes before its readers.
#pragma once

#include <vector>

#include "core/node.h"

namespace vx {

struct RenderPlan {
    const Node* root = nullptr;  // null when the tree has no root of the render's kind
    std::vector<Node*> folded;
    // The folded nodes' outputs, which are also the first places of a
    // sample's slab; `stamp` changes whenever they do.
    std::vector<NodeValue> values;
    uint64_t stamp = 0;
    // Ahead of the first pass (what "norm" and "bump_h" read) and the second.
    std::vector<const Node*> ahead[2];
    size_t places = 0;  // the outputs of all the tree's nodes in a sample
};

// Makes the tree's plan and folds its fixed nodes, inner trees of macros
// included; a plan made before is dropped first.
void makePlan(NodeList& tree, double time);
// Evaluates the folded nodes again, for parameters changed with the time.
void refold(const NodeList& tree, double time);
// Forgets the plan: every node is evaluated per sample again.
void dropPlan(NodeList& tree);

// The evaluations ahead of a pass of the root.
void evaluateAhead(const std::vector<const Node*>& nodes, NodeEnv& env);

}  // namespace vx
