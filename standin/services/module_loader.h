// Opening plug-in modules and activating their servers, as a host does.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "host/plugin_abi.h"
#include "standin/services/globals.h"

namespace vxs {

class Module {
public:
    // Opens the file with the platform's loader and starts the module up.
    // Null, with a one-line reason in `error`, when it cannot be used.
    static std::unique_ptr<Module> open(const std::string& path, std::string& error);
    // The same checks and start-up for a descriptor already in memory; the
    // module is then not unloaded on destruction.
    static std::unique_ptr<Module> attach(const HostModuleDescriptor* descriptor, std::string& error);

    ~Module();  // shuts the module down, then unloads it
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const HostModuleDescriptor& descriptor() const { return *descriptor_; }
    const HostServerRecord* findServer(std::string_view className, std::string_view name) const;

    // The activation's own result (0 on success); -1 when the module has no
    // such server. `error` says what failed whenever the result is not 0.
    int activate(std::string_view className, std::string_view name, void* local, std::string& error,
                 int version = HOST_SERVER_VERSION, HostGlobalFunc global = globalLookup) const;

private:
    Module(void* handle, const HostModuleDescriptor* descriptor, void* serverData)
        : handle_(handle), descriptor_(descriptor), serverData_(serverData) {}

    void* handle_;
    const HostModuleDescriptor* descriptor_;
    void* serverData_;
};

// The "ShaderHandler" server "QK_Valtorimex" of a module, with the records
// it filled at activation, and its callbacks as the host calls them.
// Errors returned by the callbacks are texts; null means none.
class Shader {
public:
    static constexpr const char* kClass = "ShaderHandler";
    static constexpr const char* kName = "QK_Valtorimex";

    // Null, with a one-line reason in `error`, when the activation fails.
    static std::unique_ptr<Shader> activate(const Module& module, std::string& error);

    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    HostInstance create(void* context = nullptr) const;
    void destroy(HostInstance inst) const;
    const char* copy(HostInstance to, HostInstance from) const;
    const char* load(HostInstance inst, const HostLoadState& state) const;
    const char* save(HostInstance inst, const HostSaveState& state) const;
    const char* descln(HostInstance inst) const;

    const HostID* useItems(HostInstance inst) const;
    void changeID(HostInstance inst, const HostID* pairs) const;

    const char* init(HostInstance inst, int mode) const;
    const char* newTime(HostInstance inst, int frame, double time) const;
    void evaluate(HostInstance inst, HostShading& sa) const;
    void cleanup(HostInstance inst) const;
    uint32_t flags(HostInstance inst) const;

    // An instance destroyed with its shader's callback when it goes away.
    struct Destroyer {
        const Shader* shader;
        void operator()(void* inst) const { shader->destroy(inst); }
    };
    using InstancePtr = std::unique_ptr<void, Destroyer>;
    InstancePtr make(void* context = nullptr) const { return {create(context), Destroyer{this}}; }

private:
    Shader();

    HostInstanceFuncs inst_{};
    HostItemFuncs item_{};
    HostRenderFuncs rend_{};
    HostShaderHandler handler_{};
};

}  // namespace vxs
