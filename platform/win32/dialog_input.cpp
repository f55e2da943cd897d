// Keyboard and mouse in a dialog, as the platform's dialog manager answers them: Tab and
// Shift+Tab move between tab stops, arrows within a group, Enter presses the default (or the
// focused) push button, Escape means Cancel, Space presses the focused button or ticks the
// box; a drop-down list moves its selection with the arrows and opens with Alt+Down or F4.
#include "platform/host/host.h"
#include "platform/win32/dialog_internal.h"

namespace {

bool IsStatic(const DialogControl& c) { return c.kind == DialogControlKind::Static; }

// The next (step +1) or previous (-1) tab stop after the focus, wrapping; -1 when none.
int NextTabStop(const DialogState& d, int step) {
    const int n = static_cast<int>(d.controls.size());
    for (int k = 1; k <= n; k++) {
        int i = ((d.focus < 0 ? (step > 0 ? -1 : 0) : d.focus) + step * k % n + n) % n;
        if ((d.controls[static_cast<size_t>(i)].style & WS_TABSTOP) && !IsStatic(d.controls[static_cast<size_t>(i)]))
            return i;
    }
    return -1;
}

// The group holding control i: from the nearest WS_GROUP control at or before it (or the
// first control) up to the next WS_GROUP control.
void GroupOf(const DialogState& d, int i, int& first, int& end) {
    first = i;
    while (first > 0 && !(d.controls[static_cast<size_t>(first)].style & WS_GROUP)) first--;
    end = i + 1;
    while (end < static_cast<int>(d.controls.size()) && !(d.controls[static_cast<size_t>(end)].style & WS_GROUP))
        end++;
}

// Arrow keys on a button: the next or previous control of its group that can take focus.
int NextInGroup(const DialogState& d, int step) {
    int first, end;
    GroupOf(d, d.focus, first, end);
    const int n = end - first;
    for (int k = 1; k < n; k++) {
        int i = first + ((d.focus - first + step * k) % n + n) % n;
        if (!IsStatic(d.controls[static_cast<size_t>(i)])) return i;
    }
    return d.focus;
}

// The id Enter presses: the focused push button, else the template's default push button,
// else IDOK.
int DefaultId(const DialogState& d) {
    if (d.focus >= 0 && d.controls[static_cast<size_t>(d.focus)].kind == DialogControlKind::PushButton)
        return d.controls[static_cast<size_t>(d.focus)].id;
    for (const DialogControl& c : d.controls)
        if (c.kind == DialogControlKind::PushButton && (c.style & 0xF) == BS_DEFPUSHBUTTON) return c.id;
    return IDOK;
}

void Activate(DialogState& d, DialogControl& c) {
    if (c.kind == DialogControlKind::CheckBox) {
        if ((c.style & 0xF) == BS_AUTOCHECKBOX) c.check = c.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        SendDialogCommand(d, c.id, BN_CLICKED);
    } else if (c.kind == DialogControlKind::PushButton) {
        SendDialogCommand(d, c.id, BN_CLICKED);
    }
}

void Select(DialogState& d, DialogControl& combo, int item) {
    const int count = static_cast<int>(combo.items.size());
    if (count == 0) return;
    if (item < 0) item = 0;
    if (item >= count) item = count - 1;
    if (item == combo.selection) return;
    combo.selection = item;
    SendDialogCommand(d, combo.id, CBN_SELCHANGE);
}

// Keeps the highlighted item of the open list in view.
void ScrollToHot(DialogState& d, const DialogControl& combo) {
    const int visible = VisibleListItems(combo);
    if (d.hot < d.top) d.top = d.hot;
    if (d.hot >= d.top + visible) d.top = d.hot - visible + 1;
    if (d.top < 0) d.top = 0;
}

// Where an arrow, Home, End or a page key moves an item index in a list of `count`.
int Moved(int vk, int from, int count, int page) {
    switch (vk) {
        case VK_UP: case VK_LEFT: return from < 0 ? 0 : from - 1;
        case VK_DOWN: case VK_RIGHT: return from + 1;
        case VK_HOME: return 0;
        case VK_END: return count - 1;
        case VK_PRIOR: return from - page;
        case VK_NEXT: return from + page;
        default: return from;
    }
}

bool IsMoveKey(int vk) {
    return vk == VK_UP || vk == VK_DOWN || vk == VK_LEFT || vk == VK_RIGHT || vk == VK_HOME || vk == VK_END ||
           vk == VK_PRIOR || vk == VK_NEXT;
}

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

DialogControl* FocusedControl(DialogState& d) {
    return d.focus >= 0 ? &d.controls[static_cast<size_t>(d.focus)] : nullptr;
}

// Keys while a list is open: they move the highlight, Enter or Alt+arrow takes it, Escape
// leaves the selection as it was, Tab takes it and moves on.
void ListKeyDown(DialogState& d, DialogControl& combo, int vk, bool shift, bool alt) {
    const int count = static_cast<int>(combo.items.size());
    if (alt && (vk == VK_UP || vk == VK_DOWN)) {
        CloseDialogList(d, true);
    } else if (IsMoveKey(vk)) {
        if (count == 0) return;
        int hot = Moved(vk, d.hot, count, VisibleListItems(combo) - 1);
        d.hot = hot < 0 ? 0 : (hot >= count ? count - 1 : hot);
        ScrollToHot(d, combo);
    } else if (vk == VK_RETURN || vk == VK_F4) {
        CloseDialogList(d, true);
    } else if (vk == VK_ESCAPE) {
        CloseDialogList(d, false);
    } else if (vk == VK_TAB) {
        CloseDialogList(d, true);
        if (!d.ended) DialogKeyDown(d, vk, shift, false);
    }
}

}  // namespace

void SizeDialogList(DialogControl& combo) {
    const int items = static_cast<int>(combo.items.size());
    const int room = ActiveHost().DialogRoomBelow(combo.rect.bottom);
    int lines = items < 1 ? 1 : items;
    const int fit = (room - 2) / kListItemHeight;
    if (lines > fit) lines = fit < 1 ? 1 : fit;
    combo.listHeight = lines * kListItemHeight + 2;  // the lines and a one-pixel frame
}

int VisibleListItems(const DialogControl& combo) {
    const int lines = (combo.listHeight - 2) / kListItemHeight;
    return lines < 1 ? 1 : lines;
}

RECT DialogListRect(const DialogControl& combo) {
    return RECT{combo.rect.left, combo.rect.bottom, combo.rect.right, combo.rect.bottom + combo.listHeight};
}

void DropDialogList(DialogState& d) {
    DialogControl* c = FocusedControl(d);
    if (!c || c->kind != DialogControlKind::ComboBox || d.dropped) return;
    SizeDialogList(*c);
    d.dropped = true;
    d.hot = c->selection;
    d.top = 0;
    if (d.hot >= 0) ScrollToHot(d, *c);
    SendDialogCommand(d, c->id, CBN_DROPDOWN);
}

void CloseDialogList(DialogState& d, bool commit) {
    DialogControl* c = FocusedControl(d);
    if (!d.dropped || !c) return;
    d.dropped = false;
    SendDialogCommand(d, c->id, CBN_CLOSEUP);
    if (commit && !d.ended && d.hot >= 0) Select(d, *c, d.hot);
}

void DialogKeyDown(DialogState& d, int vk, bool shift, bool alt) {
    if (d.ended) return;
    DialogControl* focused = FocusedControl(d);
    if (d.dropped && focused) {
        ListKeyDown(d, *focused, vk, shift, alt);
        return;
    }
    if (focused && focused->kind == DialogControlKind::ComboBox) {
        if ((alt && (vk == VK_DOWN || vk == VK_UP)) || vk == VK_F4) {
            DropDialogList(d);
            return;
        }
        if (IsMoveKey(vk) && !alt) {
            SizeDialogList(*focused);  // a page is what the open list would show
            Select(d, *focused, Moved(vk, focused->selection, static_cast<int>(focused->items.size()),
                                      VisibleListItems(*focused) - 1));
            return;
        }
    }
    if (alt) return;  // other Alt combinations are the system's, not the dialog's
    switch (vk) {
        case VK_TAB: {
            int next = NextTabStop(d, shift ? -1 : 1);
            if (next >= 0) d.focus = next;
            break;
        }
        case VK_RETURN:
            SendDialogCommand(d, DefaultId(d), BN_CLICKED);
            break;
        case VK_ESCAPE:
            SendDialogCommand(d, IDCANCEL, BN_CLICKED);
            break;
        case VK_SPACE:
            if (focused) Activate(d, *focused);
            break;
        case VK_UP: case VK_LEFT: case VK_DOWN: case VK_RIGHT:
            if (focused) d.focus = NextInGroup(d, (vk == VK_DOWN || vk == VK_RIGHT) ? 1 : -1);
            break;
        default:
            break;
    }
}

void DialogMouseDown(DialogState& d, int x, int y) {
    if (d.ended) return;
    if (d.dropped) {
        // A press in the open list picks the line under it on release; anywhere else it
        // closes the list and does nothing more.
        DialogControl& combo = *FocusedControl(d);
        const RECT list = DialogListRect(combo);
        if (Inside(list, x, y)) {
            int line = (y - list.top - 1) / kListItemHeight;
            int item = d.top + (line < 0 ? 0 : line);
            if (item < static_cast<int>(combo.items.size())) d.hot = item;
            d.pressed = d.focus;
            return;
        }
        CloseDialogList(d, false);
        return;
    }
    for (size_t i = 0; i < d.controls.size(); i++) {
        DialogControl& c = d.controls[i];
        if (IsStatic(c) || !Inside(c.rect, x, y)) continue;
        d.focus = static_cast<int>(i);
        if (c.kind == DialogControlKind::ComboBox)
            DropDialogList(d);
        else
            d.pressed = static_cast<int>(i);
        return;
    }
}

void DialogMouseUp(DialogState& d, int x, int y) {
    if (d.ended || d.pressed < 0) return;
    const int pressed = d.pressed;
    d.pressed = -1;
    DialogControl& c = d.controls[static_cast<size_t>(pressed)];
    if (d.dropped) {
        if (Inside(DialogListRect(c), x, y)) CloseDialogList(d, true);
        return;
    }
    // A button acts only when released over itself, so a press can still be taken back.
    if (Inside(c.rect, x, y)) Activate(d, c);
}

void DialogCloseRequested(DialogState& d) {
    if (d.ended) return;
    d.dropped = false;
    // A procedure that leaves WM_CLOSE to the dialog manager gets Cancel instead.
    if (!d.proc(d.window, WM_CLOSE, 0, 0) && !d.ended) SendDialogCommand(d, IDCANCEL, BN_CLICKED);
}
