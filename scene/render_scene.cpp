// Drawing one frame of a loaded scene into BackSurface at a given animation time.
#include "scene/scene.h"

int RenderScene(D3DVALUE time, const SceneRecord& record) {
    // An absolute time, not a step: a skipped frame or a restart shows exactly that moment.
    if (record.animationSet) record.animationSet->SetTime(time);
    if (record.viewport->Render(record.sceneFrame) != D3DRM_OK) return 0;
    return SceneDevice->Update() == D3DRM_OK ? 1 : 0;
}
