// Texture, image and envelope kinds: layered host textures evaluated at the
// sample, host images looked up at UV coordinates, host envelopes at a time.
#pragma once

#include <memory>
#include <string>

#include "core/env.h"
#include "core/host_wrappers.h"
#include "core/node.h"

namespace vx {

// A kind that owns one host texture of the surface it was made for.
template <class Kind>
class TextureKind : public Node {
public:
    std::unique_ptr<Node> createNew() const final { return std::make_unique<Kind>(hostContext_, groupName_.c_str()); }
    void renderCleanup() final { texture_.cleanup(); }
    void newTime(double time, int32_t frame) final { texture_.newTime(time, frame); }
    void copyTo(Node& target) const final {
        if (auto* same = dynamic_cast<Kind*>(&target)) texture_.copyTo(same->texture_);
    }
    bool saveData(const HostSaveState& state) const final {
        texture_.save(state);
        return true;
    }
    bool loadData(const HostLoadState& state) final {
        texture_.load(state);
        return true;
    }
    bool editParameter(InputPort* port) final { return port == &inputs[0] && texture_.openEditor(); }

    const VTexture& texture() const { return texture_; }

protected:
    TextureKind(int returnType, const char* textureName, void* hostContext, const char* groupName);
    // The sample's texture record with the "pos" and "pos_o" inputs put in,
    // the texture evaluated over value; the alpha it reports. A bump texture
    // starts from bump height 0 and leaves its height in the sample.
    double evaluateAt(NodeEnv& env, HostTextureSample& sample, double value[3], bool bump = false) const;

private:
    void* hostContext_;
    std::string groupName_;
    VTexture texture_;
};

class NTextureC final : public TextureKind<NTextureC> {
public:
    NTextureC(void* hostContext, const char* groupName);
    void evaluate(NodeEnv& env) const override;
};

class NTextureV final : public TextureKind<NTextureV> {
public:
    NTextureV(void* hostContext, const char* groupName);
    void evaluate(NodeEnv& env) const override;
};

class NTextureB final : public TextureKind<NTextureB> {
public:
    NTextureB(void* hostContext, const char* groupName);
    void evaluate(NodeEnv& env) const override;
};

class NImageC final : public NodeKind<NImageC> {
public:
    NImageC();
    void evaluate(NodeEnv& env) const override;
};

class NImageV final : public NodeKind<NImageV> {
public:
    NImageV();
    void evaluate(NodeEnv& env) const override;
};

// A kind that owns one host envelope, made on first use.
template <class Kind>
class EnvelopeKind : public Node {
public:
    std::unique_ptr<Node> createNew() const final { return std::make_unique<Kind>(hostContext_, groupName_.c_str()); }
    void copyTo(Node& target) const final {
        if (auto* same = dynamic_cast<Kind*>(&target)) envelope_.param().copyTo(same->envelope_.param());
    }
    bool saveData(const HostSaveState& state) const final {
        envelope_.param().save(state);
        return true;
    }
    bool loadData(const HostLoadState& state) final {
        envelope_.param().load(state);
        return true;
    }
    bool openEditor() final {
        envelope_.param().openEditor();
        return true;
    }

    const VEnvelope& envelope() const { return envelope_; }

protected:
    EnvelopeKind(int type, const char* name, void* hostContext, const char* groupName);
    // The envelope at the "time" input, or at the sample's time when unlinked.
    NodeValue valueNow(NodeEnv& env) const;

private:
    void* hostContext_;
    std::string groupName_;
    VEnvelope envelope_;
};

class NEnvelopeC final : public EnvelopeKind<NEnvelopeC> {
public:
    NEnvelopeC(void* hostContext, const char* groupName);
    void evaluate(NodeEnv& env) const override;
};

class NEnvelopeV final : public EnvelopeKind<NEnvelopeV> {
public:
    NEnvelopeV(void* hostContext, const char* groupName);
    void evaluate(NodeEnv& env) const override;
};

}  // namespace vx
