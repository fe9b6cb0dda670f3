#include "standin/textures/envelope.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "standin/textures/names.h"

namespace vxs {

namespace {
constexpr const char* kShapes[] = {"tcb", "linear", "stepped"};
constexpr const char* kEnds[] = {"constant", "repeat", "oscillate", "linear"};
constexpr int kMaxKeys = 1 << 16;
constexpr int kMaxNameChars = 64;


// Kochanek-Bartels tangents of the span from key i to key i + 1, scaled to
// that span's length so that uneven spacing keeps the curve smooth.
void tangents(const std::vector<EnvelopeKey>& k, size_t i, double& out0, double& in1) {
    const EnvelopeKey &a = k[i], &b = k[i + 1];
    const double span = b.time - a.time, step = b.value - a.value;
    const double before = i > 0 ? a.value - k[i - 1].value : step;
    const double spanBefore = i > 0 ? a.time - k[i - 1].time : span;
    const double after = i + 2 < k.size() ? k[i + 2].value - b.value : step;
    const double spanAfter = i + 2 < k.size() ? k[i + 2].time - b.time : span;
    out0 = (1 - a.tension) * ((1 + a.continuity) * (1 + a.bias) * before + (1 - a.continuity) * (1 - a.bias) * step) / 2;
    in1 = (1 - b.tension) * ((1 - b.continuity) * (1 + b.bias) * step + (1 + b.continuity) * (1 - b.bias) * after) / 2;
    if (spanBefore + span > 0) out0 *= 2 * span / (spanBefore + span);
    if (span + spanAfter > 0) in1 *= 2 * span / (span + spanAfter);
}

double inside(const std::vector<EnvelopeKey>& k, double t) {
    const auto next = std::upper_bound(k.begin(), k.end(), t, [](double v, const EnvelopeKey& key) { return v < key.time; });
    if (next == k.begin()) return k.front().value;
    if (next == k.end()) return k.back().value;
    const size_t i = static_cast<size_t>(next - k.begin()) - 1;
    const EnvelopeKey &a = k[i], &b = k[i + 1];
    const double s = (t - a.time) / (b.time - a.time);
    switch (b.shape) {
    case SHAPE_STEPPED: return a.value;
    case SHAPE_LINEAR: return a.value + (b.value - a.value) * s;
    default: {
        double m0, m1;
        tangents(k, i, m0, m1);
        const double s2 = s * s, s3 = s2 * s;
        return (2 * s3 - 3 * s2 + 1) * a.value + (s3 - 2 * s2 + s) * m0 + (-2 * s3 + 3 * s2) * b.value + (s3 - s2) * m1;
    }
    }
}

std::mutex gSurfaceLock;
}  // namespace

double Envelope::at(double t) const {
    if (keys.empty()) return value;
    const double t0 = keys.front().time, t1 = keys.back().time, span = t1 - t0;
    if (!std::isfinite(t) || keys.size() == 1) return keys.front().value;
    const bool before = t < t0;
    if (!before && t <= t1) return inside(keys, t);
    const int behaviour = before ? pre : post;
    if (span <= 0 || behaviour == END_CONSTANT) return before ? keys.front().value : keys.back().value;
    if (behaviour == END_LINEAR) {
        const EnvelopeKey &a = before ? keys[0] : keys[keys.size() - 2], &b = before ? keys[1] : keys.back();
        const double slope = (b.value - a.value) / (b.time - a.time);
        return before ? a.value + slope * (t - a.time) : b.value + slope * (t - b.time);
    }
    const double cycles = std::floor((t - t0) / span);
    double local = t - t0 - cycles * span;
    if (behaviour == END_OSCILLATE && std::fmod(std::fabs(cycles), 2.0) == 1.0) local = span - local;
    return inside(keys, t0 + local);
}

int keyShape(std::string_view name) { return indexOf(kShapes, name); }
int endBehaviour(std::string_view name) { return indexOf(kEnds, name); }
const char* keyShapeName(int shape) { return kShapes[std::clamp(shape, 0, 2)]; }
const char* endBehaviourName(int behaviour) { return kEnds[std::clamp(behaviour, 0, 3)]; }

HostChanGroup* surfaceGroup(const void* surface) {
    static std::map<const void*, std::unique_ptr<HostChanGroup>> groups;
    std::lock_guard guard(gSurfaceLock);
    auto& group = groups[surface];
    if (!group) group = std::make_unique<HostChanGroup>();
    return group.get();
}

void saveEnvelope(const Envelope& e, const HostSaveState& s) {
    s.writeStr(s.data, endBehaviourName(e.pre));
    s.writeStr(s.data, endBehaviourName(e.post));
    const float value = static_cast<float>(e.value);
    s.writeFP(s.data, &value, 1);
    const auto count = static_cast<int32_t>(e.keys.size());
    s.writeI4(s.data, &count, 1);
    for (const EnvelopeKey& k : e.keys) {
        const float v[5] = {static_cast<float>(k.time), static_cast<float>(k.value), static_cast<float>(k.tension),
                            static_cast<float>(k.continuity), static_cast<float>(k.bias)};
        s.writeStr(s.data, keyShapeName(k.shape));
        s.writeFP(s.data, v, 5);
    }
}

void loadEnvelope(Envelope& e, const HostLoadState& s) {
    char pre[kMaxNameChars + 1], post[kMaxNameChars + 1];
    float value = 0;
    int32_t count = 0;
    if (s.readStr(s.data, pre, sizeof pre) < 0 || s.readStr(s.data, post, sizeof post) < 0 ||
        s.readFP(s.data, &value, 1) != 1 || s.readI4(s.data, &count, 1) != 1)
        return;
    Envelope read;
    read.pre = std::max(endBehaviour(pre), 0);
    read.post = std::max(endBehaviour(post), 0);
    read.value = value;
    for (int32_t i = 0; i < std::min(count, kMaxKeys); ++i) {
        char shape[kMaxNameChars + 1];
        float v[5];
        if (s.readStr(s.data, shape, sizeof shape) < 0 || s.readFP(s.data, v, 5) != 5) return;
        // A key without a time cannot be ordered among the others.
        if (std::isfinite(v[0])) read.keys.push_back({v[0], v[1], std::max(keyShape(shape), 0), v[2], v[3], v[4]});
    }
    std::stable_sort(read.keys.begin(), read.keys.end(), [](const auto& a, const auto& b) { return a.time < b.time; });
    e = std::move(read);
}

namespace {
HostChanGroup* createGroup(HostChanGroup* parent, const char* name) {
    auto* group = new HostChanGroup;
    group->parent = parent;
    group->name = name ? name : "";
    return group;
}
void destroyGroup(HostChanGroup* group) { delete group; }
void saveService(const HostEnvelope* e, const HostSaveState* s) {
    if (e && s) saveEnvelope(*reinterpret_cast<const Envelope*>(e), *s);
}
void loadService(HostEnvelope* e, const HostLoadState* s) {
    if (e && s) loadEnvelope(*reinterpret_cast<Envelope*>(e), *s);
}
HostChannel* nextChannel(const HostChanGroup* group, const HostChannel* previous) {
    if (!group) return nullptr;
    auto& list = group->channels;
    auto it = list.begin();
    if (previous) {
        it = std::find_if(list.begin(), list.end(), [previous](const auto& c) { return c.get() == previous; });
        if (it != list.end()) ++it;
    }
    return it == list.end() ? nullptr : it->get();
}
HostEnvelope* channelEnvelope(const HostChannel* channel) {
    return channel ? reinterpret_cast<HostEnvelope*>(const_cast<Envelope*>(&channel->envelope)) : nullptr;
}
const HostEnvelopes kEnvelopes{createGroup, destroyGroup, saveService, loadService};
const HostChannelInfo kChannelInfo{nextChannel, channelEnvelope};
}  // namespace

const HostEnvelopes* envelopesService() { return &kEnvelopes; }
const HostChannelInfo* channelInfoService() { return &kChannelInfo; }

}  // namespace vxs

HostChannel& HostChanGroup::channel(std::string_view wanted) {
    for (auto& c : channels)
        if (c->name == wanted) return *c;
    channels.push_back(std::make_unique<HostChannel>());
    channels.back()->name = wanted;
    return *channels.back();
}
