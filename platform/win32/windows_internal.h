// Window records and the thread's message queue. Stand-in internal; the dialog manager
// builds on it.
#pragma once

#include <string>

#include "platform/win32/win32.h"

struct HWND__ {
    std::string className;
    std::string title;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    HWND parent = nullptr;
    bool visible = false;
    bool destroyed = false;  // after DestroyWindow; the record itself is kept (see KeyWindow)
};

// The window that receives the keys and close requests of the host's display window: the
// last top-level window created. A close request destroys it, but it keeps receiving keys,
// so Escape still ends the show while its picture is up.
HWND KeyWindow();
// Makes `window` the one that receives keys (dialogs take it while they run).
void SetKeyWindow(HWND window);
// Gathers the host's input into the queue.
void PumpHostInput();
void ResetMessageQueue();
// Sets the last error together with the loader's own reason, which FormatMessageA gives for it.
void SetLastErrorText(DWORD error, const std::string& reason);
