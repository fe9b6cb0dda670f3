// The gradient editor's life: made by the node's first edit, gone with it.
#include "editor/gradient_edit.h"

#include <gtest/gtest.h>

#include "host/host.h"
#include "standin/services/globals.h"
#include "standin/services/ui_services.h"

namespace vx {
namespace {

TEST(GradientEditorPanel, LivesAndDiesWithItsNode) {
    acquireHandlerGlobals(vxs::globalLookup);
    vxs::ui::Panel* before = vxs::focusPanel();
    auto node = std::make_unique<NGradientV>();
    ASSERT_TRUE(node->openEditor());
    vxs::ui::Panel* editor = vxs::focusPanel();
    ASSERT_NE(editor, before);
    EXPECT_EQ(editor->title(), kGradientEditorTitle);
    EXPECT_NE(editor->find(vxs::ui::ControlKind::Number, "high"), nullptr);
    ASSERT_TRUE(node->openEditor()) << "a second edit opens the same editor again";
    node.reset();
    EXPECT_EQ(vxs::focusPanel(), before) << "deleting the node closed its editor";
    acquireHandlerGlobals(nullptr);
}

}  // namespace
}  // namespace vx
