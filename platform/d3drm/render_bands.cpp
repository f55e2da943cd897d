// Drawing a frame's triangles in two sets of rows at once: a worker thread kept by the device
// takes the rows below a split and draws the triangles as the scene walk hands them on; the
// caller's thread walks the scene, then draws the rows above the split. Each thread passes over
// what lies wholly in the other's rows without setting it up, so only what crosses the split is
// set up twice. The split follows the work: after each batch it moves to where both threads
// would have finished together, walk included, so neither is left idle. Each row sees the
// triangles in the same order wherever the split is, so the pixels do not depend on it.
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

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Triangles [from, to) of the batch in the rows the target leaves; seconds it took.
double DrawRows(const std::vector<RmTriangle>& batch, size_t from, size_t to, const RasterTarget& target,
                const RasterViewport& area) {
    const Clock::time_point start = Clock::now();
    for (size_t i = from; i < to; ++i) RasterTriangle(target, area, batch[i].state, batch[i].v, batch[i].edgeMask);
    return SecondsSince(start);
}

// Moves the caller's share of the rows toward where both would have finished together: the
// caller walked the scene for `walk` seconds first, and each side's drawing time per row is
// taken as even across its rows. Halfway at a time, so one odd frame does not swing it.
void Rebalance(double& share, double walk, double mine, int myRows, double theirs, int theirRows) {
    const double myRate = mine / myRows, theirRate = theirs / theirRows;
    if (!(myRate + theirRate > 0)) return;
    const int rows = myRows + theirRows;
    const double balanced = (theirRate * rows - walk) / ((myRate + theirRate) * rows);
    share = std::clamp(share + 0.5 * (balanced - share), 0.05, 0.95);
}

// The rows [top, bottom) of the target the viewport's drawing may write.
std::pair<int, int> RowsOf(const RasterTarget& target, const RasterViewport& area) {
    return {std::max({area.y, target.rowBegin, 0}), std::min({area.y + area.height, target.rowEnd, target.height})};
}

}  // namespace

// One job at a time: Start hands it over, Wait returns when it is done. A drawing job is open:
// the caller adds triangles to the batch while the worker draws them, Publish says how many
// are ready and Wait closes the job. A thread woken through the system takes some 50
// microseconds to run here, longer than many frames take to draw, so the worker watches for
// its next job without sleeping for a while after each one; the caller likewise watches for
// the end of the job before it sleeps on it.
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
    // Draws the batch's triangles in the target's rows as they are published, or with no batch
    // clears the rows to `pixel` (and the depth buffer to far). The batch must not reallocate
    // until the job is done.
    void Start(const std::vector<RmTriangle>* batch, const RasterTarget& target, const RasterViewport& area,
               uint16_t pixel = 0) {
        batch_ = batch;
        target_ = target;
        area_ = area;
        pixel_ = pixel;
        published_.store(0, std::memory_order_relaxed);
        closed_.store(false, std::memory_order_relaxed);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            posted_.store(posted_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
        }
        wake_.notify_one();
    }
    // The batch's first `count` triangles are complete.
    void Publish(size_t count) { published_.store(count, std::memory_order_release); }
    // Publishes `count` triangles, the last of the job, and returns once they are drawn; with the
    // seconds the worker spent drawing.
    double Wait(size_t count = 0) {
        published_.store(count, std::memory_order_release);
        closed_.store(true, std::memory_order_release);
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
                wake_.wait(lock, [&] { return quit_ || posted_.load(std::memory_order_relaxed) != seen; });
                if (quit_) return;
            }
            watch = false;
            if (!WatchFor([&] { return posted_.load(std::memory_order_acquire) != seen; })) continue;
            seen = posted_.load(std::memory_order_acquire);
            if (batch_) {
                seconds_ = DrawAsPublished();
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

    // Draws the job's triangles as they are published until it is closed and all are drawn.
    double DrawAsPublished() {
        double busy = 0;
        size_t drawn = 0;
        for (;;) {
            // Closed first: every triangle of a closed job is published before it is closed.
            const bool closed = closed_.load(std::memory_order_acquire);
            const size_t ready = published_.load(std::memory_order_acquire);
            if (drawn < ready) {
                busy += DrawRows(*batch_, drawn, ready, target_, area_);
                drawn = ready;
            } else if (closed) {
                return busy;
            } else {
                std::this_thread::yield();  // the walk is between triangles
            }
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
    std::atomic<size_t> published_{0};               // triangles of the batch ready to draw
    std::atomic<bool> closed_{false};                // no more triangles come
    bool quit_ = false;                              // under mutex_
    std::thread thread_;  // last: starts once everything above is set
};

RmRenderer::RmRenderer() {
    // Never reallocated while the worker reads it: a full batch is drawn and emptied.
    batch.reserve(kRmMaxBatch);
    if (std::thread::hardware_concurrency() < 2) return;
    try {
        worker = std::make_unique<RmBandWorker>();
    } catch (const std::system_error&) {
        // No second thread to be had: the caller's draws every row.
    }
}

RmRenderer::~RmRenderer() = default;

void RmBeginBatch(RmRenderer& r, const RasterTarget& target, const RasterViewport& area) {
    r.batch.clear();
    r.target = target;
    r.area = area;
    r.walkStart = Clock::now();
    const auto [top, bottom] = RowsOf(target, area);
    r.streaming = r.worker && bottom - top >= 2;
    if (!r.streaming) return;
    const int rows = bottom - top;
    r.splitRow = top + std::clamp(static_cast<int>(std::lround(r.split * rows)), 1, rows - 1);
    RasterTarget below = target;
    below.rowBegin = r.splitRow;
    r.worker->Start(&r.batch, below, area);
}

void RmPublishBatch(RmRenderer& r) {
    if (r.streaming) r.worker->Publish(r.batch.size());
}

void RmDrawBatch(RmRenderer& r) {
    if (r.streaming) {
        const double walk = SecondsSince(r.walkStart);
        const auto [top, bottom] = RowsOf(r.target, r.area);
        RasterTarget above = r.target;
        above.rowEnd = r.splitRow;
        const double mine = DrawRows(r.batch, 0, r.batch.size(), above, r.area);
        const double theirs = r.worker->Wait(r.batch.size());
        if (!r.batch.empty()) Rebalance(r.split, walk, mine, r.splitRow - top, theirs, bottom - r.splitRow);
        r.streaming = false;
    } else {
        DrawRows(r.batch, 0, r.batch.size(), r.target, r.area);
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
