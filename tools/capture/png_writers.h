// --format png: frames encoded on threads of their own while the show goes on. Each frame is
// expanded to RGB at once (the show draws its next frame into the same memory), queued, and
// written by the next free encoder; a file's bytes do not depend on which thread wrote it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PngWriters {
  public:
    ~PngWriters();
    // Starts `threads` encoders (at least one).
    void Start(int threads);
    bool IsStarted() const { return !threads_.empty(); }
    // Queues a width x height 16-bit frame (rows pitch bytes apart) for `path`; waits while
    // every buffer is taken. Once a write has failed, later frames are dropped: false, with
    // `why` naming the file that failed.
    bool Write(const std::string& path, const uint16_t* pixels, int width, int height, int pitch, bool rgb555,
               std::string& why);
    // Waits until every queued frame is written and ends the encoders. False with `why` naming
    // the first file that could not be written.
    bool Finish(std::string& why);

  private:
    struct Job {
        std::string path;
        std::vector<uint8_t> rgb;
        int width = 0, height = 0;
    };
    void Run();

    std::mutex mutex_;
    std::condition_variable queued_, freed_;
    std::deque<Job> queue_;
    std::vector<std::vector<uint8_t>> spare_;  // buffers to expand the next frames into
    size_t buffers_ = 0;                       // made so far: a few per encoder at most
    bool stop_ = false;
    std::string failure_;  // the first write that failed
    std::vector<std::thread> threads_;
};
