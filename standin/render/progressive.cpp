#include "standin/render/progressive.h"

#include <algorithm>

namespace vxs {

namespace {
using Clock = std::chrono::steady_clock;

constexpr int kCoarseBlock = 8;
constexpr int kBlockPasses = 4;  // blocks of 8, 4, 2 and 1 pixels

unsigned threadCount(const FrameRenderer& frame) {
    return frame.threads() > 0 ? unsigned(frame.threads()) : std::max(1u, std::thread::hardware_concurrency());
}
}  // namespace

ProgressiveRender::ProgressiveRender(const Scene& scene, const SurfaceShaders* shaders,
                                     const RenderSettings& settings, std::function<void()> passDone)
    : frame_(scene, shaders, settings),
      passDone_(std::move(passDone)),
      passes_(kBlockPasses + (frame_.samples() > 1 ? 1 : 0)) {
    work_.width = frame_.width();
    work_.height = frame_.height();
    work_.rgb.assign(size_t(work_.width) * work_.height * 3, 0.0f);
    shown_.picture = work_;
    shown_.passes = passes_;
    thread_ = std::thread([this] { loop(); });
}

ProgressiveRender::~ProgressiveRender() {
    stop();
    {
        std::lock_guard guard(lock_);
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ProgressiveRender::stop() {
    std::unique_lock guard(lock_);
    wanted_ = false;
    cancel_ = true;
    changed_.wait(guard, [this] { return !running_; });
}

void ProgressiveRender::start() {
    stop();
    {
        std::lock_guard guard(lock_);
        cancel_ = false;
        wanted_ = true;
        shown_.number = 0;
    }
    changed_.notify_all();
}

uint64_t ProgressiveRender::passesDone() const {
    std::lock_guard guard(lock_);
    return passesDone_;
}

ProgressiveRender::Pass ProgressiveRender::latest() const {
    std::lock_guard guard(lock_);
    return shown_;
}

bool ProgressiveRender::waitFinished(std::chrono::milliseconds timeout) const {
    std::unique_lock guard(lock_);
    return changed_.wait_for(guard, timeout, [this] { return shown_.last() && !wanted_; });
}

void ProgressiveRender::loop() {
    std::vector<RenderWorker> workers(threadCount(frame_));
    std::unique_lock guard(lock_);
    for (;;) {
        changed_.wait(guard, [this] { return quit_ || wanted_; });
        if (quit_) return;
        wanted_ = false;
        running_ = true;
        guard.unlock();

        frame_.begin();
        const Clock::time_point start = Clock::now();
        std::atomic<uint64_t> samples{0};
        for (int n = 1; n <= passes_ && renderPass(n, workers, samples); ++n) {
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            {
                std::lock_guard published(lock_);
                shown_.picture.rgb = work_.rgb;
                shown_.number = n;
                shown_.seconds = seconds;
                shown_.samplesPerSecond = seconds > 0 ? double(samples) / seconds : 0;
                ++passesDone_;
            }
            changed_.notify_all();
            if (passDone_) passDone_();
        }
        frame_.end();

        guard.lock();
        running_ = false;
        changed_.notify_all();
    }
}

bool ProgressiveRender::renderPass(int number, std::vector<RenderWorker>& workers, std::atomic<uint64_t>& count) {
    const int w = work_.width, h = work_.height;
    const int tilesX = (w + kRenderTile - 1) / kRenderTile;
    const int tiles = tilesX * ((h + kRenderTile - 1) / kRenderTile);
    const bool full = number > kBlockPasses;
    const int block = full ? 1 : kCoarseBlock >> (number - 1);
    const int samples = full ? frame_.samples() : 1;
    // Blocks never straddle tiles, so each tile's pixels are its thread's.
    static_assert(kRenderTile % kCoarseBlock == 0);
    runTiles(
        tiles, workers,
        [&](RenderWorker& worker, int t) {
            const int x0 = t % tilesX * kRenderTile, y0 = t / tilesX * kRenderTile;
            uint64_t taken = 0;
            for (int y = y0; y < std::min(y0 + kRenderTile, h); y += block)
                for (int x = x0; x < std::min(x0 + kRenderTile, w); x += block) {
                    // The corner of a coarser pass's block holds its final value.
                    const bool done = !full && number > 1 && x % (2 * block) == 0 && y % (2 * block) == 0;
                    if (done) continue;
                    float* out = &work_.rgb[(size_t(y) * w + x) * 3];
                    frame_.pixel(worker, x, y, samples, out);
                    taken += uint64_t(samples);
                    for (int by = y; by < std::min(y + block, h); ++by)
                        for (int bx = x; bx < std::min(x + block, w); ++bx)
                            std::copy_n(out, 3, &work_.rgb[(size_t(by) * w + bx) * 3]);
                }
            count += taken;
        },
        &cancel_);
    return !cancel_;
}

}  // namespace vxs
