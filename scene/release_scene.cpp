// Giving back a scene's objects when its segment ends.
#include "scene/scene.h"

// The viewport is not released: it lives on the device for the rest of the run.
void ReleaseScene(const SceneRecord& record) {
    if (record.animationSet) record.animationSet->Release();
    if (record.cameraFrame) record.cameraFrame->Release();
    if (record.sceneFrame) record.sceneFrame->Release();
}
