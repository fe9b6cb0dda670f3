#include "nodes/operators.h"

namespace vx {

namespace {
constexpr const char* kOperator = "Operator";

// clang-format off
constexpr InputDecl kOperands[] = {
    {"a", VT_ANY, PK_NUMBER, 1},
    {"b", VT_ANY, PK_NUMBER, 1, NodeValue::scalar(1)},
    {nullptr},
};
constexpr InputDecl kVectors[] = {
    {"v1", VT_VECTOR, PK_VECTOR, 1, {1, 0, 0}},
    {"v2", VT_VECTOR, PK_VECTOR, 1, {1, 0, 0}},
    {nullptr},
};
}  // namespace

NAdd::NAdd()     { setup("add",   kOperator, kOperands, kResultAny,    false); }
NSub::NSub()     { setup("sub",   kOperator, kOperands, kResultAny,    false); }
NMul::NMul()     { setup("mul",   kOperator, kOperands, kResultAny,    false); }
NDiv::NDiv()     { setup("div",   kOperator, kOperands, kResultAny,    false); }
NDot::NDot()     { setup("dot",   kOperator, kVectors,  kResultScalar, false); }
NCross::NCross() { setup("cross", kOperator, kVectors,  kResultVector, false); }
// clang-format on

}  // namespace vx
