// The capture's progress line on a terminal: show time, frames, speed against real time.
#pragma once

#include <chrono>
#include <cstdint>

class Progress {
  public:
    // Draws only when stderr is a terminal.
    void Start();
    // Called once per frame; redraws about five times a second.
    void Frame(int64_t showTimeMs, long frames);
    // The final line, then a newline.
    void Finish(int64_t showTimeMs, long frames);

  private:
    void Draw(int64_t showTimeMs, long frames);
    bool on_ = false;
    std::chrono::steady_clock::time_point start_, last_;
};
