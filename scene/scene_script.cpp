// Reading a scene script: the X file to build the scene from, then entries that add lights
// under the root and place the camera.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/win32/crt.h"
#include "scene/scene.h"
#include "scene/script_tokens.h"

namespace {

const int kSlotCount = 9;  // numbers an entry can give

// A quarter turn, as the single-precision value the scripts were authored with.
const D3DVALUE kQuarterTurn = 1.570796f;

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

// The token reader, on the C library's formatted reading. The width of the word conversion keeps
// a long word inside the buffer; the rest of it is skipped.
void SkipByteOrderMark(FILE* file) {
    unsigned char mark[3];
    if (std::fread(mark, 1, sizeof mark, file) == sizeof mark && mark[0] == 0xEF && mark[1] == 0xBB &&
        mark[2] == 0xBF)
        return;
    std::rewind(file);  // not a mark: read from the first byte
}

int ReadScriptWord(FILE* file, char* buffer) {
    // 259 = kScriptTokenSize - 1, the room left for the terminator.
    if (std::fscanf(file, "%259s", buffer) != 1) return kWordNone;
    int c = std::fgetc(file);
    if (c == EOF || std::isspace(c)) {
        if (c != EOF) std::ungetc(c, file);
        return kWordRead;
    }
    // The conversion stopped at its width inside the word: drop what is left of it.
    while (c != EOF && !std::isspace(c)) c = std::fgetc(file);
    return kWordCut;
}

int ReadScriptNumbers(FILE* file, float* slots, int count) {
    int read = 0;
    while (read < count) {
        // Only a sign, a digit or a point starts a number. Checked here so that a keyword
        // that happens to spell "inf" or "nan" is left whole for the next word.
        if (std::fscanf(file, " ") < 0) break;
        int c = std::fgetc(file);
        if (c == EOF) break;
        std::ungetc(c, file);
        if (!std::isdigit(c) && c != '+' && c != '-' && c != '.') break;
        if (std::fscanf(file, "%f", &slots[read]) != 1) break;
        read++;
    }
    return read;
}

// Turning a light or the camera to look from one point of the script at another.
void OrientFromPoints(IDirect3DRMFrame* frame, IDirect3DRMFrame* sceneFrame, const float* p) {
    D3DVECTOR direction = {p[3] - p[0], p[4] - p[1], p[5] - p[2]};
    // The up vector: the direction turned a quarter about the world's y axis, then that turned
    // a quarter about the direction. For a level direction it is +y; for a tilted one it is
    // not quite perpendicular, which SetOrientation accepts.
    D3DVECTOR worldUp = {0.0f, 1.0f, 0.0f};
    D3DVECTOR side;
    D3DRMVectorRotate(&side, &direction, &worldUp, kQuarterTurn);
    // Rotate normalises its axis in place: turn about a copy so the direction passed on below
    // keeps its length.
    D3DVECTOR axis = direction;
    D3DVECTOR up;
    D3DRMVectorRotate(&up, &side, &axis, kQuarterTurn);
    // Equal points give a zero direction, a vertical one an up vector parallel to it: the
    // platform then refuses the orientation and the frame keeps its old one.
    frame->SetOrientation(sceneFrame, direction.x, direction.y, direction.z, up.x, up.y, up.z);
}
