// Loading X files through IDirect3DRM::Load, whole: the three built-in models and the largest
// of Debian's sample X files (assimp-testmodels), each into a parent frame that is then
// released. Compare the per-load times of one build against another's.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/d3drm/d3drm.h"

namespace {

GUID* kTypes[4] = {const_cast<GUID*>(&IID_IDirect3DRMMeshBuilder),
                   const_cast<GUID*>(&IID_IDirect3DRMAnimationSet),
                   const_cast<GUID*>(&IID_IDirect3DRMAnimation),
                   const_cast<GUID*>(&IID_IDirect3DRMFrame)};

void ReleaseSets(LPDIRECT3DRMOBJECT object, const GUID* type, LPVOID) {
    if (std::memcmp(type, &IID_IDirect3DRMAnimationSet, sizeof(GUID)) == 0) object->Release();  // handed over
}

HRESULT NoTexture(char*, LPVOID, LPDIRECT3DRMTEXTURE* texture) {
    *texture = nullptr;
    return D3DRMERR_FILENOTFOUND;
}

void Load(benchmark::State& state, std::string path) {
    if (!std::filesystem::exists(path)) {
        state.SkipWithError((path + " is not there").c_str());
        return;
    }
    IDirect3DRM* rm = nullptr;
    Direct3DRMCreate(&rm);
    for (auto _ : state) {
        IDirect3DRMFrame* root = nullptr;
        rm->CreateFrame(nullptr, &root);
        if (rm->Load(path.data(), nullptr, kTypes, 4, D3DRMLOAD_FROMFILE, ReleaseSets, nullptr,
                     NoTexture, nullptr, root) != D3DRM_OK)
            state.SkipWithError("the file did not load");
        root->Release();
    }
    rm->Release();
}

const std::string kModels = ZELK6_BUILTIN_DATA "/models/";
const std::string kSamples = "/usr/share/assimp/models/X/";

}  // namespace

BENCHMARK_CAPTURE(Load, baller, kModels + "baller.x")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, credits, kModels + "credits.x")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, scene1, kModels + "scene1.x")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, Testwuson, kSamples + "Testwuson.X")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, anim_test, kSamples + "anim_test.x")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, fromtruespace_bin32, kSamples + "fromtruespace_bin32.x")->Unit(benchmark::kMillisecond);
