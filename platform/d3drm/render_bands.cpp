// Drawing a frame's triangles in two sets of rows at once: the caller's thread takes the rows
// above a split, a worker thread kept by the device those below. Each thread passes over what
// lies wholly in the other's rows without setting it up, so only what crosses the split is set
// up twice. The split follows the work: after each batch it moves to where both threads would
// have taken as long, so a floor filling one half does not leave the other thread idle. Each
// row sees the triangles in the same order wherever the split is, so the pixels do not depend
// on it.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/d3drm/render.h"

namespace {

using Clock = std::chrono::steady_clock;

// The batch in the rows the target leaves; seconds it took.
double DrawRows(const std::vector<RmTriangle>& batch, const RasterTarget& target, const RasterViewport& area) {
    const Clock::time_point start = Clock::now();
    for (const RmTriangle& t : batch) RasterTriangle(target, area, t.state, t.v, t.edgeMask);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Moves the caller's share of the rows toward where both would have taken as long, taking each
// side's time per row as even across it; halfway at a time, so one odd frame does not swing it.
void Rebalance(double& share, double mine, int myRows, double theirs, int theirRows) {
    const double myRate = mine / myRows, theirRate = theirs / theirRows;
    if (!(myRate + theirRate > 0)) return;
    const double balanced = theirRate / (myRate + theirRate);
    share = std::clamp(share + 0.5 * (balanced - share), 0.05, 0.95);
}

// The rows [top, bottom) of the target the viewport's drawing may write.
std::pair<int, int> RowsOf(const RasterTarget& target, const RasterViewport& area) {
    return {std::max({area.y, target.rowBegin, 0}), std::min({area.y + area.height, target.rowEnd, target.height})};
}

}  // namespace

// One job at a time: Start hands it over, Wait returns when it is done. A thread woken through
// the system takes some 50 microseconds to run here, longer than many frames take to draw, so
// the worker is woken early (Alert, as the scene walk begins) and watches for its job without
// sleeping for a while, as it does after each job; the caller likewise watches for the end of
// the job before it sleeps on it.
class RmBandWorker {
  public:
    RmBandWorker() : thread_([this] { Run(); }) {}
    ~RmBandWorker() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            quit_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    void Alert() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            alerted_ = true;
        }
        wake_.notify_one();
    }
    // Draws the batch in the target's rows, or with no batch clears them to `pixel` (and the
    // depth buffer to far).
    void Start(const std::vector<RmTriangle>* batch, const RasterTarget& target, const RasterViewport& area,
               uint16_t pixel = 0) {
        batch_ = batch;
        target_ = target;
        area_ = area;
        pixel_ = pixel;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            posted_.store(posted_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
        }
        wake_.notify_one();
    }
    // Returns the seconds the job took.
    double Wait() {
        const uint32_t job = posted_.load(std::memory_order_relaxed);
        if (!WatchFor([&] { return finished_.load(std::memory_order_acquire) == job; })) {
            std::unique_lock<std::mutex> lock(mutex_);
            done_.wait(lock, [&] { return finished_.load(std::memory_order_acquire) == job; });
        }
        return seconds_;
    }

  private:
    // How long either side watches before it sleeps: about a frame's walk or drawing.
    static constexpr auto kWatch = std::chrono::milliseconds(4);

    template <class Ready>
    static bool WatchFor(Ready ready) {
        const auto until = std::chrono::steady_clock::now() + kWatch;
        for (int n = 0;; ++n) {
            if (ready()) return true;
            if ((n & 63) == 63 && std::chrono::steady_clock::now() > until) return false;
            std::this_thread::yield();
        }
    }

    void Run() {
        uint32_t seen = 0;
        bool watch = false;  // a job just ended: the next often follows soon
        for (;;) {
            if (!watch) {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [&] { return quit_ || alerted_ || posted_.load(std::memory_order_relaxed) != seen; });
                if (quit_) return;
                alerted_ = false;
            }
            watch = false;
            if (!WatchFor([&] { return posted_.load(std::memory_order_acquire) != seen; })) continue;
            seen = posted_.load(std::memory_order_acquire);
            if (batch_) {
                seconds_ = DrawRows(*batch_, target_, area_);
            } else {
                RasterClearViewport(target_, area_, pixel_, true);
            }
            watch = true;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                finished_.store(seen, std::memory_order_release);
            }
            done_.notify_one();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    // The job: written by Start before it posts, read by the worker after it sees the post.
    const std::vector<RmTriangle>* batch_ = nullptr;
    RasterTarget target_;
    RasterViewport area_;
    uint16_t pixel_ = 0;
    double seconds_ = 0;  // written before the job is marked drawn
    std::atomic<uint32_t> posted_{0}, finished_{0};  // jobs handed over, jobs drawn
    bool alerted_ = false, quit_ = false;            // under mutex_
    std::thread thread_;  // last: starts once everything above is set
};

RmRenderer::RmRenderer() {
    if (std::thread::hardware_concurrency() < 2) return;
    try {
        worker = std::make_unique<RmBandWorker>();
    } catch (const std::system_error&) {
        // No second thread to be had: the caller's draws every row.
    }
}

RmRenderer::~RmRenderer() = default;

void RmWakeWorker(RmRenderer& r) {
    if (r.worker) r.worker->Alert();
}

void RmDrawBatch(RmRenderer& r, const RasterTarget& target, const RasterViewport& area) {
    const auto [top, bottom] = RowsOf(target, area);
    if (r.worker && !r.batch.empty() && bottom - top >= 2) {
        const int rows = bottom - top;
        const int split = top + std::clamp(static_cast<int>(std::lround(r.split * rows)), 1, rows - 1);
        RasterTarget above = target, below = target;
        above.rowEnd = split;
        below.rowBegin = split;
        r.worker->Start(&r.batch, below, area);
        const double mine = DrawRows(r.batch, above, area);
        const double theirs = r.worker->Wait();
        Rebalance(r.split, mine, split - top, theirs, bottom - split);
    } else if (!r.batch.empty()) {
        DrawRows(r.batch, target, area);
    }
    r.batch.clear();
}

void RmClearViewport(RmRenderer& r, const RasterTarget& target, const RasterViewport& area, uint16_t pixel) {
    const auto [top, bottom] = RowsOf(target, area);
    if (!r.worker || bottom - top < 2) {
        RasterClearViewport(target, area, pixel, true);
        return;
    }
    // Half each: clearing costs the same on every row.
    RasterTarget above = target, below = target;
    above.rowEnd = below.rowBegin = top + (bottom - top) / 2;
    r.worker->Start(nullptr, below, area, pixel);
    RasterClearViewport(above, area, pixel, true);
    r.worker->Wait();
}
