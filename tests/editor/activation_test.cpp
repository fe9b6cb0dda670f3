// The editor's registration, against the stand-in's interface services.
#include "editor/user_panel.h"

#include <gtest/gtest.h>

#include "host/host.h"
#include "plugin/activation.h"
#include "plugin/instance.h"
#include "standin/services/globals.h"
#include "standin/services/ui_services.h"

namespace vx {
namespace {

TEST(Interface, ActivationRegistersTheEditorOnlyWithTheSceneTables) {
    HostShaderInterface local{};
    EXPECT_EQ(activateInterface(3, vxs::globalLookup, &local, nullptr), HOST_AFUNC_BADVERSION);
    acquireHandlerGlobals([](const char*, int) -> void* { return nullptr; });
    EXPECT_EQ(activateInterface(4, vxs::globalLookup, &local, nullptr), HOST_AFUNC_OK);
    EXPECT_EQ(local.optionsFunc, nullptr);
    acquireHandlerGlobals(vxs::globalLookup);
    ASSERT_EQ(activateInterface(4, vxs::globalLookup, &local, nullptr), HOST_AFUNC_OK);
    ASSERT_NE(local.optionsFunc, nullptr);
    {
        ShaderInstance instance(nullptr);
        EXPECT_EQ(local.optionsFunc(&instance), 0);
        ASSERT_NE(instance.editor, nullptr);
        EXPECT_EQ(instance.editor->title, "QK's Valtorimex version 0.52 [  ]");
        EXPECT_EQ(instance.editor->info(), "Welcome to the valtorimex editor.");
    }
    vxs::uiSession() = vxs::UiSession{};
    acquireHandlerGlobals(nullptr);
}

}  // namespace
}  // namespace vx
