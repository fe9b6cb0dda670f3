#include "nodes/items.h"

#include <cstring>

#include "host/host.h"

namespace vx {

namespace {
// The order the host is asked in, as the host may evaluate lazily.
constexpr int kReadOrder[kItemParamCount] = {1, 8, 5, 6, 7, 12, 2, 3, 4, 9, 10, 11};

// Adds the items of one list; a list that comes back to an item already
// cached ends there, so a looping host list cannot hang the rebuild.
template <class Visit>
void walk(const HostItemInfo& info, int type, HostID parent, std::unordered_map<HostID, IParamData>& out,
          double time, Visit&& visitEach) {
    for (HostID id = info.first(type, parent); id && !out.contains(id); id = info.next(id)) {
        IParamData& d = out[id];
        d.type = info.type(id);
        for (int code : kReadOrder) info.param(id, code, time, d.params[code - 1]);
        visitEach(id);
    }
}
}  // namespace

void IParamMan::rebuild(double time, int32_t frame) {
    const HostItemInfo* info = host().itemInfo;
    if (!info) return;
    std::unordered_map<HostID, IParamData> fresh;
    const auto none = [](HostID) {};
    walk(*info, HOST_LIGHT, 0, fresh, time, none);
    walk(*info, HOST_CAMERA, 0, fresh, time, none);
    walk(*info, HOST_OBJECT, 0, fresh, time,
         [&](HostID object) { walk(*info, HOST_BONE, object, fresh, time, none); });
    std::lock_guard guard(lock_);
    entries_.swap(fresh);
    time_ = time;
    frame_ = frame;
}

bool IParamMan::lookup(HostID item, int code, double out[3]) const {
    if (code < 1 || code > kItemParamCount) return false;
    std::lock_guard guard(lock_);
    const auto it = entries_.find(item);
    if (it == entries_.end()) return false;
    std::memcpy(out, it->second.params[code - 1], 3 * sizeof(double));
    return true;
}

double IParamMan::time() const {
    std::lock_guard guard(lock_);
    return time_;
}

int32_t IParamMan::frame() const {
    std::lock_guard guard(lock_);
    return frame_;
}

IParamMan& itemParams() {
    static IParamMan cache;
    return cache;
}

void cachedItemParam(HostID item, int code, double out[3]) { itemParams().lookup(item, code, out); }

}  // namespace vx
