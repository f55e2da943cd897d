// The loading screen and what it waits for.
#pragma once

#include "platform/ddraw/ddraw.h"

extern IDirectDrawSurface* LoadingPicture;

// Draws the loading screen after each stage: tables, music, scenes and the still picture.
void RunLoadingSequence();
