#include "plugin/activation.h"

#include "core/env.h"
#include "editor/config.h"
#include "host/host.h"
#include "plugin/instance.h"

namespace vx {

namespace {
std::string& directory() {
    static std::string dir;
    return dir;
}
}  // namespace

const std::string& pluginDirectory() { return directory(); }

void recordModulePath(const char* path) {
    const std::string p = path ? path : "";
    const size_t slash = p.rfind('/');
    directory() = slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
}

int activateHandler(int version, HostGlobalFunc global, void* local, void*) {
    if (version != HOST_SERVER_VERSION) return HOST_AFUNC_BADVERSION;
    acquireHandlerGlobals(global);
    resetThreadFlags();
    applyConfig(pluginDirectory());
    if (local) fillHandler(*static_cast<HostShaderHandler*>(local));
    return HOST_AFUNC_OK;
}

int activateInterface(int version, HostGlobalFunc, void* local, void*) {
    if (version != HOST_SERVER_VERSION) return HOST_AFUNC_BADVERSION;
    // Relies on the handler's activation for the tables; without the scene
    // tables the editor has nothing to show, so it stays unregistered.
    const HostServices& h = host();
    if (!h.itemInfo || !h.objectInfo || !h.sceneInfo || !h.renderMemory || !local) return HOST_AFUNC_OK;
    auto& ui = *static_cast<HostShaderInterface*>(local);
    ui.panel = nullptr;
    ui.options = nullptr;
    ui.command = nullptr;
    ui.optionsFunc = openEditor;
    return HOST_AFUNC_OK;
}

}  // namespace vx
