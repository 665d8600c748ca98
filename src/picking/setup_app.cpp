/* Browsing for any program: the system's Open File dialog, then
 * "Springdeck - Setup Application", which shows the chosen path (editable)
 * and its icon and stores it as the key's program. The Open File dialog
 * opens from inside the confirmation dialog before that becomes visible, so
 * a cancel there ends everything without the user seeing it. */
#include "core/core.h"
#include "picking/picking_internal.h"
#include "resource.h"
#include "settings/settings.h"
#include "setup/setup.h"

#include <commdlg.h>
#include <shellapi.h>

/* Posted by the hook to itself: centre the Open File window once it has its
 * final size and place. */
constexpr UINT WM_CENTER_BROWSER = WM_APP + 100;

/* Written by SetupAppDialog's WM_INITDIALOG, on the main thread. */
static struct {
    UINT helpMessage = 0; /* "commdlg_help", which the Open File dialog sends its owner for its Help button */
} Browse;

static UINT_PTR CALLBACK BrowseDialogHook(HWND hook, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        PostMessageA(hook, WM_CENTER_BROWSER, 0, 0);
        HWND browser = GetParent(hook);
        if (browser) {
            LONG_PTR exStyle = GetWindowLongPtrA(browser, GWL_EXSTYLE);
            SetWindowLongPtrA(browser, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_CONTEXTHELP));
            for (HWND child = GetWindow(browser, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                char text[256];
                GetWindowTextA(child, text, sizeof text);
                if (lstrcmpA(text, "&Open") == 0) {
                    SetWindowTextA(child, "OK");
                    break;
                }
            }
        }
    } else if (message == WM_CENTER_BROWSER) {
        HWND browser = GetParent(hook);
        RECT rect;
        if (browser && GetWindowRect(browser, &rect)) {
            int width = rect.right - rect.left, height = rect.bottom - rect.top;
            MoveWindow(browser, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                       (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, TRUE);
        }
    }
    return 0;
}

/* True when the user chose a file (now shown with its icon), false when the
 * Open File dialog was cancelled or failed. */
static bool BrowseForProgram(HWND dialog)
{
    static constexpr char Filter[] = "Program Files\0*.exe\0Shortcuts\0*.lnk\0All Files\0*.*\0";
    char file[MAX_PATH] = "";
    OPENFILENAMEA browse;
    InitOpenFile(&browse, dialog, Filter, "Browse for other programs", file, sizeof file,
                 OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ENABLEHOOK | OFN_SHOWHELP | OFN_NOCHANGEDIR | OFN_HIDEREADONLY);
    browse.lpstrInitialDir = "c:\\";
    browse.lpfnHook = BrowseDialogHook;
    if (!GetOpenFileNameA(&browse))
        return false;
    SetDlgItemTextA(dialog, IDC_SETUPAPP_PATH, file);
    SetOwnedIcon(dialog, IDC_SETUPAPP_ICON, ExtractFileIcon(file));
    return true;
}

static void StoreTypedProgram(HWND dialog)
{
    char path[COMMAND_LINE_CAPACITY] = "";
    GetDlgItemTextA(dialog, IDC_SETUPAPP_PATH, path, sizeof path);
    WriteKeyAssignment(GetWindowLongPtrA(dialog, DWLP_USER), path, "", path, path, 0);
}

INT_PTR CALLBACK SetupAppDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Browse.helpMessage && message == Browse.helpMessage) {
        ShowHelp(dialog, HELP_CONTEXT_GENERAL);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SetDialogIcon(dialog);
        Browse.helpMessage = RegisterWindowMessageA(HELPMSGSTRINGA);
        if (!BrowseForProgram(dialog))
            EndDialog(dialog, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            StoreTypedProgram(dialog);
            EndDialog(dialog, 1);
            break;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            break;
        case IDC_SETUPAPP_BROWSE:
            /* Cancelling a second browse ends the whole choice unwritten. */
            if (!BrowseForProgram(dialog))
                EndDialog(dialog, IDCANCEL);
            break;
        }
        return TRUE;
    case WM_DESTROY:
        SetOwnedIcon(dialog, IDC_SETUPAPP_ICON, nullptr);
        return TRUE;
    }
    return FALSE;
}
