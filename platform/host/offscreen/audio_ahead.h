// The offscreen host's sound thread: the show's thread hands over each block of sound as it
// falls due and draws on, while this thread renders the blocks in the order given and passes
// each on with its tag. The samples are the ones the show's thread would have rendered itself.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/host/host.h"

class AudioAhead {
  public:
    using Sink = std::function<void(const int16_t* samples, int frames, bool playing, int tag)>;

    ~AudioAhead() { Stop(); }
    // Starts the thread if it is not running; blocks posted from now on are rendered with
    // `pull` and handed to `sink` (which may be empty).
    void Start(HostAudioPull pull, void* user, Sink sink);
    bool Running() const { return thread_.joinable(); }
    // A block of `frames` (at most kMaxBlock) stereo frames.
    void Post(int frames, int tag);
    // Returns once every block posted so far has been rendered and passed on.
    void Drain();
    // Drains, then ends the thread.
    void Stop();

    static constexpr int kMaxBlock = 4096;

    // One block: `buffer` sized and zeroed, filled by `pull`, handed to `sink` with what the
    // pull said of it. The same on either thread, so the samples do not depend on which
    // renders them.
    static void Render(HostAudioPull pull, void* user, const Sink& sink, std::vector<int16_t>& buffer, int frames,
                       int tag);

  private:
    struct Block {
        int frames, tag;
    };
    void Run();

    std::mutex mutex_;
    std::condition_variable posted_, drained_;
    std::vector<Block> pending_, working_;  // swapped, so a busy thread takes new blocks
    bool busy_ = false, stop_ = false;
    std::thread thread_;
    HostAudioPull pull_ = nullptr;
    void* user_ = nullptr;
    Sink sink_;
    std::vector<int16_t> buffer_;
};
