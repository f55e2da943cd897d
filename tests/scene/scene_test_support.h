// Shared set-up of the 3D scene tests: a display with the 3D device on its back buffer,
// files written into a temporary folder, and readers of a built scene's lights and camera.
#pragma once

#include <string>
#include <vector>

#include "scene/scene.h"
#include "tests/support/show_fixture.h"

// A fresh stand-in with the display and the hardware device made; both released after.
class SceneTest : public ShowTest {
  protected:
    void SetUp() override;
    void TearDown() override;
};

void WriteTextFile(const std::string& path, const std::string& text);

// A small text X file: one frame "Box" holding a unit cube mesh with an optional texture,
// followed by `animationSets` animation sets named Set1, Set2, ... that move the frame.
std::string BoxXFile(int animationSets, const std::string& textureName = "");

// The lights under the root, in the order their frames were added (the camera is skipped).
std::vector<IDirect3DRMLight*> SceneLights(const SceneRecord& record);
// The frame of the i-th light of SceneLights.
IDirect3DRMFrame* SceneLightFrame(const SceneRecord& record, size_t i);

D3DVECTOR FramePosition(const SceneRecord& record, IDirect3DRMFrame* frame);
// Unit direction (z axis) and up (y axis) of frame in the root's space.
void FrameOrientation(const SceneRecord& record, IDirect3DRMFrame* frame, D3DVECTOR* direction,
                      D3DVECTOR* up);
