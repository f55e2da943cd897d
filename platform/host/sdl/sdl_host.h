// The SDL host's pieces, one file each: video.cpp (display window, present, cursor),
// input.cpp (keys and close requests), audio.cpp (the audio device), dialogs and message
// boxes in messagebox.cpp. Only platform/host/sdl/ includes SDL.
#pragma once

#include <string>
#include <vector>

#include "platform/host/host.h"

bool SdlInitVideo(std::string& why);
std::vector<HostDisplayInfo> SdlDisplays();
bool SdlOpenDisplay(int display, int width, int height, std::string& why);
void SdlPresent(const uint16_t* pixels, int width, int height, int pitch, bool rgb555);
// The frame last presented, drawn again fitted to the window in the scaling mode and shown:
// the present's scaling step, without its conversion or its pacing.
void SdlDrawFrame();
void SdlMissFrame();
void SdlCloseDisplay();
void SdlShowCursor(bool visible);
void SdlPumpEvents(const HostInputSink& sink);
uint32_t SdlTicks();
void SdlMessageBox(const char* text, const char* caption);

std::vector<std::string> SdlAudioDevices();
bool SdlOpenAudio(int device, HostAudioPull pull, void* user, int& rate, std::string& why);
void SdlLockAudio();
void SdlUnlockAudio();
void SdlCloseAudio();
