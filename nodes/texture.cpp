#include "nodes/texture.h"

#include "core/evaluate.h"
#include "host/host.h"
#include "nodes/texture_context.h"

namespace vx {

namespace {
constexpr const char* kTexture = "Texture";

// clang-format off
constexpr InputDecl kTexColIn[] = {{"tex", VT_SCALAR, PK_TEXTURE, 0}, {"base_col", VT_COLOR, PK_COLOR, 1},
                                   {"pos", VT_VECTOR, PK_NONE, 1}, {"pos_o", VT_VECTOR, PK_NONE, 1}, {nullptr}};
constexpr InputDecl kTexValIn[] = {{"tex", VT_SCALAR, PK_TEXTURE, 0}, {"base_val", VT_SCALAR, PK_PERCENT, 1},
                                   {"pos", VT_VECTOR, PK_NONE, 1}, {"pos_o", VT_VECTOR, PK_NONE, 1}, {nullptr}};
constexpr InputDecl kTexBumpIn[] = {{"tex", VT_SCALAR, PK_TEXTURE, 0}, {"amp", VT_SCALAR, PK_PERCENT, 1, NodeValue::scalar(1)},
                                    {"base_norm", VT_VECTOR, PK_NONE, 1}, {"pos", VT_VECTOR, PK_NONE, 1},
                                    {"pos_o", VT_VECTOR, PK_NONE, 1}, {nullptr}};
constexpr InputDecl kImageIn[] = {{"image", VT_ANY, PK_IMAGE, 0}, {"uv", VT_VECTOR, PK_VECTOR, 1},
                                  {"spot", VT_SCALAR, PK_NUMBER, 1, NodeValue::scalar(0.001)}, {nullptr}};
constexpr InputDecl kTimeIn[] = {{"time", VT_SCALAR, PK_NONE, 1}, {nullptr}};

constexpr OutputDecl kColAlphaOut[] = {{"col", VT_COLOR}, {"alpha", VT_SCALAR}, {nullptr}};
constexpr OutputDecl kValAlphaOut[] = {{"val", VT_SCALAR}, {"alpha", VT_SCALAR}, {nullptr}};
constexpr OutputDecl kBumpOut[]     = {{"norm", VT_VECTOR}, {"bump_h", VT_SCALAR}, {nullptr}};
constexpr OutputDecl kColOut[]      = {{"col", VT_COLOR}, {nullptr}};
constexpr OutputDecl kValOut[]      = {{"val", VT_SCALAR}, {nullptr}};
// clang-format on

// Black and alpha 1 when there is no image or no image list to ask.
void lookupImage(const Node& node, NodeEnv& env, bool luma, NodeValue& colour, double& alpha) {
    const NodeValue uv = node.readValue(1, env);
    const double s = node.readScalar(2, env);
    const HostID image = node.inputs[0].param.intValue;
    const HostImageList* images = host().imageList;
    colour = {};
    alpha = 1;
    if (!image || !images || !images->spotColor || !images->spotLuma) return;
    const int blend = s > 0;
    const double spot = blend ? s : 0;
    if (luma) {
        colour = NodeValue::scalar(images->spotLuma(image, uv.x, uv.y, spot, blend));
    } else {
        double rgb[3] = {};
        images->spotColor(image, uv.x, uv.y, spot, blend, rgb);
        colour = fromArray(rgb);
    }
    if (images->hasAlpha && images->spotAlpha && images->hasAlpha(image))
        alpha = images->spotAlpha(image, uv.x, uv.y, spot, blend);
}
}  // namespace

template <class Kind>
TextureKind<Kind>::TextureKind(int returnType, const char* textureName, void* hostContext, const char* groupName)
    : hostContext_(hostContext),
      groupName_(groupName ? groupName : ""),
      texture_(returnType, textureName, textureContext(), hostContext, groupName_.c_str()) {}

template <class Kind>
double TextureKind<Kind>::evaluateAt(NodeEnv& env, HostTextureSample& sample, double value[3], bool bump) const {
    const int pos = static_cast<int>(inputs.size()) - 2;  // "pos" and "pos_o" close every table
    sample = env.textureSample ? textureSample(env) : HostTextureSample{};
    if (bump) sample.bumpHeight = 0;
    if (inputs[pos].source) toArray(sample.wPos, readValue(pos, env));
    if (inputs[pos + 1].source) toArray(sample.oPos, readValue(pos + 1, env));
    const double alpha = texture_.evaluate(sample, value);
    return alpha < 0 ? 0 : alpha;
}

NTextureC::NTextureC(void* hostContext, const char* groupName)
    : TextureKind(HOST_TEXTURE_COLOR, "color texture", hostContext, groupName) {
    setup("tex_col", kTexture, kTexColIn, kColAlphaOut, false);
}

void NTextureC::evaluate(NodeEnv& env) const {
    double value[3];
    toArray(value, readValue(1, env));
    HostTextureSample sample;
    const double alpha = evaluateAt(env, sample, value);
    NodeValue* out = outputSlots(env);
    out[0] = fromArray(value);
    out[1] = NodeValue::scalar(alpha);
}

NTextureV::NTextureV(void* hostContext, const char* groupName)
    : TextureKind(HOST_TEXTURE_VALUE, "value texture", hostContext, groupName) {
    setup("tex_val", kTexture, kTexValIn, kValAlphaOut, false);
}

void NTextureV::evaluate(NodeEnv& env) const {
    const double b = readScalar(1, env);
    double value[3] = {b, b, b};
    HostTextureSample sample;
    const double alpha = evaluateAt(env, sample, value);
    NodeValue* out = outputSlots(env);
    out[0] = NodeValue::scalar(value[0]);
    out[1] = NodeValue::scalar(alpha);
}

NTextureB::NTextureB(void* hostContext, const char* groupName)
    : TextureKind(HOST_TEXTURE_BUMP, "bump texture", hostContext, groupName) {
    setup("tex_bump", kTexture, kTexBumpIn, kBumpOut, false);
}

void NTextureB::evaluate(NodeEnv& env) const {
    const double amp = readScalar(1, env);
    const NodeValue base = normalized(readValue(2, env));
    double gradient[3] = {0, 0, 0};
    HostTextureSample sample;
    evaluateAt(env, sample, gradient, true);
    NodeValue* out = outputSlots(env);
    out[0] = normalized(base - fromArray(gradient) * amp);
    out[1] = NodeValue::scalar(sample.bumpHeight);
}

NImageC::NImageC() { setup("img_col", kTexture, kImageIn, kColAlphaOut, false); }

void NImageC::evaluate(NodeEnv& env) const {
    NodeValue colour;
    double alpha;
    lookupImage(*this, env, false, colour, alpha);
    NodeValue* out = outputSlots(env);
    out[0] = colour;
    out[1] = NodeValue::scalar(alpha);
}

NImageV::NImageV() { setup("img_val", kTexture, kImageIn, kValAlphaOut, false); }

void NImageV::evaluate(NodeEnv& env) const {
    NodeValue value;
    double alpha;
    lookupImage(*this, env, true, value, alpha);
    NodeValue* out = outputSlots(env);
    out[0] = value;
    out[1] = NodeValue::scalar(alpha);
}

template <class Kind>
EnvelopeKind<Kind>::EnvelopeKind(int type, const char* name, void* hostContext, const char* groupName)
    : hostContext_(hostContext), groupName_(groupName ? groupName : ""), envelope_(type, hostContext, groupName_) {
    setup(name, kTexture, kTimeIn, type == HOST_VP_COLOR ? kColOut : kValOut, false);
}

template <class Kind>
NodeValue EnvelopeKind<Kind>::valueNow(NodeEnv& env) const {
    const double t = inputs[0].source ? readScalar(0, env) : env.time;
    return envelope_.param().value(t, 0);
}

NEnvelopeC::NEnvelopeC(void* hostContext, const char* groupName)
    : EnvelopeKind(HOST_VP_COLOR, "env_col", hostContext, groupName) {}

void NEnvelopeC::evaluate(NodeEnv& env) const { outputSlots(env)[0] = valueNow(env); }

NEnvelopeV::NEnvelopeV(void* hostContext, const char* groupName)
    : EnvelopeKind(HOST_VP_VALUE, "env_val", hostContext, groupName) {}

void NEnvelopeV::evaluate(NodeEnv& env) const { outputSlots(env)[0] = NodeValue::scalar(valueNow(env).x); }

}  // namespace vx
