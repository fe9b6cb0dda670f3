// The per-sample environment: what a node may read of the sample, and the
// output cache through which a tree is pulled.
#pragma once

#include <cstdint>
#include <vector>

#include "core/value.h"
#include "host/services.h"

namespace vx {

class Node;

// Output arrays of the nodes evaluated in one pass, backed by per-thread
// storage that is reused from sample to sample, so a sample allocates nothing
// once the thread has warmed up. A node with a cache slot is found at that
// index; any other node by its address. Environments nest (a ray shot from a
// node shades another sample on the same thread), and each nesting level has
// storage of its own.
class OutputCache {
public:
    struct Entry {
        const Node* node = nullptr;
        uint32_t generation = 0;
        NodeValue* values = nullptr;
    };
    // What the inline lookups need; the per-thread storage begins with it.
    struct Hot {
        Entry* direct = nullptr;
        uint32_t directSize = 0;
        uint32_t generation = 1;
        int32_t hashed = 0;
        NodeValue* block = nullptr;  // the value block being filled
        size_t top = 0, end = 0;
        // Under a render's plan every node's outputs have a place of their
        // own here, and a reader the plan resolved reads it directly.
        NodeValue* slab = nullptr;
        uint32_t slabSize = 0, slabCapacity = 0;
        uint64_t slabStamp = 0;
    };

    OutputCache();
    ~OutputCache();
    OutputCache(const OutputCache&) = delete;
    OutputCache& operator=(const OutputCache&) = delete;

    NodeValue* find(const Node* node, int32_t slot) const {
        const Hot& h = *hot_;
        if (static_cast<uint32_t>(slot) < h.directSize) {
            const Entry& e = h.direct[slot];
            if (e.generation == h.generation && e.node == node) return e.values;
        }
        return h.hashed ? findHashed(node) : nullptr;
    }
    NodeValue* find(const Node* node) const;
    // The node's array in this pass: the one it has, else a new one of
    // `count` values, at `place` in the plan's slab when it has one. One
    // lookup, as a node's evaluation ends with it.
    NodeValue* claim(const Node* node, int32_t slot, int count, int32_t place = -1) {
        Hot& h = *hot_;
        if (static_cast<uint32_t>(slot) < h.directSize && count > 0 && !h.hashed) {
            Entry& e = h.direct[slot];
            if (e.generation != h.generation) {
                if (static_cast<uint32_t>(place) + static_cast<uint64_t>(count) <= h.slabSize) {
                    e = {node, h.generation, h.slab + place};
                    return e.values;
                }
                if (h.top + static_cast<size_t>(count) <= h.end) {
                    e = {node, h.generation, h.block + h.top};
                    h.top += static_cast<size_t>(count);
                    return e.values;
                }
            }
        }
        return claimSlow(node, slot, count, place);
    }

    // The value at `place` of the slab, written in this pass by a node the
    // plan runs before the reader; null without a slab of that size.
    const NodeValue* planned(int32_t place) const {
        return static_cast<uint32_t>(place) < hot_->slabSize ? hot_->slab + place : nullptr;
    }
    // The slab when it holds `count` values, else null.
    NodeValue* slab(size_t count) const { return count <= hot_->slabSize ? hot_->slab : nullptr; }
    // A slab of `count` values for this environment, its first `fixedCount`
    // copied from `fixed` unless the slab has them already from the same
    // `stamp`. The first sample of a thread and a larger tree allocate.
    void reserveSlab(size_t count, const NodeValue* fixed, size_t fixedCount, uint64_t stamp) {
        if (hot_->slabStamp == stamp && count <= hot_->slabCapacity) {
            hot_->slabSize = static_cast<uint32_t>(count);
            return;
        }
        fillSlab(count, fixed, fixedCount, stamp);
    }
    // Drops the node's array, as though it had never been evaluated.
    void forget(const Node* node);
    void clear();

    struct Scratch;

private:
    NodeValue* findHashed(const Node* node) const;
    NodeValue* claimSlow(const Node* node, int32_t slot, int count, int32_t place);
    void fillSlab(size_t count, const NodeValue* fixed, size_t fixedCount, uint64_t stamp);
    Scratch& scratch() const;
    Hot* hot_;  // this nesting level's storage
};

// The host's shadowed answer for one light at the sample: the direction the
// light travels, its colour and the host's result (0: it does not arrive),
// and the unit direction towards the light that every model reads.
struct LightSample {
    HostID light;
    NodeValue direction, color;
    int32_t result;
    NodeValue towards;
};

// A scene light the sample's object receives, with the host's flags and
// whether the host's traced shadows of it get their colour corrected.
struct ReceivedLight {
    HostID light;
    int32_t flags;
    bool correctsShadow;
};

// What holds for an object through a render at one time: the lights it
// receives (count -1 when they do not fit the room), whether it excludes the
// radiosity and caustics pseudo-lights, and the scene's flat ambient.
constexpr int kLightRoom = 16;
struct ReceivedLights {
    int32_t count = -1;
    ReceivedLight lights[kLightRoom]{};
    bool radiosityExcluded = false, causticsExcluded = false;
    NodeValue ambient;
};

// Shading inputs every model reads: sample position, unit normal, towards
// the viewer, and the view ray's direction.
struct ShadePoint {
    NodeValue P, N, V, D;
};

// What the lights gave this sample, so that every lighting node gets the
// same answer from one host call: the lights already asked for, and what the
// object receives once it is listed. Scenes have few lights: linear lists in
// a fixed room; lights beyond it are asked again each time, and a longer
// list is walked again.
struct LightCache {
    // Left unwritten until used: most samples ask for few lights or none,
    // and clearing the room would cost more than a small tree.
    LightCache() {}
    union {
        LightSample samples[kLightRoom];
    };
    int32_t count = 0;
    // Where the next search starts: the models ask in the same order.
    int32_t next = 0;
    bool listed = false;
    union {
        ReceivedLights received;  // once listed
    };
    int32_t nextReceived = 0;  // where the next search of `received` starts
    // The models' shade point at the record's normal, which changes when a
    // first pass writes a new one.
    struct SharedShade {
        NodeValue normal;
        ShadePoint at;
    };
    bool shadeKnown = false;
    union {
        SharedShade shade;
    };
};

struct NodeEnv {
    uint8_t isPreview = 0;
    void* hostContext = nullptr;
    int32_t reserved = 0;
    const void* previewLight = nullptr;
    double time = 0;
    NodeValue normal;
    HostShading* record = nullptr;
    // A render fills it before the first pass; elsewhere it is filled from
    // the record on first use (textureSample() of evaluate.h).
    HostTextureSample* textureSample = nullptr;
    bool textureSampleFilled = false;
    void* callbackData = nullptr;
    HostIlluminateFunc illuminate = nullptr;
    HostRayTraceFunc rayTrace = nullptr;
    HostRayCastFunc rayCast = nullptr;
    HostRayShadeFunc rayShade = nullptr;
    // An item's parameter vector at the current time; leaves `out` alone for
    // an unknown item, and a null query leaves every caller's defaults.
    void (*itemParam)(HostID item, int code, double out[3]) = nullptr;
    uint32_t* shadowRayFlag = nullptr;
    uint32_t* rayShadeFlag = nullptr;
    LightCache* lights = nullptr;  // null outside a render
    // Where the outermost pull of a chain of pulls started; null outside one.
    const char* pullBase = nullptr;
    // Nodes that outermost pull ran which left no outputs: pulled in place
    // however deep, since running them from the top again would not help.
    std::vector<const Node*> outputless;
    OutputCache cache;
};

extern const char* const kShadowRayFlag;  // "QK's Torvanixa:IsShadowRay"
extern const char* const kRayShadeFlag;   // "QK's Torvanixa:IsRayShade"

// The calling thread's word `name` in the host's render memory, made and
// zeroed when absent; null without render memory.
void* threadFlag(const char* name, int size);

// The calling thread's two words that every sample reads (kept by the
// thread until the render epoch changes).
struct SampleWords {
    uint32_t* rayShade;
    uint32_t* shadowRay;
};
SampleWords sampleWords();

// Makes every thread ask the host for its words again; called when a render
// starts or the host's tables change.
void resetThreadFlags();

// Changes with every resetThreadFlags(): what a thread learnt of the scene
// holds until then.
uint64_t renderEpoch();

// The id the per-thread words are named with.
uint32_t currentThreadId();

}  // namespace vx
