// Helpers shared by the retained-mode stand-in's files: 4x4 row-vector matrices, frame
// world transforms, reference-list handling and the call log. Stand-in internal.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "platform/d3drm/d3drm.h"
#include "platform/testing/hooks.h"

// A row-vector transform by value: [x y z 1] * m, translation in m[3][0..2].
struct RmMatrix {
    D3DVALUE m[4][4];
};

RmMatrix RmIdentity();
RmMatrix RmFromArray(const D3DRMMATRIX4D a);
void RmToArray(const RmMatrix& m, D3DRMMATRIX4D a);
// a then b: a point goes through a first.
RmMatrix RmMultiply(const RmMatrix& a, const RmMatrix& b);
// Inverse of an affine matrix (last column 0, 0, 0, 1). A singular 3x3 gives the identity
// 3x3, so a degenerate scale can never spread NaNs through a scene.
RmMatrix RmInverseAffine(const RmMatrix& a);

// The small vector helpers are inline: lighting calls them per corner and per light.
inline D3DVECTOR RmTransformPoint(const D3DVECTOR& v, const RmMatrix& m) {
    return D3DVECTOR{v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + m.m[3][0],
                     v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + m.m[3][1],
                     v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + m.m[3][2]};
}
// 3x3 only.
inline D3DVECTOR RmTransformDirection(const D3DVECTOR& v, const RmMatrix& m) {
    return D3DVECTOR{v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
                     v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
                     v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}
// 0..1; not a number counts as 0, since it has no place in the range and turning it into an
// integer is undefined.
inline D3DVALUE RmClamp01(D3DVALUE c) { return !(c > 0) ? 0 : (c > 1 ? 1 : c); }
inline D3DVALUE RmDot(const D3DVECTOR& a, const D3DVECTOR& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline D3DVECTOR RmCross(const D3DVECTOR& a, const D3DVECTOR& b) {
    return D3DVECTOR{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline D3DVECTOR RmSub(const D3DVECTOR& a, const D3DVECTOR& b) {
    return D3DVECTOR{a.x - b.x, a.y - b.y, a.z - b.z};
}
// Unit vector, or (0, 0, 0) when v has no length.
inline D3DVECTOR RmUnitOrZero(const D3DVECTOR& v) {
    D3DVALUE length = std::sqrt(RmDot(v, v));
    if (!(length > 0) || !std::isfinite(length)) return D3DVECTOR{0, 0, 0};
    return D3DVECTOR{v.x / length, v.y / length, v.z / length};
}

// World transform of a frame: its own matrix times its ancestors'. Null gives the identity.
RmMatrix RmFrameWorld(IDirect3DRMFrame* frame);
// The world transform a reference frame argument stands for: the frame's own world, or for a
// null reference the world of `self`'s parent.
RmMatrix RmReferenceWorld(IDirect3DRMFrame* reference, IDirect3DRMFrame* self);

// Appends with one reference unless already present; true when added.
template <typename T>
bool RmAddUnique(std::vector<T*>& list, T* object) {
    for (T* o : list)
        if (o == object) return false;
    object->AddRef();
    list.push_back(object);
    return true;
}
// Removes and releases; false when it was not in the list.
template <typename T>
bool RmRemove(std::vector<T*>& list, T* object) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] == object) {
            list.erase(list.begin() + static_cast<ptrdiff_t>(i));
            object->Release();
            return true;
        }
    }
    return false;
}

// Logs a call when the call log is on (built only then: several of these run per frame).
inline void RmLog(const char* call) {
    if (standin::CallLogEnabled()) standin::LogCall(call);
}
