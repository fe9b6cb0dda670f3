// What a render learns of a tree when it starts: the root the samples go
// through, the nodes whose outputs are the same in every sample (evaluated
// once per render and time instead), and the nodes each pass evaluates ahead
// of the pulls, in an order where every source comes before its readers.
#pragma once

#include <vector>

#include "core/kernel.h"
#include "core/node.h"

namespace vx {

struct RenderPlan {
    const Node* root = nullptr;  // null when the tree has no root of the render's kind
    std::vector<Node*> folded;
    // The first places of a sample's slab: the folded nodes' outputs, then
    // the parameters of the unlinked inputs that the programs read. `stamp`
    // changes whenever they do.
    std::vector<NodeValue> values;
    std::vector<const InputPort*> constants;  // whose parameters those are
    uint64_t stamp = 0;
    // The flat programs run ahead of the first pass (what "norm" and
    // "bump_h" read) and of the second, every step after its sources.
    std::vector<Step> program[2];
    std::vector<std::ptrdiff_t> inputBytes;  // what the steps' `in` point into
    size_t places = 0;  // the values of a sample's slab
};

// Makes the tree's plan and folds its fixed nodes, inner trees of macros
// included; a plan made before is dropped first.
void makePlan(NodeList& tree, double time);
// Evaluates the folded nodes again, for parameters changed with the time.
void refold(const NodeList& tree, double time);
// Forgets the plan: every node is evaluated per sample again.
void dropPlan(NodeList& tree);

// Runs a program ahead of a pass of the root, in the environment's slab.
void runProgram(const RenderPlan& plan, const std::vector<Step>& program, NodeEnv& env);

}  // namespace vx
