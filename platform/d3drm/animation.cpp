// Animations and animation sets: keys by time and SetTime. Position keys are linear, or
// Catmull-Rom when the animation asks for spline positions; rotation keys slerp the shortest
// arc; scale keys are linear. Before the first key the first holds; after the last an open
// animation holds the last, a closed one wraps into [first, last). The frame matrix is
// scale, then rotation (D3DRMMatrixFromQuaternion of the key), then translation.
#include <algorithm>
#include <cmath>

#include "platform/d3drm/rm_internal.h"

namespace {

template <typename Key>
void InsertSorted(std::vector<Key>& keys, const Key& key) {
    auto at = std::upper_bound(keys.begin(), keys.end(), key.time,
                               [](D3DVALUE t, const Key& k) { return t < k.time; });
    keys.insert(at, key);
}

// Index i of the last key with time <= t (0 when t is before all) and the fraction toward
// key i + 1 (0 when there is none).
template <typename Key>
size_t Bracket(const std::vector<Key>& keys, D3DVALUE t, D3DVALUE& fraction) {
    fraction = 0;
    auto after = std::upper_bound(keys.begin(), keys.end(), t,
                                  [](D3DVALUE value, const Key& k) { return value < k.time; });
    if (after == keys.begin()) return 0;
    size_t i = static_cast<size_t>(after - keys.begin()) - 1;
    if (i + 1 < keys.size()) {
        D3DVALUE span = keys[i + 1].time - keys[i].time;
        if (span > 0) fraction = (t - keys[i].time) / span;
    }
    return i;
}

D3DVECTOR Lerp(const D3DVECTOR& a, const D3DVECTOR& b, D3DVALUE f) {
    return D3DVECTOR{a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z + (b.z - a.z) * f};
}

D3DVALUE CatmullRom(D3DVALUE p0, D3DVALUE p1, D3DVALUE p2, D3DVALUE p3, D3DVALUE s) {
    return 0.5f * (2 * p1 + (p2 - p0) * s + (2 * p0 - 5 * p1 + 4 * p2 - p3) * s * s +
                   (3 * p1 - p0 - 3 * p2 + p3) * s * s * s);
}

D3DVECTOR PositionAt(const std::vector<RmVectorKey>& keys, D3DVALUE t, bool spline) {
    D3DVALUE f;
    size_t i = Bracket(keys, t, f);
    if (f == 0) return keys[i].value;
    const D3DVECTOR& p1 = keys[i].value;
    const D3DVECTOR& p2 = keys[i + 1].value;
    if (!spline) return Lerp(p1, p2, f);
    // The end keys stand in for their missing neighbours.
    const D3DVECTOR& p0 = keys[i > 0 ? i - 1 : i].value;
    const D3DVECTOR& p3 = keys[i + 2 < keys.size() ? i + 2 : i + 1].value;
    return D3DVECTOR{CatmullRom(p0.x, p1.x, p2.x, p3.x, f), CatmullRom(p0.y, p1.y, p2.y, p3.y, f),
                     CatmullRom(p0.z, p1.z, p2.z, p3.z, f)};
}

D3DVECTOR ScaleAt(const std::vector<RmVectorKey>& keys, D3DVALUE t) {
    D3DVALUE f;
    size_t i = Bracket(keys, t, f);
    return f == 0 ? keys[i].value : Lerp(keys[i].value, keys[i + 1].value, f);
}

D3DRMQUATERNION RotationAt(std::vector<RmRotationKey>& keys, D3DVALUE t) {
    D3DVALUE f;
    size_t i = Bracket(keys, t, f);
    if (f == 0) return keys[i].value;
    D3DRMQUATERNION q;
    D3DRMQuaternionSlerp(&q, &keys[i].value, &keys[i + 1].value, f);
    return q;
}

}  // namespace

IDirect3DRMAnimation::IDirect3DRMAnimation() : IDirect3DRMObject("IDirect3DRMAnimation") {}

IDirect3DRMAnimation::~IDirect3DRMAnimation() {
    if (frame) frame->Release();
}

HRESULT IDirect3DRMAnimation::SetOptions(D3DRMANIMATIONOPTIONS newOptions) {
    bool open = newOptions & D3DRMANIMATION_OPEN, closed = newOptions & D3DRMANIMATION_CLOSED;
    bool linear = newOptions & D3DRMANIMATION_LINEARPOSITION;
    bool spline = newOptions & D3DRMANIMATION_SPLINEPOSITION;
    if ((open && closed) || (linear && spline)) return D3DRMERR_BADVALUE;
    options = newOptions;
    return D3DRM_OK;
}

D3DRMANIMATIONOPTIONS IDirect3DRMAnimation::GetOptions() { return options; }

HRESULT IDirect3DRMAnimation::SetFrame(IDirect3DRMFrame* newFrame) {
    if (newFrame) newFrame->AddRef();
    if (frame) frame->Release();
    frame = newFrame;
    return D3DRM_OK;
}

HRESULT IDirect3DRMAnimation::AddPositionKey(D3DVALUE time, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
    if (!std::isfinite(time)) return D3DRMERR_BADVALUE;
    InsertSorted(positionKeys, RmVectorKey{time, D3DVECTOR{x, y, z}});
    return D3DRM_OK;
}

HRESULT IDirect3DRMAnimation::AddScaleKey(D3DVALUE time, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
    if (!std::isfinite(time)) return D3DRMERR_BADVALUE;
    InsertSorted(scaleKeys, RmVectorKey{time, D3DVECTOR{x, y, z}});
    return D3DRM_OK;
}

HRESULT IDirect3DRMAnimation::AddRotateKey(D3DVALUE time, D3DRMQUATERNION* q) {
    if (!q || !std::isfinite(time)) return D3DRMERR_BADVALUE;
    InsertSorted(rotationKeys, RmRotationKey{time, *q});
    return D3DRM_OK;
}

HRESULT IDirect3DRMAnimation::SetTime(D3DVALUE time) {
    if (!frame) return D3DRM_OK;
    if (positionKeys.empty() && scaleKeys.empty() && rotationKeys.empty()) return D3DRM_OK;
    if (!std::isfinite(time)) return D3DRMERR_BADVALUE;

    D3DVALUE first = INFINITY, last = -INFINITY;
    if (!positionKeys.empty()) first = std::min(first, positionKeys.front().time);
    if (!scaleKeys.empty()) first = std::min(first, scaleKeys.front().time);
    if (!rotationKeys.empty()) first = std::min(first, rotationKeys.front().time);
    if (!positionKeys.empty()) last = std::max(last, positionKeys.back().time);
    if (!scaleKeys.empty()) last = std::max(last, scaleKeys.back().time);
    if (!rotationKeys.empty()) last = std::max(last, rotationKeys.back().time);
    D3DVALUE period = last - first;
    if (!(options & D3DRMANIMATION_OPEN) && period > 0 && time >= last) {
        D3DVALUE into = std::fmod(time - first, period);
        if (into < 0) into += period;
        time = first + into;
    }

    RmMatrix m = RmFromArray(frame->transform);
    if (!rotationKeys.empty() || !scaleKeys.empty()) {
        D3DRMMATRIX4D r = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
        if (!rotationKeys.empty()) {
            D3DRMQUATERNION q = RotationAt(rotationKeys, time);
            D3DRMMatrixFromQuaternion(r, &q);
        }
        D3DVECTOR s{1, 1, 1};
        if (!scaleKeys.empty()) s = ScaleAt(scaleKeys, time);
        const D3DVALUE scale[3] = {s.x, s.y, s.z};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) m.m[i][j] = scale[i] * r[i][j];
    }
    if (!positionKeys.empty()) {
        bool spline = options & D3DRMANIMATION_SPLINEPOSITION;
        D3DVECTOR p = PositionAt(positionKeys, time, spline);
        m.m[3][0] = p.x;
        m.m[3][1] = p.y;
        m.m[3][2] = p.z;
    }
    RmToArray(m, frame->transform);
    return D3DRM_OK;
}

IDirect3DRMAnimationSet::IDirect3DRMAnimationSet()
    : IDirect3DRMObject("IDirect3DRMAnimationSet") {}

IDirect3DRMAnimationSet::~IDirect3DRMAnimationSet() {
    for (IDirect3DRMAnimation* a : animations) a->Release();
}

HRESULT IDirect3DRMAnimationSet::AddAnimation(IDirect3DRMAnimation* animation) {
    if (!animation) return D3DRMERR_BADOBJECT;
    RmAddUnique(animations, animation);
    return D3DRM_OK;
}

HRESULT IDirect3DRMAnimationSet::DeleteAnimation(IDirect3DRMAnimation* animation) {
    return RmRemove(animations, animation) ? D3DRM_OK : D3DRMERR_BADOBJECT;
}

HRESULT IDirect3DRMAnimationSet::SetTime(D3DVALUE time) {
    RmLog("IDirect3DRMAnimationSet::SetTime");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRMAnimationSet::SetTime", &fault)) return fault;
    HRESULT result = D3DRM_OK;
    for (IDirect3DRMAnimation* a : animations) {
        HRESULT r = a->SetTime(time);
        if (r != D3DRM_OK) result = r;
    }
    return result;
}
