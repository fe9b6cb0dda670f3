#include "standin/services/module_loader.h"

#include <dlfcn.h>
#include <elf.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace vxs {

namespace {
// dlerror() repeats the path the caller already names; keep only the reason.
std::string loaderReason(const std::string& path) {
    const char* text = dlerror();
    std::string reason = text ? text : "unknown loader error";
    if (reason.starts_with(path + ": ")) reason.erase(0, path.size() + 2);
    return reason;
}

std::string hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08x", v);
    return buf;
}

// The loader maps a module's segments straight from the file, so one cut
// short would fault on first touch: the headers' extents are checked first.
// Empty when every part the headers declare lies within the file, or when
// the file is no 64-bit ELF file (the loader then says what it is).
std::string truncation(const std::string& path, uint64_t size) {
    std::ifstream in(path, std::ios::binary);
    Elf64_Ehdr header{};
    if (!in.read(reinterpret_cast<char*>(&header), sizeof header) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
        return "";
    const auto beyond = [size](uint64_t offset, uint64_t length) { return offset > size || length > size - offset; };
    bool cut = beyond(header.e_phoff, uint64_t(header.e_phnum) * sizeof(Elf64_Phdr)) ||
               beyond(header.e_shoff, uint64_t(header.e_shnum) * header.e_shentsize);
    for (uint16_t i = 0; i < header.e_phnum && !cut; ++i) {
        Elf64_Phdr segment{};
        in.seekg(std::streamoff(header.e_phoff + i * sizeof segment));
        cut = !in.read(reinterpret_cast<char*>(&segment), sizeof segment) ||
              beyond(segment.p_offset, segment.p_filesz);
    }
    return cut ? "truncated: its headers declare parts beyond its " + std::to_string(size) + " bytes" : "";
}

std::string serverLabel(std::string_view className, std::string_view name) {
    return std::string(className) + " server \"" + std::string(name) + "\"";
}
}  // namespace

std::unique_ptr<Module> Module::open(const std::string& path, std::string& error) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        error = std::string("cannot open: ") + std::strerror(errno);
        return nullptr;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a module: not a regular file";
        return nullptr;
    }
    error = truncation(path, uint64_t(st.st_size));
    if (!error.empty()) return nullptr;
    // A name without a slash would send the loader searching the library path.
    const std::string where = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        error = "not a loadable module: " + loaderReason(where);
        return nullptr;
    }
    const auto* descriptor = static_cast<const HostModuleDescriptor*>(dlsym(handle, "_mod_descrip"));
    if (!descriptor) {
        dlclose(handle);
        error = "not a plug-in module: it exports no _mod_descrip";
        return nullptr;
    }
    auto module = attach(descriptor, error);
    if (module) module->handle_ = handle;
    else dlclose(handle);
    return module;
}

std::unique_ptr<Module> Module::attach(const HostModuleDescriptor* descriptor, std::string& error) {
    if (!descriptor) {
        error = "not a plug-in module: no descriptor";
        return nullptr;
    }
    if (descriptor->sysSync != HOST_MODULE_MAGIC) {
        error = "bad module descriptor: magic " + hex(descriptor->sysSync) + ", expected " + hex(HOST_MODULE_MAGIC);
        return nullptr;
    }
    void* serverData = descriptor->startup ? descriptor->startup() : nullptr;
    if (!serverData) {
        error = "module start-up failed";
        return nullptr;
    }
    return std::unique_ptr<Module>(new Module(nullptr, descriptor, serverData));
}

Module::~Module() {
    if (descriptor_->shutdown) descriptor_->shutdown(serverData_);
    if (handle_) dlclose(handle_);
}

const HostServerRecord* Module::findServer(std::string_view className, std::string_view name) const {
    for (const HostServerRecord* s = descriptor_->serverDefs; s && s->className; ++s)
        if (s->name && className == s->className && name == s->name) return s;
    return nullptr;
}

int Module::activate(std::string_view className, std::string_view name, void* local, std::string& error,
                     int version, HostGlobalFunc global) const {
    const HostServerRecord* server = findServer(className, name);
    if (!server || !server->activate) {
        error = "no " + serverLabel(className, name);
        return -1;
    }
    const int result = server->activate(version, global, local, serverData_);
    if (result != HOST_AFUNC_OK)
        error = "activation of the " + serverLabel(className, name) + " failed with result " + std::to_string(result) +
                (result == HOST_AFUNC_BADVERSION ? " (bad version)" : "");
    return result;
}

Shader::Shader() {
    handler_.inst = &inst_;
    handler_.item = &item_;
    handler_.rend = &rend_;
}

std::unique_ptr<Shader> Shader::activate(const Module& module, std::string& error) {
    std::unique_ptr<Shader> shader(new Shader);
    if (module.activate(kClass, kName, &shader->handler_, error) != HOST_AFUNC_OK) return nullptr;
    return shader;
}

// A callback the module left out does what a host does without it: nothing.
HostInstance Shader::create(void* context) const {
    const char* error = nullptr;
    return inst_.create ? inst_.create(inst_.priv, context, &error) : nullptr;
}
void Shader::destroy(HostInstance inst) const {
    if (inst && inst_.destroy) inst_.destroy(inst);
}
const char* Shader::copy(HostInstance to, HostInstance from) const {
    return inst_.copy ? inst_.copy(to, from) : nullptr;
}
const char* Shader::load(HostInstance inst, const HostLoadState& state) const {
    return inst_.load ? inst_.load(inst, &state) : nullptr;
}
const char* Shader::save(HostInstance inst, const HostSaveState& state) const {
    return inst_.save ? inst_.save(inst, &state) : nullptr;
}
const char* Shader::descln(HostInstance inst) const { return inst_.descln ? inst_.descln(inst) : nullptr; }

const HostID* Shader::useItems(HostInstance inst) const { return item_.useItems ? item_.useItems(inst) : nullptr; }
void Shader::changeID(HostInstance inst, const HostID* pairs) const {
    if (item_.changeID) item_.changeID(inst, pairs);
}

const char* Shader::init(HostInstance inst, int mode) const { return rend_.init ? rend_.init(inst, mode) : nullptr; }
const char* Shader::newTime(HostInstance inst, int frame, double time) const {
    return rend_.newTime ? rend_.newTime(inst, frame, time) : nullptr;
}
void Shader::evaluate(HostInstance inst, HostShading& sa) const {
    if (handler_.evaluate) handler_.evaluate(inst, &sa);
}
void Shader::cleanup(HostInstance inst) const {
    if (rend_.cleanup) rend_.cleanup(inst);
}
uint32_t Shader::flags(HostInstance inst) const { return handler_.flags ? handler_.flags(inst) : 0; }

}  // namespace vxs
