#include "core/plan.h"

#include <unordered_map>
#include <utility>

#include "core/env.h"
#include "core/macro.h"
#include "core/root.h"

namespace vx {

namespace {
template <class Each>
void forEachNode(const NodeList& list, Each each) {
    for (const auto& n : list.nodes) {
        each(n.get());
        if (const auto* macro = dynamic_cast<const NMacro*>(n.get())) forEachNode(macro->inner, each);
    }
}

// Pure nodes whose sources are all pure, each after its sources. The walk
// keeps its own path, so a chain as long as memory allows is no deeper on
// the stack than one node; a cycle folds nothing on it.
std::vector<Node*> fixedNodes(const NodeList& tree) {
    enum State : uint8_t { Unseen, Open, Fixed, Varies };
    std::unordered_map<const Node*, State> state;
    std::vector<Node*> order;
    std::vector<std::pair<Node*, size_t>> path;
    forEachNode(tree, [&](Node* start) {
        if (state[start] != Unseen) return;
        state[start] = Open;
        path.push_back({start, 0});
        while (!path.empty()) {
            auto& [n, next] = path.back();
            if (n->pure && next < n->inputs.size()) {
                if (Node* src = n->inputs[next++].source; src && state[src] == Unseen) {
                    state[src] = Open;
                    path.push_back({src, 0});
                }
                continue;
            }
            bool fixed = n->pure;
            for (const InputPort& in : n->inputs) fixed = fixed && (!in.source || state[in.source] == Fixed);
            state[n] = fixed ? Fixed : Varies;
            if (fixed) order.push_back(n);
            path.pop_back();
        }
    });
    return order;
}

// Each node evaluated on its own, its sources already folded, so no pull
// goes deeper than one node.
void evaluateFolded(RenderPlan& plan, double time) {
    size_t at = 0;
    for (Node* n : plan.folded) {
        n->folded = nullptr;
        NodeEnv env;
        env.time = time;
        n->evaluate(env);
        if (const NodeValue* out = env.cache.find(n)) {
            NodeValue* kept = plan.values.data() + at;
            std::copy(out, out + n->outputCount, kept);
            n->folded = kept;
        }
        at += static_cast<size_t>(n->outputCount);
    }
}
}  // namespace

void makePlan(NodeList& tree, double time) {
    dropPlan(tree);
    auto plan = std::make_shared<RenderPlan>();
    const Node* root = findRoot(tree);
    plan->root = dynamic_cast<const NRoot*>(root) ? root : nullptr;
    plan->folded = fixedNodes(tree);
    size_t values = 0;
    for (const Node* n : plan->folded) values += static_cast<size_t>(n->outputCount);
    plan->values.resize(values);
    evaluateFolded(*plan, time);
    tree.plan = std::move(plan);
}

void refold(const NodeList& tree, double time) {
    if (tree.plan) evaluateFolded(*tree.plan, time);
}

void dropPlan(NodeList& tree) {
    forEachNode(tree, [](Node* n) { n->folded = nullptr; });
    tree.plan.reset();
}

}  // namespace vx
