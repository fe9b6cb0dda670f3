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

// Kinds whose outputs follow from their inputs alone, which a render may
// evaluate once when their inputs are fixed.
template <class Kind>
std::unique_ptr<Node> pure(const KindContext&) {
    auto n = std::make_unique<Kind>();
    n->pure = true;
    return n;
}

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
    make<NSpot>,
    make<NSpotShade>,
    make<NGeom>,
    make<NUVMap>,
    make<NVCol>,
    make<NScene>,
    make<NItem>,
    pure<NVal>,
    pure<NPer>,
    pure<NCol>,
    pure<NVec>,
    pure<NConvF2V>,
    pure<NConvV2F>,
    make<NTransform>,
    make<NVTransform>,
    pure<NAdd>,
    pure<NSub>,
    pure<NMul>,
    pure<NDiv>,
    pure<NDot>,
    pure<NCross>,
    pure<NMix>,
    pure<NClamp>,
    pure<NClampL>,
    pure<NClampH>,
    pure<NStep>,
    pure<NSmoothStep>,
    pure<NLinearStep>,
    pure<NNormalize>,
    pure<NLength>,
    pure<NDistance>,
    pure<NRadians>,
    pure<NDegrees>,
    pure<NSin>,
    pure<NCos>,
    pure<NTan>,
    pure<NAsin>,
    pure<NAcos>,
    pure<NAtan>,
    pure<NAtan2>,
    pure<NAbs>,
    pure<NMod>,
    pure<NSqrt>,
    pure<NPow>,
    pure<NExp>,
    pure<NLog>,
    pure<NLogN>,
    makeHeld<NTextureC>,
    makeHeld<NTextureV>,
    makeHeld<NTextureB>,
    make<NImageC>,
    make<NImageV>,
    makeHeld<NEnvelopeC>,
    makeHeld<NEnvelopeV>,
    make<NGradientC>,
    make<NGradientV>,
    pure<NCompMul>,
    pure<NScreen>,
    pure<NOverlay>,
    pure<NDifference>,
    pure<NExclusion>,
    pure<NLighten>,
    pure<NDarken>,
    pure<NHardLight>,
    pure<NSoftLight>,
    pure<NCDodge>,
    pure<NCBurn>,
    make<NReflV>,
    make<NTranV>,
    make<NFresnel>,
    make<NIncidence>,
    make<NIncidence2>,
    make<NFace>,
    make<NDecayL>,
    make<NDecayE>,
    make<NDecayP>,
    pure<NRGBtoHSV>,
    pure<NHSVtoRGB>,
    pure<NRGBtoHLS>,
    pure<NHLStoRGB>,
    pure<NRGBtoYCC>,
    pure<NYCCtoRGB>,
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
