#include "core/env.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "host/host.h"

namespace vx {

const char* const kShadowRayFlag = "QK's Torvanixa:IsShadowRay";
const char* const kRayShadeFlag = "QK's Torvanixa:IsRayShade";
const char* const kBlurTraceFlag = "QK's Torvanixa:BluredTraceFlag";

struct OutputCache::Scratch {
    struct Entry {
        const Node* node = nullptr;
        uint32_t generation = 0;
        NodeValue* values = nullptr;
    };
    static constexpr size_t kBlock = 512;

    std::vector<Entry> table = std::vector<Entry>(64);
    uint32_t generation = 1;
    int used = 0;
    // Value storage in fixed blocks, so arrays handed out never move.
    std::vector<std::unique_ptr<NodeValue[]>> blocks;
    std::vector<size_t> blockSizes;
    size_t block = 0, top = 0;

    static size_t hash(const Node* n) {
        return (reinterpret_cast<uintptr_t>(n) >> 4) * 0x9E3779B97F4A7C15ull >> 32;
    }

    void clear() {
        used = 0;
        block = top = 0;
        if (++generation == 0) {  // wrapped: old entries could look current
            for (Entry& e : table) e = Entry{};
            generation = 1;
        }
    }

    Entry* slot(const Node* n) {
        const size_t mask = table.size() - 1;
        for (size_t i = hash(n) & mask;; i = (i + 1) & mask) {
            Entry& e = table[i];
            if (e.generation != generation || e.node == n) return &e;
        }
    }

    NodeValue* allocate(size_t count) {
        for (;; ++block, top = 0) {
            if (block == blocks.size()) {
                const size_t size = count > kBlock ? count : kBlock;
                blocks.push_back(std::make_unique<NodeValue[]>(size));
                blockSizes.push_back(size);
            }
            if (top + count <= blockSizes[block]) {
                NodeValue* p = blocks[block].get() + top;
                top += count;
                return p;
            }
        }
    }

    void grow() {
        std::vector<Entry> old(table.size() * 2);
        old.swap(table);
        for (const Entry& e : old)
            if (e.generation == generation) *slot(e.node) = e;
    }
};

namespace {
// One scratch per nesting level of environments on this thread.
thread_local std::vector<std::unique_ptr<OutputCache::Scratch>> tScratch;
thread_local size_t tDepth = 0;
}  // namespace

OutputCache::OutputCache() {
    if (tDepth == tScratch.size()) tScratch.push_back(std::make_unique<Scratch>());
    scratch_ = tScratch[tDepth++].get();
    scratch_->clear();
}

OutputCache::~OutputCache() { --tDepth; }

NodeValue* OutputCache::find(const Node* node) const {
    const Scratch::Entry* e = scratch_->slot(node);
    return e->generation == scratch_->generation ? e->values : nullptr;
}

NodeValue* OutputCache::add(const Node* node, int count) {
    Scratch& s = *scratch_;
    if (2 * (s.used + 1) > static_cast<int>(s.table.size())) s.grow();
    Scratch::Entry* e = s.slot(node);
    if (e->generation != s.generation) ++s.used;
    *e = {node, s.generation, s.allocate(count > 0 ? static_cast<size_t>(count) : 1)};
    return e->values;
}

void OutputCache::clear() { scratch_->clear(); }

int OutputCache::size() const { return scratch_->used; }

uint32_t currentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

void* threadFlag(const char* name, int size) {
    const HostRenderMemory* memory = host().renderMemory;
    if (!memory) return nullptr;
    char key[128];
    std::snprintf(key, sizeof key, "%s %08x", name, currentThreadId());
    if (void* block = memory->find(key)) return block;
    void* block = memory->create(key, static_cast<size_t>(size));
    if (block) std::memset(block, 0, static_cast<size_t>(size));
    return block;
}

}  // namespace vx
