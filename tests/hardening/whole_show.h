// Runs the whole program in this process on the offscreen host, at a low virtual frame rate,
// with Escape and platform faults scripted by show time, and audits the platform objects
// left alive at the end.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct WholeShowOptions {
    int fps = 5;                 // virtual frames a second: low keeps a whole show quick
    long escapeAt = -2;          // show time (ms) of the Escape; -1: on the loading screen; -2: none
    std::string data;            // show folder; empty: the built-in show data
    // Called once the stand-in is reset, just before WinMain: arm faults, switch the log on.
    std::function<void()> arm;
    // Called on every pump with its show time (-1 before the timeline starts), to arm faults
    // or switch the call log on at a chosen moment.
    std::function<void(long showTime)> onPump;
};

struct WholeShowRun {
    int exitCode = -1;
    long loadingFrames = 0;          // frames flipped before the timeline started
    std::vector<long> showTimes;     // show time of every timeline frame, in order
    std::vector<std::string> boxes;  // "caption: text" of each message box
    long LastShowTime() const { return showTimes.empty() ? -1 : showTimes.back(); }
    long FramesBetween(long from, long to) const;  // timeline frames with from <= t < to
};

// Resets the stand-in and runs WinMain to its return. Faults and the call log set by arm or
// onPump stay in force for the rest of the run.
WholeShowRun RunWholeShow(const WholeShowOptions& options = WholeShowOptions());

// Live platform objects by kind, without the kinds at zero.
std::map<std::string, int> LiveObjectCounts();

// What a finished run leaves alive by design: the three scenes' viewports, which the show
// never releases, the camera frame each viewport looks through, the one device they draw
// on and the back buffer that device draws into. Everything else is given back.
std::map<std::string, int> ObjectsLeftByDesign(int viewports = 3);

// For runs that end in exit() (RunInChild): prints the live objects at process exit on stderr as
// "left at exit: IDirectDraw=1 IDirectDrawSurface=2 ...", in kind order.
void PrintLiveObjectsAtExit();

// Runs `body` in a forked child whose stderr is kept, for the paths that end the process with
// exit(): the child leaves with body's result through exit(), so atexit handlers run.
struct ChildRun {
    int exitCode = -1;  // -1 when the child did not exit normally (a crash or a signal)
    std::string errors;
};
ChildRun RunInChild(const std::function<int()>& body);
