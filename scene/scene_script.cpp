// Reading a scene script: the X file to build the scene from, then entries that add lights
// under the root and place the camera.
#include <cstdio>
#include <cstring>

#include "platform/win32/crt.h"
#include "scene/scene.h"
#include "scene/script_tokens.h"

namespace {

const int kSlotCount = 9;  // numbers an entry can give

// A light of `type` and colour on a new frame under the root. Returns the frame (the caller
// releases it) or null when either object could not be made.
IDirect3DRMFrame* AddLightFrame(const SceneRecord& record, D3DRMLIGHTTYPE type, D3DVALUE red,
                                D3DVALUE green, D3DVALUE blue, const D3DVALUE* attenuation) {
    IDirect3DRMFrame* frame = nullptr;
    if (RetainedMode->CreateFrame(record.sceneFrame, &frame) != D3DRM_OK) return nullptr;
    IDirect3DRMLight* light = nullptr;
    if (RetainedMode->CreateLightRGB(type, red, green, blue, &light) != D3DRM_OK) {
        frame->Release();
        return nullptr;
    }
    if (attenuation) light->SetConstantAttenuation(*attenuation);
    frame->AddLight(light);
    light->Release();  // the frame keeps it alive
    return frame;
}

// One entry; p holds the reader's nine slots.
void ApplyEntry(const SceneRecord& record, const char* keyword, const float* p) {
    if (std::strcmp(keyword, "AMBIENT") == 0) {
        IDirect3DRMFrame* frame = AddLightFrame(record, D3DRMLIGHT_AMBIENT, p[0], p[1], p[2], nullptr);
        if (frame) frame->Release();
    } else if (std::strcmp(keyword, "POINT") == 0) {
        IDirect3DRMFrame* frame = AddLightFrame(record, D3DRMLIGHT_POINT, p[4], p[5], p[6], &p[3]);
        if (!frame) return;
        frame->SetPosition(record.sceneFrame, p[0], p[1], p[2]);
        frame->Release();
    } else if (std::strcmp(keyword, "DIRECTIONAL") == 0) {
        // Stays at the root's origin; only its direction matters.
        IDirect3DRMFrame* frame =
            AddLightFrame(record, D3DRMLIGHT_DIRECTIONAL, p[6], p[7], p[8], nullptr);
        if (!frame) return;
        OrientFromPoints(frame, record.sceneFrame, p);
        frame->Release();
    } else if (std::strcmp(keyword, "CAMERA") == 0) {
        record.cameraFrame->SetPosition(record.sceneFrame, p[0], p[1], p[2]);
        OrientFromPoints(record.cameraFrame, record.sceneFrame, p);
    }
    // Any other keyword (lower case ones too) is skipped with its numbers.
}

}  // namespace

SceneRecord LoadSceneScript(const char* scriptPath, DWORD x, DWORD y, DWORD width, DWORD height) {
    SceneRecord record = {nullptr, nullptr, nullptr, nullptr};
    FILE* file = _fsopen(scriptPath, "rt", _SH_DENYNO);
    if (!file) return record;
    SkipByteOrderMark(file);

    // One buffer for the X file name and then each keyword.
    char token[kScriptTokenSize];
    // An empty script has no X file; a name longer than the buffer would name another file.
    // Either way there is nothing to build, and the user is told which script it was.
    if (ReadScriptWord(file, token) != kWordRead) {
        std::fclose(file);
        char line[512];
        std::snprintf(line, sizeof(line), "zelk6: %s: does not begin with an X file's name; its scene is left out\n",
                      scriptPath);
        OutputDebugStringA(line);
        return record;
    }
    BuildScene(token, &record, x, y, width, height);

    // The slots belong to the reader: an entry sets only the numbers it gives, the others
    // keep what earlier entries left (0 before any).
    float slots[kSlotCount] = {};
    while (ReadScriptWord(file, token) != kWordNone) {
        ReadScriptNumbers(file, slots, kSlotCount);
        // A scene whose root or camera could not be made takes no entries; the rest of the
        // script is still read to its end.
        if (record.sceneFrame && record.cameraFrame) ApplyEntry(record, token, slots);
    }
    std::fclose(file);
    return record;
}
