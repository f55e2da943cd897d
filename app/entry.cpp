// The show's run: WinMain's start-up in its fixed order, the loading screen, the timeline and
// the shutdown. WinMain returns 0 after the show, else the failed step's code.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app.h"
#include "app/device_choice.h"
#include "display/bitmap.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "effects/tables.h"
#include "scene/scene.h"
#include "segments/segments.h"

IDirectDrawSurface* LoadingPicture = nullptr;
DWORD SegmentStart = 0;
DWORD T0 = 0;

namespace {

struct ProgressLine {
    const char* text;
    int y;  // pixels from the top; x is 0
};

const ProgressLine kLines[3] = {
    {"- Lookup tables", 0},
    {"- MIDAS", 15},
    {"- 3D Scenes", 30},
};

const COLORREF kFinished = 0xFFFFFF;  // white
const COLORREF kPending = 0x3F3F3F;   // dark grey

// The segments in order, each started at its fixed offset from T0. Offsets are absolute, so a
// segment that overruns shortens the next and delays never add up.
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

// The loading picture with three progress lines, redrawn and flipped after each stage.
void ShowLoadingProgress(int finishedStages) {
    BlitPicture(LoadingPicture, nullptr, nullptr);

    HDC dc = nullptr;
    if (BackSurface->GetDC(&dc) == DD_OK) {
        SetBkMode(dc, TRANSPARENT);
        for (int i = 0; i < 3; i++) {
            SetTextColor(dc, i + 1 <= finishedStages ? kFinished : kPending);
            TextOutA(dc, 0, kLines[i].y, kLines[i].text, static_cast<int>(std::strlen(kLines[i].text)));
        }
        BackSurface->ReleaseDC(dc);
    }
    FlipDisplay();
}

void RunLoadingSequence() {
    ShowLoadingProgress(0);
    BuildLookupTables();
    ShowLoadingProgress(1);

    MusicModule = MIDASloadModule("zelkmod.xm");
    if (!MusicModule) FailWithMusicError();
    MusicPlayHandle = MIDASplayModule(MusicModule, TRUE);
    if (!MusicPlayHandle) FailWithMusicError();
    ShowLoadingProgress(2);

    // 639 x 479, not 640 x 480: the scenes leave the right column and the bottom row alone.
    CreditsRecord = LoadSceneScript("scripts\\credits.scr", 0, 0, 639, 479);
    BallerRecord = LoadSceneScript("scripts\\baller.scr", 0, 0, 639, 479);
    Scene1Record = LoadSceneScript("scripts\\scene1.scr", 0, 0, 639, 479);
    SauPicture = LoadBitmapSurface("images\\sau.bmp", 0, 0);
    ShowLoadingProgress(3);
}

void RunTimeline() {
    T0 = GetTickCount();
    for (const TimelineEntry& entry : kTimeline) {
        SegmentStart = T0 + entry.offset;
        entry.run();
    }
}

// Says which file was missing, where it was looked for and why it failed: a user who starts the
// show from the wrong folder otherwise sees the dialogs and then nothing. `error` is the loader's
// last error, read as the load failed.
static void ReportNoLoadingPicture(DWORD error) {
    char folder[MAX_PATH] = "";
    if (!GetCurrentDirectoryA(sizeof(folder), folder)) lstrcpyA(folder, "this folder");
    char reason[256] = "";
    if (error == ERROR_SUCCESS ||
        !FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                        sizeof(reason), nullptr))
        lstrcpyA(reason, "the picture could not be put on a surface");
    char text[MAX_PATH + 512];
    std::snprintf(text, sizeof(text), "cannot load images\\load.bmp from %s: %s; start zelk6 from a show folder",
                  folder, reason);
    MessageBoxA(MainWindow, text, "Zelk6", MB_OK);
}

// Stops and frees the module and closes the library; any failure ends the program.
static void ShutDownMusic() {
    if (!MIDASstopModule(MusicPlayHandle)) FailWithMusicError();
    if (!MIDASfreeModule(MusicModule)) FailWithMusicError();
    if (!MIDASclose()) FailWithMusicError();
}

int WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand) {
    (void)commandLine;  // the show takes no arguments

    EnumerateDrivers();  // an empty list still shows the dialog; the primary driver is used
    PrepareFrameBuffer();

    MIDASstartup();
    // The window does not exist yet, so the library is given a null owner.
    MIDASsetOption(MIDAS_OPTION_DSOUND_HWND, reinterpret_cast<DWORD_PTR>(MainWindow));
    MIDASsetOption(MIDAS_OPTION_DSOUND_MODE, 0);
    if (!MIDASconfig()) return 2;
    if (!MIDASinit()) FailWithMusicError();

    // Cancel (or Escape) ends the program as the sound set-up's Cancel does, with 2 and before
    // any window exists; the music library is running by now, so it is closed first, as a
    // music failure closes it. A close from the caption stores nothing and the show goes on
    // with both identities all zero: the primary display driver and the 3D device's default.
    if (ShowDeviceDialog(instance, nullptr) == 1) {
        if (!MIDASclose()) FailWithMusicError();
        return 2;
    }

    CreateMainWindow(instance, previousInstance, showCommand);

    int code = InitDisplay(MainWindow, &DisplayDriverGuid);
    if (code != 0) {
        ReleaseDisplay();
        return code;
    }

    code = Create3DDevice(RenderDeviceGuid, DisplayObject, BackSurface);
    if (code != 0) {
        Release3DDevice();
        ReleaseDisplay();
        return code;
    }

    ShowCursor(FALSE);

    SetLastError(ERROR_SUCCESS);
    LoadingPicture = LoadBitmapSurface("images\\load.bmp", 0, 0);
    if (!LoadingPicture) {
        const DWORD error = GetLastError();
        Release3DDevice();
        ReleaseDisplay();
        ReportNoLoadingPicture(error);
        return 1;
    }

    RunLoadingSequence();
    PumpFrame();
    RunTimeline();

    ShutDownMusic();
    LoadingPicture->Release();
    LoadingPicture = nullptr;
    Release3DDevice();
    ReleaseDisplay();
    return 0;
}
