// Building a scene from an X file: root, camera, viewport on SceneDevice, and the file's
// objects loaded under the root.
#include "scene/scene.h"

namespace {

// The object types asked of the loader, in this order.
GUID kMeshBuilderType = IID_IDirect3DRMMeshBuilder;
GUID kAnimationSetType = IID_IDirect3DRMAnimationSet;
GUID kAnimationType = IID_IDirect3DRMAnimation;
GUID kFrameType = IID_IDirect3DRMFrame;
GUID* kLoadTypes[4] = {&kMeshBuilderType, &kAnimationSetType, &kAnimationType, &kFrameType};

// Far enough that no scene of the show is clipped at the back.
const D3DVALUE kBackPlane = 100000.0f;

}  // namespace

bool SceneIsLoaded(const SceneRecord& record) {
    return record.viewport != nullptr && record.sceneFrame != nullptr;
}

// Results are not tested beyond the objects existing: a missing or unreadable X file still
// leaves root, camera and viewport, so the scene shows its background and the script's
// lights. Only an object that could not be made ends the building, since every later step
// works on it; the record then keeps what was made and is not loaded.
void BuildScene(const char* xFileName, SceneRecord* record, DWORD x, DWORD y, DWORD width,
                DWORD height) {
    if (RetainedMode->CreateFrame(nullptr, &record->sceneFrame) != D3DRM_OK) {
        record->sceneFrame = nullptr;
        return;
    }
    record->sceneFrame->SetZbufferMode(D3DRMZBUFFER_ENABLE);

    if (RetainedMode->CreateFrame(record->sceneFrame, &record->cameraFrame) != D3DRM_OK) {
        record->cameraFrame = nullptr;
        return;
    }
    record->cameraFrame->SetPosition(record->sceneFrame, 0.0f, 0.0f, 0.0f);
    // Looking along +z, +y up, until the script's camera entry moves it.
    record->cameraFrame->SetOrientation(record->sceneFrame, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f);

    if (RetainedMode->CreateViewport(SceneDevice, record->cameraFrame, x, y, width, height,
                                     &record->viewport) != D3DRM_OK) {
        record->viewport = nullptr;
        return;
    }
    record->viewport->SetBack(kBackPlane);

    RetainedMode->Load(const_cast<char*>(xFileName), nullptr, kLoadTypes, 4, D3DRMLOAD_FROMFILE,
                       OnSceneObjectLoaded, record, LoadSceneTexture, nullptr,
                       record->sceneFrame);
}
