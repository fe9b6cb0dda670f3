// Animation envelopes: keyed values over time, and the channel groups that
// hold them. Groups and channels are the handles the service tables pass.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/texture_services.h"

namespace vxs {

enum KeyShape { SHAPE_TCB = 0, SHAPE_LINEAR = 1, SHAPE_STEPPED = 2 };
enum EndBehaviour { END_CONSTANT = 0, END_REPEAT = 1, END_OSCILLATE = 2, END_LINEAR = 3 };

// A key's shape governs the span that ends at it.
struct EnvelopeKey {
    double time = 0, value = 0;
    int shape = SHAPE_TCB;
    double tension = 0, continuity = 0, bias = 0;
};

struct Envelope {
    double value = 0;  // what the envelope gives without keys
    std::vector<EnvelopeKey> keys;  // by time
    int pre = END_CONSTANT, post = END_CONSTANT;
    double at(double time) const;
};

// Names of shapes and end behaviours as files write them; -1 for an unknown name.
int keyShape(std::string_view name);
int endBehaviour(std::string_view name);
const char* keyShapeName(int shape);
const char* endBehaviourName(int behaviour);

struct Channel {
    std::string name;
    Envelope envelope;
};

}  // namespace vxs

struct HostChannel : vxs::Channel {};
struct HostChanGroup {
    std::string name;
    HostChanGroup* parent = nullptr;
    std::vector<std::unique_ptr<HostChannel>> channels;
    // A channel of the group by name, made when missing.
    HostChannel& channel(std::string_view name);
};

namespace vxs {

// The group of a surface (made on first use); the key is the surface's
// host context.
HostChanGroup* surfaceGroup(const void* surface);

const HostEnvelopes* envelopesService();
const HostChannelInfo* channelInfoService();

// An envelope in the host's streams: end behaviours, then each key.
void saveEnvelope(const Envelope& envelope, const HostSaveState& state);
void loadEnvelope(Envelope& envelope, const HostLoadState& state);

}  // namespace vxs
