// The 3D segment runner shared by the credits, baller and scene1 tests.
#include "tests/segments/scene_segment_fixture.h"

#include <filesystem>

#include "app/app.h"
#include "display/bitmap.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "platform/testing/hooks.h"
#include "segments/segments.h"

namespace fs = std::filesystem;

void SceneSegmentTest::SetUp() {
    ShowTest::SetUp();
    ASSERT_TRUE(fs::exists(fs::path(ZELK6_BUILTIN_DATA) / "scripts")) << "build the show data first";
}

void SceneSegmentTest::TearDown() {
    // Whatever a failed test left behind.
    for (SceneRecord* r : {&CreditsRecord, &BallerRecord, &Scene1Record}) {
        ReleaseScene(*r);
        *r = SceneRecord{nullptr, nullptr, nullptr, nullptr};
    }
    ReleasePicture(SauPicture);
    Release3DDevice();
    ReleaseDisplay();
}

void SceneSegmentTest::Run(void (*segment)(), const Options& o) {
    frames.clear();
    OffscreenConfig config;
    config.step = [this, step = o.step](uint32_t tick) {
        return running ? step(tick - SegmentStart) : 16u;
    };
    config.onFrame = [this](const uint16_t* p, int, int, int pitch, bool, uint32_t tick) {
        if (!running) return;
        SceneFrame f{tick - SegmentStart, SceneDevice ? SceneDevice->GetQuality() : 0u,
                     std::vector<uint16_t>(640 * 480)};
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++) f.words[y * 640 + x] = p[y * (pitch / 2) + x];
        frames.push_back(std::move(f));
    };
    ResetShowState(config);
    OpenShowDisplay();
    ASSERT_EQ(Create3DDevice(IID_IDirect3DHALDevice, DisplayObject, BackSurface), 0);
    ScopedWorkingDir in(o.dataDir.empty() ? std::string(ZELK6_BUILTIN_DATA) : o.dataDir);
    CreditsRecord = LoadSceneScript("scripts\\credits.scr", 0, 0, 639, 479);
    BallerRecord = LoadSceneScript("scripts\\baller.scr", 0, 0, 639, 479);
    Scene1Record = LoadSceneScript("scripts\\scene1.scr", 0, 0, 639, 479);
    SauPicture = LoadBitmapSurface("images\\sau.bmp", 0, 0);
    if (o.prepare) o.prepare();
    surfacesBefore = standin::LiveObjects("IDirectDrawSurface");
    if (o.abortOnEntry) AbortRequested = 1;
    SegmentStart = GetTickCount() + o.startOffset;
    running = true;
    segment();
    running = false;
}

std::string SceneSegmentTest::DataWithout(const std::vector<std::string>& leftOut) {
    const std::string copy = dir.File("show");
    fs::copy(ZELK6_BUILTIN_DATA, copy, fs::copy_options::recursive);
    for (const std::string& name : leftOut) fs::remove(fs::path(copy) / name);
    return copy;
}

int SceneSegmentTest::NonBlack(const SceneFrame& f) {
    int n = 0;
    for (uint16_t w : f.words) n += w != 0;
    return n;
}
