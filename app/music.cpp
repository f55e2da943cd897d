// The music handles and the library's failure path.
#include <cstdlib>

#include "app/app.h"

MIDASmodule MusicModule = nullptr;
MIDASmodulePlayHandle MusicPlayHandle = 0;

void FailWithMusicError() {
    MessageBoxA(MainWindow, MIDASgetErrorMessage(MIDASgetLastError()), "Midas", MB_OK);
    MIDASclose();
    exit(1);
}
