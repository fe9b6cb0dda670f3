#include "nodes/items.h"

#include <cstring>
#include <iterator>

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
    auto fresh = std::make_unique<Filling>();
    fresh->time = time;
    fresh->frame = frame;
    std::unordered_map<HostID, IParamData>& items = fresh->entries;
    const auto none = [](HostID) {};
    walk(*info, HOST_LIGHT, 0, items, time, none);
    walk(*info, HOST_CAMERA, 0, items, time, none);
    walk(*info, HOST_OBJECT, 0, items, time,
         [&](HostID object) { walk(*info, HOST_BONE, object, items, time, none); });
    static std::atomic<uint64_t> versions{0};
    std::lock_guard guard(lock_);
    filling_ = std::move(fresh);
    version_.store(++versions, std::memory_order_release);
}

const IParamMan::Filling* IParamMan::current() const {
    struct Seen {
        const IParamMan* cache = nullptr;
        uint64_t version = 0;
        std::shared_ptr<const Filling> filling;
    };
    thread_local Seen seen[4];
    thread_local size_t replace = 0;
    const uint64_t version = version_.load(std::memory_order_acquire);
    Seen* slot = nullptr;
    for (Seen& s : seen)
        if (s.cache == this) {
            if (s.version == version) return s.filling.get();
            slot = &s;
        }
    if (!slot) slot = &seen[replace++ % std::size(seen)];
    std::lock_guard guard(lock_);
    *slot = {this, version_.load(std::memory_order_relaxed), filling_};
    return slot->filling.get();
}

bool IParamMan::lookup(HostID item, int code, double out[3]) const {
    const Filling* f = current();
    if (code < 1 || code > kItemParamCount || !f) return false;
    const auto it = f->entries.find(item);
    if (it == f->entries.end()) return false;
    std::memcpy(out, it->second.params[code - 1], 3 * sizeof(double));
    return true;
}

double IParamMan::time() const {
    const Filling* f = current();
    return f ? f->time : 0;
}

int32_t IParamMan::frame() const {
    const Filling* f = current();
    return f ? f->frame : 0;
}

IParamMan& itemParams() {
    static IParamMan cache;
    return cache;
}

void cachedItemParam(HostID item, int code, double out[3]) { itemParams().lookup(item, code, out); }

}  // namespace vx
