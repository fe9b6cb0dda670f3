#include "standin/services/module_loader.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <exception>

#include "tests/temp_dir.h"

namespace {

using vxs::Module;

// A module living in the test itself, to reach the checks that a real file
// cannot easily provoke.
struct Fake {
    static inline int shutdowns = 0;
    static inline void* seenData = nullptr;
    static inline int seenVersion = 0;
    static inline HostGlobalFunc seenGlobal = nullptr;
    static inline int token = 0;

    static void* startup() { return &token; }
    static void* failingStartup() { return nullptr; }
    static void shutdown(void* data) {
        ++shutdowns;
        seenData = data;
    }
    static int activate(int version, HostGlobalFunc global, void* local, void* data) {
        seenVersion = version;
        seenGlobal = global;
        seenData = data;
        *static_cast<int*>(local) = 1;
        return version == HOST_SERVER_VERSION ? HOST_AFUNC_OK : HOST_AFUNC_BADVERSION;
    }
    static int refuse(int, HostGlobalFunc, void*, void*) { return 7; }
};

const HostServerRecord kServers[] = {
    {"ShaderHandler", "Fake", Fake::activate, nullptr},
    {"ShaderHandler", "Refuses", Fake::refuse, nullptr},
    {"ShaderInterface", "Fake", nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr},
    {"ShaderHandler", "AfterTheEnd", Fake::activate, nullptr},
};
const HostModuleDescriptor kGood{HOST_MODULE_MAGIC, 3, 0x300, Fake::startup, Fake::shutdown, kServers};

// A module cut short is refused from its headers, before the loader maps
// segments the file does not hold.
TEST(ModuleLoader, RefusesATruncatedModule) {
    const std::string module = vxt::readBytes(VX_BINARY_DIR "/QK_Valtorimex.p");
    const vxt::TempDir dir;
    for (const double kept : {0.01, 0.3, 0.7, 0.999}) {
        std::string error;
        EXPECT_EQ(Module::open(dir.write("cut.p", module.substr(0, size_t(double(module.size()) * kept))), error),
                  nullptr);
        EXPECT_EQ(error.rfind("truncated: its headers declare parts beyond its ", 0), 0u) << kept << ": " << error;
    }
}

TEST(ModuleLoader, RefusesBadDescriptors) {
    struct Row { const char* what; HostModuleDescriptor descriptor; bool isNull; const char* error; };
    const Row rows[] = {
        {"none", {}, true, "not a plug-in module: no descriptor"},
        {"bad magic",
         {0x12345678, 3, 0x300, Fake::startup, Fake::shutdown, kServers},
         false,
         "bad module descriptor: magic 0x12345678, expected 0x04121994"},
        {"start-up fails",
         {HOST_MODULE_MAGIC, 3, 0x300, Fake::failingStartup, Fake::shutdown, kServers},
         false,
         "module start-up failed"},
        {"no start-up",
         {HOST_MODULE_MAGIC, 3, 0x300, nullptr, Fake::shutdown, kServers},
         false,
         "module start-up failed"},
    };
    for (const Row& r : rows) {
        std::string error;
        EXPECT_EQ(Module::attach(r.isNull ? nullptr : &r.descriptor, error), nullptr) << r.what;
        EXPECT_EQ(error, r.error) << r.what;
    }
}

TEST(ModuleLoader, ActivatesWithTheHostsArgumentsAndReportsFailures) {
    struct Row { const char* className; const char* name; int version; int result; const char* error; };
    const Row rows[] = {
        {"ShaderHandler", "Fake", 4, 0, ""},
        {"ShaderHandler", "Fake", 3, 1,
         "activation of the ShaderHandler server \"Fake\" failed with result 1 (bad version)"},
        {"ShaderHandler", "Refuses", 4, 7, "activation of the ShaderHandler server \"Refuses\" failed with result 7"},
        {"ShaderInterface", "Fake", 4, -1, "no ShaderInterface server \"Fake\""},
        {"ShaderHandler", "Missing", 4, -1, "no ShaderHandler server \"Missing\""},
    };
    std::string error;
    const auto module = Module::attach(&kGood, error);
    ASSERT_TRUE(module) << error;
    for (const Row& r : rows) {
        int local = 0;
        error.clear();
        EXPECT_EQ(module->activate(r.className, r.name, &local, error, r.version), r.result) << r.name;
        EXPECT_EQ(error, r.error) << r.name;
    }
    int local = 0;
    ASSERT_EQ(module->activate("ShaderHandler", "Fake", &local, error), HOST_AFUNC_OK);
    EXPECT_EQ(local, 1);
    EXPECT_EQ(Fake::seenVersion, HOST_SERVER_VERSION);
    EXPECT_EQ(Fake::seenGlobal, &vxs::globalLookup);
    EXPECT_EQ(Fake::seenData, &Fake::token);
}

TEST(ModuleLoader, ShutsTheModuleDownWithItsServerData) {
    std::string error;
    auto module = Module::attach(&kGood, error);
    ASSERT_TRUE(module) << error;
    const int before = Fake::shutdowns;
    Fake::seenData = nullptr;
    module.reset();
    EXPECT_EQ(Fake::shutdowns, before + 1);
    EXPECT_EQ(Fake::seenData, &Fake::token);
}

}  // namespace
