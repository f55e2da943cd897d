// The rest of the Win32 subset: clock, message boxes, cursor, screen metrics, rectangles,
// debugger output, string copy and the module handle.
#include <cstdio>
#include <cstring>

#include "platform/host/host.h"
#include "platform/testing/hooks.h"
#include "platform/win32/win32.h"

namespace {

int g_cursorCount = 0;  // the cursor shows while this is >= 0, as on the platform

}  // namespace

DWORD GetTickCount() { return ActiveHost().Ticks(); }

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    (void)owner, (void)type;  // every box the show makes has one OK button
    const char* t = text ? text : "";
    const char* c = caption ? caption : "Error";
    standin::LogCall(std::string("MessageBoxA ") + c + ": " + t);
    // Said on stderr too, so a run without a screen still tells why it ended.
    fprintf(stderr, "%s: %s\n", c, t);
    ActiveHost().MessageBox(t, c);
    return IDOK;
}

int ShowCursor(BOOL show) {
    g_cursorCount += show ? 1 : -1;
    standin::LogCall(show ? "ShowCursor TRUE" : "ShowCursor FALSE");
    ActiveHost().ShowCursor(g_cursorCount >= 0);
    return g_cursorCount;
}

int GetSystemMetrics(int index) {
    std::string why;
    std::vector<HostDisplayInfo> displays;
    if (ActiveHost().InitVideo(why)) displays = ActiveHost().Displays();
    HostDisplayInfo main = displays.empty() ? HostDisplayInfo{"", 640, 480} : displays[0];
    if (index == SM_CXSCREEN) return main.width;
    if (index == SM_CYSCREEN) return main.height;
    return 0;
}

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (!rect) return FALSE;
    rect->left = left;
    rect->top = top;
    rect->right = right;
    rect->bottom = bottom;
    return TRUE;
}

void OutputDebugStringA(LPCSTR text) {
    if (text) fputs(text, stderr);
}

LPSTR lstrcpyA(LPSTR destination, LPCSTR source) {
    if (!destination || !source) return nullptr;
    return std::strcpy(destination, source);
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    // The program's own module; other modules are not loaded here.
    static int self;
    return moduleName ? nullptr : reinterpret_cast<HMODULE>(&self);
}
