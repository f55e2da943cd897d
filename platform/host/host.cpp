// The table of hosts, chosen once by name before WinMain runs.
#include "platform/host/host.h"

#include <cstring>

#include "platform/host/sdl/sdl_dialog.h"
#include "platform/host/sdl/sdl_host.h"

const Host& OffscreenHost();  // platform/host/offscreen/offscreen.cpp

namespace {

// The sdl host's screens report 5-6-5 (SdlPresent would take either layout).
bool SdlDisplayRgb555() { return false; }

const Host kSdlHost = {
    "sdl",         SdlInitVideo,  SdlDisplays,  SdlOpenDisplay, SdlDisplayRgb555, SdlPresent,   SdlMissFrame, SdlCloseDisplay,
    SdlShowCursor, SdlPumpEvents, SdlTicks,     SdlAudioDevices, SdlOpenAudio, SdlLockAudio,
    SdlUnlockAudio, SdlCloseAudio, SdlMessageBox, SdlOpenDialog, SdlPresentDialog,
    SdlWaitDialogEvents, SdlCloseDialog, SdlPresentDialogList, SdlDialogRoomBelow,
};

const Host* g_host = nullptr;

}  // namespace

bool SelectHost(const char* name) {
    if (name && std::strcmp(name, "sdl") == 0) {
        g_host = &kSdlHost;
        return true;
    }
    if (name && std::strcmp(name, "offscreen") == 0) {
        g_host = &OffscreenHost();
        return true;
    }
    return false;
}

const Host& ActiveHost() { return g_host ? *g_host : OffscreenHost(); }
