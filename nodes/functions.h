// Function kinds: interpolation, clamps and steps, vector lengths and the
// scalar functions of one and two arguments.
#pragma once

#include <cmath>

#include "core/env.h"
#include "core/node.h"
#include "nodes/operators.h"

namespace vx {

// A triple of one value, as a scalar read as a triple is, is worked out
// once: the three results could not differ.
template <class F>
constexpr NodeValue perComponent(const NodeValue& v, F f) {
    if (isUniform(v)) return NodeValue::scalar(f(v.x));
    return {f(v.x), f(v.y), f(v.z)};
}

// With min > max the result is max everywhere.
constexpr double clamp(double x, double min, double max) {
    const double c = x >= min ? x : min;
    return c >= max ? max : c;
}

constexpr double step(double edge, double x) { return x >= edge ? 1 : 0; }

// Both steps test max first: with min >= max they are a step at max and
// never divide by zero.
constexpr double linearstep(double min, double max, double x) {
    if (x >= max) return 1;
    if (x <= min) return 0;
    return (x - min) / (max - min);
}

constexpr double smoothstep(double min, double max, double x) {
    if (x >= max) return 1;
    if (x <= min) return 0;
    const double t = x - min, d = max - min;
    return 3 * t * t / (d * d) - 2 * t * t * t / (d * d * d);
}

// A square as a product, which is exact, rather than a library call.
inline double power(double a, double b) { return b == 2 ? a * a : std::pow(a, b); }

// Scalar arguments ("n", or "a" and "b"); "r" = Kind::f(...) as a scalar.
template <class Kind>
using ScalarFunction = FormulaKind<Kind>;

// clang-format off
class NRadians final : public ScalarFunction<NRadians> { public: NRadians(); static double f(double n) { return n * 0.017453292519943295; } };
class NDegrees final : public ScalarFunction<NDegrees> { public: NDegrees(); static double f(double n) { return n * 57.29577951308232; } };
class NSin     final : public ScalarFunction<NSin>     { public: NSin();     static double f(double n) { return std::sin(n); } };
class NCos     final : public ScalarFunction<NCos>     { public: NCos();     static double f(double n) { return std::cos(n); } };
class NTan     final : public ScalarFunction<NTan>     { public: NTan();     static double f(double n) { return std::tan(n); } };
class NAsin    final : public ScalarFunction<NAsin>    { public: NAsin();    static double f(double n) { return std::asin(n); } };
class NAcos    final : public ScalarFunction<NAcos>    { public: NAcos();    static double f(double n) { return std::acos(n); } };
class NAtan    final : public ScalarFunction<NAtan>    { public: NAtan();    static double f(double n) { return std::atan(n); } };
class NAbs     final : public ScalarFunction<NAbs>     { public: NAbs();     static double f(double n) { return std::fabs(n); } };
class NSqrt    final : public ScalarFunction<NSqrt>    { public: NSqrt();    static double f(double n) { return std::sqrt(n); } };
class NExp     final : public ScalarFunction<NExp>     { public: NExp();     static double f(double n) { return std::exp(n); } };
class NLog     final : public ScalarFunction<NLog>     { public: NLog();     static double f(double n) { return std::log(n); } };

class NAtan2   final : public ScalarFunction<NAtan2>  { public: NAtan2();   static double f(double a, double b) { return std::atan2(a, b); } };
class NMod     final : public ScalarFunction<NMod>    { public: NMod();     static double f(double a, double b) { return wrap(a, b); } };
class NPow     final : public ScalarFunction<NPow>    { public: NPow();     static double f(double a, double b) { return power(a, b); } };
class NLogN    final : public ScalarFunction<NLogN>   { public: NLogN();    static double f(double a, double b) { return std::log(a) / std::log(b); } };
// clang-format on

// "mix" reads "n" first and does not pull a branch whose weight is (nearly)
// zero; that branch counts as black.
class NMix final : public NodeKind<NMix> {
public:
    NMix();
    static NodeValue f(const NodeValue& a, const NodeValue& b, double t) {
        return (skipsFirst(t) ? NodeValue{} : a) * (1 - t) + (skipsSecond(t) ? NodeValue{} : b) * t;
    }
    static bool skipsFirst(double t) { return t >= 1 && t <= 1.001; }
    static bool skipsSecond(double t) { return t >= 0 && t <= 0.001; }
    void evaluate(NodeEnv& env) const override;
    StepFn step(int carried) const override { return Kernel<&f>::stepFor(carried); }
};

// clang-format off
class NClamp      final : public FormulaKind<NClamp>      { public: NClamp();      static NodeValue f(const NodeValue& v, double min, double max) { return perComponent(v, [=](double c) { return clamp(c, min, max); }); } };
class NClampL     final : public FormulaKind<NClampL>     { public: NClampL();     static NodeValue f(const NodeValue& v, double min) { return perComponent(v, [=](double c) { return c > min ? c : min; }); } };
class NClampH     final : public FormulaKind<NClampH>     { public: NClampH();     static NodeValue f(const NodeValue& v, double max) { return perComponent(v, [=](double c) { return c < max ? c : max; }); } };
class NStep       final : public FormulaKind<NStep>       { public: NStep();       static NodeValue f(double edge, const NodeValue& v) { return perComponent(v, [=](double c) { return vx::step(edge, c); }); } };
class NSmoothStep final : public FormulaKind<NSmoothStep> { public: NSmoothStep(); static NodeValue f(double min, double max, const NodeValue& v) { return perComponent(v, [=](double c) { return smoothstep(min, max, c); }); } };
class NLinearStep final : public FormulaKind<NLinearStep> { public: NLinearStep(); static NodeValue f(double min, double max, const NodeValue& v) { return perComponent(v, [=](double c) { return linearstep(min, max, c); }); } };
class NNormalize  final : public FormulaKind<NNormalize>  { public: NNormalize();  static NodeValue f(const NodeValue& v) { return normalized(v); } };
class NLength     final : public FormulaKind<NLength>     { public: NLength();     static double f(const NodeValue& v) { return length(v); } };
class NDistance   final : public FormulaKind<NDistance>   { public: NDistance();   static double f(const NodeValue& p1, const NodeValue& p2) { return length(p1 - p2); } };
// clang-format on

}  // namespace vx
