// Reference counting and names of every retained-mode object, the RM object itself and the
// calls that create frames, lights, mesh builders and animations. Each creating call can be
// made to fail through the test hooks under its platform name.
#include <cstring>
#include <new>

#include "platform/d3drm/rm_internal.h"

IDirect3DRMObject::IDirect3DRMObject(const char* kind) : kind(kind) {
    standin::ObjectCreated(kind, this);
}

IDirect3DRMObject::~IDirect3DRMObject() { standin::ObjectDestroyed(kind, this); }

ULONG IDirect3DRMObject::AddRef() { return ++refs; }

ULONG IDirect3DRMObject::Release() {
    if (standin::CallLogEnabled()) standin::LogCall(std::string(kind) + "::Release");
    if (refs == 0) return 0;  // already going: a cycle of references reached it again
    if (--refs > 0) return refs;
    delete this;
    return 0;
}

HRESULT IDirect3DRMObject::SetName(LPCSTR newName) {
    name = newName ? newName : "";
    return D3DRM_OK;
}

HRESULT IDirect3DRMObject::GetName(DWORD* size, LPSTR out) {
    if (!size) return D3DRMERR_BADVALUE;
    DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (out) {
        if (*size < needed) return D3DRMERR_BADVALUE;
        std::memcpy(out, name.c_str(), needed);
    }
    *size = needed;
    return D3DRM_OK;
}

IDirect3DRM::IDirect3DRM() : IDirect3DRMObject("IDirect3DRM") {}

IDirect3DRMLight::IDirect3DRMLight() : IDirect3DRMObject("IDirect3DRMLight") {}

HRESULT Direct3DRMCreate(IDirect3DRM** retainedMode) {
    if (!retainedMode) return D3DRMERR_BADVALUE;
    *retainedMode = nullptr;
    RmLog("Direct3DRMCreate");
    HRESULT fault;
    if (standin::TakeFault("Direct3DRMCreate", &fault)) return fault;
    IDirect3DRM* rm = new (std::nothrow) IDirect3DRM;
    if (!rm) return D3DRMERR_BADALLOC;
    *retainedMode = rm;
    return D3DRM_OK;
}

HRESULT IDirect3DRM::CreateFrame(IDirect3DRMFrame* parent, IDirect3DRMFrame** frame) {
    if (!frame) return D3DRMERR_BADVALUE;
    *frame = nullptr;
    RmLog("IDirect3DRM::CreateFrame");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRM::CreateFrame", &fault)) return fault;
    IDirect3DRMFrame* f = new (std::nothrow) IDirect3DRMFrame;
    if (!f) return D3DRMERR_BADALLOC;
    if (parent) parent->AddChild(f);
    *frame = f;
    return D3DRM_OK;
}

HRESULT IDirect3DRM::CreateMeshBuilder(IDirect3DRMMeshBuilder** builder) {
    if (!builder) return D3DRMERR_BADVALUE;
    *builder = nullptr;
    RmLog("IDirect3DRM::CreateMeshBuilder");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRM::CreateMeshBuilder", &fault)) return fault;
    *builder = new (std::nothrow) IDirect3DRMMeshBuilder;
    return *builder ? D3DRM_OK : D3DRMERR_BADALLOC;
}

HRESULT IDirect3DRM::CreateLight(D3DRMLIGHTTYPE type, D3DCOLOR color, IDirect3DRMLight** light) {
    if (!light) return D3DRMERR_BADVALUE;
    *light = nullptr;
    RmLog("IDirect3DRM::CreateLight");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRM::CreateLight", &fault)) return fault;
    if (type > D3DRMLIGHT_PARALLELPOINT) return D3DRMERR_BADVALUE;
    IDirect3DRMLight* l = new (std::nothrow) IDirect3DRMLight;
    if (!l) return D3DRMERR_BADALLOC;
    l->type = type;
    l->color = color | 0xff000000u;
    *light = l;
    return D3DRM_OK;
}

HRESULT IDirect3DRM::CreateLightRGB(D3DRMLIGHTTYPE type, D3DVALUE red, D3DVALUE green,
                                    D3DVALUE blue, IDirect3DRMLight** light) {
    if (!light) return D3DRMERR_BADVALUE;
    *light = nullptr;
    RmLog("IDirect3DRM::CreateLightRGB");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRM::CreateLightRGB", &fault)) return fault;
    if (type > D3DRMLIGHT_PARALLELPOINT) return D3DRMERR_BADVALUE;
    IDirect3DRMLight* l = new (std::nothrow) IDirect3DRMLight;
    if (!l) return D3DRMERR_BADALLOC;
    l->type = type;
    l->color = D3DRMCreateColorRGB(red, green, blue);
    *light = l;
    return D3DRM_OK;
}

HRESULT IDirect3DRM::CreateAnimation(IDirect3DRMAnimation** animation) {
    if (!animation) return D3DRMERR_BADVALUE;
    *animation = nullptr;
    RmLog("IDirect3DRM::CreateAnimation");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRM::CreateAnimation", &fault)) return fault;
    *animation = new (std::nothrow) IDirect3DRMAnimation;
    return *animation ? D3DRM_OK : D3DRMERR_BADALLOC;
}

HRESULT IDirect3DRM::CreateAnimationSet(IDirect3DRMAnimationSet** animationSet) {
    if (!animationSet) return D3DRMERR_BADVALUE;
    *animationSet = nullptr;
    RmLog("IDirect3DRM::CreateAnimationSet");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRM::CreateAnimationSet", &fault)) return fault;
    *animationSet = new (std::nothrow) IDirect3DRMAnimationSet;
    return *animationSet ? D3DRM_OK : D3DRMERR_BADALLOC;
}

// Lights --------------------------------------------------------------------------------------

HRESULT IDirect3DRMLight::SetType(D3DRMLIGHTTYPE newType) {
    if (newType > D3DRMLIGHT_PARALLELPOINT) return D3DRMERR_BADVALUE;
    type = newType;
    return D3DRM_OK;
}

D3DRMLIGHTTYPE IDirect3DRMLight::GetType() { return type; }

HRESULT IDirect3DRMLight::SetColor(D3DCOLOR newColor) {
    color = newColor | 0xff000000u;
    return D3DRM_OK;
}

HRESULT IDirect3DRMLight::SetColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    color = D3DRMCreateColorRGB(red, green, blue);
    return D3DRM_OK;
}

D3DCOLOR IDirect3DRMLight::GetColor() { return color; }

HRESULT IDirect3DRMLight::SetConstantAttenuation(D3DVALUE value) {
    RmLog("IDirect3DRMLight::SetConstantAttenuation");
    constantAttenuation = value;
    return D3DRM_OK;
}

HRESULT IDirect3DRMLight::SetLinearAttenuation(D3DVALUE value) {
    linearAttenuation = value;
    return D3DRM_OK;
}

HRESULT IDirect3DRMLight::SetQuadraticAttenuation(D3DVALUE value) {
    quadraticAttenuation = value;
    return D3DRM_OK;
}

D3DVALUE IDirect3DRMLight::GetConstantAttenuation() { return constantAttenuation; }
D3DVALUE IDirect3DRMLight::GetLinearAttenuation() { return linearAttenuation; }
D3DVALUE IDirect3DRMLight::GetQuadraticAttenuation() { return quadraticAttenuation; }

// Mesh builders -------------------------------------------------------------------------------

IDirect3DRMMeshBuilder::IDirect3DRMMeshBuilder() : IDirect3DRMVisual("IDirect3DRMMeshBuilder") {}

IDirect3DRMMeshBuilder::~IDirect3DRMMeshBuilder() {
    for (RmMaterial& m : materials)
        if (m.texture) m.texture->Release();
}

HRESULT IDirect3DRMMeshBuilder::SetQuality(D3DRMRENDERQUALITY newQuality) {
    quality = newQuality;
    return D3DRM_OK;
}

D3DRMRENDERQUALITY IDirect3DRMMeshBuilder::GetQuality() { return quality; }
int IDirect3DRMMeshBuilder::GetVertexCount() { return static_cast<int>(vertices.size()); }
int IDirect3DRMMeshBuilder::GetFaceCount() { return static_cast<int>(faces.size()); }
