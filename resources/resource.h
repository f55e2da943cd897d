// Identifiers of the program's resources and of the controls in them.
#pragma once

#include "platform/win32/dialog.h"

// The render-device dialog. Defined beside its template, so naming it links the template in.
extern const WORD IDD_DEVICE;  // 101

#define IDC_DEVICE_LIST 1001     // drop-down list of the display drivers
#define IDC_HARDWARE_RENDER 1002  // check box "Hardware rendering"
