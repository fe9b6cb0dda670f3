// The item-parameter cache: every light, camera, object and bone with its
// twelve parameter vectors at the current frame, read from the host once per
// frame so that render threads need only a lookup.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "host/services.h"

namespace vx {

constexpr int kItemParamCount = 12;  // codes 1 to 12

struct IParamData {
    int32_t type = 0;
    double params[kItemParamCount][3] = {};
};

class IParamMan {
public:
    virtual ~IParamMan() = default;

    // Refills the cache from the host's item info at `time`; the cache is
    // left alone without item info. Lookups during the rebuild see the old
    // filling or the new one, never a part of it.
    void rebuild(double time, int32_t frame);
    // Copies parameter `code` of the item into out; false, and out left as it
    // was, for an item not in the cache or a code outside 1 to 12.
    bool lookup(HostID item, int code, double out[3]) const;

    double time() const;
    int32_t frame() const;

private:
    struct Filling {
        std::unordered_map<HostID, IParamData> entries;
        double time = 0;
        int32_t frame = 0;
    };
    // Lookups take no lock: each thread holds the filling it last saw, and
    // takes the lock only when a rebuild has published a new one, which is
    // once per thread and time during a render.
    const Filling* current() const;
    mutable std::mutex lock_;
    std::shared_ptr<const Filling> filling_;  // under lock_
    std::atomic<uint64_t> version_{0};        // unique across caches
};

// The process-wide cache.
IParamMan& itemParams();

// NodeEnv::itemParam at render time: a lookup in the process-wide cache.
void cachedItemParam(HostID item, int code, double out[3]);

}  // namespace vx
