// Loads arbitrary bytes as a tree file, in whichever stream form they are. A
// failed load must leave the tree alone; a tree that loaded must save and
// load again to the same bytes in both forms, and shade a sample through a
// render's plan of it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/catalogue.h"
#include "core/evaluate.h"
#include "core/persist.h"
#include "host/host.h"
#include "standin/render/shading.h"
#include "standin/services/globals.h"
#include "standin/streams/streams.h"

namespace {

// With the stand-in as host, so that texture and envelope blocks are read.
const vx::NodeFactoryData& catalogue() {
    static const auto cat = [] {
        vx::acquireHandlerGlobals(vxs::globalLookup);
        return vx::buildCatalogue(nullptr, "QK_Valtorimex");
    }();
    return *cat;
}

std::string save(const vx::NodeList& tree, int form) {
    vxs::SaveStream out(form);
    vx::saveInstanceTree(tree, *out.state());
    return out.bytes();
}

bool load(vx::NodeList& tree, std::string data) {
    vxs::LoadStream in(std::move(data));
    return vx::loadInstanceTree(tree, catalogue(), *in.state());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vx::NodeList tree;
    if (!load(tree, std::string(reinterpret_cast<const char*>(data), size))) {
        if (!tree.nodes.empty()) __builtin_trap();
        return 0;
    }
    for (int form : {HOST_IO_BINARY, HOST_IO_TEXT}) {
        const std::string first = save(tree, form);
        vx::NodeList again;
        if (!load(again, first) || save(again, form) != first) __builtin_trap();
    }
    vx::initTree(tree, nullptr);
    HostShading sa = vxs::defaultShading();
    vx::evaluateSample(tree, nullptr, &sa);
    vx::cleanupTree(tree);
    return 0;
}
