// The module's only export, and where it learns its own location.
#include <dlfcn.h>

#include "host/plugin_abi.h"
#include "plugin/activation.h"

namespace {

void* startup() { return reinterpret_cast<void*>(4); }
void shutdown(void*) {}

const HostServerRecord kServers[] = {
    {"ShaderHandler", "QK_Valtorimex", vx::activateHandler, nullptr},
    {"ShaderInterface", "QK_Valtorimex", vx::activateInterface, nullptr},
    {nullptr, nullptr, nullptr, nullptr},
};

__attribute__((constructor)) void onAttach() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&onAttach), &info) && info.dli_fname)
        vx::recordModulePath(info.dli_fname);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const HostModuleDescriptor _mod_descrip = {
    HOST_MODULE_MAGIC, HOST_SYSTEM_VERSION, HOST_MACHINE_CODE, startup, shutdown, kServers,
};
