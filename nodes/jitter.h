// The 32-bit generator of every sampling loop (blurred traces, translucency,
// occlusion), seeded from the pixel so that a pixel always draws the same
// numbers, whichever thread shades it.
#pragma once

#include <cstdint>

namespace vx {

class Jitter {
public:
    Jitter(int sx, int sy) : state_(static_cast<uint32_t>(sx) * static_cast<uint32_t>(sy) * 0x8DE30791u) {}
    // In [0, 1).
    double next() {
        state_ = state_ * 0x5D588B65u + 1;
        return state_ * 0x1p-32;
    }

private:
    uint32_t state_;
};

}  // namespace vx
