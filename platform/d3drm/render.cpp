// Rendering a scene: gathers the lights, walks the frames (visuals before children), and for
// each mesh builder transforms vertices to camera space, culls back faces (clockwise faces
// are front faces), lights per corner (Gouraud) or per face (flat) with the platform's model
//   diffuse  = emissive + colour * ambient + sum colour * light * max(0, N.L) * att
//   specular = sum specular * light * max(0, N.H)^power * att   (power > 0, non-black)
// each clamped to 0..1, and hands clip-space triangles to the rasterizer. The effective
// quality is the per-field minimum of the device's and the mesh builder's.
#include <algorithm>
#include <cmath>

#include "platform/d3drm/render.h"

namespace {

// Frames shown as visuals of frames can form cycles; the hierarchy itself cannot, but a
// hostile file could nest it deeply. Either way drawing stops at this depth.
constexpr int kMaxDepth = 512;
// The worker may draw the triangles of a batch as soon as they are published; every few
// dozen keeps it close behind the walk without a store per triangle.
constexpr size_t kPublishEvery = 32;

struct Pass {
    RmRenderer& r;
    IDirect3DRMDevice* device;
    RasterTarget target;
    RasterViewport area;
    RmMatrix view;       // world -> camera
    D3DVECTOR toViewer;  // world, unit: the camera's -z (a viewer at infinity)
    D3DVALUE front, back, field;
    bool orthographic;
    RasterFilter filter;
};

void GatherLights(RmRenderer& r, IDirect3DRMFrame* frame, const RmMatrix& world, int depth) {
    for (IDirect3DRMLight* light : frame->lights) {
        RmSceneLight l{};
        l.type = light->type;
        l.r = RGBA_GETRED(light->color) / 255.0f;
        l.g = RGBA_GETGREEN(light->color) / 255.0f;
        l.b = RGBA_GETBLUE(light->color) / 255.0f;
        if (l.type == D3DRMLIGHT_AMBIENT) {
            r.ambient[0] += l.r;
            r.ambient[1] += l.g;
            r.ambient[2] += l.b;
            continue;
        }
        l.position = D3DVECTOR{world.m[3][0], world.m[3][1], world.m[3][2]};
        // A directional light shines along its frame's +z axis.
        D3DVECTOR z = RmUnitOrZero(D3DVECTOR{world.m[2][0], world.m[2][1], world.m[2][2]});
        l.toLight = D3DVECTOR{-z.x, -z.y, -z.z};
        l.constant = light->constantAttenuation;
        l.linear = light->linearAttenuation;
        l.quadratic = light->quadraticAttenuation;
        r.lights.push_back(l);
    }
    if (depth >= kMaxDepth) return;
    for (IDirect3DRMFrame* child : frame->children)
        GatherLights(r, child, RmMultiply(RmFromArray(child->transform), world), depth + 1);
}

// Lights point p (world) with unit normal n (world) for a surface of reflectance refl.
void LightPoint(const Pass& pass, const D3DVECTOR& p, const D3DVECTOR& n, const RmMaterial& m,
                const D3DVALUE refl[3], RasterVertex& out) {
    const RmRenderer& r = pass.r;
    D3DVALUE d[3], s[3] = {0, 0, 0};
    for (int c = 0; c < 3; ++c) d[c] = m.emissive[c] + refl[c] * r.ambient[c];
    bool specular = m.power > 0 && (m.specular[0] > 0 || m.specular[1] > 0 || m.specular[2] > 0);
    for (const RmSceneLight& l : r.lights) {
        D3DVECTOR toLight = l.toLight;
        D3DVALUE att = 1;
        if (l.type != D3DRMLIGHT_DIRECTIONAL) {
            D3DVECTOR v = RmSub(l.position, p);
            D3DVALUE dist = std::sqrt(RmDot(v, v));
            toLight = RmUnitOrZero(v);
            D3DVALUE denom = l.constant + l.linear * dist + l.quadratic * dist * dist;
            // Capped at 1: a factor below 1 (or none at all) never brightens the light.
            if (denom > 1) att = 1 / denom;
        }
        D3DVALUE ndl = RmDot(n, toLight);
        if (!(ndl > 0)) continue;
        const D3DVALUE lc[3] = {l.r, l.g, l.b};
        for (int c = 0; c < 3; ++c) d[c] += refl[c] * lc[c] * ndl * att;
        if (specular) {
            D3DVECTOR h = RmUnitOrZero(D3DVECTOR{toLight.x + pass.toViewer.x,
                                                 toLight.y + pass.toViewer.y,
                                                 toLight.z + pass.toViewer.z});
            D3DVALUE ndh = RmDot(n, h);
            if (ndh > 0) {
                D3DVALUE k = std::pow(ndh, m.power) * att;
                for (int c = 0; c < 3; ++c) s[c] += m.specular[c] * lc[c] * k;
            }
        }
    }
    out.r = RmClamp01(d[0]);
    out.g = RmClamp01(d[1]);
    out.b = RmClamp01(d[2]);
    out.sr = RmClamp01(s[0]);
    out.sg = RmClamp01(s[1]);
    out.sb = RmClamp01(s[2]);
}

void Unlit(const D3DVALUE refl[3], RasterVertex& out) {
    out.r = RmClamp01(refl[0]);
    out.g = RmClamp01(refl[1]);
    out.b = RmClamp01(refl[2]);
    out.sr = out.sg = out.sb = 0;
}

// Camera space to clip space, as the rasterizer's projection expects: the field is the
// half-size of the view window at the front plane, depth 0 at the front, 1 at the back.
void Project(const Pass& pass, const D3DVECTOR& v, RasterVertex& out) {
    D3DVALUE depthSpan = pass.back - pass.front;
    if (pass.orthographic) {
        out.x = v.x / pass.field;
        out.y = v.y / pass.field;
        out.z = (v.z - pass.front) / depthSpan;
        out.w = 1;
    } else {
        D3DVALUE k = pass.front / pass.field;
        out.x = v.x * k;
        out.y = v.y * k;
        out.z = pass.back * (v.z - pass.front) / depthSpan;
        out.w = v.z;
    }
}

void Reflectance(const RmMaterial& m, D3DCOLOR color, D3DVALUE refl[3]) {
    refl[0] = m.faceColor[0] * (RGBA_GETRED(color) / 255.0f);
    refl[1] = m.faceColor[1] * (RGBA_GETGREEN(color) / 255.0f);
    refl[2] = m.faceColor[2] * (RGBA_GETBLUE(color) / 255.0f);
}

bool FaceValid(const IDirect3DRMMeshBuilder* mb, const RmFace& f) {
    if (f.cornerCount < 3 || f.firstCorner > mb->corners.size() ||
        f.cornerCount > mb->corners.size() - f.firstCorner)
        return false;
    for (uint32_t i = 0; i < f.cornerCount; ++i) {
        const RmCorner& c = mb->corners[f.firstCorner + i];
        if (c.vertex >= mb->vertices.size() || c.normal >= mb->normals.size()) return false;
    }
    return true;
}

// The raster state of a mesh: the per-field minimum of the device's and the builder's quality.
RasterState MeshState(const Pass& pass, const IDirect3DRMMeshBuilder* mb, bool zOn, bool& lit) {
    DWORD dq = pass.device->quality, mq = mb->quality;
    DWORD shade = std::min(dq & D3DRMSHADE_MASK, mq & D3DRMSHADE_MASK);
    DWORD light = std::min(dq & D3DRMLIGHT_MASK, mq & D3DRMLIGHT_MASK);
    DWORD fill = std::min(dq & D3DRMFILL_MASK, mq & D3DRMFILL_MASK);
    lit = light >= D3DRMLIGHT_ON;
    RasterState state;
    state.fill = fill >= D3DRMFILL_SOLID       ? kRasterSolid
                 : fill >= D3DRMFILL_WIREFRAME ? kRasterWireframe
                                               : kRasterPoints;
    state.shade = shade == D3DRMSHADE_FLAT ? kRasterFlat : kRasterGouraud;
    state.filter = pass.filter;
    state.dither = pass.device->dither != FALSE;
    state.zTest = state.zWrite = zOn;
    return state;
}

// Normals go through the inverse transpose, so scaled frames keep them perpendicular.
RmMatrix NormalMatrix(const RmMatrix& world) {
    RmMatrix inverse = RmInverseAffine(world), normalMatrix = RmIdentity();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) normalMatrix.m[i][j] = inverse.m[j][i];
    return normalMatrix;
}

// Every vertex to camera space; for lighting also to world space, with the normals.
void TransformVertices(const Pass& pass, const IDirect3DRMMeshBuilder* mb, const RmMatrix& world,
                       const RmMatrix& normalMatrix, bool lit) {
    RmRenderer& r = pass.r;
    RmMatrix modelView = RmMultiply(world, pass.view);
    size_t vertexCount = mb->vertices.size();
    r.viewPositions.resize(vertexCount);
    for (size_t i = 0; i < vertexCount; ++i)
        r.viewPositions[i] = RmTransformPoint(mb->vertices[i], modelView);
    if (!lit) return;
    r.worldPositions.resize(vertexCount);
    for (size_t i = 0; i < vertexCount; ++i)
        r.worldPositions[i] = RmTransformPoint(mb->vertices[i], world);
    r.worldNormals.resize(mb->normals.size());
    for (size_t i = 0; i < mb->normals.size(); ++i)
        r.worldNormals[i] = RmUnitOrZero(RmTransformDirection(mb->normals[i], normalMatrix));
}

// Back faces: the polygon's area vector in camera space points away from the eye.
bool FacesViewer(const Pass& pass, const RmCorner* corners, uint32_t count) {
    const std::vector<D3DVECTOR>& view = pass.r.viewPositions;
    D3DVECTOR area{0, 0, 0};
    for (uint32_t i = 0; i < count; ++i) {
        D3DVECTOR c = RmCross(view[corners[i].vertex], view[corners[(i + 1) % count].vertex]);
        area = D3DVECTOR{area.x + c.x, area.y + c.y, area.z + c.z};
    }
    D3DVALUE facing = pass.orthographic ? area.z : RmDot(area, view[corners[0].vertex]);
    return facing < 0;
}

// The face's corners lit (per corner for Gouraud, once from the face normal for flat) and
// projected, into r.corners.
void LightCorners(const Pass& pass, const RmFace& face, const RmCorner* corners, const RmMaterial& m,
                  const RasterState& state, bool lit, const RmMatrix& normalMatrix) {
    RmRenderer& r = pass.r;
    if (r.corners.size() < face.cornerCount) r.corners.resize(face.cornerCount);
    RasterVertex flat;
    if (state.shade == kRasterFlat) {
        D3DVALUE refl[3];
        Reflectance(m, corners[0].color, refl);
        if (lit) {
            D3DVECTOR n = RmUnitOrZero(RmTransformDirection(face.normal, normalMatrix));
            LightPoint(pass, r.worldPositions[corners[0].vertex], n, m, refl, flat);
        } else {
            Unlit(refl, flat);
        }
    }
    for (uint32_t i = 0; i < face.cornerCount; ++i) {
        const RmCorner& c = corners[i];
        RasterVertex& out = r.corners[i];
        if (state.shade == kRasterFlat) {
            out = flat;
        } else {
            D3DVALUE refl[3];
            Reflectance(m, c.color, refl);
            if (lit)
                LightPoint(pass, r.worldPositions[c.vertex], r.worldNormals[c.normal], m, refl, out);
            else
                Unlit(refl, out);
        }
        Project(pass, r.viewPositions[c.vertex], out);
        out.u = c.u;
        out.v = c.v;
    }
}

// A fan of the lit corners from corner 0 into the batch. In wireframe only the polygon's own
// edges are drawn: the first triangle owns edge 0-1, the last owns edge (n-1)-0, every one
// its outer edge.
void QueueFan(const Pass& pass, const RasterState& state, uint32_t cornerCount) {
    RmRenderer& r = pass.r;
    uint32_t last = cornerCount - 1;
    for (uint32_t k = 1; k < last; ++k) {
        unsigned mask = 2u | (k == 1 ? 1u : 0u) | (k + 1 == last ? 4u : 0u);
        r.batch.push_back(RmTriangle{state, {r.corners[0], r.corners[k], r.corners[k + 1]}, mask});
        if (r.batch.size() % kPublishEvery == 0) RmPublishBatch(r);
        if (r.batch.size() >= kRmMaxBatch) {
            RmDrawBatch(r);
            RmBeginBatch(r, pass.target, pass.area);
        }
    }
}

void DrawMesh(Pass& pass, IDirect3DRMMeshBuilder* mb, const RmMatrix& world, bool zOn) {
    static const RmMaterial kWhite;
    bool lit;
    RasterState state = MeshState(pass, mb, zOn, lit);
    RmMatrix normalMatrix = NormalMatrix(world);
    TransformVertices(pass, mb, world, normalMatrix, lit);
    for (const RmFace& face : mb->faces) {
        if (!FaceValid(mb, face)) continue;
        const RmCorner* corners = &mb->corners[face.firstCorner];
        if (!FacesViewer(pass, corners, face.cornerCount)) continue;
        const RmMaterial& m = face.material < mb->materials.size() ? mb->materials[face.material] : kWhite;
        state.texture = m.texture ? m.texture->sampler : nullptr;
        LightCorners(pass, face, corners, m, state, lit, normalMatrix);
        QueueFan(pass, state, face.cornerCount);
    }
}

void DrawFrame(Pass& pass, IDirect3DRMFrame* frame, const RmMatrix& world, bool zOn, int depth) {
    if (frame->zbufferMode == D3DRMZBUFFER_ENABLE) zOn = true;
    if (frame->zbufferMode == D3DRMZBUFFER_DISABLE) zOn = false;
    if (depth >= kMaxDepth) return;
    for (IDirect3DRMVisual* visual : frame->visuals) {
        if (auto* mb = dynamic_cast<IDirect3DRMMeshBuilder*>(visual)) {
            DrawMesh(pass, mb, world, zOn);
        } else if (auto* f = dynamic_cast<IDirect3DRMFrame*>(visual)) {
            DrawFrame(pass, f, RmMultiply(RmFromArray(f->transform), world), zOn, depth + 1);
        }
    }
    for (IDirect3DRMFrame* child : frame->children)
        DrawFrame(pass, child, RmMultiply(RmFromArray(child->transform), world), zOn, depth + 1);
}

}  // namespace

HRESULT RmRenderScene(IDirect3DRMViewport* viewport, IDirect3DRMFrame* scene) {
    IDirect3DRMDevice* device = viewport->device;
    RmRenderer& r = *device->renderer;
    RmMatrix cameraWorld = RmFrameWorld(viewport->camera);
    D3DVECTOR z = RmUnitOrZero(
        D3DVECTOR{cameraWorld.m[2][0], cameraWorld.m[2][1], cameraWorld.m[2][2]});
    Pass pass{r,
              device,
              RmDeviceTarget(device),
              RmViewportArea(viewport),
              RmInverseAffine(cameraWorld),
              D3DVECTOR{-z.x, -z.y, -z.z},
              viewport->front,
              viewport->back,
              viewport->field,
              viewport->projection == D3DRMPROJECT_ORTHOGRAPHIC,
              RasterFilterForTextureQuality(static_cast<int>(device->textureQuality))};
    RmBeginBatch(r, pass.target, pass.area);
    r.lights.clear();
    r.ambient[0] = r.ambient[1] = r.ambient[2] = 0;
    RmMatrix sceneWorld = RmFrameWorld(scene);
    GatherLights(r, scene, sceneWorld, 0);
    // The device has a depth buffer: a root that leaves the mode to its parent uses it.
    DrawFrame(pass, scene, sceneWorld, true, 0);
    RmDrawBatch(r);
    return D3DRM_OK;
}
