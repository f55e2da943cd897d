// 3D failures: device settings the platform refuses; in a whole run, rendering, device
// updates, animation times and viewport clears that fail are absorbed frame by frame; scenes that load partly or not at all are drawn as
// far as they exist and the segments keep their timing; every scene object but the kept
// viewports (and what they hold) is given back, and with no viewport nothing stays at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "display/display.h"
#include "platform/testing/hooks.h"
#include "scene/scene.h"
#include "tests/hardening/whole_show.h"
#include "tests/support/show_fixture.h"

namespace {

namespace fs = std::filesystem;

const long kEscapeAt = 3000;  // inside the credits, the first 3D segment
const int kForever = 1 << 30;

struct SceneFault {
    const char* name;
    const char* call;
    int times;
    int viewportsLeft;  // scenes whose viewport was made
};

void PrintTo(const SceneFault& f, std::ostream* os) { *os << f.call; }

class SceneFaults : public ::testing::TestWithParam<SceneFault> {};

TEST_P(SceneFaults, TheCreditsKeepTheirPaceAndOnlyTheViewportsStay) {
    const SceneFault f = GetParam();
    WholeShowOptions options;
    options.escapeAt = kEscapeAt;
    options.arm = [f] { standin::FailCall(f.call, f.times); };
    WholeShowRun run = RunWholeShow(options);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(run.loadingFrames, 4);
    EXPECT_EQ(run.FramesBetween(0, kEscapeAt + 1), kEscapeAt / 200 + 1);
    EXPECT_EQ(LiveObjectCounts(), ObjectsLeftByDesign(f.viewportsLeft));
}

INSTANTIATE_TEST_SUITE_P(
    Calls, SceneFaults,
    ::testing::Values(
        // Per frame, results not looked at.
        SceneFault{"RenderAlways", "IDirect3DRMViewport::Render", kForever, 3},
        SceneFault{"UpdateAlways", "IDirect3DRMDevice::Update", kForever, 3},
        SceneFault{"SetTimeAlways", "IDirect3DRMAnimationSet::SetTime", kForever, 3},
        SceneFault{"ClearAlways", "IDirect3DRMViewport::Clear", kForever, 3},
        // While loading: X files that cannot be read leave root, camera, viewport and the
        // script's lights; textures and lights that cannot be made are left out.
        SceneFault{"XFilesUnreadable", "IDirect3DRM::Load", kForever, 3},
        SceneFault{"TexturesUnreadable", "IDirect3DRM::LoadTexture", kForever, 3},
        SceneFault{"LightsRefused", "IDirect3DRM::CreateLightRGB", kForever, 3},
        // The credits' viewport or root cannot be made: that scene is skipped, not drawn.
        SceneFault{"FirstViewportRefused", "IDirect3DRM::CreateViewport", 1, 2},
        SceneFault{"FirstRootRefused", "IDirect3DRM::CreateFrame", 1, 2}),
    [](const ::testing::TestParamInfo<SceneFault>& info) { return std::string(info.param.name); });

// A device setting the platform refuses leaves that setting at the platform's default; the
// others are still made and the device is created all the same.
TEST(DeviceSettingFaults, ARefusedSettingKeepsItsDefaultAndTheRestApply) {
    const struct {
        const char* call;
        BOOL dither;
        D3DRMRENDERQUALITY quality;
        D3DRMTEXTUREQUALITY texture;
    } cases[] = {
        {"IDirect3DRMDevice::SetDither", FALSE, 137, 2},
        {"IDirect3DRMDevice::SetQuality", TRUE, D3DRMRENDER_FLAT, 2},
        {"IDirect3DRMDevice::SetTextureQuality", TRUE, 137, D3DRMTEXTURE_NEAREST},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        ResetShowState();
        OpenTestDisplay();
        standin::FailCall(c.call, 1);
        ASSERT_EQ(Create3DDevice(IID_IDirect3DHALDevice, DisplayObject, BackSurface), 0);
        EXPECT_EQ(SceneDevice->GetDither(), c.dither);
        EXPECT_EQ(SceneDevice->GetQuality(), c.quality);
        EXPECT_EQ(SceneDevice->GetTextureQuality(), c.texture);
        Release3DDevice();
        ReleaseDisplay();
        EXPECT_TRUE(LiveObjectCounts().empty());
    }
}

// Scene files taken away from a copy of the show data, the show run to its end.
struct MissingScenes {
    const char* name;
    std::vector<const char*> removed;
    int viewportsLeft;
};

void PrintTo(const MissingScenes& m, std::ostream* os) { *os << m.name; }

class MissingSceneFiles : public ::testing::TestWithParam<MissingScenes> {};

TEST_P(MissingSceneFiles, TheShowRunsToItsEndAndGivesBackAllButTheViewportsMade) {
    const MissingScenes& m = GetParam();
    TempDir data;
    fs::copy(ZELK6_BUILTIN_DATA, data.path(), fs::copy_options::recursive);
    for (const char* file : m.removed) ASSERT_TRUE(fs::remove_all(data.File(file)) > 0) << file;
    WholeShowOptions options;
    options.data = data.path();
    WholeShowRun run = RunWholeShow(options);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_GE(run.LastShowTime(), 100000);
    EXPECT_LT(run.LastShowTime(), 101000);
    // Without a scene the 3D segments still keep their time, drawing cleared frames.
    EXPECT_EQ(run.FramesBetween(0, 20000), 100);
    EXPECT_EQ(LiveObjectCounts(), ObjectsLeftByDesign(m.viewportsLeft));
}

INSTANTIATE_TEST_SUITE_P(
    Data, MissingSceneFiles,
    ::testing::Values(MissingScenes{"NoScripts", {"scripts"}, 0},
                      MissingScenes{"NoXFilesOrTextures", {"models", "textures"}, 3},
                      MissingScenes{"NoBallerScript", {"scripts/baller.scr"}, 2}),
    [](const ::testing::TestParamInfo<MissingScenes>& info) { return std::string(info.param.name); });

}  // namespace
