/* The key action chooser: what a clicked key should do. It runs the matching
 * picker, or gives the key back its normal function itself, and tells the
 * setup dialog whether the key's assignment may have changed (1) or not (2).
 * Shift with a click on a web key picks a local file to stand in for the
 * address instead. */
#include "core/core.h"
#include "launch/launch.h"
#include "picking/picking.h"
#include "resource.h"
#include "settings/settings.h"
#include "setup/setup_internal.h"

#include <cstdio>

constexpr size_t BUTTON_TEXT_CAPACITY = 256;

static bool OnInitChooser(HWND dialog, UINT keyId)
{
    SetDialogIcon(dialog);
    SendDlgItemMessageA(dialog, IDC_KEY_ICON, STM_SETICON, reinterpret_cast<WPARAM>(LoadKeyIcon(keyId)), 0);
    char text[BUTTON_TEXT_CAPACITY];
    snprintf(text, sizeof text, "Normal %s key function", KeyName(keyId)); // NOLINT(cert-err33-c): a key name fits
    SetDlgItemTextA(dialog, IDC_STANDARD_FUNCTION, text);
    return true;
}

static INT_PTR CALLBACK KeyActionDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitChooser(dialog, lParam);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LAUNCH_PROGRAM:
        case IDC_GO_TO_WEBSITE:
        case IDC_STANDARD_FUNCTION:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return OnCancelOrHelp(dialog, LOWORD(wParam));
    }
    return FALSE;
}

INT_PTR ConfigureKey(HWND owner, UINT keyId)
{
    if (GetKeyState(VK_SHIFT) & 0x8000) {
        KeyAssignment assignment;
        ReadKeyAssignment(keyId, &assignment);
        if (DecodeActionKind(assignment.commandLine) == ACTION_WEB_ADDRESS) {
            ChooseLocalAlias(owner, assignment.commandLine);
            return 1; /* whatever the user did there */
        }
    }

    INT_PTR choice = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(DLG_KEYACTION), owner, KeyActionDialog,
                                     static_cast<LPARAM>(keyId));
    switch (choice) {
    case IDC_LAUNCH_PROGRAM:
        return PickProgram(owner, keyId);
    case IDC_GO_TO_WEBSITE:
        return AssignWebsite(owner, keyId) == IDCANCEL ? IDCANCEL : 1;
    case IDC_STANDARD_FUNCTION:
        WriteKeyAssignment(keyId, "", "", "", "", 0);
        return 1;
    default:
        return IDCANCEL;
    }
}
