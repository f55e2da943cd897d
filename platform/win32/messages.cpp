// The thread's message queue: posting, peeking without waiting, dispatching to the window
// procedure, and the host's keys and close requests turned into messages.
#include <deque>

#include "platform/host/host.h"
#include "platform/testing/hooks.h"
#include "platform/win32/windows_internal.h"

namespace {

std::deque<MSG>& Queue() {
    static std::deque<MSG> queue;
    return queue;
}

// lParam of a key message: repeat count 1, bit 29 with Alt held, bit 30 when the key was
// already down (auto-repeat), bit 31 on release.
LPARAM KeyParam(bool alt, bool repeat, bool up) {
    uint32_t p = 1;
    if (alt) p |= 1u << 29;
    if (repeat || up) p |= 1u << 30;
    if (up) p |= 1u << 31;
    return static_cast<LPARAM>(p);
}

// The host's key numbers are the virtual keys themselves.
static_assert(kHostKeyEscape == VK_ESCAPE && kHostKeyReturn == VK_RETURN && kHostKeyAlt == VK_MENU &&
              kHostKeyPageUp == VK_PRIOR && kHostKeyDown == VK_DOWN && kHostKeyF1 + 3 == VK_F4);

void HostKeyDown(int vk, bool alt, bool repeat) {
    if (HWND w = KeyWindow())
        PostMessageA(w, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(vk), KeyParam(alt, repeat, false));
}

void HostKeyUp(int vk, bool alt) {
    if (HWND w = KeyWindow())
        PostMessageA(w, alt ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(vk), KeyParam(alt, true, true));
}

void HostCloseRequested() {
    if (HWND w = KeyWindow()) PostMessageA(w, WM_CLOSE, 0, 0);
}

}  // namespace

void PumpHostInput() {
    static const HostInputSink sink{HostKeyDown, HostKeyUp, HostCloseRequested};
    ActiveHost().PumpEvents(sink);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG m{};
    m.hwnd = window;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    Queue().push_back(m);
    return TRUE;
}

void PostQuitMessage(int exitCode) { PostMessageA(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0); }

BOOL PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    PumpHostInput();
    auto& q = Queue();
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (window && it->hwnd != window) continue;
        if ((filterMin || filterMax) && (it->message < filterMin || it->message > filterMax)) continue;
        if (message) *message = *it;
        if (removeFlags & PM_REMOVE) q.erase(it);
        return TRUE;
    }
    return FALSE;
}

BOOL TranslateMessage(const MSG* message) {
    // Character messages are not used by the show; keys stay key messages.
    return message && (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN);
}

LRESULT DispatchMessageA(const MSG* message) {
    // A destroyed window keeps its procedure for the display's keys (see KeyWindow).
    if (!message || !message->hwnd || !message->hwnd->proc) return 0;
    return message->hwnd->proc(message->hwnd, message->message, message->wParam, message->lParam);
}

void ResetMessageQueue() { Queue().clear(); }
