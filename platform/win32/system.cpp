// The rest of the Win32 subset: clock, message boxes, cursor, screen metrics, rectangles,
// debugger output, string copy, the module handle, the last error and the current folder.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/host/host.h"
#include "platform/testing/hooks.h"
#include "platform/win32/win32.h"

namespace {

int g_cursorCount = 0;  // the cursor shows while this is >= 0, as on the platform
DWORD g_lastError = ERROR_SUCCESS;
// The reason the loader that set g_lastError gave, for FormatMessageA.
DWORD g_reasonError = ERROR_SUCCESS;
std::string g_reason;

// The platform's own wording where no loader gave a reason.
const char* GenericText(DWORD error) {
    switch (error) {
    case ERROR_SUCCESS: return "The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND: return "The system cannot find the file specified.";
    case ERROR_BAD_FORMAT: return "An attempt was made to load a program with an incorrect format.";
    case ERROR_READ_FAULT: return "The system cannot read from the specified device.";
    default: return nullptr;
    }
}

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

DWORD GetLastError() { return g_lastError; }

void SetLastError(DWORD error) { g_lastError = error; }

void SetLastErrorText(DWORD error, const std::string& reason) {
    g_lastError = g_reasonError = error;
    g_reason = reason;
}

DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer,
                     DWORD size, void* arguments) {
    (void)source, (void)languageId, (void)arguments;  // system messages only, no inserts
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !buffer || size == 0) return 0;
    const char* text = messageId == g_reasonError && !g_reason.empty() ? g_reason.c_str() : GenericText(messageId);
    if (!text) return 0;
    std::snprintf(buffer, size, "%s", text);
    return static_cast<DWORD>(std::strlen(buffer));
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    char path[4096];
    if (!getcwd(path, sizeof path)) return 0;
    const DWORD length = static_cast<DWORD>(std::strlen(path));
    // Too small a buffer gets nothing, and the size it needs (terminator included).
    if (!buffer || size <= length) return length + 1;
    std::memcpy(buffer, path, length + 1);
    return length;
}
