/* "Assign a WebSite": gives a key one of the preset sites (one of them through
 * "Choose your Yahoo! site"), a typed address confirmed in "Custom WebSite",
 * or a bookmark of the user's browser. The key's assignment is written only
 * when the user confirms: OK here, Yes to the custom address, or OK in the
 * bookmark picker. */
#include "core/core.h"
#include "launch/launch.h"
#include "resource.h"
#include "settings/settings.h"
#include "setup/setup_internal.h"

#include <cstdio>
#include <cstring>

constexpr int ADDRESS_CAPACITY = 256;
constexpr int QUESTION_CAPACITY = 320; /* the question with an address of up to 255 characters */

constexpr char BlankAddress[] = "http://";

/* What "Assign a WebSite" works on: the key, and the site chosen in this run
 * of the dialog (null until one is). */
struct WebsiteChoice {
    UINT keyId;
    const PresetSite *site;
};

/* The row of a preset button, or of a Yahoo! chooser radio button. */
static const PresetSite *PresetRow(int id, bool yahoo)
{
    for (size_t i = 0; i < PresetSiteCount; ++i)
        if (PresetSites[i].button == id && PresetSites[i].yahoo == yahoo)
            return &PresetSites[i];
    return nullptr;
}

static void WriteWebsiteAssignment(UINT keyId, const char *address, const char *title)
{
    WriteKeyAssignment(keyId, address, "", title, "", 0);
}

/* ---- "Choose your Yahoo! site" ------------------------------------------------ */

static INT_PTR CALLBACK YahooDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    /* The order in which OK looks for the checked button. */
    static constexpr int Radios[] = {IDC_YAHOO_MAIN, IDC_YAHOO_SFBAY, IDC_YAHOO_KIDS, IDC_YAHOO_MY};
    switch (message) {
    case WM_INITDIALOG:
        SetDialogIcon(dialog);
        CheckDlgButton(dialog, IDC_YAHOO_MAIN, BST_CHECKED);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            for (int id : Radios) {
                if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) {
                    EndDialog(dialog, id);
                    break;
                }
            }
            return TRUE;
        }
        return OnCancelOrHelp(dialog, LOWORD(wParam));
    }
    return FALSE;
}

/* ---- "Custom WebSite" ----------------------------------------------------------- */

static INT_PTR CALLBACK CustomSiteDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    char text[ADDRESS_CAPACITY];
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SetDialogIcon(dialog);
        /* What the edit takes is what gets stored: nothing is cut on OK. */
        SendDlgItemMessageA(dialog, IDC_CUSTOM_ADDRESS, EM_LIMITTEXT, ADDRESS_CAPACITY - 1, 0);
        /* Posted, so that it comes after the dialog has given the edit the
         * focus with all its text selected: the caret stands after "http://". */
        PostMessageA(GetDlgItem(dialog, IDC_CUSTOM_ADDRESS), EM_SETSEL, 7, 7);
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CUSTOM_ADDRESS:
            if (HIWORD(wParam) == EN_CHANGE) {
                GetDlgItemTextA(dialog, IDC_CUSTOM_ADDRESS, text, sizeof text);
                EnableWindow(GetDlgItem(dialog, IDOK), strcmp(text, BlankAddress) != 0);
            }
            break;
        case IDOK:
            /* Also when OK comes without its button, e.g. from Enter. */
            if (IsWindowEnabled(GetDlgItem(dialog, IDOK))) {
                char *address = reinterpret_cast<char *>(GetWindowLongPtrA(dialog, DWLP_USER));
                GetDlgItemTextA(dialog, IDC_CUSTOM_ADDRESS, address, ADDRESS_CAPACITY);
                EndDialog(dialog, IDOK);
            }
            break;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            break;
        }
        return TRUE;
    }
    return FALSE;
}

/* Asks for an address until the user confirms one (Yes, which stores it) or
 * cancels the dialog. Each new try starts again from "http://". */
static INT_PTR AssignCustomAddress(HWND owner, UINT keyId)
{
    char address[ADDRESS_CAPACITY];
    INT_PTR result;
    do {
        ZeroMemory(address, sizeof address);
        result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(DLG_CUSTOMSITE), owner, CustomSiteDialog,
                                 reinterpret_cast<LPARAM>(address));
        if (result == IDOK) {
            /* With its scheme in capitals ("FILE:") the key would take the
             * address for a program and launch it. */
            LowerWebScheme(address);
            char question[QUESTION_CAPACITY];
            // NOLINTNEXTLINE(cert-err33-c): the question fits an address of 255 characters
            snprintf(question, sizeof question, "Is this the correct WebSite?\r\n%s", address);
            result = MessageBoxA(owner, question, "Custom WebSite", MB_YESNO);
        }
    } while (result == IDNO);
    if (result == IDYES)
        WriteWebsiteAssignment(keyId, address, "");
    return result;
}

/* ---- "Assign a WebSite" ----------------------------------------------------------- */

static void ShowChosenSite(HWND dialog, const PresetSite *site)
{
    WebsiteChoice *choice = reinterpret_cast<WebsiteChoice *>(GetWindowLongPtrA(dialog, DWLP_USER));
    choice->site = site;
    HWND icon = GetDlgItem(dialog, IDC_WEB_SITEICON);
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(AppInstance, MAKEINTRESOURCEA(site->icon))), 0);
    ShowWindow(GetDlgItem(dialog, IDC_WEB_ASSIGNED), SW_SHOW);
    ShowWindow(icon, SW_SHOW);
    EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
}

static bool OnWebsiteInit(HWND dialog, WebsiteChoice *choice)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(choice));
    SendDlgItemMessageA(dialog, IDC_WEB_KEYICON, STM_SETICON, reinterpret_cast<WPARAM>(LoadKeyIcon(choice->keyId)), 0);
    SetDialogIcon(dialog);
    ShowWindow(GetDlgItem(dialog, IDC_WEB_ASSIGNED), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_WEB_SITEICON), SW_HIDE);
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    if (!Browsers[ReadBrowserChoice()].bookmarksBrowsable)
        EnableWindow(GetDlgItem(dialog, IDC_WEB_BOOKMARKS), FALSE);
    return true;
}

static void OnChooseYahoo(HWND dialog)
{
    INT_PTR result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(DLG_YAHOO), dialog, YahooDialog, 0);
    const PresetSite *site = result == IDCANCEL ? nullptr : PresetRow(result, true);
    if (site)
        ShowChosenSite(dialog, site);
}

static void OnWebsiteOk(HWND dialog)
{
    const WebsiteChoice *choice = reinterpret_cast<const WebsiteChoice *>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (choice->site)
        WriteWebsiteAssignment(choice->keyId, choice->site->address, choice->site->title);
    EndDialog(dialog, IDOK);
}

static INT_PTR CALLBACK WebsiteDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnWebsiteInit(dialog, reinterpret_cast<WebsiteChoice *>(lParam));
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        switch (id) {
        case IDC_SITE_YAHOO:
            OnChooseYahoo(dialog);
            return TRUE;
        case IDOK:
            OnWebsiteOk(dialog);
            return TRUE;
        case IDC_WEB_CUSTOM:
        case IDC_WEB_BOOKMARKS:
            EndDialog(dialog, id);
            return TRUE;
        }
        if (const PresetSite *site = PresetRow(id, false)) {
            ShowChosenSite(dialog, site);
            return TRUE;
        }
        return OnCancelOrHelp(dialog, id);
    }
    }
    return FALSE;
}

INT_PTR AssignWebsite(HWND owner, UINT keyId)
{
    WebsiteChoice choice = {keyId, nullptr};
    INT_PTR result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(DLG_WEBSITE), owner, WebsiteDialog,
                                     reinterpret_cast<LPARAM>(&choice));
    if (result == IDC_WEB_BOOKMARKS)
        return PickBookmark(owner, keyId);
    if (result == IDC_WEB_CUSTOM)
        return AssignCustomAddress(owner, keyId);
    return result;
}
