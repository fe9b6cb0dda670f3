// The root of a tree: its inputs are the surface channels of the host.
#pragma once

#include "core/node.h"

namespace vx {

enum RootInput {
    RI_COLOR, RI_DIFF, RI_SPEC, RI_GLOSS, RI_LUMI, RI_REFL, RI_TRAN, RI_ETA, RI_TRSL, RI_C_SPEC,
    RI_C_TRAN, RI_REFL_BLUR, RI_TRAN_BLUR, RI_ADD_TRAN, RI_DIFF_SHARP, RI_NORM, RI_BUMP_H,
    RI_REPL_PER, RI_REPL_COL, RI_COUNT
};

class NRoot final : public NodeKind<NRoot> {
public:
    NRoot();
};

}  // namespace vx
