// The objects of an X file that the loader maps, read and checked whole before anything is
// built: every count against the bytes left, every index against what it indexes, nesting
// bounded, names resolved. What comes out may be built from without further checks.
// Stand-in internal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3drm/d3drm.h"

struct XMaterialData {
    D3DVALUE faceColor[4] = {1, 1, 1, 1};  // white: also what an unknown reference gets
    D3DVALUE power = 0;
    D3DVALUE specular[3] = {0, 0, 0};
    D3DVALUE emissive[3] = {0, 0, 0};
    std::string texture;  // as the file gives it; empty for none
};

struct XMeshData {
    std::string name;
    std::vector<D3DVECTOR> positions;
    std::vector<uint32_t> faceSizes;      // corners per face, as many as the file gives
    std::vector<uint32_t> corners;        // position per corner, face after face
    std::vector<D3DVECTOR> normals;       // empty: generated when built
    std::vector<uint32_t> normalCorners;  // normal per corner, parallel to `corners`
    std::vector<D3DVALUE> uv;             // u, v per position, or empty
    std::vector<D3DCOLOR> colors;         // per position, or empty for white
    std::vector<uint32_t> materials;      // into XFileData::materials; empty for white
    std::vector<uint32_t> faceMaterials;  // per face, into `materials`, when it is not empty
};

struct XFrameData {
    std::string name;
    D3DRMMATRIX4D transform = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    std::vector<XFrameData> children;
    std::vector<uint32_t> meshes;  // into XFileData::meshes: its own, then those it names
    std::vector<std::string> meshNames;  // the names in braces it holds, as read
};

struct XKeyData {
    D3DVALUE time;
    D3DVALUE value[4];  // x, y, z; a rotation's w, x, y, z
};

struct XAnimationData {
    std::string frame;  // the animated frame's name
    D3DRMANIMATIONOPTIONS options = D3DRMANIMATION_CLOSED | D3DRMANIMATION_LINEARPOSITION;
    std::vector<XKeyData> rotation, scale, position;
};

struct XAnimationSetData {
    std::string name;
    std::vector<XAnimationData> animations;
};

struct XFileData {
    std::vector<XMaterialData> materials;  // every material, inline or standing alone
    std::vector<XMeshData> meshes;         // every mesh, in or outside frames
    std::vector<XFrameData> frames;        // the top-level frames
    struct TopObject {
        bool frame;      // else a mesh
        uint32_t index;  // into `frames` or `meshes`
    };
    std::vector<TopObject> top;  // top-level frames and meshes in file order
    std::vector<XAnimationSetData> sets;
    std::string unknownName;  // the first reference that names nothing
};

// Frames nested deeper than this, or objects nested deeper in any way, refuse the file.
constexpr int kMaxXNesting = 100;

// Reads the whole file (header included); throws XFileBad.
void ReadXFile(const uint8_t* bytes, size_t size, XFileData& file);
