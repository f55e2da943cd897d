// The dialog part of the Win32 subset: modal dialog boxes built from templates in dialog
// units, the messages of push buttons, check boxes and drop-down lists, and the templates a
// program carries as its resources. Dialogs are drawn with the embedded font and shown
// through the host, one window per dialog.
#pragma once

#include "platform/win32/win32.h"

// Control messages and their answers
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define CB_ERR (-1)
#define CB_ADDSTRING 0x0143
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_RESETCONTENT 0x014B
#define CB_SETCURSEL 0x014E
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_GETDROPPEDSTATE 0x0157

// Notification codes in the high word of WM_COMMAND's wParam
#define BN_CLICKED 0
#define CBN_SELCHANGE 1
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8

// Control styles
#define BS_PUSHBUTTON 0x0u
#define BS_DEFPUSHBUTTON 0x1u
#define BS_AUTOCHECKBOX 0x3u
#define CBS_DROPDOWNLIST 0x3u
#define SS_LEFT 0x0u

#define MAKEWPARAM(low, high) ((WPARAM)(((uint32_t)(WORD)(low)) | ((uint32_t)(WORD)(high) << 16)))

// One control of a template, as the resource compiler leaves it: class "button", "combobox"
// or "static"; position and size in dialog units; for a combo box the height includes the
// dropped list, which the dialog manager sizes to its items instead, as the platform does.
struct DLGITEMTEMPLATEA {
    const char* className;
    WORD id;  // 0xFFFF (-1) for texts nobody addresses
    const char* text;
    short x, y, cx, cy;
    DWORD style;
};

// A dialog template. Dialog units: a quarter of the font's average character width across,
// an eighth of its height down.
struct DLGTEMPLATEA {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    const char* caption;
    WORD pointSize;  // DS_SETFONT: the font asked for; the embedded font stands in for it
    const char* typeface;
    WORD language;
    const DLGITEMTEMPLATEA* items;
    int itemCount;
};

// Makes a template findable by DialogBoxParamA(any instance, MAKEINTRESOURCEA(id), ...): the
// program's resource section. Returns true so it can initialise a static.
bool RegisterDialogResource(WORD id, const DLGTEMPLATEA* dialog);

// Runs the dialog modally and returns what EndDialog was given; -1 when the template is not
// found or no window can be shown (then the procedure is never called).
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param);
INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, const DLGTEMPLATEA* dialog, HWND owner, DLGPROC proc,
                                LPARAM param);
// Ends a running dialog once its procedure returns.
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
