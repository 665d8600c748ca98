/* Small chores that several dialogs share: their large icon, Cancel and Help,
 * an icon control that owns what it shows, the memory DC in which a button's
 * face is drawn into a bitmap; and libraries loaded from the system folder. */
#include "core/core_internal.h"
#include "resource.h"

#include <cstdio>

void SetDialogIcon(HWND dialog)
{
    SendMessageA(dialog, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconA(AppInstance, MAKEINTRESOURCEA(ICO_SPRINGDECK))));
}

bool OnCancelOrHelp(HWND dialog, int id)
{
    if (id == IDCANCEL)
        EndDialog(dialog, IDCANCEL);
    else if (id == IDC_HELPBUTTON)
        ShowHelp(dialog, HELP_CONTEXT_GENERAL);
    else
        return false;
    return true;
}

void SetOwnedIcon(HWND dialog, int control, HICON icon)
{
    HICON old =
        reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
    if (old && old != icon)
        DestroyIcon(old);
}

bool BeginButtonFace(HWND window, int width, int height, ButtonFace *face)
{
    *face = {};
    if (width <= 0 || height <= 0)
        return false;
    HDC windowDc = GetDC(window);
    if (!windowDc)
        return false;
    face->bitmap = CreateCompatibleBitmap(windowDc, width, height);
    face->dc = CreateCompatibleDC(windowDc);
    ReleaseDC(window, windowDc);
    if (!face->bitmap || !face->dc) {
        if (face->bitmap)
            DeleteObject(face->bitmap);
        if (face->dc)
            DeleteDC(face->dc);
        *face = {};
        return false;
    }
    face->oldBitmap = SelectObject(face->dc, face->bitmap);
    RECT all = {0, 0, width, height};
    FillRect(face->dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    SetTextColor(face->dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(face->dc, GetSysColor(COLOR_BTNFACE));
    return true;
}

HBITMAP EndButtonFace(ButtonFace *face)
{
    SelectObject(face->dc, face->oldBitmap);
    DeleteDC(face->dc);
    HBITMAP bitmap = face->bitmap;
    *face = {};
    return bitmap;
}

HMODULE LoadSystemLibrary(const char *name)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return nullptr;
    int written = snprintf(path + length, sizeof path - length, "\\%s", name);
    if (written < 0 || static_cast<size_t>(written) >= sizeof path - length)
        return nullptr;
    return LoadLibraryA(path);
}

bool IsFile(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
