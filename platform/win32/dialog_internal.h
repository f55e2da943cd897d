// The dialog manager's records, shared by its files: dialog_box.cpp (templates, the modal
// loop), dialog_controls.cpp (control messages), dialog_input.cpp (keys and mouse) and
// dialog_paint.cpp (the image). Stand-in internal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/dialog.h"
#include "platform/win32/windows_internal.h"

enum class DialogControlKind { PushButton, CheckBox, ComboBox, Static };

struct DialogControl {
    DialogControlKind kind = DialogControlKind::Static;
    int id = -1;
    std::string text;
    DWORD style = 0;
    RECT rect{};              // pixels of the dialog's image; a combo box's closed field only
    int listHeight = 0;       // combo box: pixels of the dropped list below the field, sized
                              // to its items when it opens (SizeDialogList)
    std::vector<std::string> items;  // combo box, in the order added (not sorted)
    std::vector<LPARAM> itemData;
    int selection = -1;       // combo box: the selected item, -1 for none
    int check = BST_UNCHECKED;
};

struct DialogState {
    HWND window = nullptr;
    DLGPROC proc = nullptr;
    std::vector<DialogControl> controls;  // in template order, which is the tab order
    int width = 0, height = 0;            // pixels of the image
    int focus = -1;                       // control with the keyboard focus, -1 for none
    int pressed = -1;                     // button held down by the mouse, -1 for none
    bool dropped = false;                 // the focused combo box's list is open
    int hot = -1;                         // highlighted item of the open list
    int top = 0;                          // first item the open list shows
    bool ended = false;
    INT_PTR result = 0;
    std::vector<uint32_t> image;          // 0x00RRGGBB, rows packed
    // The open list, shown by the host in a window of its own that may reach past the
    // dialog's edges: its image and where it lies in the dialog's pixels.
    std::vector<uint32_t> listImage;
    RECT listRect{};
    bool listShown = false;               // the host shows the list now
};

// Layout constants in pixels: the embedded font's cell gives the dialog base units.
constexpr int kDialogBaseX = 8;      // average character width: a dialog unit is 2 px across
constexpr int kDialogBaseY = 13;     // character height: a dialog unit is 13/8 px down
constexpr int kComboFieldHeight = 21;  // closed field: one text line and its frame
constexpr int kListItemHeight = 13;
constexpr int kComboButtonWidth = 16;
constexpr int kCheckBoxSize = 13;

// The dialog running `window`, or null.
DialogState* FindDialog(HWND window);
DialogControl* FindControl(DialogState& dialog, int id);
// Tells the procedure about a command from control `id` with notification `code`.
void SendDialogCommand(DialogState& dialog, int id, int code);

// Input (dialog_input.cpp); each does nothing once the dialog has ended.
void DialogKeyDown(DialogState& dialog, int vk, bool shift, bool alt);
void DialogMouseDown(DialogState& dialog, int x, int y);
void DialogMouseUp(DialogState& dialog, int x, int y);
void DialogCloseRequested(DialogState& dialog);
// Opens the focused combo box's list with its selection highlighted, or closes it, keeping
// the highlighted item as the selection when `commit`.
void DropDialogList(DialogState& dialog);
void CloseDialogList(DialogState& dialog, bool commit);
// Sizes a combo box's list to its items, one line at least, as many as the screen below the
// field takes at most (the host tells the room); a longer list scrolls.
void SizeDialogList(DialogControl& combo);
// Lines of the open list that show at once.
int VisibleListItems(const DialogControl& combo);
// Where the combo box's list lies when open, in pixels of the dialog's image: under the
// field, as wide as it; it may reach past the dialog's bottom edge.
RECT DialogListRect(const DialogControl& combo);

// Draws the whole dialog into dialog.image, and the open list (when one is) into
// dialog.listImage at dialog.listRect (dialog_paint.cpp).
void PaintDialog(DialogState& dialog);
void PaintDialogList(DialogState& dialog);
// Width in pixels of text drawn with the dialog font.
int DialogTextWidth(const std::string& text);
