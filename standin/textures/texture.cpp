#include "standin/textures/texture.h"

#include <algorithm>
#include <cmath>

#include "standin/scene/image_file.h"
#include "standin/scene/image_lookup.h"
#include "standin/services/globals.h"
#include "standin/textures/names.h"
#include "standin/textures/procedural.h"

namespace vxs {

bool isHostGradientInput(std::string_view name) {
    return std::find(std::begin(kHostGradientInputs), std::end(kHostGradientInputs), name) !=
           std::end(kHostGradientInputs);
}

namespace {
constexpr const char* kBlends[] = {"normal", "additive", "subtractive", "multiply", "difference"};
constexpr const char* kProjections[] = {"planar", "cubic", "spherical", "cylindrical", "uv"};
constexpr const char* kLayerTypes[] = {"procedural", "image", "gradient"};
constexpr double kPi = 3.141592653589793;


Triple mix(const Triple& a, const Triple& b, double t) {
    return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t};
}

double blendOne(int mode, double below, double over) {
    switch (mode) {
    case BLEND_ADD: return below + over;
    case BLEND_SUBTRACT: return below - over;
    case BLEND_MULTIPLY: return below * over;
    case BLEND_DIFFERENCE: return std::fabs(below - over);
    default: return over;
    }
}

// What one layer lays down at a point: its colour, its value and its alpha.
struct LayerSample {
    Triple colour{};
    double value = 0, alpha = 1;
};

Triple textureSpace(const TextureLayer& l, const HostTexture& t, const Triple& point) {
    Vec3 p = point;
    if (l.reference)
        if (const Item* item = findItem(currentScene(), l.reference)) {
            const Vec3 at = worldTransform(currentScene(), *item, t.time).offset;
            for (int i = 0; i < 3; ++i) p[i] -= at[i];
        }
    for (int i = 0; i < 3; ++i) p[i] -= l.centre[i];
    const Mat turn = rotationHPB(l.rotation);
    Triple q{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) q[i] += turn.linear[j][i] * p[j];  // the inverse turn
        q[i] = l.size[i] != 0 ? q[i] / l.size[i] : 0;
    }
    return q;
}

// The mesh's UVs at the sample, weighted over its surrounding vertices.
bool meshUV(const TextureLayer& l, const HostTextureSample& s, double& u, double& v) {
    const Item* item = findItem(currentScene(), s.objID);
    if (!item) return false;
    for (const VertexMap& map : item->object.mesh.maps) {
        if (map.type != HOST_VMAP_TXUV || (!l.uvMap.empty() && map.name != l.uvMap) || map.dimension < 2) continue;
        u = v = 0;
        for (int i = 0; i < 4; ++i) {
            const auto own = map.polygons.find({s.verts[i], s.polygon});
            const auto shared = map.points.find(s.verts[i]);
            const std::vector<float>* uv = own != map.polygons.end() ? &own->second
                                           : shared != map.points.end() ? &shared->second : nullptr;
            if (!uv || uv->size() < 2) continue;
            u += s.weights[i] * (*uv)[0];
            v += s.weights[i] * (*uv)[1];
        }
        return true;
    }
    return false;
}

void projectedUV(const TextureLayer& l, const HostTextureSample& s, const Triple& q, double& u, double& v) {
    int axis = l.projection == PROJ_CUBIC ? std::clamp(s.axis, 0, 2) : std::clamp(l.axis, 0, 2);
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;  // the two other axes, turning with the axis
    switch (l.projection) {
    case PROJ_UV:
        if (!meshUV(l, s, u, v)) u = v = 0;
        v = 1 - v;  // UVs grow upwards, image rows downwards
        return;
    case PROJ_SPHERICAL:
    case PROJ_CYLINDRICAL: {
        u = std::atan2(q[b], q[a]) / (2 * kPi) + 0.5;
        const double r = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2]);
        v = l.projection == PROJ_SPHERICAL ? 0.5 - (r > 0 ? std::asin(q[axis] / r) : 0) / kPi : 0.5 - q[axis];
        return;
    }
    default:
        u = q[axis == 1 ? 0 : b] + 0.5;
        v = 0.5 - q[axis == 1 ? 2 : a];
    }
}

// `point` is where the layer is asked, in its world or object coordinates.
double gradientInput(const TextureLayer& l, const HostTexture& t, const HostTextureSample& s, const Triple& point) {
    if (l.input == "X Coordinate") return point[0];
    if (l.input == "Y Coordinate") return point[1];
    if (l.input == "Z Coordinate") return point[2];
    if (l.input == "Camera Distance") return s.rayLength;
    if (l.input == "Surface Slope") {
        const double n = std::sqrt(s.wNorm[0] * s.wNorm[0] + s.wNorm[1] * s.wNorm[1] + s.wNorm[2] * s.wNorm[2]);
        return n > 0 ? 1 - s.wNorm[1] / n : 0;
    }
    const HostTextureContext* ctx = t.context;
    if (!ctx || !ctx->eval) return 0;
    for (size_t i = 0; i < ctx->inputs.size(); ++i)
        if (ctx->inputs[i].name == l.input) {
            const HostGradientChoice choice{l.inputItem, l.weightMap.empty() ? nullptr : l.weightMap.c_str()};
            return ctx->eval(&choice, static_cast<int>(i) + 1, &s, t.timeRecord);
        }
    return 0;
}

LayerSample gradientAt(const TextureLayer& l, double x) {
    LayerSample out;
    const auto& k = l.keys;  // sorted by position
    if (k.empty()) return out;
    const auto next = std::upper_bound(k.begin(), k.end(), x, [](double v, const GradientKey& key) { return v < key.position; });
    const GradientKey& a = next == k.begin() ? k.front() : *(next - 1);
    const GradientKey& b = next == k.end() ? k.back() : *next;
    const double t = b.position > a.position ? (x - a.position) / (b.position - a.position) : 0;
    out.colour = mix(a.colour, b.colour, t);
    out.alpha = a.alpha + (b.alpha - a.alpha) * t;
    out.value = out.colour[0];
    return out;
}

LayerSample layerAt(const TextureLayer& l, const HostTexture& t, const HostTextureSample& s, const Triple& point) {
    LayerSample out;
    const Triple q = textureSpace(l, t, point);
    switch (l.type) {
    case LAYER_PROCEDURAL: {
        const double m = pattern(l.pattern, q, l.octaves);
        out.colour = mix(l.colour2, l.colour, m);
        out.value = m;
        break;
    }
    case LAYER_IMAGE: {
        const Image* image = findImage(currentScene(), l.image);
        if (!image) return {{}, 0, 0};
        double u, v;
        projectedUV(l, s, q, u, v);
        const double spot = s.spotSize / std::max(1e-9, std::max({l.size[0], l.size[1], l.size[2]}));
        const Rgba c = imageSpot(*image, u * l.repeatU, v * l.repeatV, spot, spot > 0);
        out.colour = {c[0], c[1], c[2]};
        out.value = 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2];
        out.alpha = image->hasAlpha ? c[3] : 1;
        break;
    }
    default: out = gradientAt(l, gradientInput(l, t, s, point));
    }
    if (l.invert) {
        for (double& c : out.colour) c = 1 - c;
        out.value = 1 - out.value;
    }
    return out;
}
}  // namespace

TextureLayer::TextureLayer() : group(std::make_unique<HostChanGroup>()) { setOpacity(1); }
TextureLayer::TextureLayer(const TextureLayer& o) : LayerSettings(o), group(std::make_unique<HostChanGroup>()) {
    for (const auto& c : o.group->channels) group->channel(c->name).envelope = c->envelope;
}
TextureLayer& TextureLayer::operator=(const TextureLayer& o) {
    if (this != &o) *this = TextureLayer(o);
    return *this;
}
void TextureLayer::setOpacity(double v) {
    opacity = v;
    group->channel("Opacity").envelope.value = v;
}

int blendByName(std::string_view name) { return indexOf(kBlends, name); }
const char* blendName(int blend) { return kBlends[std::clamp(blend, 0, 4)]; }
int projectionByName(std::string_view name) { return indexOf(kProjections, name); }
const char* projectionName(int projection) { return kProjections[std::clamp(projection, 0, 4)]; }
int layerTypeByName(std::string_view name) { return indexOf(kLayerTypes, name); }
const char* layerTypeName(int type) { return kLayerTypes[std::clamp(type, 0, 2)]; }

double evaluateTexture(const HostTexture& t, HostTextureSample& s, double value[3]) {
    double clear = 1;  // how much of what lay below still shows
    const bool bump = t.returnType == HOST_TEXTURE_BUMP;
    for (const auto& layer : t.layers) {
        const TextureLayer& l = *layer;
        const LayerSample here = layerAt(l, t, s, l.world ? Triple{s.wPos[0], s.wPos[1], s.wPos[2]}
                                                         : Triple{s.oPos[0], s.oPos[1], s.oPos[2]});
        const double a = l.opacity * here.alpha;
        if (bump) {
            // The height's slope by central differences, in world units, so a
            // layer in object space tilts by what it shows in the world.
            const double e = 0.001 * std::max({l.size[0], l.size[1], l.size[2], 1e-6});
            for (int i = 0; i < 3; ++i) {
                Triple lo{s.oPos[0], s.oPos[1], s.oPos[2]}, hi = lo;
                if (l.world) lo = hi = {s.wPos[0], s.wPos[1], s.wPos[2]};
                lo[i] -= e;
                hi[i] += e;
                value[i] += a * (layerAt(l, t, s, hi).value - layerAt(l, t, s, lo).value) / (2 * e);
            }
            s.bumpHeight += a * here.value;
        } else if (t.returnType == HOST_TEXTURE_VALUE) {
            const double v = value[0] + (blendOne(l.blend, value[0], here.value) - value[0]) * a;
            value[0] = value[1] = value[2] = v;
        } else {
            for (int i = 0; i < 3; ++i) value[i] += (blendOne(l.blend, value[i], here.colour[i]) - value[i]) * a;
        }
        clear *= 1 - std::clamp(a, 0.0, 1.0);
    }
    return 1 - clear;
}

void textureNewTime(HostTexture& t, double time, int frame) {
    textureCleanup(t);
    t.time = time;
    if (HostTextureContext* ctx = t.context; ctx && ctx->time) t.timeRecord = ctx->time(ctx->userData, &t, time, frame);
    for (auto& l : t.layers) l->opacity = l->group->channel("Opacity").envelope.at(time);
}

void textureCleanup(HostTexture& t) {
    if (HostTextureContext* ctx = t.context; t.timeRecord && ctx && ctx->cleanup) ctx->cleanup(t.timeRecord);
    t.timeRecord = nullptr;
}

}  // namespace vxs
