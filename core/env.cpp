#include "core/env.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "core/node.h"
#include "host/host.h"

namespace vx {

const char* const kShadowRayFlag = "QK's Torvanixa:IsShadowRay";
const char* const kRayShadeFlag = "QK's Torvanixa:IsRayShade";

// Lines of its own: written in every sample.
struct alignas(64) OutputCache::Scratch : OutputCache::Hot {
    static constexpr size_t kBlock = 512;

    std::vector<Entry> directStore;
    std::vector<NodeValue> slabStore;
    size_t* depth = nullptr;  // the thread's nesting depth
    std::vector<Entry> table = std::vector<Entry>(64);
    // Value storage in fixed blocks, so arrays handed out never move.
    std::vector<std::unique_ptr<NodeValue[]>> blocks;
    std::vector<size_t> blockSizes;
    size_t blockIndex = 0;

    static size_t hash(const Node* n) {
        return (reinterpret_cast<uintptr_t>(n) >> 4) * 0x9E3779B97F4A7C15ull >> 32;
    }

    void clear() {
        hashed = 0;
        blockIndex = 0;
        enterBlock();
        if (++generation == 0) restart();
    }

    // The generation wrapped: old entries could look current.
    [[gnu::noinline]] void restart() {
        for (Entry& e : directStore) e = Entry{};
        for (Entry& e : table) e = Entry{};
        generation = 1;
    }

    Entry* hashEntry(const Node* n, uint32_t current) {
        const size_t mask = table.size() - 1;
        for (size_t i = hash(n) & mask;; i = (i + 1) & mask) {
            Entry& e = table[i];
            if (e.generation != current || e.node == n) return &e;
        }
    }
    Entry* hashEntry(const Node* n) { return hashEntry(n, generation); }

    NodeValue* add(const Node* n, int32_t slot, size_t count, int32_t place) {
        if (slot >= 0 && static_cast<size_t>(slot) >= directStore.size()) {
            directStore.resize(static_cast<size_t>(slot) + 1);
            direct = directStore.data();
            directSize = static_cast<uint32_t>(directStore.size());
        }
        Entry* e = slot >= 0 ? &directStore[static_cast<size_t>(slot)] : nullptr;
        if (!e || (e->generation == generation && e->node != n)) {
            if (2 * (hashed + 1) > static_cast<int>(table.size())) grow();
            e = hashEntry(n);
            if (e->generation != generation) ++hashed;
        }
        const bool placed = static_cast<uint32_t>(place) + static_cast<uint64_t>(count) <= slabSize;
        *e = {n, generation, placed ? slab + place : allocate(count)};
        return e->values;
    }

    void enterBlock() {
        top = 0;
        block = blockIndex < blocks.size() ? blocks[blockIndex].get() : nullptr;
        end = blockIndex < blocks.size() ? blockSizes[blockIndex] : 0;
    }

    NodeValue* allocate(size_t count) {
        while (top + count > end) {
            if (block) ++blockIndex;
            if (blockIndex == blocks.size()) {
                const size_t size = count > kBlock ? count : kBlock;
                blocks.push_back(std::make_unique<NodeValue[]>(size));
                blockSizes.push_back(size);
            }
            enterBlock();
        }
        NodeValue* p = block + top;
        top += count;
        return p;
    }

    void grow() {
        std::vector<Entry> old(table.size() * 2);
        old.swap(table);
        for (const Entry& e : old)
            if (e.generation == generation) *hashEntry(e.node) = e;
    }
};

namespace {
std::atomic<uint64_t> gFlagEpoch{0};

// One scratch per nesting level of environments on this thread, in one
// object: in a loaded module every thread-local costs a call to reach.
struct Levels {
    std::vector<std::unique_ptr<OutputCache::Scratch>> scratch;
    size_t depth = 0;
};
thread_local Levels tLevels;
}  // namespace

OutputCache::Scratch& OutputCache::scratch() const { return static_cast<Scratch&>(*hot_); }

namespace {
[[gnu::noinline]] OutputCache::Scratch& addLevel(Levels& levels) {
    levels.scratch.push_back(std::make_unique<OutputCache::Scratch>());
    levels.scratch.back()->depth = &levels.depth;
    return *levels.scratch.back();
}
}  // namespace

OutputCache::OutputCache() {
    Levels& levels = tLevels;
    Scratch& s = levels.depth < levels.scratch.size() ? *levels.scratch[levels.depth] : addLevel(levels);
    ++levels.depth;
    hot_ = &s;
    s.clear();
    s.slabSize = 0;  // the slab waits until this environment asks for one
}

OutputCache::~OutputCache() { --*scratch().depth; }

NodeValue* OutputCache::find(const Node* node) const { return find(node, node->cacheSlot); }

NodeValue* OutputCache::findHashed(const Node* node) const {
    const Entry* e = scratch().hashEntry(node, hot_->generation);
    return e->generation == hot_->generation ? e->values : nullptr;
}

void OutputCache::forget(const Node* node) {
    const int32_t slot = node->cacheSlot;
    Scratch& s = scratch();
    if (static_cast<uint32_t>(slot) < s.directSize && s.direct[slot].node == node)
        s.direct[slot].generation = 0;  // never current: clear() skips 0
    if (s.hashed) {
        Entry* e = s.hashEntry(node, s.generation);
        if (e->generation == s.generation) e->values = nullptr;
    }
}

NodeValue* OutputCache::claimSlow(const Node* node, int32_t slot, int count, int32_t place) {
    if (NodeValue* out = find(node, slot)) return out;
    return scratch().add(node, slot, count > 0 ? static_cast<size_t>(count) : 1, place);
}

void OutputCache::fillSlab(size_t count, const NodeValue* fixed, size_t fixedCount, uint64_t stamp) {
    Scratch& s = scratch();
    if (s.slabStore.size() < count) s.slabStore.resize(count);
    std::copy(fixed, fixed + std::min(fixedCount, count), s.slabStore.begin());
    s.slab = s.slabStore.data();
    s.slabSize = static_cast<uint32_t>(count);
    s.slabCapacity = static_cast<uint32_t>(s.slabStore.size());
    s.slabStamp = stamp;
}

void OutputCache::clear() { scratch().clear(); }

uint32_t currentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

namespace {
void* lookupFlag(const HostRenderMemory* memory, const char* name, int size) {
    char key[128];
    std::snprintf(key, sizeof key, "%s %08x", name, currentThreadId());
    if (void* block = memory->find(key)) return block;
    void* block = memory->create(key, static_cast<size_t>(size));
    if (block) std::memset(block, 0, static_cast<size_t>(size));
    return block;
}
}  // namespace

void* threadFlag(const char* name, int size) {
    const HostRenderMemory* memory = host().renderMemory;
    if (!memory) return nullptr;
    // Formatting the name and asking the host costs more than a small tree,
    // so each thread keeps the blocks it was given until a new render starts.
    struct Cached {
        const HostRenderMemory* memory;
        uint64_t epoch;
        const char* name;
        void* block;
    };
    thread_local Cached cache[4] = {};
    const uint64_t epoch = gFlagEpoch.load(std::memory_order_acquire);
    for (const Cached& c : cache)
        if (c.name == name && c.memory == memory && c.epoch == epoch) return c.block;
    void* block = lookupFlag(memory, name, size);
    if (block) {
        Cached* slot = &cache[0];
        for (Cached& c : cache)
            if (c.name == name || !c.name) {
                slot = &c;
                break;
            }
        *slot = {memory, epoch, name, block};
    }
    return block;
}

SampleWords sampleWords() {
    return {static_cast<uint32_t*>(threadFlag(kRayShadeFlag, 4)), static_cast<uint32_t*>(threadFlag(kShadowRayFlag, 4))};
}

void resetThreadFlags() { gFlagEpoch.fetch_add(1, std::memory_order_acq_rel); }

uint64_t renderEpoch() { return gFlagEpoch.load(std::memory_order_acquire); }

}  // namespace vx
