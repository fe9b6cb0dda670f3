#include "nodes/functions.h"

namespace vx {

namespace {
constexpr const char* kFunction = "Function";

// clang-format off
constexpr InputDecl kMixIn[] = {
    {"a", VT_ANY,    PK_NUMBER, 1},
    {"b", VT_ANY,    PK_NUMBER, 1, NodeValue::scalar(1)},
    {"n", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(0.5)},
    {nullptr},
};
constexpr InputDecl kClampIn[] = {
    {"v",   VT_ANY,    PK_NUMBER, 1, NodeValue::scalar(0.5)},
    {"min", VT_SCALAR, PK_NUMBER, 1},
    {"max", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(1)},
    {nullptr},
};
constexpr InputDecl kClampLIn[] = {
    {"v",   VT_ANY,    PK_NUMBER, 1, NodeValue::scalar(0.5)},
    {"min", VT_SCALAR, PK_NUMBER, 1},
    {nullptr},
};
constexpr InputDecl kClampHIn[] = {
    {"v",   VT_ANY,    PK_NUMBER, 1, NodeValue::scalar(0.5)},
    {"max", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(1)},
    {nullptr},
};
constexpr InputDecl kStepIn[] = {
    {"n", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(0.5)},
    {"v", VT_ANY,    PK_NUMBER, 1, NodeValue::scalar(1)},
    {nullptr},
};
constexpr InputDecl kRangeIn[] = {
    {"min", VT_SCALAR, PK_NUMBER, 1},
    {"max", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(1)},
    {"v",   VT_ANY,    PK_NUMBER, 1, NodeValue::scalar(0.5)},
    {nullptr},
};
constexpr InputDecl kVecIn[] = {{"v", VT_VECTOR, PK_NONE, 1}, {nullptr}};
constexpr InputDecl kPointsIn[] = {
    {"p1", VT_VECTOR, PK_VECTOR, 1},
    {"p2", VT_VECTOR, PK_VECTOR, 1, {1, 0, 0}},
    {nullptr},
};
constexpr InputDecl kN0[] = {{"n", VT_SCALAR, PK_NUMBER, 1},                         {nullptr}};
constexpr InputDecl kN1[] = {{"n", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(1)}, {nullptr}};
constexpr InputDecl kA0B1[] = {
    {"a", VT_SCALAR, PK_NUMBER, 1},
    {"b", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(1)},
    {nullptr},
};
constexpr InputDecl kA1B2[] = {
    {"a", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(1)},
    {"b", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(2)},
    {nullptr},
};
constexpr InputDecl kA1B10[] = {
    {"a", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(1)},
    {"b", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(10)},
    {nullptr},
};
}  // namespace

NMix::NMix()               { setup("mix",        kFunction, kMixIn,    kResultAny,    false); }
NClamp::NClamp()           { setup("clamp",      kFunction, kClampIn,  kResultAny,    false); }
NClampL::NClampL()         { setup("clamp_low",  kFunction, kClampLIn, kResultAny,    false); }
NClampH::NClampH()         { setup("clamp_high", kFunction, kClampHIn, kResultAny,    false); }
NStep::NStep()             { setup("step",       kFunction, kStepIn,   kResultAny,    false); }
NSmoothStep::NSmoothStep() { setup("smoothstep", kFunction, kRangeIn,  kResultAny,    false); }
NLinearStep::NLinearStep() { setup("linearstep", kFunction, kRangeIn,  kResultAny,    false); }
NNormalize::NNormalize()   { setup("normalize",  kFunction, kVecIn,    kResultVector, false); }
NLength::NLength()         { setup("length",     kFunction, kVecIn,    kResultScalar, false); }
NDistance::NDistance()     { setup("distance",   kFunction, kPointsIn, kResultScalar, false); }
NRadians::NRadians()       { setup("radians",    kFunction, kN0,       kResultScalar, false); }
NDegrees::NDegrees()       { setup("degrees",    kFunction, kN0,       kResultScalar, false); }
NSin::NSin()               { setup("sin",        kFunction, kN0,       kResultScalar, false); }
NCos::NCos()               { setup("cos",        kFunction, kN0,       kResultScalar, false); }
NTan::NTan()               { setup("tan",        kFunction, kN0,       kResultScalar, false); }
NAsin::NAsin()             { setup("asin",       kFunction, kN1,       kResultScalar, false); }
NAcos::NAcos()             { setup("acos",       kFunction, kN1,       kResultScalar, false); }
NAtan::NAtan()             { setup("atan",       kFunction, kN1,       kResultScalar, false); }
NAtan2::NAtan2()           { setup("atan2",      kFunction, kA0B1,     kResultScalar, false); }
NAbs::NAbs()               { setup("abs",        kFunction, kN1,       kResultScalar, false); }
NMod::NMod()               { setup("mod",        kFunction, kA1B2,     kResultScalar, false); }
NSqrt::NSqrt()             { setup("sqrt",       kFunction, kN0,       kResultScalar, false); }
NPow::NPow()               { setup("pow",        kFunction, kA1B2,     kResultScalar, false); }
NExp::NExp()               { setup("exp",        kFunction, kN0,       kResultScalar, false); }
NLog::NLog()               { setup("log",        kFunction, kN1,       kResultScalar, false); }
NLogN::NLogN()             { setup("logn",       kFunction, kA1B10,    kResultScalar, false); }
// clang-format on

void NMix::evaluate(NodeEnv& env) const {
    const double t = readScalar(2, env);
    const NodeValue a = skipsFirst(t) ? NodeValue{} : readValue(0, env);
    const NodeValue b = skipsSecond(t) ? NodeValue{} : readValue(1, env);
    outputSlots(env)[0] = f(a, b, t);
}

}  // namespace vx
