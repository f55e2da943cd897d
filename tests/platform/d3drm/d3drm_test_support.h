// Shared set-up of the retained-mode tests: an RM object, a small 16-bit surface with a
// device on it, and a scene root with a camera at the origin looking along +z.
#pragma once

#include <gtest/gtest.h>

#include "platform/d3drm/d3drm.h"
#include "platform/ddraw/surface_memory.h"
#include "platform/testing/hooks.h"

class RmTest : public ::testing::Test {
  protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override { standin::Reset(); }

    // Makes the RM object, the device (on a surface of the chosen layout), the root, the
    // camera and a viewport over the whole device.
    void MakeScene(bool rgb555 = false) {
        ASSERT_EQ(Direct3DRMCreate(&rm), D3DRM_OK);
        surface = NewSurface(kWidth, kHeight, rgb555, DDSCAPS_BACKBUFFER, "back");
        ASSERT_NE(surface, nullptr);
        ASSERT_EQ(rm->CreateDeviceFromSurface(nullptr, nullptr, surface, &device), D3DRM_OK);
        ASSERT_EQ(rm->CreateFrame(nullptr, &scene), D3DRM_OK);
        ASSERT_EQ(rm->CreateFrame(scene, &camera), D3DRM_OK);
        ASSERT_EQ(rm->CreateViewport(device, camera, 0, 0, kWidth, kHeight, &viewport), D3DRM_OK);
    }

    void TearDown() override {
        if (viewport) viewport->Release();
        if (camera) camera->Release();
        if (scene) scene->Release();
        if (device) device->Release();
        if (surface) surface->Release();
        if (rm) rm->Release();
    }

    uint16_t Pixel(int x, int y) const { return surface->memory[y * (surface->pitch / 2) + x]; }

    IDirect3DRM* rm = nullptr;
    IDirectDrawSurface* surface = nullptr;
    IDirect3DRMDevice* device = nullptr;
    IDirect3DRMFrame* scene = nullptr;
    IDirect3DRMFrame* camera = nullptr;
    IDirect3DRMViewport* viewport = nullptr;
};
