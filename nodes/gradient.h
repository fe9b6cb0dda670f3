// Gradient kinds: a scalar input mapped through a user-edited list of keys.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "core/env.h"
#include "core/node.h"

namespace vx {

// One key: a position and the colour and alpha there.
struct GValue {
    double position = 0, red = 0, green = 0, blue = 0, alpha = 1;
};

// Keys in the order they were added; positions need be neither sorted nor
// distinct.
class Gradient {
public:
    virtual ~Gradient() = default;
    std::vector<std::unique_ptr<GValue>> keys;

    // The first key with the smallest or largest position; null when empty.
    const GValue* lowest() const;
    const GValue* highest() const;
    GValue* lowest() { return const_cast<GValue*>(std::as_const(*this).lowest()); }
    GValue* highest() { return const_cast<GValue*>(std::as_const(*this).highest()); }
    // The key with the smallest position above p (first of equals); null
    // when none lies above.
    const GValue* nextAfter(double p) const;
    // The key colour and alpha at x, walked from the lowest key.
    void lookup(double x, NodeValue& colour, double& alpha) const;

    void save(const HostSaveState& state) const;
    void load(const HostLoadState& state);
    void copyFrom(const Gradient& other);
};

class PGradientEdit;

// A gradient kind, with the editor window it opens, made on the first edit
// and closed and destroyed with the node.
template <class Kind>
class GradientKind : public NodeKind<Kind> {
public:
    GradientKind();
    ~GradientKind() override;
    bool openEditor() final;
    bool saveData(const HostSaveState& state) const final {
        gradient.save(state);
        return true;
    }
    bool loadData(const HostLoadState& state) final {
        gradient.load(state);
        return true;
    }
    void copyTo(Node& target) const final {
        if (auto* same = dynamic_cast<Kind*>(&target)) same->gradient.copyFrom(gradient);
    }

    Gradient gradient;

private:
    std::unique_ptr<PGradientEdit> editor_;
};

class NGradientC final : public GradientKind<NGradientC> {
public:
    NGradientC();
    void evaluate(NodeEnv& env) const override;
};

class NGradientV final : public GradientKind<NGradientV> {
public:
    NGradientV();
    void evaluate(NodeEnv& env) const override;
};

}  // namespace vx
