// The built module, loaded and driven through the stand-in's loader as the
// host loads and drives it.
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "core/persist.h"
#include "core/root.h"
#include "standin/services/module_loader.h"
#include "standin/services/render_memory.h"
#include "standin/render/shading.h"
#include "standin/streams/streams.h"

namespace {

using vxs::Module;
using vxs::Shader;

constexpr const char* kModulePath = VX_BINARY_DIR "/QK_Valtorimex.p";

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = Module::open(kModulePath, error);
        ASSERT_TRUE(module) << kModulePath << ": " << error;
    }

    std::string error;
    std::unique_ptr<Module> module;
};

TEST_F(ModuleTest, ActivationTakesOnlyVersionFour) {
    struct Row { const char* className; int version; int result; };
    const Row rows[] = {
        {"ShaderHandler", 4, HOST_AFUNC_OK},          {"ShaderHandler", 3, HOST_AFUNC_BADVERSION},
        {"ShaderHandler", 5, HOST_AFUNC_BADVERSION},  {"ShaderInterface", 4, HOST_AFUNC_OK},
        {"ShaderInterface", 0, HOST_AFUNC_BADVERSION}, {"ShaderInterface", -4, HOST_AFUNC_BADVERSION},
    };
    for (const Row& r : rows) {
        HostInstanceFuncs inst{};
        HostItemFuncs item{};
        HostRenderFuncs rend{};
        HostShaderHandler handler{&inst, &item, &rend, nullptr, nullptr};
        HostShaderInterface iface{};
        void* local = std::strcmp(r.className, "ShaderHandler") == 0 ? static_cast<void*>(&handler) : &iface;
        EXPECT_EQ(module->activate(r.className, "QK_Valtorimex", local, error, r.version), r.result)
            << r.className << " version " << r.version;
        // A refused activation registers nothing.
        if (r.result != HOST_AFUNC_OK) {
            EXPECT_EQ(inst.create, nullptr) << r.className;
        }
    }
}

// The calling thread's ray-shade word, as a sibling plug-in would set it.
uint32_t& rayShadeWord() {
    char name[64];
    std::snprintf(name, sizeof name, "QK's Torvanixa:IsRayShade %08x", static_cast<unsigned>(syscall(SYS_gettid)));
    return *static_cast<uint32_t*>(vxs::globalRenderMemory().create(name, 4));
}

// A root-only tree in the form "File IO" hands to load.
std::string rootTree() {
    vx::NodeList tree;
    tree.nodes.push_back(std::make_unique<vx::NRoot>());
    vxs::SaveStream out(HOST_IO_BINARY);
    vx::saveInstanceTree(tree, *out.state());
    return out.bytes();
}

class ShaderTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        shader = Shader::activate(*module, error);
        ASSERT_TRUE(shader) << error;
    }
    void TearDown() override { rayShadeWord() = 0; }

    void loadRoot(HostInstance inst) {
        vxs::LoadStream in(rootTree());
        EXPECT_EQ(shader->load(inst, *in.state()), nullptr);
        EXPECT_FALSE(in.failed());
    }
    // One sample as a render does it.
    void render(HostInstance inst, HostShading& sa) {
        shader->init(inst, 0);
        shader->newTime(inst, 0, 0.0);
        shader->evaluate(inst, sa);
        shader->cleanup(inst);
    }

    std::unique_ptr<Shader> shader;
};

// A sample whose replacement percentage the root resets shows whether the
// tree ran; every other channel passes an unlinked root unchanged.
TEST_F(ShaderTest, EvaluatesOnlyARootedTreeOnAThreadNotShadingARay) {
    struct Row { const char* what; bool root; uint32_t rayShade; bool evaluated; };
    const Row rows[] = {
        {"fresh instance", false, 0, false},
        {"root-only tree", true, 0, true},
        {"root-only tree, ray-shade word set", true, 1, false},
        {"root-only tree, any non-zero ray-shade word", true, 0x100, false},
    };
    for (const Row& r : rows) {
        const auto inst = shader->make();
        if (r.root) loadRoot(inst.get());
        rayShadeWord() = r.rayShade;
        HostShading sa = vxs::defaultShading(), before;
        sa.replacementPercentage = 0.5;
        std::memcpy(&before, &sa, sizeof sa);
        render(inst.get(), sa);
        rayShadeWord() = 0;
        if (!r.evaluated) {
            EXPECT_EQ(std::memcmp(&before, &sa, sizeof sa), 0) << r.what;
            continue;
        }
        EXPECT_EQ(sa.replacementPercentage, 0.0) << r.what;
        EXPECT_EQ(std::memcmp(sa.color, before.color, sizeof sa.color), 0) << r.what;
        EXPECT_DOUBLE_EQ(sa.roughness, before.roughness) << r.what;
        EXPECT_DOUBLE_EQ(sa.diffSharpness, before.diffSharpness) << r.what;
        EXPECT_EQ(sa.diffuse, before.diffuse) << r.what;
    }
}

}  // namespace
