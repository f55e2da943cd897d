// The main window and the per-frame service. The window is a borderless popup over the screen
// whose procedure turns Escape (plain or with Alt) into AbortRequested; no other key and no close
// request ends the show.
#include <cstdlib>

#include "app/app.h"

int AbortRequested = 0;
HWND MainWindow = nullptr;
HINSTANCE AppInstance = nullptr;

void CreateMainWindow(HINSTANCE instance, HINSTANCE previousInstance, int showCommand) {
    AppInstance = instance;
    if (!previousInstance) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = MainWindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = "Zelk6";
        RegisterClassA(&windowClass);  // a failure shows as a failed creation below
    }
    MainWindow = CreateWindowExA(0, "Zelk6", "Zelk6", WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                 GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    if (!MainWindow) {
        MessageBoxA(nullptr, "Could not create main window", "Zelk6", MB_OK);
        exit(1);
    }
    ShowWindow(MainWindow, showCommand);
    UpdateWindow(MainWindow);
}

LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            // Every key is answered here, so none reaches the default procedure: Alt+F4
            // does not close the window.
            if (wParam == VK_ESCAPE) AbortRequested = 1;
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Polls the music and handles every queued window message, never waiting for one. WM_QUIT is
// dispatched like any other: the timeline never ends on it.
void PumpFrame() {
    MIDASpoll();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
