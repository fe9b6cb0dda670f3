#include "standin/textures/vparm.h"

#include "standin/textures/envelope_window.h"

namespace vxs {

namespace {
constexpr const char* kElementNames[3] = {".R", ".G", ".B"};

HostVParm* create(int type, HostTextureContext*) {
    auto* parm = new HostVParm;
    parm->type = type;
    return parm;
}
void destroy(HostVParm* parm) {
    if (parm) forgetEnvelopeEditor(*parm);
    delete parm;
}

void setup(HostVParm* parm, const char* name, HostChanGroup* group) {
    if (!parm || !group) return;
    const std::string base = name ? name : "";
    const int n = vparmElements(*parm);
    for (int i = 0; i < n; ++i) {
        parm->channels[i] = &group->channel(n == 1 ? base : base + kElementNames[i]);
        parm->channels[i]->envelope.value = parm->value[i];
    }
}

void copy(HostVParm* to, const HostVParm* from) {
    if (!to || !from) return;
    for (int i = 0; i < 3; ++i) {
        to->value[i] = from->value[i];
        if (to->channels[i] && from->channels[i]) to->channels[i]->envelope = from->channels[i]->envelope;
    }
    to->state = from->state;
}

void save(const HostVParm* parm, const HostSaveState* s) {
    if (!parm || !s) return;
    float v[3] = {static_cast<float>(parm->value[0]), static_cast<float>(parm->value[1]), static_cast<float>(parm->value[2])};
    s->writeFP(s->data, v, vparmElements(*parm));
    s->writeI4(s->data, &parm->state, 1);
}

void load(HostVParm* parm, const HostLoadState* s) {
    if (!parm || !s) return;
    float v[3];
    int32_t state = 0;
    const int n = vparmElements(*parm);
    if (s->readFP(s->data, v, n) != n || s->readI4(s->data, &state, 1) != 1) return;
    for (int i = 0; i < n; ++i) parm->value[i] = v[i];
    // Textured parameters are not offered, so a stored texture flag is dropped.
    parm->state = state & HOST_VPS_ENVELOPED;
}

void getValue(const HostVParm* parm, double time, int, double out[3]) {
    if (parm) vparmValue(*parm, time, out);
}

void setValue(HostVParm* parm, const double in[3]) {
    if (!parm || !in) return;
    for (int i = 0; i < 3; ++i) {
        parm->value[i] = in[i];
        if (parm->channels[i]) parm->channels[i]->envelope.value = in[i];
    }
}

int getState(const HostVParm* parm) { return parm ? parm->state : 0; }
void setState(HostVParm* parm, int state) {
    if (parm) parm->state = state;
}
void editEnvelopes(HostVParm* parm) {
    if (parm) openEnvelopeEditor(*parm);
}

void getEnvelopes(const HostVParm* parm, HostEnvelope* out[3]) {
    for (int i = 0; i < 3; ++i)
        out[i] = parm && parm->channels[i] ? reinterpret_cast<HostEnvelope*>(&parm->channels[i]->envelope) : nullptr;
}

HostTexture* getTexture(const HostVParm*) { return nullptr; }

const HostVParmFuncs kVParm{create,   destroy,  setup,         copy,         save,      load,      getValue,
                            setValue, getState, setState,      editEnvelopes, getEnvelopes, getTexture};
}  // namespace

int vparmElements(const HostVParm& parm) { return parm.type == HOST_VP_COLOR ? 3 : 1; }

void vparmValue(const HostVParm& parm, double time, double out[3]) {
    const int n = vparmElements(parm);
    for (int i = 0; i < 3; ++i) {
        const int e = i < n ? i : 0;
        const HostChannel* c = parm.channels[e];
        out[i] = (parm.state & HOST_VPS_ENVELOPED) && c ? c->envelope.at(time) : parm.value[e];
    }
}

const HostVParmFuncs* vparmService() { return &kVParm; }

}  // namespace vxs
