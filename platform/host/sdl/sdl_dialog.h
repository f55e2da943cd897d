// The SDL host's dialog windows (dialog.cpp). Only platform/host/ includes this.
#pragma once

#include <SDL.h>

#include <string>

#include "platform/host/host.h"

bool SdlOpenDialog(const char* title, int x, int y, int width, int height, std::string& why);
void SdlPresentDialog(const uint32_t* pixels, int width, int height);
void SdlWaitDialogEvents(const HostDialogSink& sink, int timeoutMs);
void SdlCloseDialog();
void SdlPresentDialogList(const uint32_t* pixels, int x, int y, int width, int height);
int SdlDialogRoomBelow(int y);
// The virtual-key code a dialog understands for an SDL key; 0 for keys dialogs ignore.
int SdlDialogVirtualKey(SDL_Keycode key);
