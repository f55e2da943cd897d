// Shared helpers of the dialog tests: scripted answers for the offscreen host, and the
// render-device dialog's controls at their pixel positions (from the template's dialog units).
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/host/offscreen/offscreen.h"
#include "platform/win32/dialog.h"
#include "tests/support/show_fixture.h"

inline OffscreenDialogInput Key(int vk, bool shift = false, bool alt = false) {
    OffscreenDialogInput in;
    in.vk = vk;
    in.shift = shift;
    in.alt = alt;
    return in;
}

inline OffscreenDialogInput Click(int x, int y) {
    OffscreenDialogInput in;
    in.kind = OffscreenDialogInput::Click;
    in.x = x;
    in.y = y;
    return in;
}

inline OffscreenDialogInput Mouse(OffscreenDialogInput::Kind kind, int x, int y) {
    OffscreenDialogInput in = Click(x, y);
    in.kind = kind;
    return in;
}

inline OffscreenDialogInput CloseButton() {
    OffscreenDialogInput in;
    in.kind = OffscreenDialogInput::Close;
    return in;
}

// Points inside the render-device dialog's controls: a dialog unit is 2 px across and 13/8 px
// down. OK 138,65 50x14 -> 276..376 x 106..129; Cancel 203,65 -> 406..506; the list field
// 92,7 -> 184..506 x 11..32, its lines 13 px from y 33; the box 7,31 99x8 -> 14..212 x 50..63.
constexpr int kOkX = 300, kOkY = 115;
constexpr int kCancelX = 450, kCancelY = 115;
constexpr int kListX = 300, kListY = 20;
constexpr int kBoxX = 20, kBoxY = 56;
inline int ListLineY(int line) { return 33 + line * 13 + 6; }

inline bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

// A GUID of a pattern no driver uses, to see whether something was stored.
inline GUID Sentinel() {
    GUID g;
    std::memset(&g, 0xA5, sizeof g);
    return g;
}
