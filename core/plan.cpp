#include "core/plan.h"

#include <atomic>
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

// The nodes reached from `start` through the sources of nodes that `enter`
// accepts, each after its sources and once across calls (a node on a cycle
// meets a source not yet emitted). The walk keeps its own path, so a chain
// as long as memory allows is no deeper on the C++ stack than one node.
class SourceWalk {
public:
    template <class Enter, class Emit>
    void from(Node* start, Enter enter, Emit emit) {
        if (!start || state_[start] != Unseen) return;
        state_[start] = Open;
        path_.push_back({start, 0});
        while (!path_.empty()) {
            auto& [n, next] = path_.back();
            if (next < n->inputs.size() && enter(n)) {
                if (Node* src = n->inputs[next++].source; src && state_[src] == Unseen) {
                    state_[src] = Open;
                    path_.push_back({src, 0});
                }
                continue;
            }
            state_[n] = Done;
            emit(n);
            path_.pop_back();
        }
    }

private:
    enum State : uint8_t { Unseen, Open, Done };
    std::unordered_map<const Node*, State> state_;
    std::vector<std::pair<Node*, size_t>> path_;
};

template <class Ok>
bool sourcesAre(const Node* n, Ok ok) {
    for (const InputPort& in : n->inputs)
        if (in.source && !ok(in.source)) return false;
    return true;
}
bool isFolded(const Node* n) { return n->folded != nullptr; }

// Fixed nodes whose sources are all fixed, each after its sources. `folded`
// marks them while the plan is made; evaluateFolded() gives the real values.
std::vector<Node*> fixedNodes(const NodeList& tree, const NodeValue* mark) {
    std::vector<Node*> order;
    SourceWalk walk;
    forEachNode(tree, [&](Node* start) {
        walk.from(start, [](const Node* n) { return n->timing == Timing::Fixed; }, [&](Node* n) {
            if (n->timing == Timing::Fixed && sourcesAre(n, isFolded)) {
                n->folded = mark;
                order.push_back(n);
            }
        });
    });
    return order;
}

bool mayRunAhead(const Node* n) { return !n->folded && n->timing != Timing::OnPull; }

// Each node evaluated on its own, its sources already folded, so no pull
// goes deeper than one node.
void evaluateFolded(RenderPlan& plan, double time) {
    static std::atomic<uint64_t> stamps{0};
    plan.stamp = ++stamps;
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
    Node* root = findRoot(tree);
    if (!dynamic_cast<const NRoot*>(root)) root = nullptr;
    plan->root = root;
    static const NodeValue mark{};
    plan->folded = fixedNodes(tree, &mark);
    for (Node* n : plan->folded) {
        n->place = static_cast<int32_t>(plan->places);
        plan->places += static_cast<size_t>(n->outputCount);
    }
    plan->values.resize(plan->places);

    forEachNode(tree, [&](Node* n) {
        if (n->folded) return;
        n->place = static_cast<int32_t>(plan->places);
        plan->places += static_cast<size_t>(n->outputCount);
    });
    // A node runs ahead when it and all it reads may, so that running it
    // early changes nothing but the time it takes. Its inputs, and the
    // root's, then read their sources' places directly, as each such source
    // ran ahead in the same pass; so does every input of a folded source.
    std::unordered_map<const Node*, bool> runsAhead;
    const auto resolve = [&](InputPort& in) {
        const Node* s = in.source;
        if (s && (s->folded || runsAhead[s]) && static_cast<uint32_t>(in.sourceOutput) < static_cast<uint32_t>(s->outputCount))
            in.planned = s->place + in.sourceOutput;
    };
    forEachNode(tree, [&](Node* n) {
        for (InputPort& in : n->inputs)
            if (in.source && in.source->folded) resolve(in);
    });
    for (int pass = 0; root && pass < 2; ++pass) {
        SourceWalk walk;
        for (int i = 0; i < root->inputCount; ++i)
            if ((i == RI_NORM || i == RI_BUMP_H) == (pass == 0))
                walk.from(root->inputs[i].source, mayRunAhead, [&](Node* n) {
                    bool& ahead = runsAhead[n];
                    ahead = mayRunAhead(n) && sourcesAre(n, [&](const Node* s) { return s->folded || runsAhead[s]; });
                    if (!ahead) return;
                    plan->ahead[pass].push_back(n);
                    for (InputPort& in : n->inputs) resolve(in);
                });
    }
    if (root)
        for (InputPort& in : root->inputs) resolve(in);
    evaluateFolded(*plan, time);
    tree.plan = std::move(plan);
}

void refold(const NodeList& tree, double time) {
    if (tree.plan) evaluateFolded(*tree.plan, time);
}

void dropPlan(NodeList& tree) {
    forEachNode(tree, [](Node* n) {
        n->folded = nullptr;
        n->place = -1;
        for (InputPort& in : n->inputs) in.planned = -1;
    });
    tree.plan.reset();
}

void evaluateAhead(const std::vector<const Node*>& nodes, NodeEnv& env) {
    for (const Node* n : nodes) n->evaluate(env);
}

}  // namespace vx
