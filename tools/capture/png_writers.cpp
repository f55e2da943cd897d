// --format png: the encoder threads and the queue of frames they take from.
#include "tools/capture/png_writers.h"

#include <algorithm>
#include <utility>

#include "tools/capture/image_file.h"

namespace {

// Frames waiting or being written at once: enough to keep every encoder busy while the show
// draws ahead, few enough that a slow disk holds the show back instead of filling memory
// (a 640 x 480 frame takes 0.9 MB).
const size_t kBuffersPerThread = 3;

}  // namespace

PngWriters::~PngWriters() {
    std::string ignored;
    Finish(ignored);
}

void PngWriters::Start(int threads) {
    if (!threads_.empty()) return;
    stop_ = false;
    for (int i = 0; i < std::max(1, threads); i++) threads_.emplace_back(&PngWriters::Run, this);
}

bool PngWriters::Write(const std::string& path, const uint16_t* pixels, int width, int height, int pitch,
                       bool rgb555, std::string& why) {
    if (threads_.empty()) Start(1);  // never left waiting for an encoder that is not there
    std::vector<uint8_t> rgb;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!failure_.empty()) {
            why = failure_;
            return false;
        }
        const size_t limit = kBuffersPerThread * threads_.size();
        freed_.wait(lock, [&] { return !spare_.empty() || buffers_ < limit; });
        if (!spare_.empty()) {
            rgb = std::move(spare_.back());
            spare_.pop_back();
        } else {
            buffers_++;
        }
    }
    ExpandFrameRgb(pixels, width, height, pitch, rgb555, 1, rgb);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(Job{path, std::move(rgb), width, height});
    }
    queued_.notify_one();
    return true;
}

bool PngWriters::Finish(std::string& why) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    queued_.notify_all();
    for (std::thread& t : threads_) t.join();  // each leaves once the queue is empty
    threads_.clear();
    why = failure_;
    return failure_.empty();
}

void PngWriters::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        queued_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (queue_.empty()) return;
        Job job = std::move(queue_.front());
        queue_.pop_front();
        const bool skip = !failure_.empty();
        lock.unlock();
        std::string why;
        const bool ok = skip || WriteRgbPng(job.path, job.rgb.data(), job.width, job.height, why);
        lock.lock();
        if (!ok && failure_.empty()) failure_ = "cannot write " + job.path + ": " + why;
        spare_.push_back(std::move(job.rgb));
        freed_.notify_one();
    }
}
