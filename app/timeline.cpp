// The timeline: the segments in order, each started at its fixed offset from T0. Offsets
// are absolute, so a segment that overruns shortens the next and delays never add up.
#include "app/app.h"
#include "segments/effect_segments.h"
#include "segments/scene_segments.h"
#include "segments/segments.h"

DWORD SegmentStart = 0;
DWORD T0 = 0;

namespace {

struct TimelineEntry {
    DWORD offset;  // ms after T0
    void (*run)();
};

const TimelineEntry kTimeline[] = {
    {0, RunCreditsSegment},
    {20000, RunWaveEdgeSegment},
    {30000, RunTunnelSegment},
    {40000, RunWireFigureSegment},
    {50000, RunBallerSegment},
    {60000, RunStillPictureSegment},
    {65000, RunScene1Segment},
    {70000, RunScrollerSegment},  // three passes of 10 000 ms; the show ends about 100 000 ms after T0
};

}  // namespace

void RunTimeline() {
    T0 = GetTickCount();
    for (const TimelineEntry& entry : kTimeline) {
        SegmentStart = T0 + entry.offset;
        entry.run();
    }
}
