// Constants typed by the user and the triple/scalar converters.
#pragma once

#include "core/env.h"
#include "core/kernel.h"
#include "core/node.h"

namespace vx {

// clang-format off
// "value" and "percent": the parameter's mean as a scalar; "color" and
// "vector": the parameter's triple as it is.
class NVal     final : public FormulaKind<NVal>     { public: NVal();     static double f(double s) { return s; } };
class NPer     final : public FormulaKind<NPer>     { public: NPer();     static double f(double s) { return s; } };
class NCol     final : public FormulaKind<NCol>     { public: NCol();     static NodeValue f(const NodeValue& v) { return v; } };
class NVec     final : public FormulaKind<NVec>     { public: NVec();     static NodeValue f(const NodeValue& v) { return v; } };
class NConvF2V final : public FormulaKind<NConvF2V> { public: NConvF2V(); static NodeValue f(double x, double y, double z) { return {x, y, z}; } };
class NConvV2F final : public FormulaKind<NConvV2F> { public: NConvV2F(); static Outputs<3> f(const NodeValue& v) { return split(v); } };
// clang-format on

}  // namespace vx
