// The demo driver: entry, loading screen, timeline, main window and music.
#pragma once

#include "app/show_state.h"
#include "platform/ddraw/ddraw.h"
#include "platform/midas/midas.h"

extern HWND MainWindow;       // null until CreateMainWindow
extern HINSTANCE AppInstance;

// Creates and shows the full-screen popup; ends the program with 1 when it cannot.
void CreateMainWindow(HINSTANCE instance, HINSTANCE previousInstance, int showCommand);
LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

extern IDirectDrawSurface* LoadingPicture;  // "images\\load.bmp", held for the whole run
// The loading screen: the picture and three progress lines, k (0..3) of them finished.
void ShowLoadingProgress(int finishedStages);
// Draws the loading screen after each stage: tables, music, scenes and the still picture.
void RunLoadingSequence();
// The eight segments at their offsets from T0.
void RunTimeline();

extern MIDASmodule MusicModule;                // null until loaded
extern MIDASmodulePlayHandle MusicPlayHandle;  // 0 until playing
// Shows the library's error text in a box captioned "Midas", closes the library and ends
// the program with 1. Never returns.
[[noreturn]] void FailWithMusicError();
