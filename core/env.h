// The per-sample environment: what a node may read of the sample, and the
// output cache through which a tree is pulled.
#pragma once

#include <cstdint>

#include "core/value.h"
#include "host/services.h"

namespace vx {

class Node;

// Output arrays of the nodes evaluated in one pass. Indexed by node address
// and backed by per-thread storage that is reused from sample to sample, so a
// sample allocates nothing once the thread has warmed up. Environments nest
// (a ray shot from a node shades another sample on the same thread), and
// each nesting level has storage of its own.
class OutputCache {
public:
    OutputCache();
    ~OutputCache();
    OutputCache(const OutputCache&) = delete;
    OutputCache& operator=(const OutputCache&) = delete;

    NodeValue* find(const Node* node) const;
    // A new array of `count` values for the node; stays valid until clear().
    NodeValue* add(const Node* node, int count);
    void clear();
    int size() const;

    struct Scratch;

private:
    Scratch* scratch_;
};

constexpr int32_t kMaxPullDepth = 1000;

struct NodeEnv {
    uint8_t isPreview = 0;
    void* hostContext = nullptr;
    int32_t reserved = 0;
    const void* previewLight = nullptr;
    double time = 0;
    NodeValue normal;
    HostShading* record = nullptr;
    HostTextureSample* textureSample = nullptr;
    void* callbackData = nullptr;
    HostIlluminateFunc illuminate = nullptr;
    HostRayTraceFunc rayTrace = nullptr;
    HostRayCastFunc rayCast = nullptr;
    HostRayShadeFunc rayShade = nullptr;
    uint32_t* shadowRayFlag = nullptr;
    uint32_t* rayShadeFlag = nullptr;
    int32_t depth = 0;  // nested pulls, bounded so a deep chain cannot exhaust the stack
    OutputCache cache;
};

extern const char* const kShadowRayFlag;  // "QK's Torvanixa:IsShadowRay"
extern const char* const kRayShadeFlag;   // "QK's Torvanixa:IsRayShade"
extern const char* const kBlurTraceFlag;  // "QK's Torvanixa:BluredTraceFlag"

// The calling thread's word `name` in the host's render memory, made and
// zeroed when absent; null without render memory.
void* threadFlag(const char* name, int size);

// The id the per-thread words are named with.
uint32_t currentThreadId();

}  // namespace vx
