// Blend-mode compose kinds: a foreground "fg" blended onto a background "bg"
// and faded in by the opacity "alpha".
#pragma once

#include <algorithm>
#include <cmath>

#include "core/env.h"
#include "core/kernel.h"
#include "core/node.h"

namespace vx {

// Blend of one channel, f from the foreground and b from the background.
using BlendFunc = double (*)(double f, double b);

// clang-format off
inline double blendMultiply(double f, double b)   { return f * b; }
inline double blendScreen(double f, double b)     { return 1 - (1 - f) * (1 - b); }
inline double blendOverlay(double f, double b)    { return b >= 0.5 ? 1 - 2 * (1 - b) * (1 - f) : 2 * b * f; }
inline double blendDifference(double f, double b) { return std::fabs(f - b); }
inline double blendExclusion(double f, double b)  { return std::fabs(2 * (0.5 - f) * (0.5 - b) - 0.5); }
inline double blendLighten(double f, double b)    { return b >= f ? b : f; }
inline double blendDarken(double f, double b)     { return b <= f ? b : f; }
inline double blendHardLight(double f, double b)  { return f >= 0.5 ? 1 - 2 * (1 - b) * (1 - f) : 2 * b * f; }

// The darkest backgrounds take a cubic instead of the square root.
inline double blendSoftLight(double f, double b) {
    double d;
    if (f < 0.5) d = b - b * b;
    else if (b <= 0.12549019607843137) d = (b - b * b) * (3 - 8 * b);  // 32/255
    else d = std::sqrt(b) - b;
    return b + d * (2 * f - 1);
}
// No guard: the divisor is zero only for f = 256/255, outside the colour range.
inline double blendColorDodge(double f, double b) { return std::min(1.0, b * 256 / (256 - f * 255)); }
inline double blendColorBurn(double f, double b)  { return b + f < 1 ? 0 : f == 0 ? 1 : 1 - (1 - b) / f; }
// clang-format on

// The blend faded in over the background; only the opacity is clamped.
constexpr NodeValue fadeIn(const NodeValue& blend, const NodeValue& bg, double alpha) {
    const double a = alpha < 0 ? 0 : alpha >= 1 ? 1 : alpha;
    return blend * a + bg * (1 - a);
}

inline NodeValue compose(BlendFunc blend, const NodeValue& fg, const NodeValue& bg, double alpha) {
    return fadeIn({blend(fg.x, bg.x), blend(fg.y, bg.y), blend(fg.z, bg.z)}, bg, alpha);
}

template <class Kind, BlendFunc Blend>
class Compose : public FormulaKind<Kind> {
public:
    static NodeValue f(const NodeValue& fg, const NodeValue& bg, double alpha) { return compose(Blend, fg, bg, alpha); }
};

// clang-format off
class NCompMul    final : public Compose<NCompMul,    blendMultiply>   { public: NCompMul(); };
class NScreen     final : public Compose<NScreen,     blendScreen>     { public: NScreen(); };
class NOverlay    final : public Compose<NOverlay,    blendOverlay>    { public: NOverlay(); };
class NDifference final : public Compose<NDifference, blendDifference> { public: NDifference(); };
class NExclusion  final : public Compose<NExclusion,  blendExclusion>  { public: NExclusion(); };
class NLighten    final : public Compose<NLighten,    blendLighten>    { public: NLighten(); };
class NDarken     final : public Compose<NDarken,     blendDarken>     { public: NDarken(); };
class NHardLight  final : public Compose<NHardLight,  blendHardLight>  { public: NHardLight(); };
class NSoftLight  final : public Compose<NSoftLight,  blendSoftLight>  { public: NSoftLight(); };
class NCDodge     final : public Compose<NCDodge,     blendColorDodge> { public: NCDodge(); };
class NCBurn      final : public Compose<NCBurn,      blendColorBurn>  { public: NCBurn(); };
// clang-format on

}  // namespace vx
