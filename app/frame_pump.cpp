// The per-frame service: poll the music and handle every queued window message, never
// waiting for one. WM_QUIT is dispatched like any other: the timeline never ends on it.
#include "app/app.h"
#include "platform/midas/midas.h"

void PumpFrame() {
    MIDASpoll();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
