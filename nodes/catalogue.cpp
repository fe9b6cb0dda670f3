// The catalogue of node kinds, one row per kind in the catalogue's order.
#include "core/catalogue.h"

#include "core/macro.h"
#include "core/root.h"

namespace vx {

namespace {
template <class Kind>
std::unique_ptr<Node> make(const KindContext&) {
    return std::make_unique<Kind>();
}

std::unique_ptr<Node> makeMacro(const KindContext& ctx) { return std::make_unique<NMacro>(ctx.catalogue); }

using Maker = std::unique_ptr<Node> (*)(const KindContext&);

// clang-format off
constexpr Maker kKinds[] = {
    make<NRoot>,
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
