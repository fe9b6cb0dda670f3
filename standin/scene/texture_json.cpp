#include "standin/scene/texture_json.h"

#include <algorithm>
#include <numbers>

#include "standin/textures/procedural.h"

namespace vxs {

namespace {
constexpr double kDegree = std::numbers::pi / 180;
constexpr std::size_t kMaxLayers = 64;

// clang-format off
constexpr const char* kChannels[] = {"BaseColor", "Bump", "Luminosity", "Diffuse", "Specularity", "Glossiness",
    "Reflectivity", "Transparency", "IOR", "Translucency", "ColorHighlights", "ColorFilter", "AdditiveTransparency",
    "ReflectionBlurring", "RefractionBlurring"};
// clang-format on

int named(const Fields& f, std::string_view key, int def, int (*byName)(std::string_view)) {
    const Json* v = f.find(key);
    if (!v) return def;
    const int found = byName(textAt(*v, f.at(key)));
    if (found < 0) failAt(f.at(key), "unknown name " + v->dump());
    return found;
}

int axisByName(std::string_view name) { return name == "x" ? 0 : name == "y" ? 1 : name == "z" ? 2 : -1; }

// "X Coordinate", "Y Coordinate", ... in quotes.
std::string hostInputList() {
    std::string out;
    for (const char* name : kHostGradientInputs) out += (out.empty() ? "\"" : ", \"") + std::string(name) + '"';
    return out;
}

GradientKey gradientKey(const Json& v, const std::string& path) {
    const std::vector<float> k = floatsAt(v, path, 5);
    return {k[0], {k[1], k[2], k[3]}, k[4]};
}

void readLayer(const Json& v, const std::string& path, TextureLayer& l, const ImageByName& image,
               std::vector<PendingItemRef>& pending) {
    const Fields f(v, path, {"type", "blend", "opacity", "invert", "world", "reference", "center", "rotation", "size",
                             "pattern", "color", "color2", "octaves", "image", "projection", "axis", "repeat", "uv_map",
                             "input", "keys"});
    l.type = named(f, "type", LAYER_PROCEDURAL, layerTypeByName);
    l.blend = named(f, "blend", BLEND_NORMAL, blendByName);
    if (const Json* o = f.find("opacity")) {
        l.group->channel("Opacity").envelope = readEnvelope(*o, f.at("opacity"));
        l.opacity = l.group->channel("Opacity").envelope.at(0);
    }
    l.invert = f.flag("invert", false);
    l.world = f.flag("world", false);
    if (const Json* r = f.find("reference")) pending.push_back({&l.reference, textAt(*r, f.at("reference")), f.at("reference")});
    l.centre = f.triple("center", l.centre);
    l.rotation = f.triple("rotation", {});
    for (double& a : l.rotation) a *= kDegree;
    l.size = f.triple("size", l.size);
    l.pattern = named(f, "pattern", PAT_CHECKERBOARD, patternByName);
    l.colour = f.triple("color", l.colour);
    l.colour2 = f.triple("color2", l.colour2);
    l.octaves = f.integer("octaves", l.octaves, 1, 16);
    if (const Json* i = f.find("image")) l.image = image(*i, f.at("image"));
    l.projection = named(f, "projection", PROJ_PLANAR, projectionByName);
    l.axis = named(f, "axis", 1, axisByName);
    if (const Json* r = f.find("repeat")) {
        const std::vector<float> rep = floatsAt(*r, f.at("repeat"), 2);
        l.repeatU = rep[0];
        l.repeatV = rep[1];
    }
    l.uvMap = f.text("uv_map", "");
    l.input = f.text("input", l.input);
    if (const Json* keys = f.find("keys")) {
        const std::string at = f.at("keys");
        arrayAt(*keys, at);
        for (std::size_t i = 0; i < keys->size(); ++i) l.keys.push_back(gradientKey((*keys)[i], indexPath(at, i)));
        std::stable_sort(l.keys.begin(), l.keys.end(), [](const auto& a, const auto& b) { return a.position < b.position; });
    }
    if (l.type == LAYER_IMAGE && !f.find("image")) failAt(path, "an image layer needs an \"image\"");
}
}  // namespace

Envelope readEnvelope(const Json& v, const std::string& path) {
    Envelope e;
    if (v.is_number()) {
        e.value = numberAt(v, path);
        return e;
    }
    const Fields f(v, path, {"value", "keys", "pre", "post"});
    e.value = f.number("value", 0);
    e.pre = named(f, "pre", END_CONSTANT, endBehaviour);
    e.post = named(f, "post", END_CONSTANT, endBehaviour);
    if (const Json* keys = f.find("keys")) {
        const std::string at = f.at("keys");
        arrayAt(*keys, at);
        for (std::size_t i = 0; i < keys->size(); ++i) {
            const Fields k((*keys)[i], indexPath(at, i), {"time", "value", "shape", "tension", "continuity", "bias"});
            EnvelopeKey key;
            key.time = numberAt(k.required("time"), k.at("time"));
            key.value = numberAt(k.required("value"), k.at("value"));
            key.shape = named(k, "shape", SHAPE_TCB, keyShape);
            key.tension = k.number("tension", 0);
            key.continuity = k.number("continuity", 0);
            key.bias = k.number("bias", 0);
            e.keys.push_back(key);
        }
        std::stable_sort(e.keys.begin(), e.keys.end(), [](const auto& a, const auto& b) { return a.time < b.time; });
    }
    return e;
}

void readSurfaceTextures(const Json& v, const std::string& path, Surface& surface, const ImageByName& image,
                         std::vector<PendingItemRef>& pending) {
    const Fields f(v, path, std::vector<std::string_view>(std::begin(kChannels), std::end(kChannels)));
    for (const char* channel : kChannels) {
        const Json* t = f.find(channel);
        if (!t) continue;
        const Fields tf(*t, f.at(channel), {"layers"});
        const std::string at = tf.at("layers");
        const Json& layers = arrayAt(tf.required("layers"), at);
        if (layers.size() > kMaxLayers) failAt(at, "more than " + std::to_string(kMaxLayers) + " layers");
        auto texture = std::make_shared<HostTexture>();
        const std::string_view name = channel;
        texture->returnType = name == "BaseColor" ? HOST_TEXTURE_COLOR : name == "Bump" ? HOST_TEXTURE_BUMP : HOST_TEXTURE_VALUE;
        texture->name = channel;
        for (std::size_t i = 0; i < layers.size(); ++i) {
            texture->layers.push_back(std::make_unique<HostTextureLayer>());
            const TextureLayer& l = *texture->layers.back();
            readLayer(layers[i], indexPath(at, i), *texture->layers.back(), image, pending);
            // A surface's own textures have no context: only the host's
            // inputs measure anything there.
            if (l.type == LAYER_GRADIENT && !isHostGradientInput(l.input))
                failAt(keyPath(indexPath(at, i), "input"), "surface \"" + surface.name + "\" cannot use \"" + l.input +
                                                                "\"; its gradient layers take " + hostInputList());
        }
        surface.textures[channel] = std::move(texture);
    }
}

}  // namespace vxs
