/* The faces of the setup dialog's key buttons: the key's own picture when it
 * is free, the picture of a connection or a preset web site, the icon of the
 * assigned program, or a face drawn from any other web address's text.
 *
 * A refresh also finds the keys another program holds: Springdeck's own
 * hotkeys are taken off the main window, each plain key is tried on the
 * dialog, and the hotkeys are put back before the refresh returns, so
 * Springpads keep working while the dialog is open. */
#include "core/core.h"
#include "launch/launch.h"
#include "resource.h"
#include "settings/settings.h"
#include "setup/setup_internal.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

/* Written by RefreshKeyButtons: the setup dialog's WM_INITDIALOG, and its WM_COMMAND after a key changed. */
static struct {
    bool inUse[KEY_LAST + 1]; /* per key id */
} KeyFaces;
bool KeyInUse(UINT keyId) { return KeyFaces.inUse[keyId]; }

constexpr char AddressFontFace[] = "MS San Serif";

void FreeKeyFace(HWND button)
{
    HBITMAP bitmap = static_cast<HBITMAP>(RemovePropA(button, FACE_BITMAP_PROP));
    if (bitmap)
        DeleteObject(bitmap);
    HICON icon = static_cast<HICON>(RemovePropA(button, FACE_ICON_PROP));
    if (icon)
        DestroyIcon(icon);
}

std::vector<AddressFaceLine> SplitAddressLines(HDC dc, const char *address, int lineWidth)
{
    std::vector<AddressFaceLine> lines;
    const char *text = address ? strchr(address, ':') : nullptr;
    if (!text)
        return lines;
    /* The scheme tells nothing on a key of its own: start after it. */
    ++text;
    while (*text == '/')
        ++text;

    std::string line;
    for (; *text; ++text) {
        line += *text;
        SIZE extent = {0, 0};
        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &extent);
        if (extent.cx >= lineWidth || *text == '.' || *text == '/') {
            lines.push_back({line, false});
            line.clear();
        }
    }
    if (!line.empty() && line != "\\")
        lines.push_back({line, true});
    return lines;
}

/* The text area lies 2 pixels inside the button's client rectangle, which
 * is where the button's own 3-D edge ends. The bitmap covers just that area:
 * the button centres it there and keeps drawing its edge (and its pushed
 * look) around it. Returns null when no bitmap could be made. */
static HBITMAP DrawAddressFace(HWND dialog, HWND button, const char *address)
{
    constexpr int EDGE = 2, LINE_MARGIN = 10;
    RECT client;
    GetClientRect(button, &client);
    RECT area = {0, 0, client.right - 2 * EDGE, client.bottom - 2 * EDGE};
    ButtonFace face;
    if (!BeginButtonFace(dialog, area.right, area.bottom, &face))
        return nullptr;
    HDC memory = face.dc;

    /* Three lines fill the face: the height comes from the area's bottom
     * in the button's client coordinates. */
    LOGFONTA logFont = {};
    logFont.lfHeight = (client.bottom - EDGE - 4) / 3;
    lstrcpynA(logFont.lfFaceName, AddressFontFace, LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ oldFont = font ? SelectObject(memory, font) : nullptr;

    /* Only whole lines are drawn: a sliver of a line cut at the bottom
     * would read as a smudge. */
    TEXTMETRICA metrics = {};
    GetTextMetricsA(memory, &metrics);
    for (const AddressFaceLine &line : SplitAddressLines(memory, address, area.right - LINE_MARGIN)) {
        if (area.top + metrics.tmHeight > area.bottom)
            break;
        UINT format = DT_CENTER | DT_SINGLELINE | (line.leftover ? 0 : DT_NOPREFIX);
        area.top += DrawTextA(memory, line.text.c_str(), static_cast<int>(line.text.size()), &area, format);
    }

    if (oldFont)
        SelectObject(memory, oldFont);
    if (font)
        DeleteObject(font);
    return EndButtonFace(&face);
}

/* Gives the key's button a face drawn from the web address's text, or, with
 * no address, switches it back to showing an icon. */
static void MakeAddressBitmap(HWND dialog, UINT keyId, const char *address)
{
    HWND button = GetDlgItem(dialog, static_cast<int>(keyId));
    if (!button)
        return;
    LONG style = GetWindowLongA(button, GWL_STYLE);
    if (!address) {
        SetWindowLongA(button, GWL_STYLE, (style & ~BS_BITMAP) | BS_ICON);
        return;
    }
    SetWindowLongA(button, GWL_STYLE, (style & ~BS_ICON) | BS_BITMAP);
    HBITMAP bitmap = DrawAddressFace(dialog, button, address);
    if (!bitmap) {
        SetWindowLongA(button, GWL_STYLE, style); /* keep showing the icon it has */
        return;
    }
    SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    /* A face drawn before is no longer shown: free it now. */
    HBITMAP previous = static_cast<HBITMAP>(GetPropA(button, FACE_BITMAP_PROP));
    SetPropA(button, FACE_BITMAP_PROP, bitmap);
    if (previous && previous != bitmap)
        DeleteObject(previous);
}

/* The assigned program's icon: the stored icon file at its index, else the
 * icon associated with the command line's file (never the shell's generic
 * picture: a key without an icon of its own keeps showing the key). Null
 * when there is none; the caller owns what is returned. */
static HICON ExtractAssignedIcon(const KeyAssignment &assignment)
{
    /* Only the low 16 bits count; this also keeps a stored -1 from asking
     * ExtractIconA for the number of icons instead of an icon. */
    WORD index = static_cast<WORD>(assignment.iconIndex);
    if (assignment.icon[0]) {
        HICON icon = ExtractIconA(AppInstance, assignment.icon, index);
        if (icon && icon != reinterpret_cast<HICON>(1)) /* 1: the file holds no icons at all */
            return icon;
    }
    char path[MAX_PATH]; /* ExtractAssociatedIconA may write a path back */
    lstrcpynA(path, assignment.commandLine, sizeof path);
    WORD firstIcon = 0;
    return ExtractAssociatedIconA(AppInstance, path, &firstIcon);
}

static void SetIconFace(HWND button, HICON icon)
{
    SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

/* Puts the assignment's picture on a button that shows the key's own icon. */
static void ShowAssignment(HWND dialog, UINT keyId, HWND button, const KeyAssignment &assignment)
{
    switch (DecodeActionKind(assignment.commandLine)) {
    case ACTION_NORMAL_FUNCTION:
        break;
    case ACTION_CONNECTION:
        SetIconFace(button, LoadIconA(AppInstance, MAKEINTRESOURCEA(ICO_CONNECT)));
        break;
    case ACTION_WEB_ADDRESS:
        if (const PresetSite *site = FindPresetSite(assignment.commandLine))
            SetIconFace(button, LoadIconA(AppInstance, MAKEINTRESOURCEA(site->icon)));
        else
            MakeAddressBitmap(dialog, keyId, assignment.commandLine);
        break;
    case ACTION_PROGRAM:
        if (HICON icon = ExtractAssignedIcon(assignment)) {
            SetIconFace(button, icon);
            SetPropA(button, FACE_ICON_PROP, icon);
        }
        break;
    }
}

/* True when the key's plain hotkey is free: tried on the dialog and given
 * back at once. */
static bool HotkeyIsFree(HWND dialog, UINT keyId)
{
    if (!RegisterHotKey(dialog, static_cast<int>(keyId), 0, KeyVirtualKey(keyId)))
        return false;
    UnregisterHotKey(dialog, static_cast<int>(keyId));
    return true;
}

static void AddKeyTool(HWND tooltip, HWND dialog, HWND button)
{
    if (!tooltip)
        return;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    /* Every refresh registers the button again; drop the earlier
     * registration so that the tooltip holds each button once. */
    SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void RefreshKeyButtons(HWND dialog)
{
    HWND tooltip = static_cast<HWND>(GetPropA(dialog, SETUP_TOOLTIP_PROP));
    /* Our own registrations would make every assigned key look taken. */
    UnregisterKeyHotkeys(MainWindow);
    for (UINT keyId = KEY_FIRST; keyId <= KEY_LAST; ++keyId) {
        HWND button = GetDlgItem(dialog, static_cast<int>(keyId));
        if (!button)
            continue;
        MakeAddressBitmap(dialog, keyId, nullptr);
        SetIconFace(button, LoadKeyIcon(keyId));
        /* Only now does the button no longer show the old face. */
        FreeKeyFace(button);

        KeyAssignment assignment = {};
        KeyFaces.inUse[keyId] = !HotkeyIsFree(dialog, keyId);
        if (!KeyFaces.inUse[keyId])
            ReadKeyAssignment(keyId, &assignment);

        AddKeyTool(tooltip, dialog, button);
        ShowAssignment(dialog, keyId, button, assignment);
    }
    RegisterKeyHotkeys(MainWindow);
}
