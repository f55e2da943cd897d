// Drawing a frame's triangles in two sets of rows at once: the caller's thread takes the even
// bands of rows, a worker thread kept by the device the odd ones. Interleaved bands share the
// work out evenly whatever the scene, where a top and a bottom half would not (a floor fills one
// half); bands rather than single rows let each thread pass over the many small triangles and
// short edges that lie wholly in the other's rows without setting them up.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/d3drm/render.h"

namespace {

// Bands of 64 rows. Smaller bands even out the halves better but make both threads set up
// more of the same edges and triangles; for the show's scenes, whole-show captures ran 6%
// faster with 64 rows than with 16 and no faster with 128.
constexpr int kBandShift = 6;

void DrawRows(const std::vector<RmTriangle>& batch, RasterTarget target, const RasterViewport& area,
              int phase) {
    target.rowStride = 2;
    target.rowPhase = phase;
    target.rowBandShift = kBandShift;
    for (const RmTriangle& t : batch) RasterTriangle(target, area, t.state, t.v, t.edgeMask);
}

}  // namespace

// One job at a time: Start hands it over, Wait returns when it is drawn. A thread woken through
// the system takes some 50 microseconds to run here, longer than many frames take to draw, so
// the worker is woken early (Alert, as the scene walk begins) and then watches for its job
// without sleeping, for a while; the caller likewise watches for the end of the job before it
// sleeps on it.
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
    void Start(const std::vector<RmTriangle>* batch, const RasterTarget& target, const RasterViewport& area,
               int phase) {
        batch_ = batch;
        target_ = target;
        area_ = area;
        phase_ = phase;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            posted_.store(posted_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
        }
        wake_.notify_one();
    }
    void Wait() {
        const uint32_t job = posted_.load(std::memory_order_relaxed);
        if (WatchFor([&] { return finished_.load(std::memory_order_acquire) == job; })) return;
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [&] { return finished_.load(std::memory_order_acquire) == job; });
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
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [&] { return quit_ || alerted_ || posted_.load(std::memory_order_relaxed) != seen; });
                if (quit_) return;
                alerted_ = false;
            }
            if (!WatchFor([&] { return posted_.load(std::memory_order_acquire) != seen; })) continue;
            seen = posted_.load(std::memory_order_acquire);
            DrawRows(*batch_, target_, area_, phase_);
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
    int phase_ = 0;
    std::atomic<uint32_t> posted_{0}, finished_{0};  // jobs handed over, jobs drawn
    bool alerted_ = false, quit_ = false;            // under mutex_
    std::thread thread_;  // last: starts once everything above is set
};

RmRenderer::RmRenderer() {
    if (std::thread::hardware_concurrency() < 2) return;
    try {
        worker = std::make_unique<RmBandWorker>();
    } catch (const std::system_error&) {
        // No second thread to be had: the caller's draws both bands.
    }
}

RmRenderer::~RmRenderer() = default;

void RmWakeWorker(RmRenderer& r) {
    if (r.worker) r.worker->Alert();
}

void RmDrawBatch(RmRenderer& r, const RasterTarget& target, const RasterViewport& area) {
    if (r.worker && !r.batch.empty()) {
        r.worker->Start(&r.batch, target, area, 1);
        DrawRows(r.batch, target, area, 0);
        r.worker->Wait();
    } else {
        DrawRows(r.batch, target, area, 0);
        DrawRows(r.batch, target, area, 1);
    }
    r.batch.clear();
}
