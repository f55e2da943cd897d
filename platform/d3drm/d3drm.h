// The Direct3D Retained Mode subset the show calls: the RM object, a software device that
// renders into a DirectDraw surface's own memory, frames, lights, viewports, mesh builders,
// textures, animation sets, X-file loading (text, binary, compressed) and the vector helpers. Spelled
// as the platform spells it; objects are concrete reference-counted classes like ddraw's.
// Left out: meshes (as opposed to mesh builders), picking, shadows, user visuals, destroy
// callbacks, object arrays, palettised/ramp devices, decals, progressive meshes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ddraw/ddraw.h"
#include "platform/win32/win32.h"

// ---------------------------------------------------------------------------------------------
// Basic types

typedef float D3DVALUE;
typedef D3DVALUE* LPD3DVALUE;
typedef DWORD D3DCOLOR;  // 0xAARRGGBB

struct D3DVECTOR {
    D3DVALUE x, y, z;
};
typedef D3DVECTOR* LPD3DVECTOR;

struct D3DRMQUATERNION {
    D3DVALUE s;   // scalar part (w)
    D3DVECTOR v;  // vector part
};
typedef D3DRMQUATERNION* LPD3DRMQUATERNION;

// Row-vector transform: [x y z 1] * M, translation in m[3][0..2].
typedef D3DVALUE D3DRMMATRIX4D[4][4];

#define D3DVAL(v) ((D3DVALUE)(v))
#define RGBA_MAKE(r, g, b, a) \
    ((D3DCOLOR)(((DWORD)(a) << 24) | ((DWORD)(r) << 16) | ((DWORD)(g) << 8) | (DWORD)(b)))
#define RGB_MAKE(r, g, b) RGBA_MAKE(r, g, b, 0xff)
#define RGBA_GETALPHA(c) ((DWORD)(c) >> 24)
#define RGBA_GETRED(c) (((DWORD)(c) >> 16) & 0xff)
#define RGBA_GETGREEN(c) (((DWORD)(c) >> 8) & 0xff)
#define RGBA_GETBLUE(c) ((DWORD)(c) & 0xff)

// ---------------------------------------------------------------------------------------------
// Result codes: 0x8876xxxx like the rest of DirectX.

#define D3DRM_OK S_OK
#define D3DRMERR_BADOBJECT ((HRESULT)0x8876030D)
#define D3DRMERR_BADTYPE ((HRESULT)0x8876030E)
#define D3DRMERR_BADALLOC ((HRESULT)0x8876030F)
#define D3DRMERR_FACEUSED ((HRESULT)0x88760310)
#define D3DRMERR_NOTFOUND ((HRESULT)0x88760311)
#define D3DRMERR_NOTDONEYET ((HRESULT)0x88760312)
#define D3DRMERR_FILENOTFOUND ((HRESULT)0x88760313)
#define D3DRMERR_BADFILE ((HRESULT)0x88760314)
#define D3DRMERR_BADDEVICE ((HRESULT)0x88760315)
#define D3DRMERR_BADVALUE ((HRESULT)0x88760316)
#define D3DRMERR_BADMAJORVERSION ((HRESULT)0x88760317)
#define D3DRMERR_BADMINORVERSION ((HRESULT)0x88760318)
#define D3DRMERR_UNABLETOEXECUTE ((HRESULT)0x88760319)

// ---------------------------------------------------------------------------------------------
// Enumerations and flags

// Render quality = shade | light | fill.
typedef DWORD D3DRMRENDERQUALITY;
#define D3DRMSHADE_FLAT 0
#define D3DRMSHADE_GOURAUD 1
#define D3DRMSHADE_PHONG 2
#define D3DRMSHADE_MASK 7
#define D3DRMSHADE_MAX 8
#define D3DRMLIGHT_OFF (0 * D3DRMSHADE_MAX)
#define D3DRMLIGHT_ON (1 * D3DRMSHADE_MAX)
#define D3DRMLIGHT_MASK (7 * D3DRMSHADE_MAX)
#define D3DRMLIGHT_MAX (8 * D3DRMSHADE_MAX)
#define D3DRMFILL_POINTS (0 * D3DRMLIGHT_MAX)
#define D3DRMFILL_WIREFRAME (1 * D3DRMLIGHT_MAX)
#define D3DRMFILL_SOLID (2 * D3DRMLIGHT_MAX)
#define D3DRMFILL_MASK (7 * D3DRMLIGHT_MAX)
#define D3DRMFILL_MAX (8 * D3DRMLIGHT_MAX)
#define D3DRMRENDER_WIREFRAME (D3DRMSHADE_FLAT + D3DRMLIGHT_OFF + D3DRMFILL_WIREFRAME)
#define D3DRMRENDER_UNLITFLAT (D3DRMSHADE_FLAT + D3DRMLIGHT_OFF + D3DRMFILL_SOLID)
#define D3DRMRENDER_FLAT (D3DRMSHADE_FLAT + D3DRMLIGHT_ON + D3DRMFILL_SOLID)
#define D3DRMRENDER_GOURAUD (D3DRMSHADE_GOURAUD + D3DRMLIGHT_ON + D3DRMFILL_SOLID)
#define D3DRMRENDER_PHONG (D3DRMSHADE_PHONG + D3DRMLIGHT_ON + D3DRMFILL_SOLID)

typedef DWORD D3DRMTEXTUREQUALITY;
#define D3DRMTEXTURE_NEAREST 0
#define D3DRMTEXTURE_LINEAR 1
#define D3DRMTEXTURE_MIPNEAREST 2
#define D3DRMTEXTURE_MIPLINEAR 3
#define D3DRMTEXTURE_LINEARMIPNEAREST 4
#define D3DRMTEXTURE_LINEARMIPLINEAR 5

typedef DWORD D3DRMLIGHTTYPE;
#define D3DRMLIGHT_AMBIENT 0
#define D3DRMLIGHT_POINT 1
#define D3DRMLIGHT_SPOT 2
#define D3DRMLIGHT_DIRECTIONAL 3
#define D3DRMLIGHT_PARALLELPOINT 4

typedef DWORD D3DRMZBUFFERMODE;
#define D3DRMZBUFFER_FROMPARENT 0
#define D3DRMZBUFFER_ENABLE 1
#define D3DRMZBUFFER_DISABLE 2

typedef DWORD D3DRMCOMBINETYPE;
#define D3DRMCOMBINE_REPLACE 0
#define D3DRMCOMBINE_BEFORE 1
#define D3DRMCOMBINE_AFTER 2

typedef DWORD D3DRMPROJECTIONTYPE;
#define D3DRMPROJECT_PERSPECTIVE 0
#define D3DRMPROJECT_ORTHOGRAPHIC 1

typedef DWORD D3DRMANIMATIONOPTIONS;
#define D3DRMANIMATION_OPEN 0x01
#define D3DRMANIMATION_CLOSED 0x02
#define D3DRMANIMATION_LINEARPOSITION 0x04
#define D3DRMANIMATION_SPLINEPOSITION 0x08
#define D3DRMANIMATION_SCALEANDROTATION 0x10
#define D3DRMANIMATION_POSITION 0x20

// Load options: where the source is. FROMFILE: a NUL-terminated Windows-style file name;
// FROMMEMORY: a D3DRMLOADMEMORY. Resources and streams are not offered.
typedef DWORD D3DRMLOADOPTIONS;
#define D3DRMLOAD_FROMFILE 0x00
#define D3DRMLOAD_FROMRESOURCE 0x01
#define D3DRMLOAD_FROMMEMORY 0x02
#define D3DRMLOAD_FROMSTREAM 0x04

struct D3DRMLOADMEMORY {
    LPVOID lpMemory;
    DWORD dSize;
};

// Wireframe options of a device.
#define D3DRMWIREFRAME_CULL 1
#define D3DRMWIREFRAME_HIDDENLINE 2

// ---------------------------------------------------------------------------------------------
// Interface identifiers. Device identities: both create the stand-in's software device.

inline const GUID IID_IDirect3DHALDevice = {
    0x84E63DE0, 0x46AA, 0x11CF, {0x81, 0x6F, 0x00, 0x00, 0xC0, 0x20, 0x15, 0x6E}};
inline const GUID IID_IDirect3DMMXDevice = {
    0x881949A1, 0xD6F3, 0x11D0, {0x89, 0xAB, 0x00, 0xA0, 0xC9, 0x05, 0x41, 0x29}};
inline const GUID IID_IDirect3DRGBDevice = {
    0xA4665C60, 0x2673, 0x11CF, {0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};

inline const GUID IID_IDirect3DRMObject = {
    0xEB16CB00, 0xD271, 0x11CE, {0xAC, 0x48, 0x00, 0x00, 0xC0, 0x38, 0x25, 0xA1}};
inline const GUID IID_IDirect3DRMDevice = {
    0xE9E19280, 0x6E05, 0x11CF, {0xAC, 0x4A, 0x00, 0x00, 0xC0, 0x38, 0x25, 0xA1}};
inline const GUID IID_IDirect3DRMViewport = {
    0xEB16CB02, 0xD271, 0x11CE, {0xAC, 0x48, 0x00, 0x00, 0xC0, 0x38, 0x25, 0xA1}};
inline const GUID IID_IDirect3DRMFrame = {
    0xEB16CB03, 0xD271, 0x11CE, {0xAC, 0x48, 0x00, 0x00, 0xC0, 0x38, 0x25, 0xA1}};
inline const GUID IID_IDirect3DRMVisual = {
    0xEB16CB04, 0xD271, 0x11CE, {0xAC, 0x48, 0x00, 0x00, 0xC0, 0x38, 0x25, 0xA1}};
inline const GUID IID_IDirect3DRMTexture = {
    0xEB16CB09, 0xD271, 0x11CE, {0xAC, 0x48, 0x00, 0x00, 0xC0, 0x38, 0x25, 0xA1}};
inline const GUID IID_IDirect3DRMLight = {
    0xEB16CB08, 0xD271, 0x11CE, {0xAC, 0x48, 0x00, 0x00, 0xC0, 0x38, 0x25, 0xA1}};
inline const GUID IID_IDirect3DRMAnimation = {
    0xEB16CB0D, 0xD271, 0x11CE, {0xAC, 0x48, 0x00, 0x00, 0xC0, 0x38, 0x25, 0xA1}};
inline const GUID IID_IDirect3DRMAnimationSet = {
    0xEB16CB0E, 0xD271, 0x11CE, {0xAC, 0x48, 0x00, 0x00, 0xC0, 0x38, 0x25, 0xA1}};
inline const GUID IID_IDirect3DRMMeshBuilder = {
    0xA3A80D02, 0x6E12, 0x11CF, {0xAC, 0x4A, 0x00, 0x00, 0xC0, 0x38, 0x25, 0xA1}};

// ---------------------------------------------------------------------------------------------
// Objects

struct IDirect3DRM;
struct IDirect3DRMObject;
struct IDirect3DRMVisual;
struct IDirect3DRMDevice;
struct IDirect3DRMViewport;
struct IDirect3DRMFrame;
struct IDirect3DRMLight;
struct IDirect3DRMTexture;
struct IDirect3DRMMeshBuilder;
struct IDirect3DRMAnimation;
struct IDirect3DRMAnimationSet;
struct RmRenderer;     // the device's drawing state (stand-in internal)
struct RasterTexture;  // a texture ready to sample (platform/d3drm/raster)

typedef IDirect3DRM* LPDIRECT3DRM;
typedef IDirect3DRMObject* LPDIRECT3DRMOBJECT;
typedef IDirect3DRMVisual* LPDIRECT3DRMVISUAL;
typedef IDirect3DRMDevice* LPDIRECT3DRMDEVICE;
typedef IDirect3DRMViewport* LPDIRECT3DRMVIEWPORT;
typedef IDirect3DRMFrame* LPDIRECT3DRMFRAME;
typedef IDirect3DRMLight* LPDIRECT3DRMLIGHT;
typedef IDirect3DRMTexture* LPDIRECT3DRMTEXTURE;
typedef IDirect3DRMMeshBuilder* LPDIRECT3DRMMESHBUILDER;
typedef IDirect3DRMAnimation* LPDIRECT3DRMANIMATION;
typedef IDirect3DRMAnimationSet* LPDIRECT3DRMANIMATIONSET;

// Load callbacks. objectType points at the interface identifier the object was loaded as.
// Objects that the parent frame holds once loaded (top-level frames and meshes when a parent
// frame is given) are lent for the call: AddRef to keep one. Objects nothing else holds
// (animation sets, and top-level objects when no parent frame is given) are handed over
// with one reference that becomes the callee's, to Release when done.
typedef void (*D3DRMLOADCALLBACK)(LPDIRECT3DRMOBJECT object, const GUID* objectType, LPVOID argument);
// Supplies the texture named in the file; returns D3DRM_OK and the texture, or an error.
typedef HRESULT (*D3DRMLOADTEXTURECALLBACK)(char* textureName, LPVOID argument,
                                            LPDIRECT3DRMTEXTURE* texture);

// Every RM object: a reference count and a name. The last Release destroys the object and
// gives back the references it holds.
struct IDirect3DRMObject {
    ULONG AddRef();
    ULONG Release();
    HRESULT SetName(LPCSTR name);
    // size: in, the buffer's size; out, the name's size with its NUL. name may be null.
    HRESULT GetName(DWORD* size, LPSTR name);

    // Stand-in state
    const char* kind;  // the interface name, for the object counters and the call log
    std::string name;
    ULONG refs = 1;

  protected:
    explicit IDirect3DRMObject(const char* kind);
    virtual ~IDirect3DRMObject();
};

// Something a frame can show: a mesh builder or another frame.
struct IDirect3DRMVisual : IDirect3DRMObject {
  protected:
    using IDirect3DRMObject::IDirect3DRMObject;
};

struct IDirect3DRMTexture : IDirect3DRMVisual {
    // Stand-in state: texels as 0x00RRGGBB, row 0 first. Row 0 is what v = 0 samples: for a
    // BMP that is its bottom row, as the file stores it; for a PPM its top row.
    int width = 0;
    int height = 0;
    std::vector<uint32_t> texels;
    RasterTexture* sampler = nullptr;  // made from texels when loaded; owned

    IDirect3DRMTexture();
    ~IDirect3DRMTexture() override;
};

// One material of a mesh builder. Colours are 0..1 per channel.
struct RmMaterial {
    D3DVALUE faceColor[4] = {1, 1, 1, 1};  // RGBA; ambient reflectance is the same colour
    D3DVALUE power = 0;
    D3DVALUE specular[3] = {0, 0, 0};
    D3DVALUE emissive[3] = {0, 0, 0};
    IDirect3DRMTexture* texture = nullptr;  // one reference, or null
};

// One corner of a face: indices into the builder's vertices and normals, texture coordinates
// and the vertex colour (0xAARRGGBB; white when the file gives none).
struct RmCorner {
    uint32_t vertex;
    uint32_t normal;
    D3DVALUE u, v;
    D3DCOLOR color;
};

// One polygon (3 or more corners, clockwise front), with its unit face normal.
struct RmFace {
    uint32_t firstCorner;
    uint32_t cornerCount;
    uint32_t material;  // index into materials
    D3DVECTOR normal;
};

struct IDirect3DRMMeshBuilder : IDirect3DRMVisual {
    HRESULT SetQuality(D3DRMRENDERQUALITY quality);
    D3DRMRENDERQUALITY GetQuality();
    int GetVertexCount();
    int GetFaceCount();

    // Stand-in state: vertices as the file indexes them, so faces that share a vertex share
    // its generated normal. Faces reference their corners, corners the vertices and normals.
    std::vector<D3DVECTOR> vertices;
    std::vector<D3DVECTOR> normals;
    std::vector<RmCorner> corners;
    std::vector<RmFace> faces;
    std::vector<RmMaterial> materials;
    D3DRMRENDERQUALITY quality = D3DRMRENDER_GOURAUD;

    IDirect3DRMMeshBuilder();
    ~IDirect3DRMMeshBuilder() override;
};

struct IDirect3DRMLight : IDirect3DRMObject {
    HRESULT SetType(D3DRMLIGHTTYPE type);
    D3DRMLIGHTTYPE GetType();
    HRESULT SetColor(D3DCOLOR color);
    HRESULT SetColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue);
    D3DCOLOR GetColor();
    HRESULT SetConstantAttenuation(D3DVALUE value);
    HRESULT SetLinearAttenuation(D3DVALUE value);
    HRESULT SetQuadraticAttenuation(D3DVALUE value);
    D3DVALUE GetConstantAttenuation();
    D3DVALUE GetLinearAttenuation();
    D3DVALUE GetQuadraticAttenuation();

    // Stand-in state
    D3DRMLIGHTTYPE type = D3DRMLIGHT_AMBIENT;
    D3DCOLOR color = 0xffffffff;  // channels stored as trunc(c * 255), alpha 0xff
    D3DVALUE constantAttenuation = 1;
    D3DVALUE linearAttenuation = 0;
    D3DVALUE quadraticAttenuation = 0;

    IDirect3DRMLight();
};

struct IDirect3DRMFrame : IDirect3DRMVisual {
    // Hierarchy. AddChild re-parents (the parent holds one reference on each child).
    HRESULT AddChild(IDirect3DRMFrame* child);
    HRESULT DeleteChild(IDirect3DRMFrame* child);
    HRESULT GetParent(IDirect3DRMFrame** parent);  // AddRef'd, null for a root
    HRESULT GetScene(IDirect3DRMFrame** scene);    // the root of the hierarchy, AddRef'd

    HRESULT AddLight(IDirect3DRMLight* light);
    HRESULT DeleteLight(IDirect3DRMLight* light);
    HRESULT AddVisual(IDirect3DRMVisual* visual);
    HRESULT DeleteVisual(IDirect3DRMVisual* visual);

    // Placement. A null reference means the frame's parent (the world for a root).
    HRESULT SetPosition(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y, D3DVALUE z);
    HRESULT GetPosition(IDirect3DRMFrame* reference, D3DVECTOR* position);
    HRESULT SetOrientation(IDirect3DRMFrame* reference, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz,
                           D3DVALUE ux, D3DVALUE uy, D3DVALUE uz);
    HRESULT GetOrientation(IDirect3DRMFrame* reference, D3DVECTOR* direction, D3DVECTOR* up);
    HRESULT AddTransform(D3DRMCOMBINETYPE combine, D3DRMMATRIX4D matrix);
    HRESULT GetTransform(D3DRMMATRIX4D matrix);  // relative to the parent
    HRESULT AddTranslation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z);
    HRESULT AddScale(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z);
    HRESULT AddRotation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z,
                        D3DVALUE theta);

    // Scene properties, kept on the root of the frame's hierarchy.
    HRESULT SetSceneBackground(D3DCOLOR color);
    HRESULT SetSceneBackgroundRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue);
    D3DCOLOR GetSceneBackground();

    HRESULT SetZbufferMode(D3DRMZBUFFERMODE mode);
    D3DRMZBUFFERMODE GetZbufferMode();

    // Stand-in state
    IDirect3DRMFrame* parent = nullptr;             // not a reference
    std::vector<IDirect3DRMFrame*> children;        // one reference each
    std::vector<IDirect3DRMLight*> lights;          // one reference each
    std::vector<IDirect3DRMVisual*> visuals;        // one reference each
    D3DRMMATRIX4D transform = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    D3DCOLOR sceneBackground = 0xff000000;          // used on a root
    D3DRMZBUFFERMODE zbufferMode = D3DRMZBUFFER_FROMPARENT;

    IDirect3DRMFrame();
    ~IDirect3DRMFrame() override;
};

struct RmVectorKey {
    D3DVALUE time;
    D3DVECTOR value;
};
struct RmRotationKey {
    D3DVALUE time;
    D3DRMQUATERNION value;  // as D3DRMMatrixFromQuaternion takes it
};

struct IDirect3DRMAnimation : IDirect3DRMObject {
    HRESULT SetOptions(D3DRMANIMATIONOPTIONS options);
    D3DRMANIMATIONOPTIONS GetOptions();
    HRESULT SetFrame(IDirect3DRMFrame* frame);
    HRESULT AddPositionKey(D3DVALUE time, D3DVALUE x, D3DVALUE y, D3DVALUE z);
    HRESULT AddScaleKey(D3DVALUE time, D3DVALUE x, D3DVALUE y, D3DVALUE z);
    HRESULT AddRotateKey(D3DVALUE time, D3DRMQUATERNION* q);
    // Moves the frame to its state at `time` (units of the key times).
    HRESULT SetTime(D3DVALUE time);

    // Stand-in state: keys sorted by time.
    D3DRMANIMATIONOPTIONS options = D3DRMANIMATION_CLOSED | D3DRMANIMATION_LINEARPOSITION;
    IDirect3DRMFrame* frame = nullptr;  // one reference, or null
    std::vector<RmVectorKey> positionKeys;
    std::vector<RmVectorKey> scaleKeys;
    std::vector<RmRotationKey> rotationKeys;

    IDirect3DRMAnimation();
    ~IDirect3DRMAnimation() override;
};

struct IDirect3DRMAnimationSet : IDirect3DRMObject {
    HRESULT AddAnimation(IDirect3DRMAnimation* animation);
    HRESULT DeleteAnimation(IDirect3DRMAnimation* animation);
    // Gives every animation of the set the same time.
    HRESULT SetTime(D3DVALUE time);

    // Stand-in state
    std::vector<IDirect3DRMAnimation*> animations;  // one reference each

    IDirect3DRMAnimationSet();
    ~IDirect3DRMAnimationSet() override;
};

// A software device drawing into a 16-bit DirectDraw surface's memory (5-6-5 or 5-5-5, as the
// surface was made), with its own 16-bit depth buffer.
struct IDirect3DRMDevice : IDirect3DRMObject {
    HRESULT SetDither(BOOL dither);
    BOOL GetDither();
    HRESULT SetQuality(D3DRMRENDERQUALITY quality);
    D3DRMRENDERQUALITY GetQuality();
    HRESULT SetTextureQuality(D3DRMTEXTUREQUALITY quality);
    D3DRMTEXTUREQUALITY GetTextureQuality();
    HRESULT SetShades(DWORD shades);
    DWORD GetShades();
    // Finishes the frame: the rendering is in the surface once this returns.
    HRESULT Update();
    DWORD GetWidth();
    DWORD GetHeight();

    // Stand-in state
    IDirectDrawSurface* surface = nullptr;  // one reference
    GUID identity = {};                     // the identifier it was created with
    BOOL dither = FALSE;
    D3DRMRENDERQUALITY quality = D3DRMRENDER_FLAT;
    D3DRMTEXTUREQUALITY textureQuality = D3DRMTEXTURE_NEAREST;
    DWORD shades = 32;
    std::vector<uint16_t> depth;   // width * height, 0 near .. 65535 far
    RmRenderer* renderer = nullptr;  // reused buffers of the drawing pipeline

    IDirect3DRMDevice();
    ~IDirect3DRMDevice() override;
};

struct IDirect3DRMViewport : IDirect3DRMObject {
    // Fills the viewport's rectangle with the background of the camera's scene and resets
    // the depth buffer there.
    HRESULT Clear();
    // Draws `scene` (normally the camera's root) through the camera.
    HRESULT Render(IDirect3DRMFrame* scene);
    HRESULT ForceUpdate(DWORD x1, DWORD y1, DWORD x2, DWORD y2);
    HRESULT SetFront(D3DVALUE front);
    HRESULT SetBack(D3DVALUE back);
    HRESULT SetField(D3DVALUE field);
    HRESULT SetProjection(D3DRMPROJECTIONTYPE projection);
    D3DVALUE GetFront();
    D3DVALUE GetBack();
    D3DVALUE GetField();
    D3DRMPROJECTIONTYPE GetProjection();
    HRESULT SetCamera(IDirect3DRMFrame* camera);
    HRESULT GetCamera(IDirect3DRMFrame** camera);  // AddRef'd
    HRESULT GetDevice(IDirect3DRMDevice** device);  // AddRef'd
    LONG GetX();
    LONG GetY();
    DWORD GetWidth();
    DWORD GetHeight();

    // Stand-in state
    IDirect3DRMDevice* device = nullptr;  // one reference
    IDirect3DRMFrame* camera = nullptr;   // one reference
    LONG x = 0, y = 0;
    DWORD width = 0, height = 0;
    D3DVALUE front = 1.0f;
    D3DVALUE back = 100.0f;
    D3DVALUE field = 0.5f;  // half-size of the view window at the front plane
    D3DRMPROJECTIONTYPE projection = D3DRMPROJECT_PERSPECTIVE;

    IDirect3DRMViewport();
    ~IDirect3DRMViewport() override;
};

// The RM object: makes everything else.
struct IDirect3DRM : IDirect3DRMObject {
    HRESULT CreateFrame(IDirect3DRMFrame* parent, IDirect3DRMFrame** frame);
    HRESULT CreateMeshBuilder(IDirect3DRMMeshBuilder** builder);
    HRESULT CreateLight(D3DRMLIGHTTYPE type, D3DCOLOR color, IDirect3DRMLight** light);
    HRESULT CreateLightRGB(D3DRMLIGHTTYPE type, D3DVALUE red, D3DVALUE green, D3DVALUE blue,
                           IDirect3DRMLight** light);
    HRESULT CreateAnimation(IDirect3DRMAnimation** animation);
    HRESULT CreateAnimationSet(IDirect3DRMAnimationSet** animationSet);
    // guid: the device identity (null or all zero: the default device).
    HRESULT CreateDeviceFromSurface(GUID* guid, IDirectDraw* directDraw,
                                    IDirectDrawSurface* surface, IDirect3DRMDevice** device);
    HRESULT CreateViewport(IDirect3DRMDevice* device, IDirect3DRMFrame* camera, DWORD x, DWORD y,
                           DWORD width, DWORD height, IDirect3DRMViewport** viewport);
    // Reads an X file (text, binary or compressed). Objects of the requested types are handed
    // to `loaded`; textures are asked of `loadTexture` (or read with LoadTexture when null).
    // Top-level frames and meshes go under parentFrame when it is given.
    HRESULT Load(LPVOID source, LPVOID objectId, GUID** guids, DWORD guidCount,
                 D3DRMLOADOPTIONS options, D3DRMLOADCALLBACK loaded, LPVOID loadedArgument,
                 D3DRMLOADTEXTURECALLBACK loadTexture, LPVOID loadTextureArgument,
                 IDirect3DRMFrame* parentFrame);
    // Reads a BMP or PPM texture; the name is resolved like every file name of the show.
    HRESULT LoadTexture(LPCSTR fileName, IDirect3DRMTexture** texture);

    IDirect3DRM();
};

HRESULT Direct3DRMCreate(IDirect3DRM** retainedMode);

// ---------------------------------------------------------------------------------------------
// Vector and quaternion helpers

D3DCOLOR D3DRMCreateColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue);
D3DCOLOR D3DRMCreateColorRGBA(D3DVALUE red, D3DVALUE green, D3DVALUE blue, D3DVALUE alpha);
D3DVALUE D3DRMColorGetRed(D3DCOLOR color);
D3DVALUE D3DRMColorGetGreen(D3DCOLOR color);
D3DVALUE D3DRMColorGetBlue(D3DCOLOR color);
D3DVALUE D3DRMColorGetAlpha(D3DCOLOR color);
LPD3DVECTOR D3DRMVectorAdd(LPD3DVECTOR result, LPD3DVECTOR a, LPD3DVECTOR b);
LPD3DVECTOR D3DRMVectorSubtract(LPD3DVECTOR result, LPD3DVECTOR a, LPD3DVECTOR b);
LPD3DVECTOR D3DRMVectorCrossProduct(LPD3DVECTOR result, LPD3DVECTOR a, LPD3DVECTOR b);
D3DVALUE D3DRMVectorDotProduct(LPD3DVECTOR a, LPD3DVECTOR b);
D3DVALUE D3DRMVectorModulus(LPD3DVECTOR v);
// Normalises in place; a zero vector becomes (1, 0, 0).
LPD3DVECTOR D3DRMVectorNormalize(LPD3DVECTOR v);
LPD3DVECTOR D3DRMVectorScale(LPD3DVECTOR result, LPD3DVECTOR v, D3DVALUE factor);
// result = v turned by theta radians about axis (normalised in place; +x turns toward +y
// about +z), normalised to unit length.
LPD3DVECTOR D3DRMVectorRotate(LPD3DVECTOR result, LPD3DVECTOR v, LPD3DVECTOR axis,
                              D3DVALUE theta);
LPD3DRMQUATERNION D3DRMQuaternionFromRotation(LPD3DRMQUATERNION q, LPD3DVECTOR axis,
                                              D3DVALUE theta);
LPD3DRMQUATERNION D3DRMQuaternionMultiply(LPD3DRMQUATERNION q, LPD3DRMQUATERNION a,
                                          LPD3DRMQUATERNION b);
LPD3DRMQUATERNION D3DRMQuaternionSlerp(LPD3DRMQUATERNION q, LPD3DRMQUATERNION a,
                                       LPD3DRMQUATERNION b, D3DVALUE alpha);
void D3DRMMatrixFromQuaternion(D3DRMMATRIX4D m, LPD3DRMQUATERNION q);
