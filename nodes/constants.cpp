#include "nodes/constants.h"

namespace vx {

namespace {
constexpr const char* kGeneric = "Generic";

// clang-format off
constexpr InputDecl  kValIn[]  = {{"val", VT_SCALAR, PK_NUMBER,  0}, {nullptr}};
constexpr InputDecl  kPerIn[]  = {{"val", VT_SCALAR, PK_PERCENT, 0}, {nullptr}};
constexpr OutputDecl kValOut[] = {{"val", VT_SCALAR}, {nullptr}};

constexpr InputDecl  kColIn[]  = {{"col", VT_COLOR, PK_COLOR, 0}, {nullptr}};
constexpr OutputDecl kColOut[] = {{"col", VT_COLOR}, {nullptr}};

constexpr InputDecl  kVecIn[]  = {{"vec", VT_VECTOR, PK_VECTOR, 0, {0, 1, 0}}, {nullptr}};
constexpr OutputDecl kVecOut[] = {{"vec", VT_VECTOR}, {nullptr}};

constexpr InputDecl kF2VIn[] = {
    {"x", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(1)},
    {"y", VT_SCALAR, PK_NUMBER, 1},
    {"z", VT_SCALAR, PK_NUMBER, 1},
    {nullptr},
};

constexpr InputDecl  kV2FIn[]  = {{"vec", VT_VECTOR, PK_VECTOR, 1, {1, 0, 0}}, {nullptr}};
constexpr OutputDecl kV2FOut[] = {{"x", VT_SCALAR}, {"y", VT_SCALAR}, {"z", VT_SCALAR}, {nullptr}};

}  // namespace

NVal::NVal()         { setup("value",       kGeneric, kValIn, kValOut, false); }
NPer::NPer()         { setup("percent",     kGeneric, kPerIn, kValOut, false); }
NCol::NCol()         { setup("color",       kGeneric, kColIn, kColOut, false); }
NVec::NVec()         { setup("vector",      kGeneric, kVecIn, kVecOut, false); }
NConvF2V::NConvF2V() { setup("val3 -> vec", kGeneric, kF2VIn, kVecOut, false); }
NConvV2F::NConvV2F() { setup("vec -> val3", kGeneric, kV2FIn, kV2FOut, false); }
// clang-format on

}  // namespace vx
