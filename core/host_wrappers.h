// Owners of the host's textures, variant parameters and envelopes, and the
// blocks in which a tree stores them: "PTEX" for a texture (its layers'
// envelopes in "IENV", their images in "IREF"), "VPRM"/"VENV" for a variant
// parameter.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "core/value.h"
#include "host/texture_services.h"

namespace vx {

const HostTextureFuncs* textureFuncs();
const HostVParmFuncs* vparmFuncs();
const HostEnvelopes* envelopeFuncs();

// A channel group named `name` under the surface's own group when there is a
// surface, else at the top level; null without "Animation Envelopes".
HostChanGroup* makeChannelGroup(void* surface, const char* name);

class VTexture {
public:
    // `owner` is the surface the texture serves (null for none).
    VTexture(int returnType, const char* name, HostTextureContext* context, void* owner, const char* groupName);
    virtual ~VTexture();
    VTexture(const VTexture&) = delete;
    VTexture& operator=(const VTexture&) = delete;

    HostTexture* texture() const { return texture_; }
    void* owner() const { return owner_; }
    // Blends the layers over value in place; the alpha, or -1 when there is
    // no host texture to ask.
    double evaluate(HostTextureSample& sample, double value[3]) const;
    void newTime(double time, int32_t frame);
    void cleanup();
    void copyTo(VTexture& target) const;
    void save(const HostSaveState& state) const;
    void load(const HostLoadState& state);
    bool openEditor();

private:
    HostTexture* texture_ = nullptr;
    HostChanGroup* group_ = nullptr;
    HostTextureEditorID* editor_ = nullptr;
    void* owner_;
};

class VParam {
public:
    VParam(int type, const char* name, HostChanGroup* group, HostTextureContext* context, void* owner);
    virtual ~VParam();
    VParam(const VParam&) = delete;
    VParam& operator=(const VParam&) = delete;

    HostVParm* parm() const { return parm_; }
    NodeValue value(double time, int32_t frame) const;
    void copyTo(VParam& target) const;
    void save(const HostSaveState& state) const;
    void load(const HostLoadState& state);
    void openEditor();

private:
    HostVParm* parm_ = nullptr;
    HostChanGroup* group_;
    HostChanGroup* ownGroup_ = nullptr;  // a colour's sub-group
};

// An animated value or colour, made on first use (the first use may come
// from several render threads at once).
class VEnvelope {
public:
    VEnvelope(int type, void* surface, std::string groupName);
    ~VEnvelope();
    VEnvelope(const VEnvelope&) = delete;
    VEnvelope& operator=(const VEnvelope&) = delete;
    VParam& param() const;

private:
    int type_;
    void* surface_;
    std::string groupName_;
    mutable std::once_flag made_;
    mutable HostChanGroup* group_ = nullptr;
    mutable std::unique_ptr<VParam> param_;
};

}  // namespace vx
