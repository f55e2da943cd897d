// The 3D scenes: the retained-mode object and device, the scene record, building a scene from
// an X file and its script, rendering and releasing it.
#pragma once

#include "platform/d3drm/d3drm.h"

// Made once by Create3DDevice at start-up, given back by Release3DDevice at shutdown.
extern IDirect3DRM* RetainedMode;       // null until created
extern IDirect3DRMDevice* SceneDevice;  // renders into BackSurface (640x480); null until created

// Quality settings per device identity: the hardware device gets the fuller ones.
const BOOL kHardwareDither = TRUE;
const D3DRMRENDERQUALITY kHardwareQuality = D3DRMRENDER_GOURAUD;          // 137
const D3DRMTEXTUREQUALITY kHardwareTextureQuality = D3DRMTEXTURE_MIPNEAREST;  // 2
const BOOL kSoftwareDither = FALSE;
const D3DRMRENDERQUALITY kSoftwareQuality = D3DRMRENDER_FLAT;             // 136
const D3DRMTEXTUREQUALITY kSoftwareTextureQuality = D3DRMTEXTURE_NEAREST;  // 0

// Returns 0; 1 when the retained-mode object could not be made; 2 when the device could not
// be made on backSurface. What was made stays for Release3DDevice.
int Create3DDevice(GUID deviceGuid, IDirectDraw* directDraw, IDirectDrawSurface* backSurface);
// Releases the device, then the object; either may be missing after a failed creation.
void Release3DDevice();

// One loaded scene. Holds one reference on each non-null field; ReleaseScene gives back all
// but the viewport's, which lives as long as the device. All null: the empty record, which
// is never rendered or released.
struct SceneRecord {
    IDirect3DRMViewport* viewport;          // on SceneDevice, looking through cameraFrame
    IDirect3DRMFrame* sceneFrame;           // the root; everything of the scene hangs under it
    IDirect3DRMFrame* cameraFrame;          // a child of sceneFrame
    IDirect3DRMAnimationSet* animationSet;  // the X file's (last) animation set, or null
};

// True for a record that has a scene to render: a viewport and a root.
bool SceneIsLoaded(const SceneRecord& record);

// Makes the root (z-buffered), the camera at its origin looking along +z with +y up, the
// viewport (x, y, width, height in device pixels) and loads the X file under the root.
// record is empty on entry. No step's result stops the others.
void BuildScene(const char* xFileName, SceneRecord* record, DWORD x, DWORD y, DWORD width,
                DWORD height);
// The loader's callbacks. argument is the SceneRecord being built; it keeps the animation set
// reported last, with the reference the loader hands over.
void OnSceneObjectLoaded(IDirect3DRMObject* object, const GUID* objectType, LPVOID argument);
// Reads textures\<textureName>; returns LoadTexture's result. Names that do not fit the path
// buffer are refused with D3DRMERR_BADVALUE and nothing is read.
HRESULT LoadSceneTexture(char* textureName, LPVOID argument, IDirect3DRMTexture** textureOut);

// Bytes of the texture path buffer, terminator included: "textures\" and up to 250 characters.
const int kTexturePathSize = 260;
// Writes "textures\" + textureName into path (kTexturePathSize bytes). 0 when the name does
// not fit; path then holds only the folder.
int MakeTexturePath(const char* textureName, char* path);

// Reads a scene script: builds the scene of the X file it names, adds its lights and places
// the camera. A script that cannot be opened, is empty, or names an X file longer than 259
// characters yields the empty record.
SceneRecord LoadSceneScript(const char* scriptPath, DWORD x, DWORD y, DWORD width, DWORD height);
// Turns frame so its z axis runs from point (p[0], p[1], p[2]) to (p[3], p[4], p[5]) in the
// root's space, upright for a level direction.
void OrientFromPoints(IDirect3DRMFrame* frame, IDirect3DRMFrame* sceneFrame, const float* p);

// Draws one frame of the scene at animation time `time` into BackSurface. 1 when the scene was
// rendered and the device updated, 0 otherwise. The record must be loaded.
int RenderScene(D3DVALUE time, const SceneRecord& record);
// Gives back the animation set, the camera and the root, those that exist.
void ReleaseScene(const SceneRecord& record);
