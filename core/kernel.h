// Kernels: a kind's formula as a plain function of its input values, and the
// two thin wrappers that run it. One loads the inputs through the node's
// reads (which pull what they must) and stores into the node's cache slots;
// the other is a step of a render's flat program, loading and storing at the
// step's places in the thread's slab. The formula is written once for both.
#pragma once

#include <array>
#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include "core/env.h"
#include "core/node.h"

namespace vx {

// One node of a render's flat program: where its inputs and outputs sit in
// the thread's slab, in bytes, so that a value is reached in one instruction.
// Each step ends by running the next one, so that the jumps from step to
// step are made from every kernel rather than from one loop, where they are
// harder to predict. A program is cut into runs of at most kRun steps, each
// closed by a step that returns, so that a build which keeps those calls as
// calls nests no deeper than a run.
// A step hands its first output to the next in registers as well: when that
// is one of the next step's inputs, as along a chain of nodes, the next step
// is made to take it from there rather than wait for it through memory.
struct Step {
    StepFn run;
    const Node* node;  // null for the step that closes a run
    std::ptrdiff_t out;
    const std::ptrdiff_t* in;
};
constexpr size_t kRun = 64;

inline void runNext(const Step& s, NodeValue* slab, NodeEnv& env, const NodeValue& first) {
    const Step& next = (&s)[1];
    next.run(next, slab, env, first.x, first.y, first.z);
}
inline const NodeValue& firstOf(const NodeValue& v) { return v; }
inline NodeValue firstOf(double v) { return NodeValue::scalar(v); }
template <size_t N>
const NodeValue& firstOf(const std::array<NodeValue, N>& v) { return v[0]; }

inline NodeValue* at(NodeValue* slab, std::ptrdiff_t bytes) {
    return reinterpret_cast<NodeValue*>(reinterpret_cast<char*>(slab) + bytes);
}

template <class T>
T load(const NodeValue& v) {
    if constexpr (std::is_same_v<T, double>)
        return scalarOf(v);
    else
        return v;
}

// A kind with more than one output returns them all.
template <size_t N>
using Outputs = std::array<NodeValue, N>;

// A triple's three channels as three scalar outputs.
constexpr Outputs<3> split(const NodeValue& v) {
    return {NodeValue::scalar(v.x), NodeValue::scalar(v.y), NodeValue::scalar(v.z)};
}

inline void store(NodeValue* out, double r) { out[0] = NodeValue::scalar(r); }
inline void store(NodeValue* out, const NodeValue& r) { out[0] = r; }
template <size_t N>
void store(NodeValue* out, const Outputs<N>& r) {
    for (size_t i = 0; i < N; ++i) out[i] = r[i];
}

// F takes inputs 0, 1, ... as scalars (double) or triples (NodeValue) and
// returns a scalar, a triple or Outputs<N>.
template <auto F>
struct Kernel;

template <class R, class... A, R (*F)(A...)>
struct Kernel<F> {
    template <class T>
    using Plain = std::remove_cvref_t<T>;

    // The inputs are read in order, as pulls may have effects.
    static void evaluate(const Node& n, NodeEnv& env) {
        [&]<size_t... I>(std::index_sequence<I...>) {
            const std::tuple<Plain<A>...> in{load<Plain<A>>(n.readInput(n.inputs[I], &env))...};
            store(n.outputSlots(env), std::apply(F, in));
        }(std::index_sequence_for<A...>{});
    }

    // Input `Carried` (none when -1) comes in registers from the step before.
    template <int Carried>
    static void step(const Step& s, NodeValue* slab, NodeEnv& env, double x, double y, double z) {
        const auto input = [&](int i) { return i == Carried ? NodeValue{x, y, z} : *at(slab, s.in[i]); };
        [&]<size_t... I>(std::index_sequence<I...>) {
            const auto r = F(load<Plain<A>>(input(int(I)))...);
            store(at(slab, s.out), r);
            runNext(s, slab, env, firstOf(r));
        }(std::index_sequence_for<A...>{});
    }

    static StepFn stepFor(int carried) {
        return [carried]<size_t... I>(std::index_sequence<I...>) {
            constexpr StepFn steps[] = {step<-1>, step<int(I)>...};
            return steps[carried >= 0 && carried < int(sizeof...(A)) ? carried + 1 : 0];
        }(std::index_sequence_for<A...>{});
    }
};


// A kind whose evaluation is its formula Kind::f, inputs in port order.
template <class Kind>
class FormulaKind : public NodeKind<Kind> {
public:
    void evaluate(NodeEnv& env) const final { Kernel<&Kind::f>::evaluate(*this, env); }
    StepFn step(int carried) const final { return Kernel<&Kind::f>::stepFor(carried); }
};

// A kind that reads the sample, and its inputs through the node's reads:
// Kind::outputs(node, env, outputs) writes all its outputs.
template <class Kind>
class SampleKind : public NodeKind<Kind> {
public:
    void evaluate(NodeEnv& env) const final { Kind::outputs(*this, env, this->outputSlots(env)); }
    StepFn step(int) const final {
        return [](const Step& s, NodeValue* slab, NodeEnv& env, double, double, double) {
            NodeValue* out = at(slab, s.out);
            Kind::outputs(*s.node, env, out);
            runNext(s, slab, env, s.node->outputCount > 0 ? out[0] : NodeValue{});
        };
    }
};

}  // namespace vx
