// A frame rendered again whenever its shaders change, on threads of its
// own: each run is a coarse pass of one sample per 8 x 8 block, then passes
// of 4 x 4, 2 x 2 and single pixels, then, when the settings ask for more
// than one sample, a pass with all of them. The last pass's picture is
// `render`'s, byte for byte.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "standin/render/renderer.h"

namespace vxs {

class ProgressiveRender {
public:
    // What the last finished pass shows.
    struct Pass {
        Picture picture;  // each sample fills its pass's block
        int number = 0;   // from 1; 0 before the first pass of a run
        int passes = 0;
        double seconds = 0;  // from the start of the run
        double samplesPerSecond = 0;
        bool last() const { return number > 0 && number == passes; }
    };

    // `passDone` is called on a render thread after each pass. Throws
    // std::runtime_error when Embree cannot build the scene.
    ProgressiveRender(const Scene& scene, const SurfaceShaders* shaders, const RenderSettings& settings,
                      std::function<void()> passDone = {});
    ~ProgressiveRender();
    ProgressiveRender(const ProgressiveRender&) = delete;
    ProgressiveRender& operator=(const ProgressiveRender&) = delete;

    // Cancels the run in flight, within a tile, and returns once its
    // shaders are cleaned up: they may then change until `start`.
    void stop();
    // A new run from the coarse pass.
    void start();

    // Counts finished passes over all runs, so a viewer can tell news.
    uint64_t passesDone() const;
    Pass latest() const;
    // True once the last pass of the latest run is done; false when
    // `timeout` passes first or no run was started.
    bool waitFinished(std::chrono::milliseconds timeout) const;

    const FrameRenderer& frame() const { return frame_; }

private:
    void loop();
    // One pass's pixels into work_, counting its samples; false when
    // cancelled.
    bool renderPass(int number, std::vector<RenderWorker>& workers, std::atomic<uint64_t>& samples);

    FrameRenderer frame_;
    std::function<void()> passDone_;
    int passes_;
    Picture work_;  // the render threads' own

    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    bool wanted_ = false;   // a run is asked for
    bool running_ = false;  // a run holds the shaders
    bool quit_ = false;
    std::atomic<bool> cancel_{false};
    Pass shown_;
    uint64_t passesDone_ = 0;
    std::thread thread_;
};

}  // namespace vxs
