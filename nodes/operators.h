// Arithmetic and vector operators on two values.
#pragma once

#include "core/env.h"
#include "core/kernel.h"
#include "core/node.h"

namespace vx {

// The single output "r" of the operator and function kinds, by value type.
inline constexpr OutputDecl kResultAny[] = {{"r", VT_ANY}, {nullptr}};
inline constexpr OutputDecl kResultScalar[] = {{"r", VT_SCALAR}, {nullptr}};
inline constexpr OutputDecl kResultVector[] = {{"r", VT_VECTOR}, {nullptr}};

// Per component; any exact zero in `b` makes the whole quotient (0, 0, 0).
constexpr NodeValue divide(const NodeValue& a, const NodeValue& b) {
    if (b.x == 0 || b.y == 0 || b.z == 0) return {};
    return {a.x / b.x, a.y / b.y, a.z / b.z};
}

// Inputs 0 and 1 read as triples, in order; "r" = Kind::f(a, b).
template <class Kind>
using BinaryOperator = FormulaKind<Kind>;

// clang-format off
class NAdd   final : public BinaryOperator<NAdd>   { public: NAdd();   static NodeValue f(const NodeValue& a, const NodeValue& b) { return a + b; } };
class NSub   final : public BinaryOperator<NSub>   { public: NSub();   static NodeValue f(const NodeValue& a, const NodeValue& b) { return a - b; } };
class NMul   final : public BinaryOperator<NMul>   { public: NMul();   static NodeValue f(const NodeValue& a, const NodeValue& b) { return a * b; } };
class NDiv   final : public BinaryOperator<NDiv>   { public: NDiv();   static NodeValue f(const NodeValue& a, const NodeValue& b) { return divide(a, b); } };
class NDot   final : public BinaryOperator<NDot>   { public: NDot();   static NodeValue f(const NodeValue& a, const NodeValue& b) { return NodeValue::scalar(dot(a, b)); } };
class NCross final : public BinaryOperator<NCross> { public: NCross(); static NodeValue f(const NodeValue& a, const NodeValue& b) { return cross(a, b); } };
// clang-format on

}  // namespace vx
