// Test set-up shared by the suites.
#include "tests/support/show_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "app/app.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "platform/testing/hooks.h"

namespace {
LRESULT TestWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }
}  // namespace

void ResetShowState(const OffscreenConfig& config) {
    standin::Reset();
    standin::ResetWindows();
    ConfigureOffscreen(config);
    SelectHost("offscreen");
    DisplayObject = nullptr;
    PrimarySurface = nullptr;
    BackSurface = nullptr;
    IsRgb555 = 0;
    AbortRequested = 0;
    MainWindow = nullptr;
    SegmentStart = 0;
    T0 = 0;
    PrepareFrameBuffer();
}

void OpenTestDisplay() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = TestWindowProc;
    wc.lpszClassName = "Test";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "Test", "Test", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    GUID primary{};
    ASSERT_EQ(InitDisplay(w, &primary), 0);
}

void OpenShowDisplay() {
    CreateMainWindow(nullptr, nullptr, SW_SHOW);
    GUID primary{};
    ASSERT_EQ(InitDisplay(MainWindow, &primary), 0);
}

uint16_t PixelAt(IDirectDrawSurface* s, int x, int y) {
    return s->memory[static_cast<size_t>(y) * (s->pitch / 2) + x];
}

void FillSurface(IDirectDrawSurface* s, uint16_t value) {
    for (int y = 0; y < s->height; y++)
        for (int x = 0; x < s->width; x++) s->memory[static_cast<size_t>(y) * (s->pitch / 2) + x] = value;
}

IDirectDrawSurface* CreatePlainSurface(int width, int height) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(DisplayObject->CreateSurface(&desc, &surface, nullptr), DD_OK);
    return surface;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelk6-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    path_ = made ? made : "";
}

TempDir::~TempDir() {
    if (!path_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
}

ScopedWorkingDir::ScopedWorkingDir(const std::string& dir) {
    previous_ = std::filesystem::current_path().string();
    std::filesystem::current_path(dir);
}

ScopedWorkingDir::~ScopedWorkingDir() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
}
