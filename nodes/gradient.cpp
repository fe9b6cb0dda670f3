#include "nodes/gradient.h"

#include <algorithm>
#include <type_traits>

#include "editor/gradient_edit.h"

namespace vx {

namespace {

// clang-format off
constexpr InputDecl  kGradIn[]     = {{"input", VT_SCALAR, PK_NUMBER, 1}, {nullptr}};
constexpr OutputDecl kGradColOut[] = {{"col", VT_COLOR}, {"alpha", VT_SCALAR}, {nullptr}};
constexpr OutputDecl kGradValOut[] = {{"val", VT_SCALAR}, {"alpha", VT_SCALAR}, {nullptr}};
// clang-format on

NodeValue colourOf(const GValue& k) { return {k.red, k.green, k.blue}; }

// The value kind gives the red of the colour.
void writeGradient(const Node& node, const Gradient& gradient, NodeEnv& env, bool value) {
    NodeValue colour;
    double alpha = 0;
    gradient.lookup(node.readScalar(0, env), colour, alpha);
    NodeValue* out = node.outputSlots(env);
    out[0] = value ? NodeValue::scalar(colour.x) : colour;
    out[1] = NodeValue::scalar(alpha);
}
}  // namespace

const GValue* Gradient::lowest() const {
    const GValue* best = nullptr;
    for (const auto& k : keys)
        if (!best || k->position < best->position) best = k.get();
    return best;
}

const GValue* Gradient::highest() const {
    const GValue* best = nullptr;
    for (const auto& k : keys)
        if (!best || k->position > best->position) best = k.get();
    return best;
}

const GValue* Gradient::nextAfter(double p) const {
    const GValue* best = nullptr;
    for (const auto& k : keys)
        if (k->position > p && (!best || k->position < best->position)) best = k.get();
    return best;
}

void Gradient::lookup(double x, NodeValue& colour, double& alpha) const {
    if (keys.size() < 2) {
        colour = {};
        alpha = x;
        return;
    }
    const GValue* k = lowest();
    for (const GValue* n = nextAfter(k->position);; n = nextAfter(k->position)) {
        if (!n) {
            // Beyond the last key, or below the first.
            const GValue* held = x > k->position ? k : lowest();
            colour = colourOf(*held);
            alpha = held->alpha;
            return;
        }
        if (k->position <= x && x <= n->position) {
            const double t = (x - k->position) / (n->position - k->position);
            colour = colourOf(*k) * (1 - t) + colourOf(*n) * t;
            alpha = k->alpha * (1 - t) + n->alpha * t;
            return;
        }
        k = n;
    }
}

void Gradient::save(const HostSaveState& s) const {
    const auto count = static_cast<int32_t>(keys.size());
    s.writeI4(s.data, &count, 1);
    for (const auto& k : keys) {
        const float v[5] = {static_cast<float>(k->red), static_cast<float>(k->green), static_cast<float>(k->blue),
                            static_cast<float>(k->alpha), static_cast<float>(k->position)};
        s.writeFP(s.data, v, 5);
    }
}

void Gradient::load(const HostLoadState& s) {
    keys.clear();
    int32_t count = 0;
    if (s.readI4(s.data, &count, 1) != 1) return;
    // The stored count can be anything; the keys present end the loop.
    for (int32_t i = 0; i < count; ++i) {
        float v[5];
        if (s.readFP(s.data, v, 5) != 5) return;
        keys.push_back(std::make_unique<GValue>(GValue{v[4], v[0], v[1], v[2], v[3]}));
    }
}

void Gradient::copyFrom(const Gradient& other) {
    keys.clear();
    for (const auto& k : other.keys) keys.push_back(std::make_unique<GValue>(*k));
}

template <class Kind>
GradientKind<Kind>::GradientKind() {
    gradient.keys.push_back(std::make_unique<GValue>(GValue{1, 1, 1, 1, 1}));
    gradient.keys.push_back(std::make_unique<GValue>(GValue{0, 0, 0, 0, 1}));
}

template <class Kind>
GradientKind<Kind>::~GradientKind() = default;

template <class Kind>
bool GradientKind<Kind>::openEditor() {
    if (!editor_) editor_ = std::make_unique<PGradientEdit>(std::is_same_v<Kind, NGradientV>);
    editor_->edit(gradient);
    return true;
}

template class GradientKind<NGradientC>;
template class GradientKind<NGradientV>;

NGradientC::NGradientC() { setup("grad_col", "Texture", kGradIn, kGradColOut, false); }

void NGradientC::evaluate(NodeEnv& env) const { writeGradient(*this, gradient, env, false); }

NGradientV::NGradientV() { setup("grad_val", "Texture", kGradIn, kGradValOut, false); }

void NGradientV::evaluate(NodeEnv& env) const { writeGradient(*this, gradient, env, true); }

}  // namespace vx
