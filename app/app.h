// The demo driver's shared state and routines: entry, timeline, main window, frame pump and
// music. Everything runs on the program's one thread.
#pragma once

#include "platform/win32/win32.h"

// The timeline clock: ticks of GetTickCount (ms, unsigned 32-bit, wrapping).
extern DWORD SegmentStart;  // written before each segment; the scroller rewrites it between passes
extern DWORD T0;            // read once when the timeline starts

// The Escape flag: 0 at start, 1 after Escape, never cleared.
extern int AbortRequested;
extern HWND MainWindow;       // null until CreateMainWindow
extern HINSTANCE AppInstance;

// Creates and shows the full-screen popup; ends the program with 1 when it cannot.
void CreateMainWindow(HINSTANCE instance, HINSTANCE previousInstance, int showCommand);
LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Once a frame, after FlipDisplay: polls the music and handles every queued message.
void PumpFrame();

// The loading screen: the picture and three progress lines, k (0..3) of them finished.
void ShowLoadingProgress(int finishedStages);
// The eight segments at their offsets from T0.
void RunTimeline();
