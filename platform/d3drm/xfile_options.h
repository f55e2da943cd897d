// The AnimationOptions of a text X file, which the X importer reads and drops. Stand-in
// internal.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/d3drm/d3drm.h"

// For each animation set that holds at least one animation, in file order, the options of its
// animations in file order (D3DRMANIMATION_OPEN/CLOSED | LINEARPOSITION/SPLINEPOSITION;
// closed and linear where the file says nothing). Empty for binary or compressed files.
std::vector<std::vector<D3DRMANIMATIONOPTIONS>> ScanAnimationOptions(const char* text,
                                                                      size_t size);
