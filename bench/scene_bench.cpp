// A frame of each built-in scene at 640x480 (viewport clear, render, device update) at a few
// animation times, against memset of the same 614,400 bytes in the same run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "app/app.h"
#include "display/display.h"
#include "platform/host/offscreen/offscreen.h"
#include "scene/scene.h"
#include "segments/segments.h"

namespace {

LRESULT BenchWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

// The display and the hardware device on the offscreen host, once per process.
bool OpenDevice() {
    static bool open = false;
    if (open) return true;
    SelectHost("offscreen");
    WNDCLASSA wc{};
    wc.lpfnWndProc = BenchWindowProc;
    wc.lpszClassName = "Bench";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "Bench", "Bench", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    GUID primary{};
    open = InitDisplay(window, &primary) == 0 &&
           Create3DDevice(IID_IDirect3DHALDevice, DisplayObject, BackSurface) == 0 &&
           chdir(ZELK6_BUILTIN_DATA) == 0;
    return open;
}

void RenderScript(benchmark::State& state, const char* script, D3DRMRENDERQUALITY quality, float timeScale) {
    if (!OpenDevice()) {
        state.SkipWithError("no display or 3D device");
        return;
    }
    SceneRecord record = LoadSceneScript(script, 0, 0, 639, 479);
    if (!SceneIsLoaded(record)) {
        state.SkipWithError("the built-in scene did not load");
        return;
    }
    const D3DRMRENDERQUALITY saved = SceneDevice->GetQuality();
    if (quality) SceneDevice->SetQuality(quality);
    float t = 0;
    for (auto _ : state) {
        record.viewport->Clear();
        RenderScene(t * timeScale, record);
        t = t >= 299.0f ? 0.0f : t + 1.0f;  // walk the whole animation
    }
    SceneDevice->SetQuality(saved);
    ReleaseScene(record);
}

void BM_SceneFrameMemset(benchmark::State& state) {
    std::vector<uint16_t> frame(640 * 480);
    for (auto _ : state) {
        std::memset(frame.data(), 0, frame.size() * 2);
        benchmark::ClobberMemory();
    }
}
void BM_CreditsFrame(benchmark::State& state) { RenderScript(state, "scripts\\credits.scr", kCreditsQuality, 1.0f); }
void BM_BallerFrame(benchmark::State& state) { RenderScript(state, "scripts\\baller.scr", 0, 1.0f); }
void BM_Scene1Frame(benchmark::State& state) { RenderScript(state, "scripts\\scene1.scr", 0, 2.0f); }

}  // namespace

BENCHMARK(BM_SceneFrameMemset);
BENCHMARK(BM_CreditsFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BallerFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scene1Frame)->Unit(benchmark::kMillisecond);
