#include "editor/preview.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "core/evaluate.h"
#include "core/host_wrappers.h"
#include "core/macro.h"
#include "core/root.h"
#include "editor/preview_scene.h"
#include "host/host.h"

namespace vx {

namespace {
constexpr double kPixel = 0.015625 * 1.1;  // image-plane width of a pixel
constexpr double kBallRadius2 = 0.25;
constexpr NodeValue kEye{0, 0, -4};
constexpr NodeValue kPlainColor = NodeValue::scalar(0.785);

// What nodes that read the preview light find: two colours, a position and
// two factors.
constexpr double kPreviewLight[11] = {1, 1, 1, 1, 1, 1, -2, 2, -2, 1, 1};


double same(double v) { return v; }

// Scalar surface channels of the record, with a plain grey surface's value
// for a channel the host cannot give.
struct SurfaceChannel {
    const char* name;
    double HostShading::*field;
    double plain;
    double (*toRecord)(double);
};
// clang-format off
constexpr SurfaceChannel kSurfaceChannels[] = {
    {"Luminosity",           &HostShading::luminous,       0,   same},
    {"Diffuse",              &HostShading::diffuse,        1,   same},
    {"Specularity",          &HostShading::specular,       0,   same},
    {"Reflectivity",         &HostShading::mirror,         0,   same},
    {"Transparency",         &HostShading::transparency,   0,   same},
    {"IOR",                  &HostShading::eta,            1,   same},
    {"Glossiness",           &HostShading::roughness,      0.4, roughnessFromGloss},
    {"Translucency",         &HostShading::translucency,   0,   same},
    {"ColorHighlights",      &HostShading::colorHL,        0,   same},
    {"ColorFilter",          &HostShading::colorFL,        0,   same},
    {"AdditiveTransparency", &HostShading::addTransp,      0,   same},
    {"DiffuseSharpness",     &HostShading::diffSharpness,  0,   same},
    {"ReflectionBlurring",   &HostShading::reflectionBlur, 0,   same},
    {"RefractionBlurring",   &HostShading::refractionBlur, 0,   same},
    {"Bump",                 &HostShading::bumpHeight,     0,   same},
};
// clang-format on

// The surface's textures at the ball point, laid over its channels: "Bump"
// first, tilting the normal by its slope, so the others see the tilted one.
void textureChannels(void* surface, HostShading& sa, HostTextureSample& ts) {
    const HostSurfaceFuncs* funcs = host().surfaceFuncs;
    const HostTextureFuncs* tf = textureFuncs();
    if (!surface || !funcs || !funcs->channelTexture || !tf) return;
    const auto texture = [&](const char* name) { return static_cast<const HostTexture*>(funcs->channelTexture(surface, name)); };
    fillTextureSample(sa, ts);
    if (const HostTexture* bump = texture("Bump")) {
        HostTextureSample own = ts;
        own.bumpHeight = 0;
        double slope[3] = {0, 0, 0};
        tf->evaluate(bump, &own, slope);
        const NodeValue n = normalized(fromArray(sa.wNorm) - fromArray(slope));
        toArray(sa.wNorm, n);
        toArray(ts.wNorm, n);
        sa.bumpHeight += own.bumpHeight;
    }
    if (const HostTexture* colour = texture("BaseColor")) tf->evaluate(colour, &ts, sa.color);
    for (const SurfaceChannel& c : kSurfaceChannels) {
        const HostTexture* t = c.field == &HostShading::bumpHeight ? nullptr : texture(c.name);
        if (!t) continue;
        // Glossiness is textured as a glossiness, not as the record's roughness.
        const bool gloss = c.toRecord == roughnessFromGloss;
        double v[3];
        v[0] = v[1] = v[2] = gloss ? glossFromRoughness(sa.*c.field) : sa.*c.field;
        tf->evaluate(t, &ts, v);
        sa.*c.field = gloss ? roughnessFromGloss(v[0]) : v[0];
    }
}

// The part of every ball sample's record that does not depend on the pixel;
// textures are laid over it per pixel.
HostShading surfaceRecord(void* surface) {
    HostShading sa{};
    for (int i = 0; i < 9; i += 4) sa.oXfrm[i] = sa.wXfrm[i] = 1;
    toArray(sa.raySource, kEye);
    sa.spotSize = kPixel;
    const HostSurfaceFuncs* funcs = host().surfaceFuncs;
    const auto channel = [&](const char* name, NodeValue plain) {
        double v[3];
        if (!(surface && funcs && funcs->getChannel && funcs->getChannel(surface, name, v))) toArray(v, plain);
        return fromArray(v);
    };
    toArray(sa.color, channel("BaseColor", kPlainColor));
    for (const SurfaceChannel& c : kSurfaceChannels)
        sa.*c.field = c.toRecord(channel(c.name, NodeValue::scalar(c.plain)).x);
    return sa;
}

void placeOnBall(HostShading& sa, int row, int column, const NodeValue& p, const NodeValue& n) {
    sa.sx = column;
    sa.sy = row;
    toArray(sa.oPos, p);
    toArray(sa.wPos, p);
    toArray(sa.gNorm, n);
    toArray(sa.wNorm, n);
    toArray(sa.wNorm0, n);
    sa.rayLength = length(p - kEye);
    sa.cosine = dot(n, normalized(kEye - p));
}

// Interface time and the frame it falls in.
struct PreviewTime {
    double time = 0;
    int32_t frame = 0;
};

PreviewTime interfaceTime() {
    const HostServices& h = host();
    PreviewTime t;
    if (h.interfaceInfo) t.time = h.interfaceInfo->currentTime();
    if (h.sceneInfo) {
        const double f = std::trunc(t.time * h.sceneInfo->framesPerSecond);
        if (f >= INT32_MIN && f <= INT32_MAX) t.frame = static_cast<int32_t>(f);
    }
    return t;
}

// The scene's ambient light, which the root's shading takes at time 0.
NodeValue ambientLight() {
    const HostLightInfo* lights = host().lightInfo;
    double a[3] = {};
    if (lights && lights->ambient) lights->ambient(0.0, a);
    return fromArray(a);
}

NodeValue trace(const NodeValue& from, const NodeValue& dir) {
    double o[3], d[3], c[3];
    toArray(o, from);
    toArray(d, dir);
    previewTrace(nullptr, o, d, c);
    return fromArray(c);
}

// The material on the ball: the root's channels lit by the scene's lights
// and ambient, with the checker in reflection and refraction.
NodeValue shadeRoot(const Node& root, NodeEnv& env, const PreviewLights& lights, const NodeValue& ambient,
                    const NodeValue& p, const NodeValue& n) {
    const NodeValue* o = gatherRootChannels(root, env);
    const NodeValue cb = o[RI_COLOR], rc = o[RI_REPL_COL];
    const double d = o[RI_DIFF].mean(), s = o[RI_SPEC].mean(), l = o[RI_LUMI].mean();
    const double m = o[RI_REFL].mean(), t = o[RI_TRAN].mean(), eta = o[RI_ETA].mean();
    const double u = o[RI_TRSL].mean(), h = o[RI_C_SPEC].mean(), f = o[RI_C_TRAN].mean();
    const double pct = o[RI_REPL_PER].mean();
    const double exponent = 1 / roughnessFromGloss(o[RI_GLOSS].mean());
    const NodeValue tintHL = NodeValue::scalar(1 - h) + cb * h, tintFL = NodeValue::scalar(1 - f) + cb * f;

    NodeValue sum;
    if (lights.present) {
        const NodeValue view = normalized(p - kEye), toEye = -view;
        NodeValue diffuse, specular, translucent;
        double at[3];
        toArray(at, p);
        for (const PreviewLight& light : lights.lights) {
            double dir[3], col[3];
            if (!env.illuminate(env.callbackData, light.id, at, dir, col)) continue;
            const NodeValue k = fromArray(col), toLight = normalized(-fromArray(dir));
            const NodeValue half = normalized(toLight + toEye);
            diffuse = diffuse + k * std::max(0.0, dot(n, toLight));
            specular = specular + k * std::pow(std::max(0.0, dot(n, half)), exponent);
            translucent = translucent + k * std::max(0.0, dot(-n, toLight));
        }
        sum = ((diffuse + ambient + translucent * u) * d + NodeValue::scalar(l)) * cb * (1 - t);
        sum = sum + specular * tintHL * s;
        sum = sum + trace(p, reflect(view, n)) * tintHL * m;
        sum = sum + trace(p, refract(view, n, 1 / eta)) * t * tintFL;
    }
    return sum * (1 - pct) + rc * pct;
}

// The node's first output, black when it produced none.
NodeValue firstOutput(const Node& node, NodeEnv& env) {
    node.evaluate(env);
    const NodeValue* out = env.cache.find(&node);
    return out && node.outputCount > 0 ? out[0] : NodeValue{};
}

uint8_t toByte(double v) {
    const double b = v * 255;
    return b > 0 ? (b < 255 ? static_cast<uint8_t>(b) : 255) : 0;  // NaN too gives 0
}
}  // namespace

void renderPreview(void* surface, NodeList& list, Node& node) {
    if (!node.preview) node.preview = std::make_unique<uint8_t[]>(kPreviewBytes);
    assignCacheSlots(list);
    renderInitList(list);
    const PreviewTime when = interfaceTime();
    for (const auto& n : list.nodes) n->newTime(when.time, when.frame);

    const HostShading base = surfaceRecord(surface);
    PreviewLights lights = readPreviewLights(when.time);
    const auto* root = dynamic_cast<const NRoot*>(&node);
    const NodeValue ambient = root ? ambientLight() : NodeValue{};
    uint8_t* pixel = node.preview.get();
    for (int row = 0; row < kPreviewSize; ++row) {
        for (int column = 0; column < kPreviewSize; ++column, pixel += 3) {
            const double x = (column - 32) * kPixel, y = (row - 32) * -kPixel;
            NodeValue colour;
            if (x * x + y * y > kBallRadius2) {
                colour = NodeValue::scalar(previewChecker(x, y));
            } else {
                const NodeValue p{x, y, -std::sqrt(kBallRadius2 - x * x - y * y)};
                const NodeValue n = normalized(p);
                HostShading sa = base;
                placeOnBall(sa, row, column, p, n);
                HostTextureSample ts;
                textureChannels(surface, sa, ts);
                NodeEnv env;
                env.isPreview = 1;
                env.hostContext = surface;
                env.previewLight = kPreviewLight;
                env.time = when.time;
                env.normal = fromArray(sa.wNorm);
                env.record = &sa;
                env.textureSample = &ts;
                env.callbackData = &lights;
                env.illuminate = previewIlluminate;
                env.rayTrace = previewTrace;
                env.rayCast = previewCast;
                env.rayShade = previewShade;
                env.itemParam = previewItemParam;
                colour = root ? shadeRoot(*root, env, lights, ambient, p, env.normal) : firstOutput(node, env);
            }
            pixel[0] = toByte(colour.x);
            pixel[1] = toByte(colour.y);
            pixel[2] = toByte(colour.z);
        }
    }
    cleanupTree(list);
}

}  // namespace vx
