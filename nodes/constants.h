// Constants typed by the user and the triple/scalar converters.
#pragma once

#include "core/env.h"
#include "core/node.h"

namespace vx {

// "value" and "percent": the parameter's mean as a scalar.
template <class Kind>
class ScalarConstant : public NodeKind<Kind> {
public:
    void evaluate(NodeEnv& env) const final {
        const double s = this->readScalar(0, env);
        this->outputSlots(env)[0] = NodeValue::scalar(s);
    }
};

// "color" and "vector": the parameter's triple as it is.
template <class Kind>
class TripleConstant : public NodeKind<Kind> {
public:
    void evaluate(NodeEnv& env) const final {
        const NodeValue v = this->readValue(0, env);
        this->outputSlots(env)[0] = v;
    }
};

class NVal final : public ScalarConstant<NVal> { public: NVal(); };
class NPer final : public ScalarConstant<NPer> { public: NPer(); };
class NCol final : public TripleConstant<NCol> { public: NCol(); };
class NVec final : public TripleConstant<NVec> { public: NVec(); };

class NConvF2V final : public NodeKind<NConvF2V> {
public:
    NConvF2V();
    void evaluate(NodeEnv& env) const override;
};

class NConvV2F final : public NodeKind<NConvV2F> {
public:
    NConvV2F();
    void evaluate(NodeEnv& env) const override;
};

}  // namespace vx
