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
// goes deeper than one node; then the parameters the programs read.
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
    for (const InputPort* in : plan.constants) plan.values[at++] = in->param.value;
}

// A node the programs have no kernel for is evaluated, claiming its place.
void evaluateStep(const Step& s, NodeValue* slab, NodeEnv& env, double, double, double) {
    s.node->evaluate(env);
    runNext(s, slab, env, {});
}
void closeRun(const Step&, NodeValue*, NodeEnv&, double, double, double) {}

// The input of `n` that reads the first output of `before`, the node of the
// step just before, which hands it over when both have kernels; else -1.
int32_t carriedInput(const Node* n, const Node* before) {
    if (!n->step(-1) || !before || !before->step(-1) || before->outputCount < 1) return -1;
    for (size_t i = 0; i < n->inputs.size(); ++i)
        if (n->inputs[i].source == before && n->inputs[i].sourceOutput == 0) return static_cast<int32_t>(i);
    return -1;
}

template <class Each>
void forEachChannel(const Node* root, int pass, Each each) {
    for (int i = 0; root && i < root->inputCount; ++i)
        if ((i == RI_NORM || i == RI_BUMP_H) == (pass == 0)) each(root->inputs[i].source);
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

    // A node runs ahead when it and all it reads may, so that running it
    // early changes nothing but the time it takes.
    std::unordered_map<const Node*, bool> runsAhead;
    std::unordered_map<const Node*, uint8_t> runIn;  // the passes that run it ahead
    std::vector<Node*> ahead[2];
    for (int pass = 0; pass < 2; ++pass) {
        SourceWalk walk;
        forEachChannel(root, pass, [&](Node* source) {
            walk.from(source, mayRunAhead, [&](Node* n) {
                bool& a = runsAhead[n];
                a = mayRunAhead(n) && sourcesAre(n, [&](const Node* s) { return s->folded || runsAhead[s]; });
                if (!a) return;
                ahead[pass].push_back(n);
                runIn[n] |= uint8_t(1 << pass);
            });
        });
    }

    // The slab: folded outputs, the parameters the kernels read, then every
    // other node's outputs.
    for (Node* n : plan->folded) {
        n->place = static_cast<int32_t>(plan->places);
        plan->places += static_cast<size_t>(n->outputCount);
    }
    // Where a step reads an input: its source's place when the source is
    // folded or runs ahead (then it ran before in the same pass), else a
    // copy of the parameter.
    const auto linked = [](const InputPort& in) {
        const Node* s = in.source;
        return s && static_cast<uint32_t>(in.sourceOutput) < static_cast<uint32_t>(s->outputCount);
    };
    const auto fromSource = [&](const InputPort& in) { return linked(in) && (in.source->folded || runsAhead[in.source]); };
    std::unordered_map<const InputPort*, int32_t> constantPlace;
    for (const auto& pass : ahead)
        for (const Node* n : pass)
            for (const InputPort& in : n->inputs)
                if (n->step(-1) && !fromSource(in) && constantPlace.emplace(&in, static_cast<int32_t>(plan->places)).second) {
                    plan->constants.push_back(&in);
                    ++plan->places;
                }
    plan->values.resize(plan->places);
    forEachNode(tree, [&](Node* n) {
        if (n->folded) return;
        n->place = static_cast<int32_t>(plan->places);
        plan->places += static_cast<size_t>(n->outputCount);
    });

    // Readers of folded nodes read their places; so do the programs' steps
    // and the root, as every source they read ran ahead in the same pass;
    // and so does a pulled node whose source runs ahead in every pass whose
    // channels reach the node.
    std::unordered_map<const Node*, uint8_t> reached;
    for (int pass = 0; pass < 2; ++pass) {
        SourceWalk walk;
        forEachChannel(root, pass, [&](Node* source) {
            walk.from(source, [](const Node*) { return true; }, [&](Node* n) { reached[n] |= uint8_t(1 << pass); });
        });
    }
    const auto resolve = [&](InputPort& in, uint8_t passes) {
        if (!linked(in)) return;
        const auto run = runIn.find(in.source);
        if (in.source->folded || (run != runIn.end() && (passes & ~run->second) == 0))
            in.planned = in.source->place + in.sourceOutput;
    };
    forEachNode(tree, [&](Node* n) {
        const auto r = reached.find(n);
        for (InputPort& in : n->inputs) resolve(in, r == reached.end() ? 0xFF : r->second);
    });
    for (int i = 0; root && i < root->inputCount; ++i)
        resolve(root->inputs[i], i == RI_NORM || i == RI_BUMP_H ? 1 : 2);

    const auto bytes = [](int32_t place) { return static_cast<std::ptrdiff_t>(place) * std::ptrdiff_t{sizeof(NodeValue)}; };
    for (int pass = 0; pass < 2; ++pass)
        for (const Node* n : ahead[pass]) {
            std::vector<Step>& program = plan->program[pass];
            if (program.size() % (kRun + 1) == kRun) program.push_back({closeRun, nullptr, 0, nullptr});
            const Node* before = program.empty() ? nullptr : program.back().node;
            const StepFn run = n->step(carriedInput(n, before));
            program.push_back({run ? run : evaluateStep, n, bytes(n->place), nullptr});
            for (const InputPort& in : n->inputs)
                plan->inputBytes.push_back(fromSource(in) ? bytes(in.source->place + in.sourceOutput)
                                           : n->step(-1)  ? bytes(constantPlace[&in])
                                                          : -1);
        }
    const std::ptrdiff_t* in = plan->inputBytes.data();
    for (auto& program : plan->program) {
        if (!program.empty()) program.push_back({closeRun, nullptr, 0, nullptr});
        for (Step& s : program)
            if (s.node) {
                s.in = in;
                in += s.node->inputs.size();
            }
    }
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

void runProgram(const RenderPlan& plan, const std::vector<Step>& program, NodeEnv& env) {
    NodeValue* slab = env.cache.slab(plan.places);
    if (!slab) {
        for (const Step& s : program)
            if (s.node) s.node->evaluate(env);
        return;
    }
    for (size_t i = 0; i < program.size(); i += kRun + 1) program[i].run(program[i], slab, env, 0, 0, 0);
}

}  // namespace vx
