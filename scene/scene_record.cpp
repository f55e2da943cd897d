// A scene record's life: built from an X file with the loader's two callbacks, rendered a frame
// at a time, and released when its segment ends.
#include <cstring>

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

const char kTextureFolder[] = "textures\\";
const size_t kTextureFolderLength = sizeof(kTextureFolder) - 1;  // 9

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

// The loader's callbacks: keeping the animation set, and reading textures from "textures\\"
// whatever folder the X file lies in.
void OnSceneObjectLoaded(IDirect3DRMObject* object, const GUID* objectType, LPVOID argument) {
    if (!objectType || !argument) return;
    if (std::memcmp(objectType, &IID_IDirect3DRMAnimationSet, sizeof(GUID)) != 0) return;
    // The loader's reference becomes the record's; ReleaseScene gives it back once. A second
    // set in the same file replaces the first, which would then never be given back: release
    // it here so it does not outlive the scene.
    SceneRecord* record = static_cast<SceneRecord*>(argument);
    if (record->animationSet) record->animationSet->Release();
    record->animationSet = static_cast<IDirect3DRMAnimationSet*>(object);
}

int MakeTexturePath(const char* textureName, char* path) {
    std::memset(path, 0, kTexturePathSize);
    std::memcpy(path, kTextureFolder, kTextureFolderLength);
    // 250 characters at most: the folder, the name and the terminator fill the 260 bytes.
    const size_t room = kTexturePathSize - kTextureFolderLength - 1;
    size_t length = textureName ? strnlen(textureName, room + 1) : 0;
    if (!textureName || length > room) return 0;
    std::memcpy(path + kTextureFolderLength, textureName, length);
    return 1;
}

HRESULT LoadSceneTexture(char* textureName, LPVOID argument, IDirect3DRMTexture** textureOut) {
    (void)argument;  // always null
    char path[kTexturePathSize];
    // A name too long for the path is refused rather than cut: a cut name would read some
    // other file.
    if (!MakeTexturePath(textureName, path)) return D3DRMERR_BADVALUE;
    return RetainedMode->LoadTexture(path, textureOut);
}

int RenderScene(D3DVALUE time, const SceneRecord& record) {
    // An absolute time, not a step: a skipped frame or a restart shows exactly that moment.
    if (record.animationSet) record.animationSet->SetTime(time);
    if (record.viewport->Render(record.sceneFrame) != D3DRM_OK) return 0;
    return SceneDevice->Update() == D3DRM_OK ? 1 : 0;
}

// The viewport is not released: it lives on the device for the rest of the run.
void ReleaseScene(const SceneRecord& record) {
    if (record.animationSet) record.animationSet->Release();
    if (record.cameraFrame) record.cameraFrame->Release();
    if (record.sceneFrame) record.sceneFrame->Release();
}
