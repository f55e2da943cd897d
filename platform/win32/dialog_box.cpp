// Modal dialog boxes: the program's dialog templates, laying a template out in pixels, and
// the modal loop that shows the dialog through the host until EndDialog.
#include <cstdio>
#include <map>
#include <memory>
#include <strings.h>

#include "platform/host/host.h"
#include "platform/testing/hooks.h"
#include "platform/win32/dialog_internal.h"

namespace {

std::map<WORD, const DLGTEMPLATEA*>& Resources() {
    static std::map<WORD, const DLGTEMPLATEA*> resources;
    return resources;
}

// Dialogs running now, innermost last (a dialog procedure may run another dialog).
std::vector<DialogState*>& Active() {
    static std::vector<DialogState*> active;
    return active;
}

// Dialog units to pixels, rounded to nearest as the platform does.
int UnitsX(int units) { return (units * kDialogBaseX + 2) / 4; }
int UnitsY(int units) { return (units * kDialogBaseY + 4) / 8; }

DialogControl MakeControl(const DLGITEMTEMPLATEA& item) {
    DialogControl c;
    const char* cls = item.className ? item.className : "";
    c.id = static_cast<short>(item.id);
    c.text = item.text ? item.text : "";
    c.style = item.style;
    const int x = UnitsX(item.x), y = UnitsY(item.y);
    const int w = UnitsX(item.cx), h = UnitsY(item.cy);
    c.rect = RECT{x, y, x + w, y + h};
    if (strcasecmp(cls, "button") == 0) {
        DWORD type = item.style & 0xF;
        c.kind = (type == BS_AUTOCHECKBOX || type == 2) ? DialogControlKind::CheckBox
                                                        : DialogControlKind::PushButton;
    } else if (strcasecmp(cls, "combobox") == 0) {
        c.kind = DialogControlKind::ComboBox;
        c.rect.bottom = y + kComboFieldHeight;
        // The template's height includes a list, but the list is sized to its items each
        // time it opens, as the platform's drop-down lists are: the height is not used.
        c.listHeight = kListItemHeight + 2;
    } else {
        c.kind = DialogControlKind::Static;
    }
    return c;
}

void SinkKeyDown(void* user, int vk, bool shift, bool alt) {
    DialogKeyDown(*static_cast<DialogState*>(user), vk, shift, alt);
}
void SinkMouseDown(void* user, int x, int y) { DialogMouseDown(*static_cast<DialogState*>(user), x, y); }
void SinkMouseUp(void* user, int x, int y) { DialogMouseUp(*static_cast<DialogState*>(user), x, y); }
void SinkClose(void* user) { DialogCloseRequested(*static_cast<DialogState*>(user)); }

// Shows the open list in the host's list window, or takes that window away once the list
// has closed, so nothing of it stays over the dialog's controls.
void PresentList(DialogState& state) {
    if (state.dropped && state.focus >= 0) {
        PaintDialogList(state);
        const RECT& r = state.listRect;
        ActiveHost().PresentDialogList(state.listImage.data(), r.left, r.top, r.right - r.left, r.bottom - r.top);
        state.listShown = true;
    } else if (state.listShown) {
        ActiveHost().PresentDialogList(nullptr, 0, 0, 0, 0);
        state.listShown = false;
    }
}

// Removes the dialog from the running ones however the modal loop is left.
struct ActiveEntry {
    explicit ActiveEntry(DialogState* s) { Active().push_back(s); }
    ~ActiveEntry() { Active().pop_back(); }
};

}  // namespace

bool RegisterDialogResource(WORD id, const DLGTEMPLATEA* dialog) {
    Resources()[id] = dialog;
    return true;
}

DialogState* FindDialog(HWND window) {
    for (DialogState* s : Active())
        if (s->window == window) return s;
    return nullptr;
}

DialogControl* FindControl(DialogState& dialog, int id) {
    for (DialogControl& c : dialog.controls)
        if (c.id == id) return &c;
    return nullptr;
}

void SendDialogCommand(DialogState& dialog, int id, int code) {
    dialog.proc(dialog.window, WM_COMMAND, MAKEWPARAM(id, code), 0);
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, const DLGTEMPLATEA* dialog, HWND owner, DLGPROC proc,
                                LPARAM param) {
    (void)instance, (void)owner;  // the host window has no owner to stay above
    if (!dialog || !proc || dialog->itemCount < 0 || (dialog->itemCount > 0 && !dialog->items)) return -1;
    const char* caption = dialog->caption ? dialog->caption : "";

    HWND__ window;
    window.className = "#32770";
    window.title = caption;
    window.style = dialog->style;
    window.visible = true;
    DialogState state;
    state.window = &window;
    state.proc = proc;
    state.width = UnitsX(dialog->cx);
    state.height = UnitsY(dialog->cy);
    if (state.width <= 0 || state.height <= 0) return -1;
    state.image.assign(static_cast<size_t>(state.width) * state.height, 0);
    for (int i = 0; i < dialog->itemCount; i++) state.controls.push_back(MakeControl(dialog->items[i]));

    std::string why;
    if (!ActiveHost().OpenDialog(caption, UnitsX(dialog->x), UnitsY(dialog->y), state.width, state.height,
                                 why)) {
        fprintf(stderr, "zelk6: cannot show the dialog \"%s\": %s\n", caption, why.c_str());
        return -1;
    }
    ActiveEntry entry(&state);
    proc(&window, WM_INITDIALOG, 0, param);
    // No control has the focus yet: the first tab stop takes it.
    for (size_t i = 0; i < state.controls.size() && state.focus < 0; i++)
        if (state.controls[i].style & WS_TABSTOP) state.focus = static_cast<int>(i);

    const HostDialogSink sink{&state, SinkKeyDown, SinkMouseDown, SinkMouseUp, SinkClose};
    while (!state.ended) {
        PaintDialog(state);
        ActiveHost().PresentDialog(state.image.data(), state.width, state.height);
        PresentList(state);
        ActiveHost().WaitDialogEvents(sink, 100);
    }
    if (state.listShown) ActiveHost().PresentDialogList(nullptr, 0, 0, 0, 0);
    ActiveHost().CloseDialog();
    standin::LogCall(std::string("EndDialog ") + caption + " " + std::to_string(state.result));
    return state.result;
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param) {
    // Only numbered templates exist: the name is MAKEINTRESOURCEA(id).
    const WORD id = static_cast<WORD>(reinterpret_cast<uintptr_t>(templateName));
    standin::LogCall("DialogBoxParamA " + std::to_string(id));
    auto it = Resources().find(id);
    if (reinterpret_cast<uintptr_t>(templateName) > 0xFFFF || it == Resources().end()) {
        fprintf(stderr, "zelk6: DialogBoxParamA: no dialog template %u\n", static_cast<unsigned>(id));
        return -1;
    }
    return DialogBoxIndirectParamA(instance, it->second, owner, proc, param);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    DialogState* s = FindDialog(dialog);
    if (!s) return FALSE;
    s->ended = true;
    s->result = result;
    return TRUE;
}
