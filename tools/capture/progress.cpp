// The progress line: "[#####.....]  45.2 s of 100 s  2712 frames  38.5x real time".
#include "tools/capture/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {
const int64_t kShowLengthMs = 100000;  // the timeline's planned length
const int kBarWidth = 30;
}  // namespace

void Progress::Start() {
    on_ = isatty(STDERR_FILENO) == 1;
    start_ = last_ = std::chrono::steady_clock::now();
}

void Progress::Frame(int64_t showTimeMs, long frames) {
    if (!on_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(200)) return;
    last_ = now;
    Draw(showTimeMs, frames);
}

void Progress::Finish(int64_t showTimeMs, long frames) {
    if (!on_) return;
    Draw(showTimeMs, frames);
    std::fputc('\n', stderr);
}

void Progress::Draw(int64_t showTimeMs, long frames) {
    const int64_t t = std::clamp<int64_t>(showTimeMs, 0, kShowLengthMs);
    const int filled = static_cast<int>(t * kBarWidth / kShowLengthMs);
    char bar[kBarWidth + 1];
    for (int i = 0; i < kBarWidth; i++) bar[i] = i < filled ? '#' : '.';
    bar[kBarWidth] = 0;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double speed = seconds > 0 ? (static_cast<double>(std::max<int64_t>(showTimeMs, 0)) / 1000.0) / seconds : 0;
    std::fprintf(stderr, "\r[%s] %5.1f s of %lld s  %ld frames  %.1fx real time ", bar,
                 static_cast<double>(t) / 1000.0, static_cast<long long>(kShowLengthMs / 1000), frames, speed);
    std::fflush(stderr);
}
