/* The setup dialog (DLG_SETUP): the fifteen Springpads as buttons showing
 * their assignments, the browser choice and the start-with-Windows option.
 * Every change is stored the moment it is made; closing stores nothing.
 * A key click hands the key to the key action chooser while the dialog waits
 * out of sight; when the chooser reports a change, the faces are redrawn and
 * the hotkeys registered again. */
#include "core/core.h"
#include "launch/launch.h"
#include "resource.h"
#include "settings/settings.h"
#include "setup/setup_internal.h"

#include <commctrl.h>

/* Written on the main thread by the setup dialog's WM_INITDIALOG and WM_DESTROY. */
static struct {
    HWND open = nullptr; /* null while none is; ownerless, so the main window needs it to bring it forward */
} SetupWindow;

HWND SetupDialogWindow() { return SetupWindow.open; }

constexpr char KeyInUseText[] =
    "This hotkey is being used by another application or Explorer.  "
    "To use this key with Springdeck, disable it in the application that is using it.";

static bool OnInitDialog(HWND dialog)
{
    SetupWindow.open = dialog;
    InitCommonControls();
    HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, "", TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, dialog, nullptr, AppInstance, nullptr);
    if (tooltip)
        SetPropA(dialog, SETUP_TOOLTIP_PROP, tooltip);
    SetDialogIcon(dialog);
    RefreshKeyButtons(dialog);
    ReadRunAtStartup(dialog);

    CheckDlgButton(dialog, Browsers[ReadBrowserChoice()].button, BST_CHECKED);
    return true;
}

/* The tip of a key button: its title, else its command line, else none. */
static void OnNeedTipText(HWND dialog, NMTTDISPINFOA *info)
{
    if (info->hdr.hwndFrom != static_cast<HWND>(GetPropA(dialog, SETUP_TOOLTIP_PROP)))
        return;
    info->szText[0] = '\0';
    UINT keyId = GetDlgCtrlID(reinterpret_cast<HWND>(info->hdr.idFrom));
    if (IsKeySlot(keyId)) {
        KeyAssignment assignment;
        ReadKeyAssignment(keyId, &assignment);
        lstrcpynA(info->szText, assignment.title[0] ? assignment.title : assignment.commandLine, sizeof info->szText);
    }
    info->lpszText = info->szText;
    info->hinst = nullptr;
}

static void OnKeyClicked(HWND dialog, UINT keyId)
{
    if (KeyInUse(keyId)) {
        MessageBoxA(dialog, KeyInUseText, APP_CAPTION, MB_ICONINFORMATION);
        return;
    }
    /* The chooser's dialogs are owned by this one; it waits out of sight
     * and comes back where it was. */
    RECT rect;
    GetWindowRect(dialog, &rect);
    MoveWindow(dialog, 0, 0, 0, 0, TRUE);
    if (ConfigureKey(dialog, keyId) == 1) {
        RefreshKeyButtons(dialog);
        RegisterKeyHotkeys(MainWindow);
    }
    MoveWindow(dialog, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

static bool IsBrowserButton(UINT id)
{
    for (const BrowserFacts &browser : Browsers)
        if (id == static_cast<UINT>(browser.button))
            return true;
    return false;
}

/* The auto radio buttons have already moved the check. */
static void StoreBrowserChoice(HWND dialog)
{
    for (const BrowserFacts &browser : Browsers)
        if (IsDlgButtonChecked(dialog, browser.button) == BST_CHECKED)
            WriteBrowserChoice(browser.choice);
}

static void OnCommand(HWND dialog, UINT id)
{
    if (IsKeySlot(id)) {
        OnKeyClicked(dialog, id);
        return;
    }
    if (IsBrowserButton(id)) {
        StoreBrowserChoice(dialog);
        return;
    }
    switch (id) {
    case IDC_RUN_AT_STARTUP:
        ApplyRunAtStartup(dialog);
        break;
    case IDC_ABOUT:
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(DLG_ABOUT), dialog, AboutDialog, 0);
        break;
    case IDOK:
        EndDialog(dialog, IDOK);
        break;
    default:
        OnCancelOrHelp(dialog, static_cast<int>(id));
        break;
    }
}

static void OnDestroy(HWND dialog)
{
    for (UINT keyId = KEY_FIRST; keyId <= KEY_LAST; ++keyId) {
        HWND button = GetDlgItem(dialog, static_cast<int>(keyId));
        if (button)
            FreeKeyFace(button);
    }
    /* The tooltip window is owned by the dialog and goes with it. */
    RemovePropA(dialog, SETUP_TOOLTIP_PROP);
    if (SetupWindow.open == dialog)
        SetupWindow.open = nullptr;
}

INT_PTR CALLBACK SetupDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR *>(lParam)->code == TTN_NEEDTEXTA) {
            OnNeedTipText(dialog, reinterpret_cast<NMTTDISPINFOA *>(lParam));
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        OnDestroy(dialog);
        return TRUE;
    }
    return FALSE;
}
