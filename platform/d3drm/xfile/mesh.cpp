// Mesh builders from the file's meshes: positions and corners as the file indexes them, normals
// from the file or generated per vertex as the platform generates them, texture coordinates,
// vertex colours, and materials with their textures (each asked of the texture callback once
// per Load). Meshes without a material are white.
#include "platform/d3drm/xfile/build.h"

namespace {

IDirect3DRMTexture* TextureFor(XBuild& build, uint32_t material) {
    auto found = build.textures.find(material);
    if (found != build.textures.end()) return found->second;
    std::string name = build.file.materials[material].texture;
    IDirect3DRMTexture* texture = nullptr;
    HRESULT result = build.loadTexture
                         ? build.loadTexture(name.data(), build.loadTextureArgument, &texture)
                         : build.rm->LoadTexture(name.data(), &texture);
    // A texture that cannot be had leaves the faces untextured; the file still loads.
    if (result != D3DRM_OK) texture = nullptr;
    build.textures[material] = texture;
    return texture;
}

RmMaterial MaterialFor(XBuild& build, uint32_t index) {
    const XMaterialData& x = build.file.materials[index];
    RmMaterial m;
    std::copy(x.faceColor, x.faceColor + 4, m.faceColor);
    m.power = x.power;
    std::copy(x.specular, x.specular + 3, m.specular);
    std::copy(x.emissive, x.emissive + 3, m.emissive);
    if (!x.texture.empty()) {
        m.texture = TextureFor(build, index);
        if (m.texture) m.texture->AddRef();
    }
    return m;
}

// The unit normal of a polygon from its area vector; for a triangle (v1-v0) x (v2-v0).
D3DVECTOR FaceNormal(const IDirect3DRMMeshBuilder* mb, const RmFace& face) {
    D3DVECTOR sum{0, 0, 0};
    for (uint32_t i = 0; i < face.cornerCount; ++i) {
        const D3DVECTOR& a = mb->vertices[mb->corners[face.firstCorner + i].vertex];
        const D3DVECTOR& b = mb->vertices[mb->corners[face.firstCorner + (i + 1) % face.cornerCount].vertex];
        D3DVECTOR c = RmCross(a, b);
        sum = D3DVECTOR{sum.x + c.x, sum.y + c.y, sum.z + c.z};
    }
    return RmUnitOrZero(sum);
}

// Without normals in the file, each vertex gets the normalised sum of the unit normals of the
// faces that use it.
void GenerateNormals(IDirect3DRMMeshBuilder* mb) {
    mb->normals.assign(mb->vertices.size(), D3DVECTOR{0, 0, 0});
    for (const RmFace& face : mb->faces)
        for (uint32_t i = 0; i < face.cornerCount; ++i) {
            D3DVECTOR& n = mb->normals[mb->corners[face.firstCorner + i].vertex];
            n = D3DVECTOR{n.x + face.normal.x, n.y + face.normal.y, n.z + face.normal.z};
        }
    for (D3DVECTOR& n : mb->normals) n = RmUnitOrZero(n);
    for (RmCorner& corner : mb->corners) corner.normal = corner.vertex;
}

IDirect3DRMMeshBuilder* Build(XBuild& build, const XMeshData& x) {
    IDirect3DRMMeshBuilder* mb = new IDirect3DRMMeshBuilder;
    mb->SetName(x.name.c_str());
    mb->vertices = x.positions;
    mb->normals = x.normals;
    for (uint32_t m : x.materials) mb->materials.push_back(MaterialFor(build, m));
    if (mb->materials.empty()) mb->materials.emplace_back();
    uint32_t first = 0;
    for (size_t f = 0; f < x.faceSizes.size(); first += x.faceSizes[f], ++f) {
        if (x.faceSizes[f] < 3) continue;  // points and lines are not faces
        RmFace face{static_cast<uint32_t>(mb->corners.size()), x.faceSizes[f],
                    x.faceMaterials.empty() ? 0 : x.faceMaterials[f], {0, 0, 0}};
        for (uint32_t i = first; i < first + x.faceSizes[f]; ++i) {
            uint32_t v = x.corners[i];
            RmCorner corner{v, x.normals.empty() ? 0 : x.normalCorners[i], 0, 0, 0xffffffffu};
            if (!x.uv.empty()) {
                corner.u = x.uv[2 * v];
                corner.v = x.uv[2 * v + 1];
            }
            if (!x.colors.empty()) corner.color = x.colors[v];
            mb->corners.push_back(corner);
        }
        mb->faces.push_back(face);
    }
    for (RmFace& face : mb->faces) face.normal = FaceNormal(mb, face);
    if (x.normals.empty()) GenerateNormals(mb);
    return mb;
}

}  // namespace

IDirect3DRMMeshBuilder* MeshBuilderFor(XBuild& build, uint32_t index) {
    if (!build.meshes[index]) build.meshes[index] = Build(build, build.file.meshes[index]);
    return build.meshes[index];
}
