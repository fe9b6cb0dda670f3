// Function kinds: interpolation, clamps and steps, vector lengths and the
// scalar functions of one and two arguments.
#pragma once

#include <cmath>

#include "core/env.h"
#include "core/node.h"
#include "nodes/operators.h"

namespace vx {

template <class F>
constexpr NodeValue perComponent(const NodeValue& v, F f) {
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

// One scalar argument "n"; "r" = Kind::f(n) as a scalar.
template <class Kind>
class ScalarFunction : public NodeKind<Kind> {
public:
    void evaluate(NodeEnv& env) const final {
        const double n = this->readScalar(0, env);
        this->outputSlots(env)[0] = NodeValue::scalar(Kind::f(n));
    }
};

// Two scalar arguments "a" and "b", read in that order; "r" = Kind::f(a, b).
template <class Kind>
class ScalarFunction2 : public NodeKind<Kind> {
public:
    void evaluate(NodeEnv& env) const final {
        const double a = this->readScalar(0, env), b = this->readScalar(1, env);
        this->outputSlots(env)[0] = NodeValue::scalar(Kind::f(a, b));
    }
};

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

class NAtan2   final : public ScalarFunction2<NAtan2>  { public: NAtan2();   static double f(double a, double b) { return std::atan2(a, b); } };
class NMod     final : public ScalarFunction2<NMod>    { public: NMod();     static double f(double a, double b) { return wrap(a, b); } };
class NPow     final : public ScalarFunction2<NPow>    { public: NPow();     static double f(double a, double b) { return std::pow(a, b); } };
class NLogN    final : public ScalarFunction2<NLogN>   { public: NLogN();    static double f(double a, double b) { return std::log(a) / std::log(b); } };
// clang-format on

// Kinds that read their inputs in their own way. "mix" reads "n" first and
// skips a branch whose weight is (nearly) zero.
// clang-format off
class NMix        final : public NodeKind<NMix>        { public: NMix();        void evaluate(NodeEnv& env) const override; };
class NClamp      final : public NodeKind<NClamp>      { public: NClamp();      void evaluate(NodeEnv& env) const override; };
class NClampL     final : public NodeKind<NClampL>     { public: NClampL();     void evaluate(NodeEnv& env) const override; };
class NClampH     final : public NodeKind<NClampH>     { public: NClampH();     void evaluate(NodeEnv& env) const override; };
class NStep       final : public NodeKind<NStep>       { public: NStep();       void evaluate(NodeEnv& env) const override; };
class NSmoothStep final : public NodeKind<NSmoothStep> { public: NSmoothStep(); void evaluate(NodeEnv& env) const override; };
class NLinearStep final : public NodeKind<NLinearStep> { public: NLinearStep(); void evaluate(NodeEnv& env) const override; };
class NNormalize  final : public NodeKind<NNormalize>  { public: NNormalize();  void evaluate(NodeEnv& env) const override; };
class NLength     final : public NodeKind<NLength>     { public: NLength();     void evaluate(NodeEnv& env) const override; };
class NDistance   final : public NodeKind<NDistance>   { public: NDistance();   void evaluate(NodeEnv& env) const override; };
// clang-format on

}  // namespace vx
