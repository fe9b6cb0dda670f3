// The editor's load for the redraw benchmarks: a 100-node tree of "add"
// nodes in a 10 x 10 grid, each linked from its left and upper neighbours,
// open in an editor of 1280 x 800 with every preview rendered.
#pragma once

#include "editor/config.h"
#include "editor/user_panel.h"
#include "host/host.h"
#include "plugin/instance.h"
#include "standin/services/globals.h"

namespace vxb {

inline void openGridEditor(vx::ShaderInstance& inst) {
    constexpr int kSide = 10, kStepX = 112, kStepY = 140;
    vx::acquireHandlerGlobals(vxs::globalLookup);
    vx::editorOptions().initialWidth = 1280;
    vx::editorOptions().initialHeight = 800;
    auto& nodes = inst.tree->nodes;
    for (int i = 0; i < kSide * kSide; ++i) {
        nodes.push_back(inst.catalogue->createByName("Operator", "add"));
        nodes.back()->x = 16 + (i % kSide) * kStepX;
        nodes.back()->y = 16 + (i / kSide) * kStepY;
        if (i % kSide) nodes.back()->inputs[0].source = nodes[size_t(i - 1)].get();
        if (i >= kSide) nodes.back()->inputs[1].source = nodes[size_t(i - kSide)].get();
    }
    vx::openEditor(&inst);
    inst.editor->previewAll();
}

}  // namespace vxb
