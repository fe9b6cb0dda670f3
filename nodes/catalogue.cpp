// The catalogue of node kinds, one row per kind in the catalogue's order.
#include "core/catalogue.h"

#include "core/macro.h"
#include "core/root.h"
#include "nodes/colour.h"
#include "nodes/compose.h"
#include "nodes/constants.h"
#include "nodes/functions.h"
#include "nodes/gradient.h"
#include "nodes/input.h"
#include "nodes/lighting.h"
#include "nodes/operators.h"
#include "nodes/raytrace.h"
#include "nodes/shading.h"
#include "nodes/texture.h"
#include "nodes/utility.h"

namespace vx {

namespace {
template <class Kind>
std::unique_ptr<Node> make(const KindContext&) {
    return std::make_unique<Kind>();
}

// Kinds a render may evaluate ahead of the pulls (see Timing).
template <class Kind, Timing When>
std::unique_ptr<Node> timed(const KindContext&) {
    auto n = std::make_unique<Kind>();
    n->timing = When;
    return n;
}
template <class Kind>
constexpr auto perPass = timed<Kind, Timing::PerPass>;
template <class Kind>
constexpr auto fixed = timed<Kind, Timing::Fixed>;

// Kinds that hold host resources of the instance's surface.
template <class Kind>
std::unique_ptr<Node> makeHeld(const KindContext& ctx) {
    return std::make_unique<Kind>(ctx.hostContext, ctx.serverName);
}

std::unique_ptr<Node> makeMacro(const KindContext& ctx) { return std::make_unique<NMacro>(ctx.catalogue); }

using Maker = std::unique_ptr<Node> (*)(const KindContext&);

// clang-format off
constexpr Maker kKinds[] = {
    make<NRoot>,
    perPass<NSpot>,
    make<NSpotShade>,
    perPass<NGeom>,
    perPass<NUVMap>,
    perPass<NVCol>,
    perPass<NScene>,
    perPass<NItem>,
    fixed<NVal>,
    fixed<NPer>,
    fixed<NCol>,
    fixed<NVec>,
    fixed<NConvF2V>,
    fixed<NConvV2F>,
    perPass<NTransform>,
    perPass<NVTransform>,
    fixed<NAdd>,
    fixed<NSub>,
    fixed<NMul>,
    fixed<NDiv>,
    fixed<NDot>,
    fixed<NCross>,
    fixed<NMix>,
    fixed<NClamp>,
    fixed<NClampL>,
    fixed<NClampH>,
    fixed<NStep>,
    fixed<NSmoothStep>,
    fixed<NLinearStep>,
    fixed<NNormalize>,
    fixed<NLength>,
    fixed<NDistance>,
    fixed<NRadians>,
    fixed<NDegrees>,
    fixed<NSin>,
    fixed<NCos>,
    fixed<NTan>,
    fixed<NAsin>,
    fixed<NAcos>,
    fixed<NAtan>,
    fixed<NAtan2>,
    fixed<NAbs>,
    fixed<NMod>,
    fixed<NSqrt>,
    fixed<NPow>,
    fixed<NExp>,
    fixed<NLog>,
    fixed<NLogN>,
    makeHeld<NTextureC>,
    makeHeld<NTextureV>,
    makeHeld<NTextureB>,
    make<NImageC>,
    make<NImageV>,
    makeHeld<NEnvelopeC>,
    makeHeld<NEnvelopeV>,
    make<NGradientC>,
    make<NGradientV>,
    fixed<NCompMul>,
    fixed<NScreen>,
    fixed<NOverlay>,
    fixed<NDifference>,
    fixed<NExclusion>,
    fixed<NLighten>,
    fixed<NDarken>,
    fixed<NHardLight>,
    fixed<NSoftLight>,
    fixed<NCDodge>,
    fixed<NCBurn>,
    make<NReflV>,
    make<NTranV>,
    make<NFresnel>,
    make<NIncidence>,
    make<NIncidence2>,
    perPass<NFace>,
    make<NDecayL>,
    make<NDecayE>,
    make<NDecayP>,
    fixed<NRGBtoHSV>,
    fixed<NHSVtoRGB>,
    fixed<NRGBtoHLS>,
    fixed<NHLStoRGB>,
    fixed<NRGBtoYCC>,
    fixed<NYCCtoRGB>,
    make<NRayTrace>,
    make<NRayCast>,
    make<NReflect>,
    make<NRefract>,
    make<NReflectBlur>,
    make<NRefractBlur>,
    make<NFullAmbient>,
    make<NAmbient>,
    make<NRadiosity>,
    make<NCaustics>,
    make<NBackLight>,
    make<NBackLightW>,
    make<NTranslucent>,
    make<NOcclusion>,
    make<NOcclusionH>,
    make<NLambert>,
    make<NOrenNayer>,
    make<NWrapDiffuse>,
    make<NBlinn>,
    make<NPhong>,
    make<NMetal>,
    make<NCookTorrance>,
    make<NAniso>,
    make<NVelvet>,
    makeMacro,
    make<NMacroRoot>,
};
// clang-format on
}  // namespace

std::unique_ptr<NodeFactoryData> buildCatalogue(void* hostContext, const char* serverName) {
    auto catalogue = std::make_unique<NodeFactoryData>();
    const KindContext ctx{hostContext, serverName, catalogue.get()};
    for (Maker make : kKinds) catalogue->registerKind(make(ctx));
    return catalogue;
}

}  // namespace vx
