#include "plugin/instance.h"

#include <algorithm>
#include <cstring>

#include "core/evaluate.h"
#include "core/macro.h"
#include "core/persist.h"
#include "host/host.h"
#include "nodes/items.h"

namespace vx {

ShaderInstance::ShaderInstance(void* context)
    : tree(std::make_unique<NodeList>()), catalogue(buildCatalogue(context, kServerName)), hostContext(context) {}

ShaderInstance::~ShaderInstance() {
    editor.reset();  // it shows the tree
    tree.reset();  // nodes before the prototypes their macros point into
    catalogue.reset();
}

namespace {
ShaderInstance& self(HostInstance inst) { return *static_cast<ShaderInstance*>(inst); }

HostInstance create(void*, void* context, const char**) { return new ShaderInstance(context); }

void destroy(HostInstance inst) { delete static_cast<ShaderInstance*>(inst); }

const char* copy(HostInstance to, HostInstance from) {
    ShaderInstance& target = self(to);
    const ShaderInstance& source = self(from);
    target.editor.reset();
    target.tree = cloneList(*source.tree, *target.catalogue);
    std::memcpy(target.description, source.description, sizeof target.description);
    std::memcpy(target.usedItems, source.usedItems, sizeof target.usedItems);
    return nullptr;
}

const char* load(HostInstance inst, const HostLoadState* state) {
    ShaderInstance& s = self(inst);
    // A tree that cannot be read leaves the instance's own; the host is told
    // nothing, as a scene load must go on whatever one surface holds.
    loadInstanceTree(*s.tree, *s.catalogue, *state);
    s.editor.reset();
    return nullptr;
}

const char* save(HostInstance inst, const HostSaveState* state) {
    // A tree nested deeper than a reader takes is not written at all.
    saveInstanceTree(*self(inst).tree, *state);
    return nullptr;
}

const char* descln(HostInstance inst) {
    ShaderInstance& s = self(inst);
    std::snprintf(s.description, sizeof s.description, "%s", kDescription);
    return s.description;
}

const HostID* useItems(HostInstance inst) {
    ShaderInstance& s = self(inst);
    std::vector<HostID> ids;
    collectItems(*s.tree, ids);
    s.tree->usedItems = ids;
    s.tree->usedItems.push_back(0);
    if (ids.empty()) return nullptr;
    const size_t n = std::min(ids.size(), kMaxUsedItems);
    std::copy_n(ids.begin(), n, s.usedItems);
    s.usedItems[n] = 0;
    return s.usedItems;
}

void changeID(HostInstance inst, const HostID* pairs) { remapItems(*self(inst).tree, pairs); }

const char* init(HostInstance inst, int) {
    initTree(*self(inst).tree, self(inst).hostContext);
    return nullptr;
}

void cleanup(HostInstance inst) { cleanupTree(*self(inst).tree); }

const char* newTime(HostInstance inst, int frame, double time) {
    // Nodes told of the new time may already look items up.
    itemParams().rebuild(time, frame);
    newTimeTree(*self(inst).tree, frame, time);
    return nullptr;
}

void evaluate(HostInstance inst, HostShading* sa) {
    evaluateSample(*self(inst).tree, self(inst).hostContext, sa, cachedItemParam);
}

uint32_t flags(HostInstance inst) { return treeFlags(*self(inst).tree); }
}  // namespace

int openEditor(HostInstance inst) {
    ShaderInstance& s = self(inst);
    if (!s.editor) {
        const HostSurfaceFuncs* surfaces = host().surfaceFuncs;
        const char* surface = surfaces && surfaces->name ? surfaces->name(s.hostContext) : nullptr;
        const std::string title = std::string(kDescription) + " [ " + (surface ? surface : "") + " ]";
        s.editor = std::make_unique<UserPanel>(title, *s.tree, *s.catalogue, s.hostContext);
    }
    s.editor->show();
    return 0;
}

void fillHandler(HostShaderHandler& handler) {
    if (HostInstanceFuncs* f = handler.inst) {
        f->create = create;
        f->destroy = destroy;
        f->copy = copy;
        f->load = load;
        f->save = save;
        f->descln = descln;
    }
    if (HostItemFuncs* f = handler.item) {
        f->useItems = useItems;
        f->changeID = changeID;
    }
    if (HostRenderFuncs* f = handler.rend) {
        f->init = init;
        f->cleanup = cleanup;
        f->newTime = newTime;
    }
    handler.evaluate = evaluate;
    handler.flags = flags;
}

}  // namespace vx
