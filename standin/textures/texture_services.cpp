// "Texture Functions 3": textures, their layers and the module's contexts,
// and a texture's own data in the host's streams.
#include <algorithm>
#include <atomic>
#include <cmath>

#include "standin/textures/procedural.h"
#include "standin/textures/texture.h"

namespace vxs {

namespace {
constexpr HostBlockId kLayerBlock{HOST_ID4('T', 'L', 'Y', 'R'), "Layer"};
constexpr HostBlockId kLayerTable[] = {kLayerBlock, {0, nullptr}};
constexpr int kMaxNameChars = 256;
constexpr int kMaxLayers = 1024;
constexpr int kMaxKeys = 4096;

void writeFloats(const HostSaveState& s, std::initializer_list<double> values) {
    float v[8];
    int n = 0;
    for (double d : values) v[n++] = static_cast<float>(d);
    s.writeFP(s.data, v, n);
}
void writeInt(const HostSaveState& s, int32_t v) { s.writeI4(s.data, &v, 1); }

// A layer block: what every layer has, then what its type has.
void saveLayer(const TextureLayer& l, const HostSaveState& s) {
    s.beginBlk(s.data, &kLayerBlock);
    s.writeStr(s.data, layerTypeName(l.type));
    s.writeStr(s.data, blendName(l.blend));
    writeFloats(s, {l.group->channel("Opacity").envelope.value});
    writeInt(s, l.invert);
    writeInt(s, l.world);
    writeInt(s, l.reference);
    writeFloats(s, {l.centre[0], l.centre[1], l.centre[2]});
    writeFloats(s, {l.rotation[0], l.rotation[1], l.rotation[2]});
    writeFloats(s, {l.size[0], l.size[1], l.size[2]});
    switch (l.type) {
    case LAYER_PROCEDURAL:
        s.writeStr(s.data, patternName(l.pattern));
        writeFloats(s, {l.colour[0], l.colour[1], l.colour[2]});
        writeFloats(s, {l.colour2[0], l.colour2[1], l.colour2[2]});
        writeInt(s, l.octaves);
        break;
    case LAYER_IMAGE:
        s.writeStr(s.data, projectionName(l.projection));
        writeInt(s, l.axis);
        writeFloats(s, {l.repeatU, l.repeatV});
        s.writeStr(s.data, l.uvMap.c_str());
        break;
    default:
        s.writeStr(s.data, l.input.c_str());
        writeInt(s, l.inputItem);
        s.writeStr(s.data, l.weightMap.c_str());
        writeInt(s, static_cast<int32_t>(l.keys.size()));
        for (const GradientKey& k : l.keys) writeFloats(s, {k.position, k.colour[0], k.colour[1], k.colour[2], k.alpha});
    }
    s.endBlk(s.data);
}

struct Reader {
    const HostLoadState& s;
    bool ok = true;
    std::string text() {
        char buf[kMaxNameChars + 1];
        ok = ok && s.readStr(s.data, buf, sizeof buf) >= 0;
        return ok ? buf : "";
    }
    int32_t integer() {
        int32_t v = 0;
        ok = ok && s.readI4(s.data, &v, 1) == 1;
        return v;
    }
    template <size_t N>
    void floats(double (&out)[N]) {
        float v[N];
        ok = ok && s.readFP(s.data, v, N) == static_cast<int>(N);
        for (size_t i = 0; ok && i < N; ++i) out[i] = v[i];
    }
    Triple triple() {
        double v[3] = {};
        floats(v);
        return {v[0], v[1], v[2]};
    }
    double one() {
        double v[1] = {};
        floats(v);
        return v[0];
    }
};

// False when the block ends early or names an unknown type.
bool loadLayer(TextureLayer& l, const HostLoadState& s) {
    Reader r{s};
    l.type = layerTypeByName(r.text());
    l.blend = std::max(blendByName(r.text()), 0);
    l.setOpacity(r.one());
    l.invert = r.integer() != 0;
    l.world = r.integer() != 0;
    l.reference = r.integer();
    l.centre = r.triple();
    l.rotation = r.triple();
    l.size = r.triple();
    switch (l.type) {
    case LAYER_PROCEDURAL:
        l.pattern = std::max(patternByName(r.text()), 0);
        l.colour = r.triple();
        l.colour2 = r.triple();
        l.octaves = r.integer();
        break;
    case LAYER_IMAGE: {
        l.projection = std::max(projectionByName(r.text()), 0);
        l.axis = std::clamp(r.integer(), 0, 2);
        double repeat[2] = {1, 1};
        r.floats(repeat);
        l.repeatU = repeat[0];
        l.repeatV = repeat[1];
        l.uvMap = r.text();
        break;
    }
    case LAYER_GRADIENT: {
        l.input = r.text();
        l.inputItem = r.integer();
        l.weightMap = r.text();
        const int32_t count = r.integer();
        for (int32_t i = 0; r.ok && i < std::min(count, kMaxKeys); ++i) {
            double k[5];
            r.floats(k);
            // A key without a place cannot be ordered among the others.
            if (r.ok && std::isfinite(k[0])) l.keys.push_back({k[0], {k[1], k[2], k[3]}, k[4]});
        }
        std::stable_sort(l.keys.begin(), l.keys.end(), [](const auto& a, const auto& b) { return a.position < b.position; });
        break;
    }
    default: return false;
    }
    return r.ok;
}

std::atomic<HostTextureContext*> gLastContext{nullptr};

HostTextureContext* contextCreate(void* userData, HostTextureTimeFunc time, HostTextureEvalFunc eval,
                                  HostTextureCleanupFunc cleanup) {
    // Contexts live as long as the process, as modules hold them that long.
    auto* ctx = new HostTextureContext{userData, time, eval, cleanup, {}};
    gLastContext = ctx;
    return ctx;
}

void contextAddParam(HostTextureContext* ctx, const HostGradientInput* input) {
    if (!ctx || !input || !input->name) return;
    ctx->inputs.push_back({input->name, *input});
    ctx->inputs.back().input.name = ctx->inputs.back().name.c_str();
}

// The user data, the module's surface, is of no use to the stand-in's textures.
HostTexture* create(int returnType, const char* name, HostTextureContext* context, void*) {
    auto* t = new HostTexture;
    t->returnType = returnType;
    t->name = name ? name : "";
    t->context = context;
    return t;
}

void destroy(HostTexture* t) {
    if (!t) return;
    textureCleanup(*t);
    delete t;
}

void copy(HostTexture* to, const HostTexture* from) {
    if (!to || !from || to == from) return;
    to->layers.clear();
    for (const auto& l : from->layers) to->layers.push_back(std::make_unique<HostTextureLayer>(*l));
}

void newTime(HostTexture* t, double time, int frame) {
    if (t) textureNewTime(*t, time, frame);
}
void cleanup(HostTexture* t) {
    if (t) textureCleanup(*t);
}
void load(HostTexture* t, const HostLoadState* s) {
    if (t && s) loadTexture(*t, *s);
}
void save(const HostTexture* t, const HostSaveState* s) {
    if (t && s) saveTexture(*t, *s);
}
double evaluate(const HostTexture* t, HostTextureSample* sample, double value[3]) {
    return t && sample && value ? evaluateTexture(*t, *sample, value) : 0;
}
void setEnvGroup(HostTexture* t, HostChanGroup* group) {
    if (t) t->envGroup = group;
}
HostTextureLayer* firstLayer(const HostTexture* t) { return t && !t->layers.empty() ? t->layers.front().get() : nullptr; }
HostTextureLayer* nextLayer(const HostTexture* t, const HostTextureLayer* layer) {
    if (!t) return nullptr;
    const auto& all = t->layers;
    const auto it = std::find_if(all.begin(), all.end(), [layer](const auto& l) { return l.get() == layer; });
    return it == all.end() || it + 1 == all.end() ? nullptr : (it + 1)->get();
}
HostChanGroup* layerEnvGroup(const HostTextureLayer* layer) { return layer ? layer->group.get() : nullptr; }
int getLayerParam(const HostTextureLayer* layer, int tag, void* data) {
    if (!layer || !data || tag != HOST_TAG_IMAGE) return 0;
    *static_cast<HostID*>(data) = layer->image;
    return 1;
}
int setLayerParam(HostTextureLayer* layer, int tag, const void* data) {
    if (!layer || !data || tag != HOST_TAG_IMAGE) return 0;
    layer->image = *static_cast<const HostID*>(data);
    return 1;
}

const HostTextureFuncs kTextureFuncs{contextCreate, contextAddParam, create,       destroy,      copy,
                                     newTime,       cleanup,         load,         save,         evaluate,
                                     setEnvGroup,   firstLayer,      nextLayer,    layerEnvGroup, getLayerParam,
                                     setLayerParam};
}  // namespace

// The count comes first: the module's own blocks follow the layers.
void saveTexture(const HostTexture& t, const HostSaveState& s) {
    writeInt(s, static_cast<int32_t>(t.layers.size()));
    for (const auto& l : t.layers) saveLayer(*l, s);
}

void loadTexture(HostTexture& t, const HostLoadState& s) {
    t.layers.clear();
    int32_t count = 0;
    if (s.readI4(s.data, &count, 1) != 1) return;
    for (int32_t i = 0; i < std::min(count, kMaxLayers) && s.findBlk(s.data, kLayerTable); ++i) {
        auto layer = std::make_unique<HostTextureLayer>();
        if (loadLayer(*layer, s)) t.layers.push_back(std::move(layer));
        s.endBlk(s.data);
    }
}

const HostTextureFuncs* textureService() { return &kTextureFuncs; }

HostTextureContext* contextOf(const HostTexture& t) { return t.context ? t.context : gLastContext.load(); }

}  // namespace vxs
