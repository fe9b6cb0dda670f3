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
#include "nodes/operators.h"
#include "nodes/texture.h"

namespace vx {

namespace {
template <class Kind>
std::unique_ptr<Node> make(const KindContext&) {
    return std::make_unique<Kind>();
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
    make<NGeom>,
    make<NUVMap>,
    make<NVCol>,
    make<NScene>,
    make<NItem>,
    make<NVal>,
    make<NPer>,
    make<NCol>,
    make<NVec>,
    make<NConvF2V>,
    make<NConvV2F>,
    make<NTransform>,
    make<NVTransform>,
    make<NAdd>,
    make<NSub>,
    make<NMul>,
    make<NDiv>,
    make<NDot>,
    make<NCross>,
    make<NMix>,
    make<NClamp>,
    make<NClampL>,
    make<NClampH>,
    make<NStep>,
    make<NSmoothStep>,
    make<NLinearStep>,
    make<NNormalize>,
    make<NLength>,
    make<NDistance>,
    make<NRadians>,
    make<NDegrees>,
    make<NSin>,
    make<NCos>,
    make<NTan>,
    make<NAsin>,
    make<NAcos>,
    make<NAtan>,
    make<NAtan2>,
    make<NAbs>,
    make<NMod>,
    make<NSqrt>,
    make<NPow>,
    make<NExp>,
    make<NLog>,
    make<NLogN>,
    makeHeld<NTextureC>,
    makeHeld<NTextureV>,
    makeHeld<NTextureB>,
    make<NImageC>,
    make<NImageV>,
    makeHeld<NEnvelopeC>,
    makeHeld<NEnvelopeV>,
    make<NGradientC>,
    make<NGradientV>,
    make<NCompMul>,
    make<NScreen>,
    make<NOverlay>,
    make<NDifference>,
    make<NExclusion>,
    make<NLighten>,
    make<NDarken>,
    make<NHardLight>,
    make<NSoftLight>,
    make<NCDodge>,
    make<NCBurn>,
    make<NFace>,
    make<NRGBtoHSV>,
    make<NHSVtoRGB>,
    make<NRGBtoHLS>,
    make<NHLStoRGB>,
    make<NRGBtoYCC>,
    make<NYCCtoRGB>,
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
