// Building scenes from X files: the animation set kept, replaced or absent, textures read from
// the textures\ folder only, and a partly failed build that never crashes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/testing/hooks.h"
#include "tests/scene/scene_test_support.h"

namespace {

class BuildSceneTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
        // Texture names are relative to the working directory, as in the show.
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        std::filesystem::create_directories(dir.File("models"));
        std::filesystem::create_directories(dir.File("textures"));
    }
    void TearDown() override {
        ReleaseScene(record);
        SceneTest::TearDown();
        ASSERT_EQ(chdir(previous), 0);
    }
    void Build(const std::string& xText) {
        WriteTextFile(dir.File("models/box.x"), xText);
        BuildScene("models\\box.x", &record, 0, 0, 639, 479);
    }
    TempDir dir;
    char previous[4096];
    SceneRecord record = {nullptr, nullptr, nullptr, nullptr};
};

// The frame the X file's Box became, under the root.
IDirect3DRMFrame* BoxFrame(const SceneRecord& r) {
    for (IDirect3DRMFrame* child : r.sceneFrame->children)
        if (child->name == "Box") return child;
    return nullptr;
}

TEST_F(BuildSceneTest, WithoutAnAnimationSetTheRecordHasNone) {
    Build(BoxXFile(0));
    ASSERT_TRUE(SceneIsLoaded(record));
    EXPECT_EQ(record.animationSet, nullptr);
    EXPECT_NE(BoxFrame(record), nullptr);
    EXPECT_EQ(RenderScene(50.0f, record), 1);  // no time to set; still draws
}

TEST_F(BuildSceneTest, TheAnimationSetIsKeptAndDrivesItsFrame) {
    Build(BoxXFile(1));
    ASSERT_NE(record.animationSet, nullptr);
    EXPECT_EQ(record.animationSet->refs, 1u);  // the loader's reference, now the record's
    IDirect3DRMFrame* box = BoxFrame(record);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(RenderScene(50.0f, record), 1);
    D3DVECTOR position;
    box->GetPosition(record.sceneFrame, &position);
    EXPECT_NEAR(position.x, 0.5f, 1e-5f);  // halfway from 0 to 1 in 100 time units
}

TEST_F(BuildSceneTest, OfTwoAnimationSetsTheLastOneWinsAndTheFirstIsNotLeaked) {
    Build(BoxXFile(2));
    ASSERT_NE(record.animationSet, nullptr);
    EXPECT_EQ(record.animationSet->name, "Set2");
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMAnimationSet"), 1);
    ReleaseScene(record);
    record = SceneRecord{nullptr, nullptr, nullptr, nullptr};
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMAnimationSet"), 0);
}

TEST_F(BuildSceneTest, TexturesAreReadFromTheTexturesFolderWhereverTheXFileLies) {
    const std::string source = std::string(ZELK6_BUILTIN_DATA) + "/textures/tiles.bmp";
    ASSERT_TRUE(std::filesystem::exists(source)) << "build the show data first";
    std::filesystem::copy_file(source, dir.File("textures/t.bmp"));
    standin::EnableCallLog(true);
    Build(BoxXFile(0, "t.bmp"));
    standin::EnableCallLog(false);
    EXPECT_EQ(standin::CountCalls("IDirect3DRM::LoadTexture"), 1);
    // Only textures\t.bmp exists, so a texture proves the folder was put in front.
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMTexture"), 1);
}

TEST_F(BuildSceneTest, AMissingTextureLeavesTheSceneLoaded) {
    // Beside the X file and in the working directory, but not in textures\: not found.
    const std::string source = std::string(ZELK6_BUILTIN_DATA) + "/textures/tiles.bmp";
    std::filesystem::copy_file(source, dir.File("models/absent.bmp"));
    std::filesystem::copy_file(source, dir.File("absent.bmp"));
    Build(BoxXFile(0, "absent.bmp"));
    EXPECT_TRUE(SceneIsLoaded(record));
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMTexture"), 0);
    EXPECT_EQ(RenderScene(0.0f, record), 1);
}

TEST_F(BuildSceneTest, TexturePathsHoldAtMost250CharactersOfName) {
    char guarded[kTexturePathSize + 16];
    std::memset(guarded, 0x5A, sizeof(guarded));
    const std::string fits(250, 'a');
    ASSERT_EQ(MakeTexturePath(fits.c_str(), guarded), 1);
    EXPECT_EQ(std::string(guarded), "textures\\" + fits);

    const std::string tooLong(251, 'b');
    EXPECT_EQ(MakeTexturePath(tooLong.c_str(), guarded), 0);
    EXPECT_STREQ(guarded, "textures\\");
    for (size_t i = kTexturePathSize; i < sizeof(guarded); i++) ASSERT_EQ(guarded[i], 0x5A) << i;

    // Refused before any file is looked for.
    std::string name(4000, 'c');
    IDirect3DRMTexture* texture = nullptr;
    standin::EnableCallLog(true);
    EXPECT_NE(LoadSceneTexture(name.data(), nullptr, &texture), D3DRM_OK);
    standin::EnableCallLog(false);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(standin::CountCalls("IDirect3DRM::LoadTexture"), 0);
}

TEST_F(BuildSceneTest, AViewportThatCannotBeMadeLeavesARecordThatIsNotLoaded) {
    standin::FailCall("IDirect3DRM::CreateViewport", 1);
    Build(BoxXFile(1));
    EXPECT_FALSE(SceneIsLoaded(record));
    EXPECT_NE(record.sceneFrame, nullptr);
    EXPECT_EQ(record.viewport, nullptr);
}

TEST_F(BuildSceneTest, ARootThatCannotBeMadeLeavesTheEmptyRecord) {
    standin::FailCall("IDirect3DRM::CreateFrame", 1);
    Build(BoxXFile(1));
    EXPECT_EQ(record.sceneFrame, nullptr);
    EXPECT_EQ(record.cameraFrame, nullptr);
    EXPECT_EQ(record.viewport, nullptr);
    EXPECT_EQ(record.animationSet, nullptr);
}

}  // namespace
