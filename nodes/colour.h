// Colour-space conversions. Hue is a fraction of a full turn (0 .. 1).
#pragma once

#include "core/env.h"
#include "core/kernel.h"
#include "core/node.h"

namespace vx {

// Each takes and gives three channels in the order of its name:
// (r, g, b), (h, s, v), (h, l, s), (y, cr, cb).
NodeValue rgbToHsv(const NodeValue& rgb);
NodeValue hsvToRgb(const NodeValue& hsv);
NodeValue rgbToHls(const NodeValue& rgb);
NodeValue hlsToRgb(const NodeValue& hls);
NodeValue rgbToYcc(const NodeValue& rgb);
NodeValue yccToRgb(const NodeValue& ycc);

using ColourFunc = NodeValue (*)(const NodeValue&);

// The colour "rgb" in, three scalars out.
template <class Kind, ColourFunc Convert>
class FromRgb : public FormulaKind<Kind> {
public:
    static Outputs<3> f(const NodeValue& rgb) { return split(Convert(rgb)); }
};

// Three scalars in, read in order, the colour "rgb" out.
template <class Kind, ColourFunc Convert>
class ToRgb : public FormulaKind<Kind> {
public:
    static NodeValue f(double a, double b, double c) { return Convert({a, b, c}); }
};

// clang-format off
class NRGBtoHSV final : public FromRgb<NRGBtoHSV, rgbToHsv> { public: NRGBtoHSV(); };
class NHSVtoRGB final : public ToRgb<NHSVtoRGB,   hsvToRgb> { public: NHSVtoRGB(); };
class NRGBtoHLS final : public FromRgb<NRGBtoHLS, rgbToHls> { public: NRGBtoHLS(); };
class NHLStoRGB final : public ToRgb<NHLStoRGB,   hlsToRgb> { public: NHLStoRGB(); };
class NRGBtoYCC final : public FromRgb<NRGBtoYCC, rgbToYcc> { public: NRGBtoYCC(); };
class NYCCtoRGB final : public ToRgb<NYCCtoRGB,   yccToRgb> { public: NYCCtoRGB(); };
// clang-format on

}  // namespace vx
