// Shared between the X-file loader's files: what one Load call carries around, and the
// conversion of the importer's meshes into mesh builders. Stand-in internal.
#pragma once

#include <assimp/scene.h>

#include <map>
#include <string>
#include <vector>

#include "platform/d3drm/rm_internal.h"

// Which meshes stand outside any frame. The importer hangs those on its root node, and
// when that node is the file's one top-level frame it replaces the frame's own mesh list with
// them; the frame's own meshes are then the ones no node lists. When nothing is unlisted a
// real root keeps its list as its own (a file whose one frame is empty and which has loose
// meshes cannot be told apart from one whose frame holds them; both draw the same).
struct MeshSplit {
    std::vector<unsigned> rootOwn;
    std::vector<unsigned> global;
};

struct LoadContext {
    IDirect3DRM* rm;
    const aiScene* scene;
    D3DRMLOADTEXTURECALLBACK loadTexture;
    LPVOID loadTextureArgument;
    std::map<unsigned, IDirect3DRMTexture*> textures;  // by material; null when it failed
    std::map<std::string, IDirect3DRMFrame*> frames;   // by name, first of each name
    MeshSplit split;
};

// One mesh builder from the given assimp meshes (the importer splits one X mesh per
// material; they come back together here), with materials and textures converted.
IDirect3DRMMeshBuilder* BuildMesh(LoadContext& ctx, const std::vector<const aiMesh*>& meshes);
