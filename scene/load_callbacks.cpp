// The X-file loader's two callbacks: keeping the animation set, and reading textures from the
// textures\ folder whatever folder the X file lies in.
#include <cstring>

#include "scene/scene.h"

namespace {

const char kTextureFolder[] = "textures\\";
const size_t kTextureFolderLength = sizeof(kTextureFolder) - 1;  // 9

}  // namespace

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
