// The messages a dialog procedure sends its controls: items, item data and the selection of
// drop-down lists, and the state of check boxes. Indices are checked; a bad one answers
// CB_ERR and changes nothing (CB_SETCURSEL also clears the selection, as on the platform).
#include <cstring>

#include "platform/win32/dialog_internal.h"

namespace {

bool ValidItem(const DialogControl& c, WPARAM index) { return index < c.items.size(); }

LRESULT ComboMessage(DialogState& dialog, DialogControl& c, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case CB_ADDSTRING: {
            const char* text = reinterpret_cast<const char*>(lParam);
            c.items.push_back(text ? text : "");
            c.itemData.push_back(0);
            return static_cast<LRESULT>(c.items.size() - 1);
        }
        case CB_GETCOUNT:
            return static_cast<LRESULT>(c.items.size());
        case CB_GETCURSEL:
            return c.selection;
        case CB_SETCURSEL:
            if (!ValidItem(c, wParam)) {
                c.selection = -1;
                return CB_ERR;
            }
            c.selection = static_cast<int>(wParam);
            return c.selection;
        case CB_GETITEMDATA:
            return ValidItem(c, wParam) ? c.itemData[wParam] : CB_ERR;
        case CB_SETITEMDATA:
            if (!ValidItem(c, wParam)) return CB_ERR;
            c.itemData[wParam] = lParam;
            return TRUE;
        case CB_GETLBTEXT: {
            // The caller's buffer must hold the item's text and its terminator.
            char* out = reinterpret_cast<char*>(lParam);
            if (!ValidItem(c, wParam) || !out) return CB_ERR;
            std::memcpy(out, c.items[wParam].c_str(), c.items[wParam].size() + 1);
            return static_cast<LRESULT>(c.items[wParam].size());
        }
        case CB_RESETCONTENT:
            c.items.clear();
            c.itemData.clear();
            c.selection = -1;
            if (dialog.dropped && &c == &dialog.controls[static_cast<size_t>(dialog.focus)])
                dialog.dropped = false;
            return TRUE;
        case CB_GETDROPPEDSTATE:
            return dialog.dropped && &c == &dialog.controls[static_cast<size_t>(dialog.focus)];
        default:
            return 0;
    }
}

}  // namespace

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogState* s = FindDialog(dialog);
    if (!s) return 0;
    DialogControl* c = FindControl(*s, id);
    if (!c) return 0;
    switch (c->kind) {
        case DialogControlKind::ComboBox:
            return ComboMessage(*s, *c, message, wParam, lParam);
        case DialogControlKind::CheckBox:
            if (message == BM_GETCHECK) return c->check;
            // A two-state box knows only ticked and clear.
            if (message == BM_SETCHECK) c->check = wParam ? BST_CHECKED : BST_UNCHECKED;
            return 0;
        default:
            return 0;
    }
}
