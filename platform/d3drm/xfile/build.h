// What building the loaded objects carries around, shared by the loader's files. Stand-in
// internal.
#pragma once

#include <map>
#include <vector>

#include "platform/d3drm/rm_internal.h"
#include "platform/d3drm/xfile/parse.h"

struct XBuild {
    IDirect3DRM* rm;
    const XFileData& file;
    D3DRMLOADTEXTURECALLBACK loadTexture;
    LPVOID loadTextureArgument;
    std::map<uint32_t, IDirect3DRMTexture*> textures;  // by file material; null when refused
    std::vector<IDirect3DRMMeshBuilder*> meshes;       // by file mesh, once built; one reference
    std::map<std::string, IDirect3DRMFrame*> frames;   // by name, the first of each
};

// The builder of file mesh `index`, built on first use; the caller adds its own reference.
IDirect3DRMMeshBuilder* MeshBuilderFor(XBuild& build, uint32_t index);
