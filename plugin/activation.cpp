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

int activateInterface(int version, HostGlobalFunc, void*, void*) {
    if (version != HOST_SERVER_VERSION) return HOST_AFUNC_BADVERSION;
    // Without the scene tables the editor has nothing to show, so it stays
    // unregistered; the editor window itself registers here once it exists.
    return HOST_AFUNC_OK;
}

}  // namespace vx
