// What a render learns of a tree when it starts: the root the samples go
// through, and the nodes whose outputs are the same in every sample, which it
// evaluates once per render and time instead.
#pragma once

#include <vector>

#include "core/node.h"

namespace vx {

struct RenderPlan {
    const Node* root = nullptr;  // null when the tree has no root of the render's kind
    std::vector<Node*> folded;   // each after its sources
    std::vector<NodeValue> values;
};

// Makes the tree's plan and folds its fixed nodes, inner trees of macros
// included; a plan made before is dropped first.
void makePlan(NodeList& tree, double time);
// Evaluates the folded nodes again, for parameters changed with the time.
void refold(const NodeList& tree, double time);
// Forgets the plan: every node is evaluated per sample again.
void dropPlan(NodeList& tree);

}  // namespace vx
