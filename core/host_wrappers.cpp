#include "core/host_wrappers.h"

#include <atomic>
#include <cstdio>
#include <vector>

#include "core/persist.h"
#include "host/host.h"

namespace vx {

namespace {

constexpr int32_t kBlockVersion = 256;
constexpr HostBlockId kTextureBlock{HOST_ID4('P', 'T', 'E', 'X'), "Texture"};
constexpr HostBlockId kEnvListBlock{HOST_ID4('I', 'E', 'N', 'V'), "ImageEnvelope"};
constexpr HostBlockId kEnvDataBlock{HOST_ID4('I', 'E', 'N', 'V'), "ImageEnvelopeData"};
constexpr HostBlockId kRefListBlock{HOST_ID4('I', 'R', 'E', 'F'), "ImageRef"};
constexpr HostBlockId kValueBlock{HOST_ID4('I', 'V', 'A', 'L'), "ImageRefValue"};
constexpr HostBlockId kParmBlock{HOST_ID4('V', 'P', 'R', 'M'), "Vparam"};
constexpr HostBlockId kParmEnvBlock{HOST_ID4('V', 'E', 'N', 'V'), "VparamEnv"};

// Tables of one block for findBlk.
struct OneBlock {
    HostBlockId table[2];
    explicit constexpr OneBlock(HostBlockId id) : table{id, {0, nullptr}} {}
};

const HostChannelInfo* channelInfo() {
    const HostGlobalFunc lookup = host().lookup;
    return lookup ? static_cast<const HostChannelInfo*>(lookup(HOST_GLOBAL_CHANNEL_INFO, 0)) : nullptr;
}

const HostTextureEditor* textureEditor() {
    const HostGlobalFunc lookup = host().lookup;
    return lookup ? static_cast<const HostTextureEditor*>(lookup(HOST_GLOBAL_TEXTURE_EDITOR, 0)) : nullptr;
}

void writeValue(const HostSaveState& s, int32_t v) {
    s.beginBlk(s.data, &kValueBlock);
    s.writeI4(s.data, &v, 1);
    s.endBlk(s.data);
}

bool readValue(const HostLoadState& s, int32_t& v) {
    static constexpr OneBlock kTable{kValueBlock};
    if (!s.findBlk(s.data, kTable.table)) return false;
    const bool read = s.readI4(s.data, &v, 1) == 1;
    s.endBlk(s.data);
    return read;
}

// Every layer of the texture, in texture order.
std::vector<HostTextureLayer*> layers(const HostTexture* texture) {
    std::vector<HostTextureLayer*> out;
    const HostTextureFuncs* tf = textureFuncs();
    if (!tf || !texture || !tf->firstLayer || !tf->nextLayer) return out;
    for (HostTextureLayer* l = tf->firstLayer(texture); l; l = tf->nextLayer(texture, l)) out.push_back(l);
    return out;
}

// The envelopes on the channels of every layer's envelope group.
std::vector<HostEnvelope*> layerEnvelopes(const HostTexture* texture) {
    std::vector<HostEnvelope*> out;
    const HostTextureFuncs* tf = textureFuncs();
    const HostChannelInfo* ci = channelInfo();
    if (!ci || !tf || !tf->layerEnvGroup) return out;
    for (const HostTextureLayer* layer : layers(texture)) {
        const HostChanGroup* group = tf->layerEnvGroup(layer);
        if (!group) continue;
        for (HostChannel* c = ci->nextChannel(group, nullptr); c; c = ci->nextChannel(group, c))
            if (HostEnvelope* e = ci->channelEnvelope(c)) out.push_back(e);
    }
    return out;
}

HostID layerImage(const HostTextureLayer* layer) {
    const HostTextureFuncs* tf = textureFuncs();
    HostID image = 0;
    if (tf->getLayerParam) tf->getLayerParam(layer, HOST_TAG_IMAGE, &image);
    return image;
}

void saveLayerEnvelopes(const HostSaveState& s, const HostTexture* texture) {
    const std::vector<HostEnvelope*> envelopes = layerEnvelopes(texture);
    const HostEnvelopes* ef = envelopeFuncs();
    s.beginBlk(s.data, &kEnvListBlock);
    writeValue(s, ef ? static_cast<int32_t>(envelopes.size()) : 0);
    for (const HostEnvelope* e : envelopes) {
        if (!ef) break;
        s.beginBlk(s.data, &kEnvDataBlock);
        ef->save(e, &s);
        s.endBlk(s.data);
    }
    s.endBlk(s.data);
}

void loadLayerEnvelopes(const HostLoadState& s, const HostTexture* texture) {
    static constexpr OneBlock kList{kEnvListBlock}, kData{kEnvDataBlock};
    if (!s.findBlk(s.data, kList.table)) return;
    int32_t count = 0;
    const HostEnvelopes* ef = envelopeFuncs();
    if (readValue(s, count) && ef) {
        const std::vector<HostEnvelope*> envelopes = layerEnvelopes(texture);
        for (int32_t i = 0; i < count && static_cast<size_t>(i) < envelopes.size() && s.findBlk(s.data, kData.table); ++i) {
            ef->load(envelopes[static_cast<size_t>(i)], &s);
            s.endBlk(s.data);
        }
    }
    s.endBlk(s.data);
}

void saveLayerImages(const HostSaveState& s, const HostTexture* texture) {
    std::vector<std::pair<int32_t, HostID>> used;
    int32_t index = 0;
    for (const HostTextureLayer* layer : layers(texture)) {
        if (const HostID image = layerImage(layer)) used.push_back({index, image});
        ++index;
    }
    s.beginBlk(s.data, &kRefListBlock);
    writeValue(s, static_cast<int32_t>(used.size()));
    for (const auto& [i, image] : used) {
        writeValue(s, i);
        saveImageRef(s, image);
    }
    s.endBlk(s.data);
}

void loadLayerImages(const HostLoadState& s, const HostTexture* texture) {
    static constexpr OneBlock kList{kRefListBlock};
    if (!s.findBlk(s.data, kList.table)) return;
    int32_t count = 0;
    if (readValue(s, count)) {
        const std::vector<HostTextureLayer*> all = layers(texture);
        const HostTextureFuncs* tf = textureFuncs();
        int32_t index = -1;
        for (int32_t i = 0; i < count && readValue(s, index); ++i) {
            const HostID image = loadImageRef(s);
            if (index >= 0 && static_cast<size_t>(index) < all.size() && tf->setLayerParam)
                tf->setLayerParam(all[static_cast<size_t>(index)], HOST_TAG_IMAGE, &image);
        }
    }
    s.endBlk(s.data);
}

// What follows a texture's own data: its layers' envelopes and images.
void saveLayerBlocks(const HostSaveState& s, const HostTexture* texture) {
    saveLayerEnvelopes(s, texture);
    saveLayerImages(s, texture);
}

void loadLayerBlocks(const HostLoadState& s, const HostTexture* texture) {
    loadLayerEnvelopes(s, texture);
    loadLayerImages(s, texture);
}

// The envelopes a parameter stores: the first when there is one, the second
// and third only when both are there.
std::vector<HostEnvelope*> storedEnvelopes(const HostVParm* parm) {
    HostEnvelope* env[3] = {};
    vparmFuncs()->getEnvelopes(parm, env);
    std::vector<HostEnvelope*> out;
    if (env[0]) out.push_back(env[0]);
    if (env[1] && env[2]) out.insert(out.end(), {env[1], env[2]});
    return out;
}

void autoSize(void* owner, double min[3], double max[3]) {
    // The host gives no extent of a surface, so projections fit the unit box
    // around the origin whatever the owner.
    (void)owner;
    for (int i = 0; i < 3; ++i) {
        min[i] = -0.5;
        max[i] = 0.5;
    }
}

std::atomic<uint32_t> gNextGroupNumber{1};

}  // namespace

const HostTextureFuncs* textureFuncs() { return static_cast<const HostTextureFuncs*>(host().textureFuncs); }
const HostVParmFuncs* vparmFuncs() { return static_cast<const HostVParmFuncs*>(host().vparmFuncs); }
const HostEnvelopes* envelopeFuncs() { return static_cast<const HostEnvelopes*>(host().envelopes); }

HostChanGroup* makeChannelGroup(void* surface, const char* name) {
    const HostEnvelopes* ef = envelopeFuncs();
    if (!ef) return nullptr;
    const HostSurfaceFuncs* sf = host().surfaceFuncs;
    HostChanGroup* parent = surface && sf && sf->chanGroup ? static_cast<HostChanGroup*>(sf->chanGroup(surface)) : nullptr;
    return ef->createGroup(parent, name);
}

VTexture::VTexture(int returnType, const char* name, HostTextureContext* context, void* owner, const char* groupName)
    : owner_(owner) {
    const HostTextureFuncs* tf = textureFuncs();
    if (!tf) return;
    texture_ = tf->create(returnType, name, context, owner);
    group_ = makeChannelGroup(owner, groupName);
    if (texture_ && group_) tf->setEnvGroup(texture_, group_);
}

VTexture::~VTexture() {
    if (const HostTextureEditor* ed = textureEditor(); ed && editor_) {
        if (ed->isOpen(editor_)) ed->close(editor_);
        ed->unsubscribe(editor_);
    }
    if (texture_) textureFuncs()->destroy(texture_);
    if (group_) envelopeFuncs()->destroyGroup(group_);
}

double VTexture::evaluate(HostTextureSample& sample, double value[3]) const {
    return texture_ ? textureFuncs()->evaluate(texture_, &sample, value) : -1.0;
}

void VTexture::newTime(double time, int32_t frame) {
    if (texture_) textureFuncs()->newTime(texture_, time, frame);
}

void VTexture::cleanup() {
    if (texture_) textureFuncs()->cleanup(texture_);
}

void VTexture::copyTo(VTexture& target) const {
    if (texture_ && target.texture_) textureFuncs()->copy(target.texture_, texture_);
}

void VTexture::save(const HostSaveState& s) const {
    s.beginBlk(s.data, &kTextureBlock);
    const int32_t version = kBlockVersion;
    s.writeI4(s.data, &version, 1);
    if (texture_) textureFuncs()->save(texture_, &s);
    saveLayerBlocks(s, texture_);
    s.endBlk(s.data);
}

void VTexture::load(const HostLoadState& s) {
    static constexpr OneBlock kTable{kTextureBlock};
    if (!s.findBlk(s.data, kTable.table)) return;
    int32_t version = 0;
    if (s.readI4(s.data, &version, 1) == 1 && version == kBlockVersion && texture_) {
        textureFuncs()->load(texture_, &s);
        loadLayerBlocks(s, texture_);
    }
    s.endBlk(s.data);
}

bool VTexture::openEditor() {
    const HostTextureEditor* ed = textureEditor();
    if (!ed || !texture_) return true;
    if (!editor_) editor_ = ed->subscribe("", 30, owner_, autoSize);
    if (!editor_) return true;
    if (ed->isOpen(editor_)) ed->close(editor_);
    ed->open(editor_, texture_, "");
    return true;
}

VParam::VParam(int type, const char* name, HostChanGroup* group, HostTextureContext* context, void* owner)
    : group_(group) {
    (void)owner;  // the host keeps no owner for a parameter
    const HostVParmFuncs* vf = vparmFuncs();
    if (!vf) return;
    parm_ = vf->create(type, context);
    if (!parm_) return;
    HostChanGroup* home = group;
    if (type == HOST_VP_COLOR && envelopeFuncs()) {
        char sub[96];
        std::snprintf(sub, sizeof sub, "%s_%08x", name, gNextGroupNumber.fetch_add(1));
        home = ownGroup_ = envelopeFuncs()->createGroup(group, sub);
    }
    vf->setup(parm_, name, home);
    const double zero[3] = {0, 0, 0};
    vf->setValue(parm_, zero);
    if (const int state = vf->getState(parm_); !(state & HOST_VPS_ENVELOPED)) vf->setState(parm_, state | HOST_VPS_ENVELOPED);
}

VParam::~VParam() {
    if (parm_) vparmFuncs()->destroy(parm_);
    if (ownGroup_) envelopeFuncs()->destroyGroup(ownGroup_);
}

NodeValue VParam::value(double time, int32_t frame) const {
    double v[3] = {0, 0, 0};
    if (parm_) vparmFuncs()->getValue(parm_, time, frame, v);
    return fromArray(v);
}

void VParam::copyTo(VParam& target) const {
    if (parm_ && target.parm_) vparmFuncs()->copy(target.parm_, parm_);
}

void VParam::save(const HostSaveState& s) const {
    s.beginBlk(s.data, &kParmBlock);
    const int32_t version = kBlockVersion;
    s.writeI4(s.data, &version, 1);
    if (parm_) {
        const HostVParmFuncs* vf = vparmFuncs();
        vf->save(parm_, &s);
        for (const HostEnvelope* e : storedEnvelopes(parm_)) {
            if (!envelopeFuncs()) break;
            s.beginBlk(s.data, &kParmEnvBlock);
            envelopeFuncs()->save(e, &s);
            s.endBlk(s.data);
        }
        if (vf->getState(parm_) & HOST_VPS_TEXTURED) saveLayerBlocks(s, vf->getTexture(parm_));
    }
    s.endBlk(s.data);
}

void VParam::load(const HostLoadState& s) {
    static constexpr OneBlock kTable{kParmBlock}, kEnvTable{kParmEnvBlock};
    if (!s.findBlk(s.data, kTable.table)) return;
    int32_t version = 0;
    if (s.readI4(s.data, &version, 1) == 1 && version == kBlockVersion && parm_) {
        const HostVParmFuncs* vf = vparmFuncs();
        vf->load(parm_, &s);
        for (HostEnvelope* e : storedEnvelopes(parm_)) {
            if (!envelopeFuncs() || !s.findBlk(s.data, kEnvTable.table)) break;
            envelopeFuncs()->load(e, &s);
            s.endBlk(s.data);
        }
        if (vf->getState(parm_) & HOST_VPS_TEXTURED) loadLayerBlocks(s, vf->getTexture(parm_));
    }
    s.endBlk(s.data);
}

void VParam::openEditor() {
    if (parm_) vparmFuncs()->editEnvelopes(parm_);
}

VEnvelope::VEnvelope(int type, void* surface, std::string groupName)
    : type_(type), surface_(surface), groupName_(std::move(groupName)) {}

VEnvelope::~VEnvelope() {
    param_.reset();
    if (group_) envelopeFuncs()->destroyGroup(group_);
}

VParam& VEnvelope::param() const {
    std::call_once(made_, [this] {
        group_ = makeChannelGroup(surface_, groupName_.c_str());
        param_ = std::make_unique<VParam>(type_, "Envelope", group_, nullptr, surface_);
    });
    return *param_;
}

}  // namespace vx
