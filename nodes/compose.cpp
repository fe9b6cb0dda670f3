#include "nodes/compose.h"

namespace vx {

namespace {
// clang-format off
constexpr InputDecl kInputs[] = {
    {"fg",    VT_COLOR,  PK_COLOR,   1},
    {"bg",    VT_COLOR,  PK_COLOR,   1},
    {"alpha", VT_SCALAR, PK_PERCENT, 1, NodeValue::scalar(1)},
    {nullptr},
};
constexpr OutputDecl kOutputs[] = {{"result", VT_COLOR}, {nullptr}};
constexpr const char* kCompose = "Compose";
}  // namespace

NCompMul::NCompMul()       { setup("multiply",    kCompose, kInputs, kOutputs, false); }
NScreen::NScreen()         { setup("screen",      kCompose, kInputs, kOutputs, false); }
NOverlay::NOverlay()       { setup("overlay",     kCompose, kInputs, kOutputs, false); }
NDifference::NDifference() { setup("difference",  kCompose, kInputs, kOutputs, false); }
NExclusion::NExclusion()   { setup("exclusion",   kCompose, kInputs, kOutputs, false); }
NLighten::NLighten()       { setup("lighten",     kCompose, kInputs, kOutputs, false); }
NDarken::NDarken()         { setup("darken",      kCompose, kInputs, kOutputs, false); }
NHardLight::NHardLight()   { setup("hardlight",   kCompose, kInputs, kOutputs, false); }
NSoftLight::NSoftLight()   { setup("softlight",   kCompose, kInputs, kOutputs, false); }
NCDodge::NCDodge()         { setup("color dodge", kCompose, kInputs, kOutputs, false); }
NCBurn::NCBurn()           { setup("color burn",  kCompose, kInputs, kOutputs, false); }
// clang-format on

}  // namespace vx
