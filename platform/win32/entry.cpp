// The show's process entry: runs WinMain on the SDL host, the real window, keys and sound.
// zelk6 takes no arguments; start it from a folder that holds the show data.
#include <cstdio>
#include <cstring>

#include "platform/host/host.h"
#include "platform/win32/win32.h"

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf(
            "usage: zelk6\n"
            "Plays the show from the data in the current folder (images\\, scripts\\, textures\\,\n"
            "zelkmod.xm). Escape ends it; Alt+Enter switches between full screen and a window.\n");
        return 0;
    }
    SelectHost("sdl");
    static char commandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
}
