/* "Assign a software program": the user gives a Springpad a program by
 * picking it from the Start Menu (walking down into folders and back), a
 * Dial-Up Networking connection, or, through Browse, any program on the
 * computer. The list is owner-drawn from ProgramListItem entries; the two
 * large buttons are painted once into bitmaps. The dialog owns the bold
 * font and the two bitmaps (window properties) and the preview icon. */
#include "core/core.h"
#include "launch/launch.h"
#include "picking/picking_internal.h"
#include "resource.h"
#include "settings/settings.h"

#include <shellapi.h>

/* Window properties holding the GDI objects this dialog made. */
constexpr char BoldFontProperty[] = "bold font";
constexpr char BrowseBitmapProperty[] = "bmp1";
constexpr char InfoBitmapProperty[] = "bmp2";

constexpr int ProgramItemHeight = 20;

static INT_PTR CALLBACK ProgramDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

INT_PTR PickProgram(HWND owner, UINT keyId)
{
    INT_PTR result =
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(DLG_PROGRAMS), owner, ProgramDialog, static_cast<LPARAM>(keyId));
    if (result == IDC_PROGRAM_BROWSE)
        result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(DLG_SETUPAPP), owner, SetupAppDialog,
                                 static_cast<LPARAM>(keyId));
    /* A dialog that could not be shown changed nothing. */
    return result == 1 ? 1 : IDCANCEL;
}

HICON ExtractFileIcon(const char *path)
{
    /* ExtractAssociatedIconA may write the icon's source into the path. */
    char source[MAX_PATH];
    lstrcpynA(source, path, sizeof source);
    WORD index = 0;
    HICON icon = ExtractAssociatedIconA(AppInstance, source, &index);
    if (icon)
        return icon;
    /* A file without an icon of its own (and, on some shells, a shortcut)
     * still has the icon Explorer shows for it. */
    SHFILEINFOA info = {};
    if (SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON))
        return info.hIcon;
    return nullptr;
}

static ProgramListItem *SelectedEntry(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_PROGRAM_LIST);
    LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return nullptr;
    LRESULT data = SendMessageA(list, LB_GETITEMDATA, index, 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<ProgramListItem *>(data);
}

static void ShowPreview(HWND dialog, bool show)
{
    ShowWindow(GetDlgItem(dialog, IDC_PROGRAM_PREVIEW), show ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_PROGRAM_ASSIGNED), show ? SW_SHOW : SW_HIDE);
}

static void OnSelectionChange(HWND dialog)
{
    ProgramListItem *entry = SelectedEntry(dialog);
    EnableWindow(GetDlgItem(dialog, IDOK), entry != nullptr);
    if (!entry || entry->isFolder) {
        ShowPreview(dialog, false);
        return;
    }
    HICON icon;
    if (entry->isConnection)
        icon = static_cast<HICON>(
            LoadImageA(AppInstance, MAKEINTRESOURCEA(ICO_CONNECT), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    else
        icon = ExtractFileIcon(entry->path);
    SetOwnedIcon(dialog, IDC_PROGRAM_PREVIEW, icon);
    ShowPreview(dialog, true);
}

static void StoreProgramChoice(UINT keyId, const ProgramListItem *entry)
{
    if (entry->isConnection)
        WriteKeyAssignment(keyId, ConnectionCommandLine, entry->arguments, entry->displayName, "", 0);
    else
        WriteKeyAssignment(keyId, entry->target, entry->arguments, entry->displayName, entry->iconPath,
                           entry->iconIndex);
}

static void OnOk(HWND dialog)
{
    ProgramListItem *entry = SelectedEntry(dialog);
    if (!entry)
        return;
    if (!entry->isFolder) {
        StoreProgramChoice(GetWindowLongPtrA(dialog, DWLP_USER), entry);
        EndDialog(dialog, 1);
        return;
    }
    HWND list = GetDlgItem(dialog, IDC_PROGRAM_LIST);
    if (entry->isConnection) {
        ListConnections(list);
    } else {
        /* Clearing the listing may free the entry: keep what we need. */
        char path[PROGRAM_TEXT_CAPACITY];
        lstrcpynA(path, entry->path, sizeof path);
        int depth = entry->isGoBack ? entry->depth - 1 : entry->depth + 1;
        FillProgramList(list, path, depth < 0 ? 0 : depth);
    }
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    ShowPreview(dialog, false);
}

static void DrawProgramListItem(const DRAWITEMSTRUCT *draw)
{
    bool selected = (draw->itemState & ODS_SELECTED) != 0;
    COLORREF background = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    COLORREF foreground = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    HDC dc = draw->hDC;
    RECT rect = draw->rcItem;

    HBRUSH brush = CreateSolidBrush(background);
    if (brush) {
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }

    const ProgramListItem *entry = reinterpret_cast<const ProgramListItem *>(draw->itemData);
    if (draw->itemID != static_cast<UINT>(-1) && entry) {
        if (entry->icon)
            DrawIconEx(dc, rect.left + 2, rect.top + 2, entry->icon, 0, 0, 0, nullptr, DI_NORMAL);
        InflateRect(&rect, -2, -2);
        rect.left += static_cast<LONG>(entry->iconWidth) + 4;
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(draw->hwndItem, WM_GETFONT, 0, 0));
        HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
        COLORREF oldText = SetTextColor(dc, foreground);
        COLORREF oldBack = SetBkColor(dc, background);
        DrawTextA(dc, entry->displayName, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SetBkColor(dc, oldBack);
        SetTextColor(dc, oldText);
        if (oldFont)
            SelectObject(dc, oldFont);
    }
    if (draw->itemState & ODS_FOCUS)
        DrawFocusRect(dc, &draw->rcItem);
}

static HFONT CreateBoldCopy(HFONT font)
{
    LOGFONTA logFont;
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (GetObjectA(font, sizeof logFont, &logFont) != sizeof logFont)
        return nullptr;
    logFont.lfWeight = FW_BOLD;
    return CreateFontIndirectA(&logFont);
}

/* Turns a large button into a bitmap button showing a bold word and the rest
 * of the line on line 1, and a second line, both centred. */
static void PaintChoiceButton(HWND dialog, int id, const char *boldWord, const char *rest, const char *line2,
                              const char *property)
{
    HWND button = GetDlgItem(dialog, id);
    if (!button)
        return;
    LONG_PTR style = GetWindowLongPtrA(button, GWL_STYLE);
    SetWindowLongPtrA(button, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_MULTILINE | BS_ICON)) | BS_BITMAP);

    RECT client;
    GetClientRect(button, &client);
    int width = client.right - 4, height = client.bottom - 4;
    ButtonFace face;
    if (!BeginButtonFace(button, width, height, &face))
        return;
    HDC memory = face.dc;

    HFONT font = reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0));
    HFONT bold = CreateBoldCopy(font);
    HGDIOBJ oldFont = SelectObject(memory, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE restSize = {0, 0}, boldSize = {0, 0}, line2Size = {0, 0};
    GetTextExtentPoint32A(memory, rest, lstrlenA(rest), &restSize);
    if (bold)
        SelectObject(memory, bold);
    GetTextExtentPoint32A(memory, boldWord, lstrlenA(boldWord), &boldSize);

    int x = (width - restSize.cx - boldSize.cx) / 2;
    int y = (height - 2 * boldSize.cy) / 2;
    TextOutA(memory, x, y, boldWord, lstrlenA(boldWord));
    SelectObject(memory, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    if (bold)
        DeleteObject(bold);
    TextOutA(memory, x + boldSize.cx, y, rest, lstrlenA(rest));
    GetTextExtentPoint32A(memory, line2, lstrlenA(line2), &line2Size);
    TextOutA(memory, (width - line2Size.cx) / 2, y + line2Size.cy, line2, lstrlenA(line2));

    SelectObject(memory, oldFont);
    HBITMAP bitmap = EndButtonFace(&face);

    SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    SetPropA(dialog, property, bitmap);
}

static void MakeInstructionBold(HWND dialog)
{
    HWND instruction = GetDlgItem(dialog, IDC_PROGRAM_INSTRUCTION);
    HFONT bold = CreateBoldCopy(reinterpret_cast<HFONT>(SendMessageA(instruction, WM_GETFONT, 0, 0)));
    if (!bold)
        return;
    SendMessageA(instruction, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
    SetPropA(dialog, BoldFontProperty, bold);
}

static void OnInitDialog(HWND dialog, UINT keyId)
{
    SetWindowLongPtrA(dialog, DWLP_USER, static_cast<LONG_PTR>(keyId));
    SetDialogIcon(dialog);
    SendDlgItemMessageA(dialog, IDC_PROGRAM_KEYICON, STM_SETICON, reinterpret_cast<WPARAM>(LoadKeyIcon(keyId)), 0);
    FillProgramList(GetDlgItem(dialog, IDC_PROGRAM_LIST), nullptr, 0);
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    PaintChoiceButton(dialog, IDC_PROGRAM_BROWSE, "Browse ", "for other programs", "on your computer",
                      BrowseBitmapProperty);
    PaintChoiceButton(dialog, IDC_PROGRAM_INFO, "Info ", "about programs included", "on the Springdeck CD-ROM",
                      InfoBitmapProperty);
    MakeInstructionBold(dialog);
}

static void DeleteProperty(HWND dialog, const char *name)
{
    HGDIOBJ object = RemovePropA(dialog, name);
    if (object)
        DeleteObject(object);
}

static void OnDestroy(HWND dialog)
{
    SetOwnedIcon(dialog, IDC_PROGRAM_PREVIEW, nullptr);
    /* Controls let go of the objects before they are deleted. */
    SendDlgItemMessageA(dialog, IDC_PROGRAM_INSTRUCTION, WM_SETFONT, 0, FALSE);
    SendDlgItemMessageA(dialog, IDC_PROGRAM_BROWSE, BM_SETIMAGE, IMAGE_BITMAP, 0);
    SendDlgItemMessageA(dialog, IDC_PROGRAM_INFO, BM_SETIMAGE, IMAGE_BITMAP, 0);
    DeleteProperty(dialog, BoldFontProperty);
    DeleteProperty(dialog, BrowseBitmapProperty);
    DeleteProperty(dialog, InfoBitmapProperty);
    ClearProgramList(GetDlgItem(dialog, IDC_PROGRAM_LIST));
}

static void OnCommand(HWND dialog, UINT id, UINT code)
{
    switch (id) {
    case IDC_PROGRAM_LIST:
        if (code == LBN_SELCHANGE)
            OnSelectionChange(dialog);
        else if (code == LBN_DBLCLK)
            OnOk(dialog);
        break;
    case IDOK:
        OnOk(dialog);
        break;
    case IDC_PROGRAM_BROWSE:
        EndDialog(dialog, IDC_PROGRAM_BROWSE);
        break;
    case IDC_PROGRAM_INFO:
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(DLG_PGMINFO), dialog, ProgramInfoDialog, 0);
        break;
    default:
        OnCancelOrHelp(dialog, static_cast<int>(id));
        break;
    }
}

static int CompareItems(const COMPAREITEMSTRUCT *compare)
{
    const ProgramListItem *first = reinterpret_cast<const ProgramListItem *>(compare->itemData1);
    const ProgramListItem *second = reinterpret_cast<const ProgramListItem *>(compare->itemData2);
    if (!first || !second)
        return first ? 1 : second ? -1 : 0;
    int order = CompareProgramListItems(first, second);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

static INT_PTR CALLBACK ProgramDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, lParam);
        return TRUE;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT *>(lParam)->itemHeight = ProgramItemHeight;
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_PROGRAM_LIST)
            DrawProgramListItem(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        return TRUE;
    case WM_COMPAREITEM:
        /* One of the messages whose answer is the procedure's result. */
        return CompareItems(reinterpret_cast<const COMPAREITEMSTRUCT *>(lParam));
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        OnDestroy(dialog);
        return TRUE;
    }
    return FALSE;
}
