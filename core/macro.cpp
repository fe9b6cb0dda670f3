#include "core/macro.h"

#include <algorithm>

#include "core/env.h"
#include "core/persist.h"
#include "host/host.h"

namespace vx {

namespace {
constexpr OutputDecl kMacroOutputs[] = {{"result", VT_ANY}, {nullptr}};
constexpr InputDecl kMacroRootInputs[] = {{"result", VT_ANY}, {nullptr}};
constexpr OutputDecl kMacroRootOutputs[] = {{"o1", VT_ANY}, {nullptr}};

void addItem(std::vector<HostID>& ids, HostID id) {
    if (id && std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
}
}  // namespace

void collectItems(const NodeList& list, std::vector<HostID>& ids) {
    for (const auto& n : list.nodes) {
        for (const InputPort& in : n->inputs)
            if (isItemRef(in.paramKind)) addItem(ids, in.param.intValue);
        std::vector<HostID> own;
        n->useItems(own);
        for (HostID id : own) addItem(ids, id);
    }
}

void remapItems(NodeList& list, const HostID* pairs) {
    for (const auto& n : list.nodes) {
        for (InputPort& in : n->inputs) {
            if (!isItemRef(in.paramKind) || !in.param.intValue) continue;
            for (const HostID* p = pairs; p && p[0]; p += 2)
                if (p[0] == in.param.intValue) {
                    in.param.intValue = p[1];
                    break;
                }
        }
        n->changeID(pairs);
    }
}

namespace {
void assignSlots(const NodeList& list, int32_t& next) {
    for (const auto& n : list.nodes) {
        n->cacheSlot = next++;
        if (const auto* macro = dynamic_cast<const NMacro*>(n.get())) assignSlots(macro->inner, next);
    }
}
}  // namespace

void assignCacheSlots(const NodeList& list) {
    int32_t next = 0;
    assignSlots(list, next);
}

void renderInitList(const NodeList& list) {
    for (const auto& n : list.nodes) {
        n->renderInit();
        for (const InputPort& in : n->inputs)
            if (in.paramKind == PK_IMAGE && in.param.intValue) prepareImage(in.param.intValue);
    }
}

NMacro::NMacro(const NodeFactoryData* catalogue_) : catalogue(catalogue_) {
    setup("macro", "Macro", nullptr, kMacroOutputs, false);
}

void NMacro::renderInit() { renderInitList(inner); }

void NMacro::renderCleanup() {
    for (const auto& n : inner.nodes) n->renderCleanup();
}

void NMacro::newTime(double time, int32_t frame) {
    for (const auto& n : inner.nodes) n->newTime(time, frame);
}

void NMacro::changeID(const HostID* pairs) { remapItems(inner, pairs); }

void NMacro::useItems(std::vector<HostID>& ids) {
    std::vector<HostID> own;
    collectItems(inner, own);
    ids.insert(ids.end(), own.begin(), own.end());
}

void NMacro::copyTo(Node& target) const {
    auto* macro = dynamic_cast<NMacro*>(&target);
    if (!macro || !macro->catalogue) return;
    std::unique_ptr<NodeList> copy = cloneList(inner, *macro->catalogue);
    macro->inner.nodes = std::move(copy->nodes);
}

std::unique_ptr<Node> NMacro::createNew() const { return std::make_unique<NMacro>(catalogue); }

bool NMacro::saveData(const HostSaveState& state) const { return saveList(inner, state); }

bool NMacro::loadData(const HostLoadState& state) {
    NodeList read;
    // A nested list that breaks off leaves nodes with unresolved links behind:
    // keep the macro empty rather than half-built.
    inner.nodes.clear();
    if (catalogue && loadList(read, state, *catalogue)) inner.nodes = std::move(read.nodes);
    return true;
}

void NMacro::evaluate(NodeEnv& env) const {
    NodeValue result;
    const Node* root = findRoot(inner);
    if (root && dynamic_cast<const NMacroRoot*>(root)) {
        root->evaluate(env);
        if (const NodeValue* out = env.cache.find(root)) result = out[0];
    }
    outputSlots(env)[0] = result;
}

NMacroRoot::NMacroRoot() { setup("macro root", "Macro", kMacroRootInputs, kMacroRootOutputs, true); }

void NMacroRoot::evaluate(NodeEnv& env) const {
    const NodeValue v = readInput(inputs[0], &env);
    outputSlots(env)[0] = v;
}

}  // namespace vx
