// Vector, colour, quaternion and matrix helpers of the retained-mode stand-in. Reproduces the
// platform's senses: VectorRotate turns +x toward +y about +z and returns a unit vector;
// MatrixFromQuaternion, read as a row-vector matrix, turns by the conjugate.
#include <cmath>

#include "platform/d3drm/rm_internal.h"

namespace {

// Stored as trunc(c * 255) after clamping, as the platform stores colours (0.5 -> 0x7f).
DWORD Channel(D3DVALUE c) { return static_cast<DWORD>(RmClamp01(c) * 255.0f); }

D3DRMQUATERNION Multiply(const D3DRMQUATERNION& a, const D3DRMQUATERNION& b) {
    D3DRMQUATERNION q;
    q.s = a.s * b.s - RmDot(a.v, b.v);
    D3DVECTOR c = RmCross(a.v, b.v);
    q.v.x = a.s * b.v.x + b.s * a.v.x + c.x;
    q.v.y = a.s * b.v.y + b.s * a.v.y + c.y;
    q.v.z = a.s * b.v.z + b.s * a.v.z + c.z;
    return q;
}

}  // namespace

D3DCOLOR D3DRMCreateColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    return RGBA_MAKE(Channel(red), Channel(green), Channel(blue), 0xff);
}

D3DCOLOR D3DRMCreateColorRGBA(D3DVALUE red, D3DVALUE green, D3DVALUE blue, D3DVALUE alpha) {
    return RGBA_MAKE(Channel(red), Channel(green), Channel(blue), Channel(alpha));
}

D3DVALUE D3DRMColorGetRed(D3DCOLOR c) { return RGBA_GETRED(c) / 255.0f; }
D3DVALUE D3DRMColorGetGreen(D3DCOLOR c) { return RGBA_GETGREEN(c) / 255.0f; }
D3DVALUE D3DRMColorGetBlue(D3DCOLOR c) { return RGBA_GETBLUE(c) / 255.0f; }
D3DVALUE D3DRMColorGetAlpha(D3DCOLOR c) { return RGBA_GETALPHA(c) / 255.0f; }

LPD3DVECTOR D3DRMVectorAdd(LPD3DVECTOR r, LPD3DVECTOR a, LPD3DVECTOR b) {
    *r = D3DVECTOR{a->x + b->x, a->y + b->y, a->z + b->z};
    return r;
}

LPD3DVECTOR D3DRMVectorSubtract(LPD3DVECTOR r, LPD3DVECTOR a, LPD3DVECTOR b) {
    *r = RmSub(*a, *b);
    return r;
}

LPD3DVECTOR D3DRMVectorCrossProduct(LPD3DVECTOR r, LPD3DVECTOR a, LPD3DVECTOR b) {
    *r = RmCross(*a, *b);
    return r;
}

D3DVALUE D3DRMVectorDotProduct(LPD3DVECTOR a, LPD3DVECTOR b) { return RmDot(*a, *b); }

D3DVALUE D3DRMVectorModulus(LPD3DVECTOR v) { return std::sqrt(RmDot(*v, *v)); }

LPD3DVECTOR D3DRMVectorNormalize(LPD3DVECTOR v) {
    D3DVALUE length = D3DRMVectorModulus(v);
    if (length == 0 || !std::isfinite(length)) {
        *v = D3DVECTOR{1, 0, 0};
    } else {
        v->x /= length;
        v->y /= length;
        v->z /= length;
    }
    return v;
}

LPD3DVECTOR D3DRMVectorScale(LPD3DVECTOR r, LPD3DVECTOR v, D3DVALUE factor) {
    *r = D3DVECTOR{v->x * factor, v->y * factor, v->z * factor};
    return r;
}

LPD3DRMQUATERNION D3DRMQuaternionFromRotation(LPD3DRMQUATERNION q, LPD3DVECTOR axis,
                                              D3DVALUE theta) {
    D3DVECTOR n = *axis;
    D3DRMVectorNormalize(&n);
    D3DVALUE s = std::sin(theta / 2);
    q->s = std::cos(theta / 2);
    q->v = D3DVECTOR{n.x * s, n.y * s, n.z * s};
    return q;
}

LPD3DRMQUATERNION D3DRMQuaternionMultiply(LPD3DRMQUATERNION q, LPD3DRMQUATERNION a,
                                          LPD3DRMQUATERNION b) {
    *q = Multiply(*a, *b);
    return q;
}

LPD3DVECTOR D3DRMVectorRotate(LPD3DVECTOR r, LPD3DVECTOR v, LPD3DVECTOR axis, D3DVALUE theta) {
    D3DRMVectorNormalize(axis);  // in place, as the platform does
    D3DRMQUATERNION q;
    D3DRMQuaternionFromRotation(&q, axis, theta);
    D3DRMQUATERNION conj{q.s, D3DVECTOR{-q.v.x, -q.v.y, -q.v.z}};
    D3DRMQUATERNION p{0, *v};
    D3DRMQUATERNION turned = Multiply(Multiply(q, p), conj);
    *r = turned.v;
    D3DRMVectorNormalize(r);
    return r;
}

LPD3DRMQUATERNION D3DRMQuaternionSlerp(LPD3DRMQUATERNION q, LPD3DRMQUATERNION a,
                                       LPD3DRMQUATERNION b, D3DVALUE alpha) {
    D3DVALUE dot = a->s * b->s + RmDot(a->v, b->v);
    D3DVALUE sign = 1;
    if (dot < 0) {
        sign = -1;
        dot = -dot;
    }
    D3DVALUE wa = 1 - alpha, wb = alpha;
    if (1 - dot > 0.001f) {
        D3DVALUE theta = std::acos(dot);
        D3DVALUE st = std::sin(theta);
        wa = std::sin((1 - alpha) * theta) / st;
        wb = std::sin(alpha * theta) / st;
    }
    wb *= sign;
    D3DRMQUATERNION r;
    r.s = wa * a->s + wb * b->s;
    r.v.x = wa * a->v.x + wb * b->v.x;
    r.v.y = wa * a->v.y + wb * b->v.y;
    r.v.z = wa * a->v.z + wb * b->v.z;
    *q = r;
    return q;
}

void D3DRMMatrixFromQuaternion(D3DRMMATRIX4D m, LPD3DRMQUATERNION q) {
    D3DVALUE s = q->s, x = q->v.x, y = q->v.y, z = q->v.z;
    m[0][0] = 1 - 2 * (y * y + z * z);
    m[1][1] = 1 - 2 * (x * x + z * z);
    m[2][2] = 1 - 2 * (x * x + y * y);
    m[0][1] = 2 * (x * y - z * s);
    m[1][0] = 2 * (x * y + z * s);
    m[0][2] = 2 * (x * z + y * s);
    m[2][0] = 2 * (x * z - y * s);
    m[1][2] = 2 * (y * z - x * s);
    m[2][1] = 2 * (y * z + x * s);
    m[0][3] = m[1][3] = m[2][3] = 0;
    m[3][0] = m[3][1] = m[3][2] = 0;
    m[3][3] = 1;
}

// Internal helpers -------------------------------------------------------------------------

RmMatrix RmIdentity() { return RmMatrix{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}}; }

RmMatrix RmFromArray(const D3DRMMATRIX4D a) {
    RmMatrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = a[i][j];
    return r;
}

void RmToArray(const RmMatrix& m, D3DRMMATRIX4D a) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) a[i][j] = m.m[i][j];
}

RmMatrix RmMultiply(const RmMatrix& a, const RmMatrix& b) {
    RmMatrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                        a.m[i][3] * b.m[3][j];
    return r;
}

RmMatrix RmInverseAffine(const RmMatrix& a) {
    const D3DVALUE(*m)[4] = a.m;
    D3DVALUE c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    D3DVALUE c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
    D3DVALUE c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    D3DVALUE det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
    RmMatrix r = RmIdentity();
    if (det == 0 || !std::isfinite(det)) {
        r.m[3][0] = -m[3][0];
        r.m[3][1] = -m[3][1];
        r.m[3][2] = -m[3][2];
        return r;
    }
    D3DVALUE inv = 1 / det;
    r.m[0][0] = c00 * inv;
    r.m[1][0] = c01 * inv;
    r.m[2][0] = c02 * inv;
    r.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * inv;
    r.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * inv;
    r.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * inv;
    r.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * inv;
    r.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * inv;
    r.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * inv;
    for (int j = 0; j < 3; ++j)
        r.m[3][j] = -(m[3][0] * r.m[0][j] + m[3][1] * r.m[1][j] + m[3][2] * r.m[2][j]);
    return r;
}

