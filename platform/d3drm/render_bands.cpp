// Drawing a frame's triangles in two bands of rows at once: the caller's thread takes the upper
// half, a worker thread kept by the device the lower.
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/d3drm/render.h"

namespace {

void DrawBand(const std::vector<RmTriangle>& batch, RasterTarget target, const RasterViewport& area,
              int rowBegin, int rowEnd) {
    target.rowBegin = rowBegin;
    target.rowEnd = rowEnd;
    for (const RmTriangle& t : batch) RasterTriangle(target, area, t.state, t.v, t.edgeMask);
}

}  // namespace

// One job at a time: Start hands it over, Wait returns when it is drawn.
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
    void Start(const std::vector<RmTriangle>* batch, const RasterTarget& target, const RasterViewport& area,
               int rowBegin, int rowEnd) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            batch_ = batch;
            target_ = target;
            area_ = area;
            rowBegin_ = rowBegin;
            rowEnd_ = rowEnd;
            pending_ = true;
        }
        wake_.notify_one();
    }
    void Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return !pending_; });
    }

  private:
    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return pending_ || quit_; });
            if (quit_) return;
            lock.unlock();
            DrawBand(*batch_, target_, area_, rowBegin_, rowEnd_);
            lock.lock();
            pending_ = false;
            done_.notify_one();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const std::vector<RmTriangle>* batch_ = nullptr;
    RasterTarget target_;
    RasterViewport area_;
    int rowBegin_ = 0, rowEnd_ = 0;
    bool pending_ = false, quit_ = false;
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

void RmDrawBatch(RmRenderer& r, const RasterTarget& target, const RasterViewport& area) {
    // The split row is fixed by the viewport alone, so every machine draws the same bands.
    const int split = area.y + area.height / 2;
    if (r.worker && !r.batch.empty()) {
        r.worker->Start(&r.batch, target, area, split, 1 << 30);
        DrawBand(r.batch, target, area, -(1 << 30), split);
        r.worker->Wait();
    } else {
        DrawBand(r.batch, target, area, -(1 << 30), split);
        DrawBand(r.batch, target, area, split, 1 << 30);
    }
    r.batch.clear();
}
