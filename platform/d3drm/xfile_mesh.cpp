// The X loader's meshes: the importer's (un-indexed, per-material) meshes welded back into
// mesh builders with n-gons kept, normals taken from the file or generated, texture
// coordinates and vertex colours, and materials with their textures (asked of the texture
// callback once per material). Meshes without a material are white.
#include <assimp/material.h>

#include <cstring>
#include <unordered_map>

#include "platform/d3drm/xfile_internal.h"

namespace {

// Each material's texture is asked for once per Load; the context keeps one reference.
IDirect3DRMTexture* TextureFor(LoadContext& ctx, unsigned materialIndex, const char* name) {
    auto found = ctx.textures.find(materialIndex);
    if (found != ctx.textures.end()) return found->second;
    IDirect3DRMTexture* texture = nullptr;
    std::vector<char> buffer(name, name + std::strlen(name) + 1);
    HRESULT result = ctx.loadTexture
                         ? ctx.loadTexture(buffer.data(), ctx.loadTextureArgument, &texture)
                         : ctx.rm->LoadTexture(buffer.data(), &texture);
    // A texture that cannot be had leaves the faces untextured; the file still loads.
    if (result != D3DRM_OK) texture = nullptr;
    ctx.textures[materialIndex] = texture;
    return texture;
}

RmMaterial ConvertMaterial(LoadContext& ctx, unsigned index) {
    RmMaterial m;
    if (index >= ctx.scene->mNumMaterials) return m;
    const aiMaterial* am = ctx.scene->mMaterials[index];
    aiString name;
    // The importer's stand-in material for meshes without one has no name; such faces are
    // white here, as the platform makes them.
    if (am->Get(AI_MATKEY_NAME, name) != AI_SUCCESS) return m;
    aiColor4D diffuse(1, 1, 1, 1);
    if (am->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse) == AI_SUCCESS) {
        m.faceColor[0] = diffuse.r;
        m.faceColor[1] = diffuse.g;
        m.faceColor[2] = diffuse.b;
        m.faceColor[3] = diffuse.a;
    }
    float power = 0;
    if (am->Get(AI_MATKEY_SHININESS, power) == AI_SUCCESS) m.power = power;
    aiColor3D c(0, 0, 0);
    if (am->Get(AI_MATKEY_COLOR_SPECULAR, c) == AI_SUCCESS) {
        m.specular[0] = c.r;
        m.specular[1] = c.g;
        m.specular[2] = c.b;
    }
    c = aiColor3D(0, 0, 0);
    if (am->Get(AI_MATKEY_COLOR_EMISSIVE, c) == AI_SUCCESS) {
        m.emissive[0] = c.r;
        m.emissive[1] = c.g;
        m.emissive[2] = c.b;
    }
    aiString texturePath;
    if (am->GetTexture(aiTextureType_DIFFUSE, 0, &texturePath) == AI_SUCCESS &&
        texturePath.length > 0) {
        m.texture = TextureFor(ctx, index, texturePath.C_Str());
        if (m.texture) m.texture->AddRef();
    }
    return m;
}

struct PositionKey {
    uint32_t x, y, z;
    bool operator==(const PositionKey& o) const { return x == o.x && y == o.y && z == o.z; }
};
struct PositionHash {
    size_t operator()(const PositionKey& k) const {
        return (size_t{k.x} * 73856093u) ^ (size_t{k.y} * 19349663u) ^ (size_t{k.z} * 83492791u);
    }
};

PositionKey KeyOf(const D3DVECTOR& v) {
    // +0.0f folds -0.0 into 0 so both weld.
    D3DVALUE c[3] = {v.x + 0.0f, v.y + 0.0f, v.z + 0.0f};
    PositionKey k;
    std::memcpy(&k.x, &c[0], 4);
    std::memcpy(&k.y, &c[1], 4);
    std::memcpy(&k.z, &c[2], 4);
    return k;
}

}  // namespace

// Positions are welded by value so normals the file does not give are generated per
// position, as the platform does: the normalised sum of the unit normals of the faces
// around it.
IDirect3DRMMeshBuilder* BuildMesh(LoadContext& ctx, const std::vector<const aiMesh*>& meshes) {
    IDirect3DRMMeshBuilder* mb = new IDirect3DRMMeshBuilder;
    std::unordered_map<PositionKey, uint32_t, PositionHash> welded;
    std::map<unsigned, uint32_t> materialSlots;
    std::vector<bool> generated;  // per corner: its normal is to be generated
    for (const aiMesh* am : meshes) {
        uint32_t slot;
        auto found = materialSlots.find(am->mMaterialIndex);
        if (found == materialSlots.end()) {
            slot = static_cast<uint32_t>(mb->materials.size());
            mb->materials.push_back(ConvertMaterial(ctx, am->mMaterialIndex));
            materialSlots[am->mMaterialIndex] = slot;
        } else {
            slot = found->second;
        }
        for (unsigned f = 0; f < am->mNumFaces; ++f) {
            const aiFace& af = am->mFaces[f];
            if (af.mNumIndices < 3) continue;  // points and lines are not faces
            bool inRange = true;
            for (unsigned i = 0; i < af.mNumIndices; ++i)
                if (af.mIndices[i] >= am->mNumVertices) inRange = false;
            if (!inRange) continue;
            RmFace face{static_cast<uint32_t>(mb->corners.size()), af.mNumIndices, slot, {0, 0, 0}};
            for (unsigned i = 0; i < af.mNumIndices; ++i) {
                unsigned idx = af.mIndices[i];
                const aiVector3D& p = am->mVertices[idx];
                D3DVECTOR position{p.x, p.y, p.z};
                auto [at, added] =
                    welded.emplace(KeyOf(position), static_cast<uint32_t>(mb->vertices.size()));
                if (added) mb->vertices.push_back(position);
                RmCorner corner{at->second, 0, 0, 0, 0xffffffffu};
                if (am->HasNormals()) {
                    const aiVector3D& n = am->mNormals[idx];
                    corner.normal = static_cast<uint32_t>(mb->normals.size());
                    mb->normals.push_back(D3DVECTOR{n.x, n.y, n.z});
                }
                if (am->HasTextureCoords(0)) {
                    corner.u = am->mTextureCoords[0][idx].x;
                    corner.v = am->mTextureCoords[0][idx].y;
                }
                if (am->HasVertexColors(0)) {
                    const aiColor4D& c = am->mColors[0][idx];
                    corner.color = D3DRMCreateColorRGBA(c.r, c.g, c.b, c.a);
                }
                generated.push_back(!am->HasNormals());
                mb->corners.push_back(corner);
            }
            mb->faces.push_back(face);
        }
    }
    // Face normals from the polygon's area vector; for a triangle that is (v1-v0) x (v2-v0).
    for (RmFace& face : mb->faces) {
        D3DVECTOR sum{0, 0, 0};
        for (uint32_t i = 0; i < face.cornerCount; ++i) {
            const D3DVECTOR& a = mb->vertices[mb->corners[face.firstCorner + i].vertex];
            const D3DVECTOR& b =
                mb->vertices[mb->corners[face.firstCorner + (i + 1) % face.cornerCount].vertex];
            D3DVECTOR c = RmCross(a, b);
            sum = D3DVECTOR{sum.x + c.x, sum.y + c.y, sum.z + c.z};
        }
        face.normal = RmUnitOrZero(sum);
    }
    bool anyGenerated = false;
    for (bool g : generated) anyGenerated = anyGenerated || g;
    if (anyGenerated) {
        size_t base = mb->normals.size();
        mb->normals.resize(base + mb->vertices.size(), D3DVECTOR{0, 0, 0});
        for (const RmFace& face : mb->faces) {
            for (uint32_t i = 0; i < face.cornerCount; ++i) {
                D3DVECTOR& n = mb->normals[base + mb->corners[face.firstCorner + i].vertex];
                n = D3DVECTOR{n.x + face.normal.x, n.y + face.normal.y, n.z + face.normal.z};
            }
        }
        for (size_t v = 0; v < mb->vertices.size(); ++v)
            mb->normals[base + v] = RmUnitOrZero(mb->normals[base + v]);
        for (size_t c = 0; c < mb->corners.size(); ++c)
            if (generated[c]) mb->corners[c].normal = static_cast<uint32_t>(base + mb->corners[c].vertex);
    }
    return mb;
}

