// The music library's life: start-up, options, the set-up dialog's choice of output device, opening
// and closing the host's audio device. A device the machine refuses means "No sound": the
// calls still succeed and the music is skipped, with one line on stderr saying why.
#include <cstdio>

#include "platform/host/host.h"
#include "platform/midas/library.h"
#include "platform/win32/dialog.h"

MidasLibrary Midas;

namespace {

void CloseDevice() {
    if (!Midas.deviceOpen) return;
    ActiveHost().CloseAudio();
    Midas.deviceOpen = false;
    Midas.rate = 0;
}

// Stops the music, closes the device and frees every module still loaded.
void Shutdown() {
    MidasStopPlaying();
    CloseDevice();
    while (!Midas.modules.empty()) MidasDestroyModule(Midas.modules.back());
    Midas.initialized = false;
}

// libopenmpt renders at 8000..192000 frames per second.
bool UsableRate(int rate) { return rate >= 8000 && rate <= 192000; }

}  // namespace

void MidasSetOutputDevice(int device) { Midas.outputDevice = device; }
int MidasOutputDevice() { return Midas.outputDevice; }
int MidasOutputRate() { return Midas.deviceOpen ? Midas.rate : 0; }

void MidasLockAudio() {
    if (Midas.deviceOpen) ActiveHost().LockAudio();
}

void MidasUnlockAudio() {
    if (Midas.deviceOpen) ActiveHost().UnlockAudio();
}

BOOL MIDASstartup() {
    if (MidasEnter("MIDASstartup")) return FALSE;
    Shutdown();
    Midas.options.clear();
    Midas.outputDevice = kMidasDefaultDevice;
    Midas.lastHandle = 0;
    Midas.lastError = kMidasOk;
    Midas.lastErrorText.clear();
    return TRUE;
}

BOOL MIDASsetOption(int option, DWORD_PTR value) {
    if (MidasEnter("MIDASsetOption")) return FALSE;
    Midas.options[option] = value;
    return TRUE;
}

namespace {

// The set-up dialog: the output devices the host knows, the system's default first and
// "No sound" last, with OK and Cancel. The list comes first in the tab order, so the arrows
// change the device at once and Enter confirms it.
constexpr WORD kDeviceListId = 101;

const DLGITEMTEMPLATEA kSetupItems[] = {
    {"static", 0xFFFF, "Output device", 7, 7, 100, 8, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT},
    {"combobox", kDeviceListId, "", 7, 19, 172, 60,
     WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | WS_GROUP | CBS_DROPDOWNLIST},
    {"button", IDOK, "OK", 74, 58, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON},
    {"button", IDCANCEL, "Cancel", 129, 58, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
};

const DLGTEMPLATEA kSetupDialog = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 186, 80, "Sound set-up", 8,
    "MS Sans Serif", 0, kSetupItems, static_cast<int>(sizeof kSetupItems / sizeof kSetupItems[0]),
};

struct SetupChoice {
    int preselected;  // device number shown selected at first
    int chosen;       // device number confirmed with OK
};

void AddDevice(HWND dialog, const std::string& name, int device, int preselected) {
    const LRESULT item = SendDlgItemMessageA(dialog, kDeviceListId, CB_ADDSTRING, 0,
                                             reinterpret_cast<LPARAM>(name.c_str()));
    SendDlgItemMessageA(dialog, kDeviceListId, CB_SETITEMDATA, static_cast<WPARAM>(item), device);
    if (device == preselected)
        SendDlgItemMessageA(dialog, kDeviceListId, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
}

SetupChoice* g_choice = nullptr;  // the running set-up dialog's choice

INT_PTR SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
        case WM_INITDIALOG: {
            AddDevice(dialog, "Default device", kMidasDefaultDevice, g_choice->preselected);
            const std::vector<std::string> names = ActiveHost().AudioDevices();
            for (size_t i = 0; i < names.size(); i++)
                AddDevice(dialog, names[i], static_cast<int>(i), g_choice->preselected);
            AddDevice(dialog, "No sound", kMidasNoSound, g_choice->preselected);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                const LRESULT sel = SendDlgItemMessageA(dialog, kDeviceListId, CB_GETCURSEL, 0, 0);
                g_choice->chosen = sel == CB_ERR ? g_choice->preselected
                                                 : static_cast<int>(SendDlgItemMessageA(
                                                       dialog, kDeviceListId, CB_GETITEMDATA,
                                                       static_cast<WPARAM>(sel), 0));
                EndDialog(dialog, 1);
            } else if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, 0);
            }
            return TRUE;
        default:
            return FALSE;  // a close from the caption is Cancel
    }
}

}  // namespace

// Asks for the output device. The default device is offered first when the host can open
// it (opened and closed again at once), otherwise "No sound". Returns 0 when the user
// cancels; where no dialog can be shown the preselected device is taken.
BOOL MIDASconfig() {
    if (MidasEnter("MIDASconfig")) return FALSE;
    if (Midas.deviceOpen) return TRUE;  // already playing through a device: keep it
    int rate = 0;
    std::string why;
    SetupChoice choice{kMidasDefaultDevice, kMidasDefaultDevice};
    if (ActiveHost().OpenAudio(kMidasDefaultDevice, MidasPull, nullptr, rate, why)) {
        ActiveHost().CloseAudio();
    } else {
        fprintf(stderr, "zelk6: no sound: %s\n", why.c_str());
        choice.preselected = choice.chosen = kMidasNoSound;
    }
    g_choice = &choice;
    const INT_PTR answer = DialogBoxIndirectParamA(nullptr, &kSetupDialog, nullptr, SetupDialogProc, 0);
    g_choice = nullptr;
    if (answer == 0) return FALSE;
    Midas.outputDevice = answer == 1 ? choice.chosen : choice.preselected;
    return TRUE;
}

BOOL MIDASinit() {
    if (MidasEnter("MIDASinit")) return FALSE;
    if (Midas.initialized)
        return MidasFail(kMidasErrorAlreadyInitialized,
                         "MIDASinit: the music library is already initialized");
    if (Midas.outputDevice != kMidasNoSound) {
        int rate = 0;
        std::string why;
        if (!ActiveHost().OpenAudio(Midas.outputDevice, MidasPull, nullptr, rate, why)) {
            fprintf(stderr, "zelk6: no sound: %s\n", why.c_str());
        } else if (!UsableRate(rate)) {
            ActiveHost().CloseAudio();
            fprintf(stderr, "zelk6: no sound: the audio device runs at %d Hz, outside 8000..192000\n",
                    rate);
        } else {
            // The pull already runs, but renders nothing until a module plays; the lock
            // publishes the rate before that.
            Midas.deviceOpen = true;
            MidasLockAudio();
            Midas.rate = rate;
            MidasUnlockAudio();
        }
    }
    Midas.initialized = true;
    return TRUE;
}

BOOL MIDASclose() {
    if (MidasEnter("MIDASclose")) return FALSE;
    Shutdown();
    return TRUE;
}
