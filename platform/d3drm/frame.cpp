// Frames: the hierarchy (a parent holds one reference on each child, light and visual),
// placement relative to any reference frame, transforms, the scene background kept on the
// root and the z-buffer mode. Orientation math follows the platform: z along the direction,
// y along the up vector made perpendicular, x = y x z; scale is reset, position kept.
#include <cmath>
#include <new>

#include "platform/d3drm/rm_internal.h"

IDirect3DRMFrame::IDirect3DRMFrame() : IDirect3DRMVisual("IDirect3DRMFrame") {}

IDirect3DRMFrame::~IDirect3DRMFrame() {
    for (IDirect3DRMFrame* child : children) {
        child->parent = nullptr;
        child->Release();
    }
    for (IDirect3DRMLight* light : lights) light->Release();
    for (IDirect3DRMVisual* visual : visuals) visual->Release();
}

RmMatrix RmFrameWorld(IDirect3DRMFrame* frame) {
    RmMatrix world = RmIdentity();
    // Bounded: AddChild refuses cycles, the bound only guards against damaged state.
    for (int depth = 0; frame && depth < 4096; ++depth, frame = frame->parent)
        world = RmMultiply(world, RmFromArray(frame->transform));
    return world;
}

RmMatrix RmReferenceWorld(IDirect3DRMFrame* reference, IDirect3DRMFrame* self) {
    return RmFrameWorld(reference ? reference : self->parent);
}

HRESULT IDirect3DRMFrame::AddChild(IDirect3DRMFrame* child) {
    RmLog("IDirect3DRMFrame::AddChild");
    if (!child) return D3DRMERR_BADOBJECT;
    for (IDirect3DRMFrame* f = this; f; f = f->parent)
        if (f == child) return D3DRMERR_BADVALUE;  // would make a cycle
    if (child->parent == this) return D3DRM_OK;
    child->AddRef();
    if (child->parent) child->parent->DeleteChild(child);
    child->parent = this;
    children.push_back(child);
    return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::DeleteChild(IDirect3DRMFrame* child) {
    if (!child || child->parent != this) return D3DRMERR_BADOBJECT;
    child->parent = nullptr;
    return RmRemove(children, child) ? D3DRM_OK : D3DRMERR_BADOBJECT;
}

HRESULT IDirect3DRMFrame::GetParent(IDirect3DRMFrame** out) {
    if (!out) return D3DRMERR_BADVALUE;
    *out = parent;
    if (parent) parent->AddRef();
    return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::GetScene(IDirect3DRMFrame** out) {
    if (!out) return D3DRMERR_BADVALUE;
    IDirect3DRMFrame* root = this;
    while (root->parent) root = root->parent;
    root->AddRef();
    *out = root;
    return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::AddLight(IDirect3DRMLight* light) {
    RmLog("IDirect3DRMFrame::AddLight");
    if (!light) return D3DRMERR_BADOBJECT;
    RmAddUnique(lights, light);
    return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::DeleteLight(IDirect3DRMLight* light) {
    return RmRemove(lights, light) ? D3DRM_OK : D3DRMERR_BADOBJECT;
}

HRESULT IDirect3DRMFrame::AddVisual(IDirect3DRMVisual* visual) {
    if (!visual || visual == this) return D3DRMERR_BADOBJECT;
    RmAddUnique(visuals, visual);
    return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::DeleteVisual(IDirect3DRMVisual* visual) {
    return RmRemove(visuals, visual) ? D3DRM_OK : D3DRMERR_BADOBJECT;
}

HRESULT IDirect3DRMFrame::SetPosition(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y,
                                      D3DVALUE z) {
    RmLog("IDirect3DRMFrame::SetPosition");
    D3DVECTOR world = RmTransformPoint(D3DVECTOR{x, y, z}, RmReferenceWorld(reference, this));
    D3DVECTOR local = RmTransformPoint(world, RmInverseAffine(RmFrameWorld(parent)));
    transform[3][0] = local.x;
    transform[3][1] = local.y;
    transform[3][2] = local.z;
    return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::GetPosition(IDirect3DRMFrame* reference, D3DVECTOR* position) {
    if (!position) return D3DRMERR_BADVALUE;
    RmMatrix world = RmFrameWorld(this);
    D3DVECTOR origin{world.m[3][0], world.m[3][1], world.m[3][2]};
    *position = RmTransformPoint(origin, RmInverseAffine(RmReferenceWorld(reference, this)));
    return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::SetOrientation(IDirect3DRMFrame* reference, D3DVALUE dx, D3DVALUE dy,
                                         D3DVALUE dz, D3DVALUE ux, D3DVALUE uy, D3DVALUE uz) {
    RmLog("IDirect3DRMFrame::SetOrientation");
    RmMatrix ref = RmReferenceWorld(reference, this);
    D3DVECTOR z = RmUnitOrZero(RmTransformDirection(D3DVECTOR{dx, dy, dz}, ref));
    D3DVECTOR u = RmTransformDirection(D3DVECTOR{ux, uy, uz}, ref);
    D3DVALUE along = RmDot(u, z);
    D3DVECTOR rest{u.x - along * z.x, u.y - along * z.y, u.z - along * z.z};
    // A zero direction, or an up vector along it, leaves no y axis: refuse and keep the
    // frame as it was. The 1e-6 bound catches up vectors parallel but for rounding.
    if (RmDot(z, z) == 0 || !(std::sqrt(RmDot(rest, rest)) > 1e-6f * std::sqrt(RmDot(u, u))))
        return D3DRMERR_BADVALUE;
    D3DVECTOR y = RmUnitOrZero(rest);
    D3DVECTOR x = RmCross(y, z);
    RmMatrix world = RmIdentity();
    const D3DVECTOR axes[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
        world.m[i][0] = axes[i].x;
        world.m[i][1] = axes[i].y;
        world.m[i][2] = axes[i].z;
    }
    RmMatrix local = RmMultiply(world, RmInverseAffine(RmFrameWorld(parent)));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) transform[i][j] = local.m[i][j];
    return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::GetOrientation(IDirect3DRMFrame* reference, D3DVECTOR* direction,
                                         D3DVECTOR* up) {
    if (!direction || !up) return D3DRMERR_BADVALUE;
    RmMatrix relative = RmMultiply(RmFrameWorld(this),
                                   RmInverseAffine(RmReferenceWorld(reference, this)));
    *direction = RmUnitOrZero(D3DVECTOR{relative.m[2][0], relative.m[2][1], relative.m[2][2]});
    *up = RmUnitOrZero(D3DVECTOR{relative.m[1][0], relative.m[1][1], relative.m[1][2]});
    return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::AddTransform(D3DRMCOMBINETYPE combine, D3DRMMATRIX4D matrix) {
    if (!matrix) return D3DRMERR_BADVALUE;
    if (matrix[0][3] != 0 || matrix[1][3] != 0 || matrix[2][3] != 0 || matrix[3][3] != 1)
        return D3DRMERR_BADVALUE;
    RmMatrix m = RmFromArray(matrix), f = RmFromArray(transform);
    switch (combine) {
    case D3DRMCOMBINE_REPLACE: f = m; break;
    case D3DRMCOMBINE_BEFORE: f = RmMultiply(m, f); break;
    case D3DRMCOMBINE_AFTER: f = RmMultiply(f, m); break;
    default: return D3DRMERR_BADVALUE;
    }
    RmToArray(f, transform);
    return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::GetTransform(D3DRMMATRIX4D matrix) {
    if (!matrix) return D3DRMERR_BADVALUE;
    RmToArray(RmFromArray(transform), matrix);
    return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::AddTranslation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y,
                                         D3DVALUE z) {
    RmMatrix m = RmIdentity();
    m.m[3][0] = x;
    m.m[3][1] = y;
    m.m[3][2] = z;
    D3DRMMATRIX4D a;
    RmToArray(m, a);
    return AddTransform(combine, a);
}

HRESULT IDirect3DRMFrame::AddScale(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
    RmMatrix m = RmIdentity();
    m.m[0][0] = x;
    m.m[1][1] = y;
    m.m[2][2] = z;
    D3DRMMATRIX4D a;
    RmToArray(m, a);
    return AddTransform(combine, a);
}

HRESULT IDirect3DRMFrame::AddRotation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y,
                                      D3DVALUE z, D3DVALUE theta) {
    D3DVECTOR axis{x, y, z};
    D3DRMQUATERNION q;
    D3DRMQuaternionFromRotation(&q, &axis, theta);
    // MatrixFromQuaternion read with row vectors turns by the conjugate: hand it that.
    D3DRMQUATERNION conj{q.s, D3DVECTOR{-q.v.x, -q.v.y, -q.v.z}};
    D3DRMMATRIX4D a;
    D3DRMMatrixFromQuaternion(a, &conj);
    return AddTransform(combine, a);
}

HRESULT IDirect3DRMFrame::SetSceneBackground(D3DCOLOR color) {
    IDirect3DRMFrame* root = this;
    while (root->parent) root = root->parent;
    root->sceneBackground = color | 0xff000000u;
    return D3DRM_OK;
}

HRESULT IDirect3DRMFrame::SetSceneBackgroundRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    RmLog("IDirect3DRMFrame::SetSceneBackgroundRGB");
    return SetSceneBackground(D3DRMCreateColorRGB(red, green, blue));
}

D3DCOLOR IDirect3DRMFrame::GetSceneBackground() {
    IDirect3DRMFrame* root = this;
    while (root->parent) root = root->parent;
    return root->sceneBackground;
}

HRESULT IDirect3DRMFrame::SetZbufferMode(D3DRMZBUFFERMODE mode) {
    RmLog("IDirect3DRMFrame::SetZbufferMode");
    if (mode > D3DRMZBUFFER_DISABLE) return D3DRMERR_BADVALUE;
    zbufferMode = mode;
    return D3DRM_OK;
}

D3DRMZBUFFERMODE IDirect3DRMFrame::GetZbufferMode() { return zbufferMode; }
