// Scene scripts: the X file name, lights and camera from the entries, the reader's number
// slots, skipped and malformed entries, and the scripts that yield the empty record.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/testing/hooks.h"
#include "tests/scene/scene_test_support.h"

namespace {

class SceneScriptTest : public SceneTest {
  protected:
    // Writes the script (its first token is a missing X file unless the text gives one) and
    // loads it with the show's viewport.
    SceneRecord Load(const std::string& text) {
        std::string path = dir.File("test.scr");
        WriteTextFile(path, text);
        return LoadSceneScript(path.c_str(), 0, 0, 639, 479);
    }
    void TearDown() override {
        for (SceneRecord& r : loaded) ReleaseScene(r);
        SceneTest::TearDown();
    }
    SceneRecord Keep(SceneRecord r) {
        loaded.push_back(r);
        return r;
    }
    TempDir dir;
    std::vector<SceneRecord> loaded;
};

void ExpectVector(const D3DVECTOR& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

void ExpectCameraAtOriginAlongZ(const SceneRecord& r) {
    ExpectVector(FramePosition(r, r.cameraFrame), 0, 0, 0);
    D3DVECTOR direction, up;
    FrameOrientation(r, r.cameraFrame, &direction, &up);
    ExpectVector(direction, 0, 0, 1);
    ExpectVector(up, 0, 1, 0);
}

TEST_F(SceneScriptTest, OnlyTheXFileNameGivesNoLightsAndTheCameraAtTheOrigin) {
    SceneRecord r = Keep(Load("missing.x\n"));
    ASSERT_TRUE(SceneIsLoaded(r));
    ASSERT_NE(r.cameraFrame, nullptr);
    EXPECT_EQ(r.animationSet, nullptr);
    EXPECT_TRUE(SceneLights(r).empty());
    ExpectCameraAtOriginAlongZ(r);
    // The viewport leaves the last column and row of the device outside.
    EXPECT_EQ(r.viewport->GetWidth(), 639u);
    EXPECT_EQ(r.viewport->GetHeight(), 479u);
    EXPECT_EQ(r.viewport->GetBack(), 100000.0f);
    EXPECT_EQ(r.sceneFrame->GetZbufferMode(), static_cast<D3DRMZBUFFERMODE>(D3DRMZBUFFER_ENABLE));
}

TEST_F(SceneScriptTest, EntriesMakeTheirLightsAndPlaceTheCamera) {
    // Written with Windows line ends, as the show's scripts may be.
    SceneRecord r = Keep(Load("missing.x\r\n"
                              "AMBIENT 0.2 0.4 0.6\r\n"
                              "POINT 1 2 3  0.5  1 0.8 0.2\r\n"
                              "DIRECTIONAL 0 5 0  3 5 4  1 1 1\r\n"
                              "CAMERA 0 0 -5  0 0 0\r\n"));
    std::vector<IDirect3DRMLight*> lights = SceneLights(r);
    ASSERT_EQ(lights.size(), 3u);
    EXPECT_EQ(lights[0]->GetType(), static_cast<D3DRMLIGHTTYPE>(D3DRMLIGHT_AMBIENT));
    EXPECT_EQ(lights[0]->GetColor(), D3DRMCreateColorRGB(0.2f, 0.4f, 0.6f));
    EXPECT_EQ(lights[1]->GetType(), static_cast<D3DRMLIGHTTYPE>(D3DRMLIGHT_POINT));
    EXPECT_EQ(lights[1]->GetColor(), D3DRMCreateColorRGB(1.0f, 0.8f, 0.2f));
    EXPECT_FLOAT_EQ(lights[1]->GetConstantAttenuation(), 0.5f);
    ExpectVector(FramePosition(r, SceneLightFrame(r, 1)), 1, 2, 3);
    EXPECT_EQ(lights[2]->GetType(), static_cast<D3DRMLIGHTTYPE>(D3DRMLIGHT_DIRECTIONAL));

    // The directional light stays at the origin, its z axis from the first point to the second.
    IDirect3DRMFrame* directional = SceneLightFrame(r, 2);
    ExpectVector(FramePosition(r, directional), 0, 0, 0);
    D3DVECTOR direction, up;
    FrameOrientation(r, directional, &direction, &up);
    ExpectVector(direction, 0.6f, 0, 0.8f);
    ExpectVector(up, 0, 1, 0);

    ExpectVector(FramePosition(r, r.cameraFrame), 0, 0, -5);
    FrameOrientation(r, r.cameraFrame, &direction, &up);
    ExpectVector(direction, 0, 0, 1);
    ExpectVector(up, 0, 1, 0);
    // Lights are made and released once attached: only the frames hold them.
    for (IDirect3DRMLight* light : lights) EXPECT_EQ(light->refs, 1u);
}

TEST_F(SceneScriptTest, AByteOrderMarkIsSkippedOnlyAtTheVeryStart) {
    const std::string xFile = dir.File("box.x");
    WriteTextFile(xFile, BoxXFile(0));
    const std::string mark = "\xEF\xBB\xBF";  // UTF-8's, as many editors write it
    const struct {
        std::string text;
        bool boxLoaded;
        size_t lights;
    } cases[] = {
        {xFile + "\nAMBIENT 1 1 1\n", true, 1},
        {mark + xFile + "\nAMBIENT 1 1 1\n", true, 1},
        // Anywhere else the mark is part of a token: the X file or the keyword is not found.
        {" " + mark + xFile + "\nAMBIENT 1 1 1\n", false, 1},
        {mark + mark + xFile + "\nAMBIENT 1 1 1\n", false, 1},
        {xFile + "\n" + mark + "AMBIENT 1 1 1\n", true, 0},
    };
    for (const auto& c : cases) {
        SceneRecord r = Keep(Load(c.text));
        ASSERT_TRUE(SceneIsLoaded(r)) << c.text;
        bool box = false;
        for (IDirect3DRMFrame* child : r.sceneFrame->children) box = box || child->name == "Box";
        EXPECT_EQ(box, c.boxLoaded) << c.text;
        EXPECT_EQ(SceneLights(r).size(), c.lights) << c.text;
    }
}

TEST_F(SceneScriptTest, LevelDirectionsStandUprightAndTiltedOnesKeepTheirDirection) {
    SceneRecord r = Keep(Load("missing.x\n"));
    // Level, along each quarter of the compass.
    const float level[4][6] = {{0, 0, 0, 1, 0, 0}, {2, 1, 2, -2, 1, 2}, {0, 3, 0, 0, 3, -7},
                               {1, 1, 1, 4, 1, 5}};
    for (const auto& p : level) {
        OrientFromPoints(r.cameraFrame, r.sceneFrame, p);
        D3DVECTOR direction, up;
        FrameOrientation(r, r.cameraFrame, &direction, &up);
        float dx = p[3] - p[0], dz = p[5] - p[2], length = std::sqrt(dx * dx + dz * dz);
        ExpectVector(direction, dx / length, 0, dz / length);
        ExpectVector(up, 0, 1, 0);
    }
    // Tilted upwards: the direction is kept and the up vector leans back, still upwards.
    const float tilted[6] = {0, 0, 0, 0, 1, 1};
    OrientFromPoints(r.cameraFrame, r.sceneFrame, tilted);
    D3DVECTOR direction, up;
    FrameOrientation(r, r.cameraFrame, &direction, &up);
    ExpectVector(direction, 0, std::sqrt(0.5f), std::sqrt(0.5f));
    EXPECT_GT(up.y, 0.5f);
    EXPECT_LT(up.z, 0.0f);
}

TEST_F(SceneScriptTest, ColoursOutOfRangeOrNotANumberAreClampedToTheRange) {
    // The reader takes "-nan" and "+inf" as numbers; a colour holds only 0..1, and not a
    // number is taken as 0.
    SceneRecord r = Keep(Load("missing.x\nAMBIENT -nan +inf -inf\nAMBIENT 2 -1 nan\n"));
    std::vector<IDirect3DRMLight*> lights = SceneLights(r);
    ASSERT_EQ(lights.size(), 2u);
    EXPECT_EQ(lights[0]->GetColor(), RGBA_MAKE(0, 0xff, 0, 0xff));
    // Unsigned "nan" is not read as a number, so blue keeps the -inf the first entry left.
    EXPECT_EQ(lights[1]->GetColor(), RGBA_MAKE(0xff, 0, 0, 0xff));
}

TEST_F(SceneScriptTest, LowerCaseKeywordsAreSkippedWithTheirNumbers) {
    SceneRecord r = Keep(Load("missing.x\ncamera 1 2 3 4 5 6\nambient 1 1 1\nPoint 1 1 1\n"));
    EXPECT_TRUE(SceneLights(r).empty());
    ExpectCameraAtOriginAlongZ(r);
}

TEST_F(SceneScriptTest, SlotsCarryOverFromEarlierEntries) {
    // POINT gives only its position: attenuation and red, green come from the camera entry
    // (p4..p6), blue from the directional one (p7).
    SceneRecord r = Keep(Load("missing.x\n"
                              "DIRECTIONAL 0 0 0 0 0 1 0.5 0.6 0.7\n"
                              "AMBIENT 0.1 0.2 0.3 CAMERA 0 0 -5 0.25 0.75 1\n"
                              "POINT 4 5 6\n"));
    std::vector<IDirect3DRMLight*> lights = SceneLights(r);
    ASSERT_EQ(lights.size(), 3u);
    EXPECT_EQ(lights[1]->GetColor(), D3DRMCreateColorRGB(0.1f, 0.2f, 0.3f));
    ExpectVector(FramePosition(r, r.cameraFrame), 0, 0, -5);
    EXPECT_EQ(lights[2]->GetType(), static_cast<D3DRMLIGHTTYPE>(D3DRMLIGHT_POINT));
    EXPECT_FLOAT_EQ(lights[2]->GetConstantAttenuation(), 0.25f);
    EXPECT_EQ(lights[2]->GetColor(), D3DRMCreateColorRGB(0.75f, 1.0f, 0.5f));
    ExpectVector(FramePosition(r, SceneLightFrame(r, 2)), 4, 5, 6);
}

TEST_F(SceneScriptTest, ATenthNumberStartsAnEntryOfItsOwnThatIsSkipped) {
    SceneRecord r = Keep(Load("missing.x\n"
                              "AMBIENT 1 1 1 0 0 0 0 0 0 7 8 9\n"
                              "CAMERA 0 1 -4 0 1 0\n"));
    EXPECT_EQ(SceneLights(r).size(), 1u);
    ExpectVector(FramePosition(r, r.cameraFrame), 0, 1, -4);
}

TEST_F(SceneScriptTest, EqualPointsLeaveTheOrientationAndReadingGoesOn) {
    SceneRecord r = Keep(Load("missing.x\n"
                              "CAMERA 1 2 3 1 2 3\n"
                              "DIRECTIONAL 0 0 0 0 4 0 1 1 1\n"
                              "AMBIENT 1 1 1\n"));
    ExpectVector(FramePosition(r, r.cameraFrame), 1, 2, 3);
    D3DVECTOR direction, up;
    FrameOrientation(r, r.cameraFrame, &direction, &up);
    ExpectVector(direction, 0, 0, 1);
    ExpectVector(up, 0, 1, 0);
    EXPECT_EQ(SceneLights(r).size(), 2u);  // the vertical light exists, unturned
}

TEST_F(SceneScriptTest, ScriptsWithoutASceneYieldTheEmptyRecord) {
    const std::string tooLong(300, 'm');
    for (const std::string& text : {std::string(""), std::string(" \n\t\n"), tooLong + ".x\nAMBIENT 1 1 1\n"}) {
        SceneRecord r = Load(text);
        EXPECT_EQ(r.viewport, nullptr);
        EXPECT_EQ(r.sceneFrame, nullptr);
        EXPECT_EQ(r.cameraFrame, nullptr);
        EXPECT_EQ(r.animationSet, nullptr);
        EXPECT_FALSE(SceneIsLoaded(r));
    }
    SceneRecord missing = LoadSceneScript(dir.File("absent.scr").c_str(), 0, 0, 639, 479);
    EXPECT_FALSE(SceneIsLoaded(missing));
    EXPECT_EQ(missing.sceneFrame, nullptr);
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMFrame"), 0);
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMViewport"), 0);
}

TEST_F(SceneScriptTest, OverlongKeywordsAreSkippedAndReadingGoesOn) {
    const std::string longKeyword(1000, 'K');
    SceneRecord r = Keep(Load("missing.x\n" + longKeyword + " 1 2 3\nAMBIENT 1 1 1\n"));
    EXPECT_EQ(SceneLights(r).size(), 1u);
}

TEST_F(SceneScriptTest, AFailedLightLeavesThatEntryOutAndTheRestApplied) {
    standin::FailCall("IDirect3DRM::CreateLightRGB", 1);
    SceneRecord r = Keep(Load("missing.x\nAMBIENT 1 1 1\nPOINT 1 1 1 1 1 1 1\n"));
    std::vector<IDirect3DRMLight*> lights = SceneLights(r);
    ASSERT_EQ(lights.size(), 1u);
    EXPECT_EQ(lights[0]->GetType(), static_cast<D3DRMLIGHTTYPE>(D3DRMLIGHT_POINT));
}

TEST_F(SceneScriptTest, ReleaseGivesBackEveryFrameAndLight) {
    SceneRecord r = Load("missing.x\nAMBIENT 1 1 1\nPOINT 1 1 1 1 1 1 1\nCAMERA 0 0 -3 0 0 0\n");
    EXPECT_GT(standin::LiveObjects("IDirect3DRMFrame"), 0);
    ReleaseScene(r);
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMLight"), 0);
    // The viewport is never given back; it keeps only the camera it looks through.
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMViewport"), 1);
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMFrame"), 1);
}

}  // namespace
