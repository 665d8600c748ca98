/* The notification-area icon. Every call passes the first-version
 * NOTIFYICONDATAA (88 bytes), which every shell since Windows 95 accepts. */
#include "core/core_internal.h"
#include "resource.h"

#include <shellapi.h>

static NOTIFYICONDATAA TrayData(HWND window, UINT flags)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = TRAY_ICON_ID;
    data.uFlags = flags;
    return data;
}

void AddTrayIcon(HWND window)
{
    NOTIFYICONDATAA data = TrayData(window, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    data.uCallbackMessage = WM_TRAYICON;
    data.hIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(ICO_SPRINGDECK));
    lstrcpynA(data.szTip, APP_CAPTION, 64);
    Shell_NotifyIconA(NIM_ADD, &data);
}

void SetTrayTip(HWND window, const char *text)
{
    NOTIFYICONDATAA data = TrayData(window, NIF_TIP);
    lstrcpynA(data.szTip, text, 64);
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

void DeleteTrayIcon(HWND window)
{
    NOTIFYICONDATAA data = TrayData(window, 0);
    Shell_NotifyIconA(NIM_DELETE, &data);
}
