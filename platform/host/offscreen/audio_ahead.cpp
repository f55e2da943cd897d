#include "platform/host/offscreen/audio_ahead.h"

#include <utility>

void AudioAhead::Render(HostAudioPull pull, void* user, const Sink& sink, std::vector<int16_t>& buffer,
                        int frames, int tag) {
    buffer.assign(static_cast<size_t>(frames) * 2, 0);
    const bool playing = pull(user, buffer.data(), frames);
    if (sink) sink(buffer.data(), frames, playing, tag);
}

void AudioAhead::Start(HostAudioPull pull, void* user, Sink sink) {
    Drain();  // a device opened again: what fell due before goes where it was going
    pull_ = pull;
    user_ = user;
    sink_ = std::move(sink);
    if (thread_.joinable()) return;
    // Room for a second of blocks at 60 frames a second, and for the largest block: nothing
    // is allocated while the show runs.
    pending_.reserve(64);
    working_.reserve(64);
    buffer_.reserve(static_cast<size_t>(kMaxBlock) * 2);
    stop_ = false;
    thread_ = std::thread(&AudioAhead::Run, this);
}

void AudioAhead::Post(int frames, int tag) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.push_back(Block{frames, tag});
    }
    posted_.notify_one();
}

void AudioAhead::Drain() {
    std::unique_lock<std::mutex> lock(mutex_);
    drained_.wait(lock, [this] { return pending_.empty() && !busy_; });
}

void AudioAhead::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    posted_.notify_one();
    thread_.join();  // the thread renders what is left before it ends
}

void AudioAhead::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        posted_.wait(lock, [this] { return stop_ || !pending_.empty(); });
        if (pending_.empty()) return;  // stopped, and nothing left to render
        std::swap(pending_, working_);
        busy_ = true;
        lock.unlock();
        for (const Block& block : working_) Render(pull_, user_, sink_, buffer_, block.frames, block.tag);
        working_.clear();
        lock.lock();
        busy_ = false;
        if (pending_.empty()) drained_.notify_all();
    }
}
