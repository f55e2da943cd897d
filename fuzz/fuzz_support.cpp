// Set-up shared by the fuzz targets.
#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "display/display.h"
#include "platform/host/offscreen/offscreen.h"
#include "platform/testing/hooks.h"
#include "scene/scene.h"

namespace {

void RemoveFuzzFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FuzzFolder(), ec);
}

[[noreturn]] void HarnessFailure(const std::string& what) {
    std::fprintf(stderr, "fuzz harness: %s\n", what.c_str());
    std::abort();
}

struct FuzzDisplay {
    IDirectDraw* object = nullptr;
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;
    bool open = false;
};
FuzzDisplay Displays[2];  // [0] 5-6-5, [1] 5-5-5

LRESULT FuzzWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

HWND FuzzWindow() {
    static HWND window = nullptr;
    if (window) return window;
    ConfigureOffscreen(OffscreenConfig());
    if (!SelectHost("offscreen")) HarnessFailure("no offscreen host");
    WNDCLASSA wc{};
    wc.lpfnWndProc = FuzzWindowProc;
    wc.lpszClassName = "Fuzz";
    RegisterClassA(&wc);
    window = CreateWindowExA(0, "Fuzz", "Fuzz", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                             nullptr);
    if (!window) HarnessFailure("cannot create the window");
    return window;
}

}  // namespace

const std::string& FuzzFolder() {
    static std::string folder;
    if (!folder.empty()) return folder;
    std::string pattern = (std::filesystem::temp_directory_path() / "zelk6-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) HarnessFailure("cannot make a temporary folder");
    folder = pattern;
    std::atexit(RemoveFuzzFolder);
    return folder;
}

std::string WriteFuzzFile(const std::string& relativePath, const uint8_t* data, size_t size) {
    std::filesystem::path path = std::filesystem::path(FuzzFolder()) / relativePath;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) HarnessFailure("cannot write " + path.string());
    bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !ok) HarnessFailure("cannot write " + path.string());
    return path.string();
}

namespace {
// The folder libFuzzer started in: corpus and crash paths given relative to it stay valid.
const std::string& StartFolder() {
    static const std::string start = std::filesystem::current_path().string();
    return start;
}
}  // namespace

FuzzWorkingDir::FuzzWorkingDir() {
    StartFolder();
    if (chdir(FuzzFolder().c_str()) != 0) HarnessFailure("cannot change into " + FuzzFolder());
}

FuzzWorkingDir::~FuzzWorkingDir() {
    if (chdir(StartFolder().c_str()) != 0) HarnessFailure("cannot change back to " + StartFolder());
}

void UseFuzzDisplay(bool rgb555) {
    FuzzDisplay& d = Displays[rgb555 ? 1 : 0];
    if (!d.open) {
        HWND window = FuzzWindow();
        OffscreenConfig layout;  // the host's layout is read as the DirectDraw object is made
        layout.rgb555 = rgb555;
        ConfigureOffscreen(layout);
        GUID primary{};
        if (InitDisplay(window, &primary) != 0) HarnessFailure("cannot open the display");
        d = FuzzDisplay{DisplayObject, PrimarySurface, BackSurface, true};
    }
    DisplayObject = d.object;
    PrimarySurface = d.primary;
    BackSurface = d.back;
    IsRgb555 = rgb555 ? 1 : 0;
}

void UseFuzz3DDevice() {
    UseFuzzDisplay(false);
    if (RetainedMode) return;
    if (Create3DDevice(IID_IDirect3DHALDevice, DisplayObject, BackSurface) != 0)
        HarnessFailure("cannot make the 3D device");
}

ObjectCounts LivePlatformObjects() {
    ObjectCounts counts;
    for (const std::string& kind : standin::LiveObjectKinds())
        counts[kind] = standin::LiveObjects(kind.c_str());
    return counts;
}

void CheckObjectsGivenBack(const ObjectCounts& before, const char* what) {
    ObjectCounts after = LivePlatformObjects();
    if (after == before) return;
    std::string kinds;
    for (const auto& [kind, count] : after) {
        auto it = before.find(kind);
        int was = it == before.end() ? 0 : it->second;
        if (count != was) kinds += " " + kind + " " + std::to_string(was) + "->" + std::to_string(count);
    }
    for (const auto& [kind, count] : before)
        if (!after.count(kind)) kinds += " " + kind + " " + std::to_string(count) + "->0";
    HarnessFailure(std::string(what) + " left platform objects behind:" + kinds);
}
