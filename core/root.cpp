#include "core/root.h"

namespace vx {

namespace {
// clang-format off
constexpr InputDecl kInputs[] = {
    {"color",      VT_COLOR,  PK_NONE,    1, {0.785, 0.785, 0.785}},
    {"diff",       VT_SCALAR, PK_NONE,    1, NodeValue::scalar(1.0)},
    {"spec",       VT_SCALAR},
    {"gloss",      VT_SCALAR, PK_NONE,    1, NodeValue::scalar(0.4)},
    {"lumi",       VT_SCALAR},
    {"refl",       VT_SCALAR},
    {"tran",       VT_SCALAR},
    {"eta",        VT_SCALAR, PK_NONE,    1, NodeValue::scalar(1.0)},
    {"trsl",       VT_SCALAR},
    {"c_spec",     VT_SCALAR},
    {"c_tran",     VT_SCALAR},
    {"refl_blur",  VT_SCALAR},
    {"tran_blur",  VT_SCALAR},
    {"add_tran",   VT_SCALAR},
    {"diff_sharp", VT_SCALAR},
    {"norm",       VT_VECTOR},
    {"bump_h",     VT_SCALAR},
    {"repl_per",   VT_SCALAR, PK_PERCENT},
    {"repl_col",   VT_COLOR,  PK_NONE,    1, NodeValue::scalar(1.0)},
    {nullptr},
};
constexpr OutputDecl kOutputs[] = {
    {"o1", VT_COLOR},   {"o2", VT_SCALAR},  {"o3", VT_SCALAR},  {"o4", VT_SCALAR},  {"o5", VT_SCALAR},
    {"o6", VT_SCALAR},  {"o7", VT_SCALAR},  {"o8", VT_SCALAR},  {"o9", VT_SCALAR},  {"o10", VT_SCALAR},
    {"o11", VT_SCALAR}, {"o12", VT_SCALAR}, {"o13", VT_SCALAR}, {"o14", VT_SCALAR}, {"o15", VT_SCALAR},
    {"o16", VT_VECTOR}, {"o17", VT_SCALAR}, {"o18", VT_SCALAR}, {"o19", VT_COLOR},  {nullptr},
};
// clang-format on
}  // namespace

NRoot::NRoot() { setup("root", "Root", kInputs, kOutputs, true); }

}  // namespace vx
