// Window classes and windows: registration, creation with WM_CREATE, showing, destruction
// with WM_DESTROY, and the default window procedure.
#include <map>
#include <memory>
#include <vector>

#include "platform/testing/hooks.h"
#include "platform/win32/windows_internal.h"

namespace {

struct WindowState {
    std::map<std::string, WNDCLASSA> classes;
    std::vector<std::unique_ptr<HWND__>> windows;  // kept until the process ends
    HWND keyWindow = nullptr;
};

WindowState& W() {
    static WindowState state;
    return state;
}

}  // namespace

HWND KeyWindow() { return W().keyWindow; }
void SetKeyWindow(HWND window) { W().keyWindow = window; }

void standin::ResetWindows() {
    W().classes.clear();
    W().windows.clear();
    W().keyWindow = nullptr;
    ResetMessageQueue();
}

UINT RegisterClassA(const WNDCLASSA* windowClass) {
    HRESULT fault;
    if (standin::TakeFault("RegisterClassA", &fault)) return 0;
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
    if (W().classes.count(windowClass->lpszClassName)) return 0;  // already registered
    W().classes[windowClass->lpszClassName] = *windowClass;
    standin::LogCall(std::string("RegisterClassA ") + windowClass->lpszClassName);
    return static_cast<UINT>(0xC000 + W().classes.size());
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    (void)exStyle, (void)x, (void)y, (void)width, (void)height, (void)menu, (void)instance;
    HRESULT fault;
    if (standin::TakeFault("CreateWindowExA", &fault)) return nullptr;
    if (!className) return nullptr;
    auto it = W().classes.find(className);
    if (it == W().classes.end()) return nullptr;
    auto window = std::make_unique<HWND__>();
    window->className = className;
    window->title = windowName ? windowName : "";
    window->proc = it->second.lpfnWndProc;
    window->style = style;
    window->parent = parent;
    HWND handle = window.get();
    W().windows.push_back(std::move(window));
    standin::LogCall(std::string("CreateWindowExA ") + className);
    if (handle->proc(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(param)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (!parent) W().keyWindow = handle;
    return handle;
}

BOOL IsWindow(HWND window) {
    for (const auto& w : W().windows)
        if (w.get() == window) return !window->destroyed;
    return FALSE;
}

BOOL ShowWindow(HWND window, int showCommand) {
    if (!IsWindow(window)) return FALSE;
    BOOL wasVisible = window->visible;
    window->visible = showCommand != SW_HIDE;
    return wasVisible;
}

BOOL UpdateWindow(HWND window) { return IsWindow(window); }

BOOL DestroyWindow(HWND window) {
    if (!IsWindow(window)) return FALSE;
    standin::LogCall("DestroyWindow " + window->className);
    window->proc(window, WM_DESTROY, 0, 0);
    window->destroyed = true;
    window->visible = false;
    return TRUE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)wParam, (void)lParam;
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window || !window->proc) return 0;
    return window->proc(window, message, wParam, lParam);
}
