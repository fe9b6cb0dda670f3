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
    // Render threads read the current filling without a lock, as it changes
    // only at a new time; the one it replaced is kept until the rebuild
    // after, so a lookup begun before the change still reads whole data.
    std::atomic<const Filling*> current_{nullptr};
    std::unique_ptr<Filling> fillings_[2];
    std::mutex rebuilding_;
};

// The process-wide cache.
IParamMan& itemParams();

// NodeEnv::itemParam at render time: a lookup in the process-wide cache.
void cachedItemParam(HostID item, int code, double out[3]);

}  // namespace vx
