// "Global Render Memory": named blocks that render threads find and create
// concurrently, mostly to keep per-thread words under names carrying the
// thread id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "host/services.h"

namespace vxs {

class RenderMemory {
public:
    // Null when no block has the name. Never allocates, so a render thread
    // can ask once per sample.
    void* find(std::string_view name) const;
    // A new zero-filled block; the existing block when the name is taken and
    // that block holds at least `size` bytes. Null when the existing block is
    // smaller, or the size is beyond 1 GiB or cannot be had.
    void* create(std::string_view name, std::size_t size);

private:
    // Blocks are whole cache lines: a thread's word written at every light
    // must not share its line with another thread's.
    struct alignas(64) Line {
        unsigned char bytes[64];
    };
    struct Block {
        std::unique_ptr<Line[]> data;
        std::size_t size;
    };
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };

    mutable std::shared_mutex lock_;
    std::unordered_map<std::string, Block, NameHash, std::equal_to<>> blocks_;
};

// The process-wide memory behind the service; its blocks stay until the
// process ends, since modules keep pointers to them.
RenderMemory& globalRenderMemory();

// The calling thread's word `name` in the global memory, under the name
// "<name> <thread id in eight hex digits>" that modules use for theirs, so
// host and modules share it. Made and zeroed on first use; null when it
// cannot be had.
uint32_t* threadWord(const char* name);
const HostRenderMemory* renderMemoryService();

}  // namespace vxs
