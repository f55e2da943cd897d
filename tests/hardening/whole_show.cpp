// The whole program in process on the offscreen host, for the hardening tests.
#include "tests/hardening/whole_show.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "app/app.h"
#include "platform/host/offscreen/offscreen.h"
#include "platform/midas/midas.h"
#include "platform/testing/hooks.h"
#include "tests/support/show_fixture.h"

long WholeShowRun::FramesBetween(long from, long to) const {
    long n = 0;
    for (long t : showTimes) n += t >= from && t < to;
    return n;
}

WholeShowRun RunWholeShow(const WholeShowOptions& options) {
    WholeShowRun run;
    // The first pump is the one just before T0 is read; every later one is in the timeline.
    // The counter lives here, not in the lambdas, so both see the same value.
    long pumps = 0;
    OffscreenConfig config;
    config.step = OffscreenFrameRate(options.fps);
    config.onFrame = [&](const uint16_t*, int, int, int, bool, uint32_t tick) {
        if (pumps == 0)
            run.loadingFrames++;
        else
            run.showTimes.push_back(static_cast<int32_t>(tick - T0));
    };
    bool escaped = false;
    config.onPump = [&](uint32_t tick, const HostInputSink& sink) {
        pumps++;
        const long showTime = pumps == 1 ? -1 : static_cast<int32_t>(tick - T0);
        if (options.onPump) options.onPump(showTime);
        if (!escaped && options.escapeAt >= -1 && showTime >= options.escapeAt) {
            sink.KeyDown(VK_ESCAPE, false, false);
            escaped = true;
        }
    };
    config.onMessageBox = [&](const std::string& text, const std::string& caption) {
        run.boxes.push_back(caption + ": " + text);
    };
    ResetShowState(config);
    if (options.arm) options.arm();
    ScopedWorkingDir in(options.data.empty() ? std::string(ZELK6_BUILTIN_DATA) : options.data);
    static char commandLine[] = "";
    run.exitCode = WinMain(nullptr, nullptr, commandLine, SW_SHOW);
    // A start-up that failed leaves the music library open, as designed; close it so a later
    // run in this process can start it again. Unlogged: the log is the run's.
    const bool logging = standin::CallLogEnabled();
    standin::EnableCallLog(false);
    MIDASclose();
    standin::EnableCallLog(logging);
    // The offscreen host keeps the callbacks; they must not outlive this frame.
    ConfigureOffscreen(OffscreenConfig());
    SelectHost("offscreen");
    return run;
}

std::map<std::string, int> LiveObjectCounts() {
    std::map<std::string, int> counts;
    for (const std::string& kind : standin::LiveObjectKinds()) counts[kind] = standin::LiveObjects(kind.c_str());
    return counts;
}

std::map<std::string, int> ObjectsLeftByDesign(int viewports) {
    if (viewports == 0) return {};
    return {{"IDirect3DRMViewport", viewports},
            {"IDirect3DRMFrame", viewports},
            {"IDirect3DRMDevice", 1},
            {"IDirectDrawSurface", 1}};
}

void PrintLiveObjectsAtExit() {
    // The hooks' state must exist before the handler is registered, or it is destroyed
    // before the handler runs.
    standin::LiveObjectKinds();
    std::atexit([] {
        std::string line = "left at exit:";
        for (const auto& [kind, count] : LiveObjectCounts()) line += " " + kind + "=" + std::to_string(count);
        std::fprintf(stderr, "%s\n", line.c_str());
    });
}

ChildRun RunInChild(const std::function<int()>& body) {
    ChildRun result;
    std::fflush(nullptr);
    TempDir scratch;
    const std::string errorsPath = scratch.File("stderr");
    const pid_t child = fork();
    if (child == 0) {
        if (!std::freopen(errorsPath.c_str(), "w", stderr)) _exit(100);
        std::exit(body());
    }
    if (child < 0) return result;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return result;
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    std::ifstream in(errorsPath);
    result.errors.assign(std::istreambuf_iterator<char>(in), {});
    return result;
}
