#include "standin/services/render_memory.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "core/env.h"

namespace vxs {

namespace {
// Far beyond any per-thread word; keeps a wild size from reaching the allocator.
constexpr std::size_t kMaxBlockBytes = std::size_t{1} << 30;
}  // namespace

void* RenderMemory::find(std::string_view name) const {
    std::shared_lock guard(lock_);
    const auto it = blocks_.find(name);
    return it == blocks_.end() ? nullptr : it->second.data.get();
}

void* RenderMemory::create(std::string_view name, std::size_t size) {
    std::unique_lock guard(lock_);
    if (const auto it = blocks_.find(name); it != blocks_.end())
        return it->second.size >= size ? it->second.data.get() : nullptr;
    if (size > kMaxBlockBytes) return nullptr;
    // Whole lines, so any word type fits at the block's start. No exception
    // may leave here: the caller is a module behind a C interface.
    const std::size_t lines = size / sizeof(Line) + 1;
    Block block{std::unique_ptr<Line[]>(new (std::nothrow) Line[lines]), size};
    if (!block.data) return nullptr;
    std::memset(block.data.get(), 0, lines * sizeof(Line));
    try {
        return blocks_.emplace(std::string(name), std::move(block)).first->second.data.get();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

uint32_t* threadWord(const char* name) {
    // Blocks live as long as the process, so each thread asks once per name
    // rather than formatting the name and asking the memory at every ray.
    struct Known {
        std::string name;
        uint32_t* word;
    };
    thread_local std::vector<Known> known;
    for (const Known& k : known)
        if (k.name == name) return k.word;
    char key[128];
    std::snprintf(key, sizeof key, "%s %08x", name, vx::currentThreadId());
    RenderMemory& memory = globalRenderMemory();
    void* block = memory.find(key);
    auto* word = static_cast<uint32_t*>(block ? block : memory.create(key, sizeof(uint32_t)));
    if (word) known.push_back({name, word});
    return word;
}

RenderMemory& globalRenderMemory() {
    // Never destroyed: a module may still hold a block while statics go away.
    static RenderMemory* memory = new RenderMemory;
    return *memory;
}

namespace {
void* findBlock(const char* name) { return name ? globalRenderMemory().find(name) : nullptr; }
void* createBlock(const char* name, std::size_t size) {
    return name ? globalRenderMemory().create(name, size) : nullptr;
}
const HostRenderMemory kService{findBlock, createBlock};
}  // namespace

const HostRenderMemory* renderMemoryService() { return &kService; }

}  // namespace vxs
