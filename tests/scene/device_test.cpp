// The 3D device: quality settings per chosen device, and release after each failed creation.
#include <gtest/gtest.h>

#include "display/display.h"
#include "platform/testing/hooks.h"
#include "scene/scene.h"
#include "tests/support/show_fixture.h"

namespace {

class DeviceTest : public ShowTest {
  protected:
    void SetUp() override {
        ShowTest::SetUp();
        OpenTestDisplay();
    }
    void TearDown() override {
        Release3DDevice();
        ReleaseDisplay();
    }
};

TEST_F(DeviceTest, HardwareGetsDitherGouraudAndMipmaps) {
    ASSERT_EQ(Create3DDevice(IID_IDirect3DHALDevice, DisplayObject, BackSurface), 0);
    ASSERT_NE(SceneDevice, nullptr);
    EXPECT_EQ(SceneDevice->GetDither(), TRUE);
    EXPECT_EQ(SceneDevice->GetQuality(), 137u);
    EXPECT_EQ(SceneDevice->GetTextureQuality(), 2u);
    EXPECT_EQ(SceneDevice->surface, BackSurface);
}

TEST_F(DeviceTest, MmxAndAllZeroIdentitiesGetTheReducedSettings) {
    const GUID zero{};
    for (const GUID& identity : {IID_IDirect3DMMXDevice, zero}) {
        ASSERT_EQ(Create3DDevice(identity, DisplayObject, BackSurface), 0);
        EXPECT_EQ(SceneDevice->GetDither(), FALSE);
        EXPECT_EQ(SceneDevice->GetQuality(), 136u);
        EXPECT_EQ(SceneDevice->GetTextureQuality(), 0u);
        // Settings from a device made before must not leak in: start over each time.
        Release3DDevice();
        EXPECT_EQ(standin::LiveObjects("IDirect3DRMDevice"), 0);
    }
}

TEST_F(DeviceTest, FailedObjectCreationReturnsOneAndReleasesNothing) {
    standin::FailCall("Direct3DRMCreate", 1);
    EXPECT_EQ(Create3DDevice(IID_IDirect3DHALDevice, DisplayObject, BackSurface), 1);
    EXPECT_EQ(RetainedMode, nullptr);
    EXPECT_EQ(SceneDevice, nullptr);
    Release3DDevice();
    EXPECT_EQ(standin::LiveObjects("IDirect3DRM"), 0);
}

TEST_F(DeviceTest, FailedDeviceCreationReturnsTwoAndReleasesTheObjectOnly) {
    standin::FailCall("IDirect3DRM::CreateDeviceFromSurface", 1);
    EXPECT_EQ(Create3DDevice(IID_IDirect3DHALDevice, DisplayObject, BackSurface), 2);
    EXPECT_NE(RetainedMode, nullptr);
    EXPECT_EQ(SceneDevice, nullptr);
    EXPECT_EQ(standin::LiveObjects("IDirect3DRM"), 1);
    Release3DDevice();
    EXPECT_EQ(standin::LiveObjects("IDirect3DRM"), 0);
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMDevice"), 0);
}

TEST_F(DeviceTest, ReleaseGivesBackDeviceAndObjectAndTheBackBufferReference) {
    ULONG before = BackSurface->refs;
    ASSERT_EQ(Create3DDevice(IID_IDirect3DMMXDevice, DisplayObject, BackSurface), 0);
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMDevice"), 1);
    standin::EnableCallLog(true);
    Release3DDevice();
    standin::EnableCallLog(false);
    // The device goes before the object that made it.
    std::vector<std::string> releases;
    for (const std::string& line : standin::CallLog())
        if (line.rfind("IDirect3DRM", 0) == 0 && line.find("::Release") != std::string::npos)
            releases.push_back(line);
    ASSERT_EQ(releases.size(), 2u);
    EXPECT_EQ(releases[0], "IDirect3DRMDevice::Release");
    EXPECT_EQ(releases[1], "IDirect3DRM::Release");
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMDevice"), 0);
    EXPECT_EQ(standin::LiveObjects("IDirect3DRM"), 0);
    EXPECT_EQ(BackSurface->refs, before);
    Release3DDevice();  // a second call finds nothing to give back
}

}  // namespace
