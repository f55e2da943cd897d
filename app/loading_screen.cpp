// The loading screen: the loading picture with three progress lines, redrawn and flipped
// after each stage, and the stages themselves.
#include <cstring>

#include "app/app.h"
#include "app/loading.h"
#include "app/music.h"
#include "display/bitmap.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "effects/tables.h"
#include "segments/scene_segments.h"
#include "segments/segments.h"

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

}  // namespace

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
