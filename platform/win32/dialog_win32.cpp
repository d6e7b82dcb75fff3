// The launch dialog on Windows: the dialog template 101 of the program's resources, its commands
// handed to the shell's dialog procedure. The loop gives the dialog manager its keys first, so Tab
// and the arrow keys move between the controls, Enter presses Launch (the default button) and
// Escape is Exit; a timer closes the dialog when Ctrl+C or the console's close arrives.
#include <windows.h>
//
#include <map>

#include "platform/platform.h"
#include "platform/win32/win32.h"

namespace {

const int launchTemplate = 101;
const int iconGroup = 103;
const UINT_PTR interruptTimer = 1;

DialogProc dialogProc = nullptr;
HWND dialogWindow = nullptr;
bool quitPosted = false;

// Before the dialog is made (and in tests) the check states live here, with the automatic radio
// buttons' rule that checking one unchecks the others.
std::map<int, bool> headlessChecks;

bool isRadio(int id)
{
    return id == IDC_RES_640 || id == IDC_RES_800 || id == IDC_RES_1024 || id == IDC_RES_1152;
}

INT_PTR CALLBACK launchDialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    if (dialogProc == nullptr) {
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG:
        dialogWindow = window;
        dialogProc(DialogMessage::InitDialog, 0);
        // Keyboard focus on the first tab stop (Launch), so that the keys work at once.
        return TRUE;
    case WM_CLOSE:
        return dialogProc(DialogMessage::Close, 0) ? TRUE : FALSE;
    case WM_COMMAND:
        // Escape arrives from the dialog manager as the Cancel command: the Exit button's meaning.
        if (LOWORD(wParam) == IDCANCEL) {
            return dialogProc(DialogMessage::Command, IDC_EXIT) ? TRUE : FALSE;
        }
        return dialogProc(DialogMessage::Command, LOWORD(wParam)) ? TRUE : FALSE;
    case WM_TIMER:
        if (wParam == interruptTimer && sysInterruptSignal() != 0 && !quitPosted) {
            dialogProc(DialogMessage::Close, 0);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void dialogNotifyQuit()
{
    quitPosted = true;
}

bool sysRunLaunchDialog(DialogProc proc)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    dialogProc = proc;
    quitPosted = false;
    HWND dialog =
        CreateDialogParamW(instance, MAKEINTRESOURCEW(launchTemplate), GetDesktopWindow(), launchDialogWindowProc, 0);
    if (dialog == nullptr) {
        dialogProc = nullptr;
        sysSetLastError("cannot open the launch dialog (error " + std::to_string(GetLastError()) + ")");
        return false;
    }
    dialogWindow = dialog;
    ShowWindow(dialog, SW_HIDE);
    if (HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(iconGroup))) {
        SetClassLongPtrW(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
    }
    RECT frame{};
    GetWindowRect(dialog, &frame);
    MoveWindow(dialog, 100, 100, frame.right - frame.left, frame.bottom - frame.top, FALSE);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    SetTimer(dialog, interruptTimer, 50, nullptr);

    MSG message{};
    while (!quitPosted && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    KillTimer(dialog, interruptTimer);
    // The dialog is only hidden (its check states stay readable); it goes with the process.
    dialogProc = nullptr;
    return true;
}

bool sysDialogIsChecked(int controlId)
{
    if (dialogWindow == nullptr) {
        auto state = headlessChecks.find(controlId);
        return state != headlessChecks.end() && state->second;
    }
    return IsDlgButtonChecked(dialogWindow, controlId) == BST_CHECKED;
}

void sysDialogSetCheck(int controlId, bool checked)
{
    if (dialogWindow == nullptr) {
        if (checked && isRadio(controlId)) {
            for (int id : {IDC_RES_640, IDC_RES_800, IDC_RES_1024, IDC_RES_1152}) {
                headlessChecks[id] = false;
            }
        }
        headlessChecks[controlId] = checked;
        return;
    }
    CheckDlgButton(dialogWindow, controlId, checked ? BST_CHECKED : BST_UNCHECKED);
}

void sysEndDialog()
{
    if (dialogWindow != nullptr) {
        ShowWindow(dialogWindow, SW_HIDE);
    }
}

namespace {

BOOL CALLBACK closeBox(HWND window, LPARAM)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") == 0) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

// Runs inside the message box's own loop: an interrupt closes the box, as its OK button would.
void CALLBACK watchBoxForInterrupt(HWND, UINT, UINT_PTR, DWORD)
{
    if (sysInterruptSignal() != 0) {
        EnumThreadWindows(GetCurrentThreadId(), closeBox, 0);
    }
}

}  // namespace

// The message box runs on the program's own thread: it cannot outlive the program, and Ctrl+C or
// the console's close closes it at once (the run then ends through its teardown).
bool dialogShowMessageBox(const char* caption, const char* text)
{
    if (sysInterruptSignal() != 0) {
        return false;
    }
    const UINT_PTR watch = SetTimer(nullptr, 0, 50, watchBoxForInterrupt);
    const int answer = MessageBoxW(nullptr, winWide(text).c_str(), winWide(caption).c_str(),
                                   MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND);
    KillTimer(nullptr, watch);
    return answer != 0;
}
