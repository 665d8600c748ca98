/* "Select a BookMark": the bookmarks of the browser chosen in the setup
 * dialog as a tree of folders and bookmarks. Internet Explorer's come from
 * the Favorites folder, every other browser's from Netscape Navigator's
 * bookmark file. Each bookmark item owns a BookmarkEntry (its lParam), freed
 * when the tree deletes the item; folders have none. An entry is its address
 * and its title, each ending in a zero byte, in a block of just that size:
 * a file of many short bookmarks takes little memory. */
#include "core/core.h"
#include "launch/launch.h"
#include "resource.h"
#include "settings/settings.h"
#include "setup/setup_internal.h"

#include <commctrl.h>

#include <new>

enum { PATH_CAPACITY = 256 };

/* Images of the tree's image list, in the order they are added. */
enum { IMAGE_BOOKMARK, IMAGE_FOLDER_OPEN, IMAGE_FOLDER_CLOSED };

typedef char BookmarkEntry;  /* "address\0title\0" */

static const char *EntryTitle(const BookmarkEntry *entry)
{
    return entry + lstrlenA(entry) + 1;
}

static const char BookmarkListKey[] = "Software\\Netscape\\Netscape Navigator\\Bookmark List";

/* The readers' callback: adds a folder (no address) or a bookmark under
 * parent, last. Returns the new item, or null when it could not be added. */
static void *AddToTree(void *tree, void *parent, const char *name, const char *address)
{
    BookmarkEntry *entry = NULL;
    if (address) {
        /* The readers report at most BOOKMARK_TEXT_LENGTH characters of each. */
        int addressSize = lstrlenA(address) + 1, titleSize = lstrlenA(name) + 1;
        entry = new (std::nothrow) BookmarkEntry[addressSize + titleSize];
        if (!entry)
            return NULL;
        CopyMemory(entry, address, addressSize);
        CopyMemory(entry + addressSize, name, titleSize);
    }
    TVINSERTSTRUCTA insert;
    ZeroMemory(&insert, sizeof insert);
    insert.hParent = (HTREEITEM)parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = (LPSTR)name;
    insert.item.iImage = entry ? IMAGE_BOOKMARK : IMAGE_FOLDER_CLOSED;
    insert.item.iSelectedImage = entry ? IMAGE_BOOKMARK : IMAGE_FOLDER_OPEN;
    insert.item.lParam = (LPARAM)entry;
    HTREEITEM item = (HTREEITEM)SendMessageA((HWND)tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
    if (!item && entry)
        delete[] entry;  /* no item owns it */
    return item;
}

static void SetTreeImages(HWND tree)
{
    static const WORD Bitmaps[] = {BMP_BOOKMARK, BMP_FOLDEROPEN, BMP_FOLDERCLOSED};
    HIMAGELIST images = ImageList_Create(16, 16, ILC_MASK | ILC_COLOR4, 3, 3);
    if (!images)
        return;
    for (WORD id : Bitmaps) {
        HBITMAP bitmap = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(id));
        if (bitmap) {
            ImageList_AddMasked(images, bitmap, RGB(255, 0, 255));
            DeleteObject(bitmap);
        }
    }
    SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, (LPARAM)images);
}

/* Netscape Navigator names its bookmark file in the registry; older versions
 * in their own ini file, which win.ini names. */
static void FillFromBookmarkFile(HWND tree)
{
    char path[PATH_CAPACITY];
    ReadRegistryString(HKEY_CURRENT_USER, BookmarkListKey, "File Location", path, sizeof path);
    if (!path[0]) {
        char ini[PATH_CAPACITY];
        if (ReadNavigatorIni(ini, sizeof ini))
            GetPrivateProfileStringA("Bookmark List", "File Location", "", path, sizeof path, ini);
    }
    ReadBookmarkFile(path, TVI_ROOT, AddToTree, tree);
}

static void FillFromFavorites(HWND tree)
{
    char folder[PATH_CAPACITY];
    ReadRegistryString(HKEY_CURRENT_USER, ShellFoldersKey, "Favorites", folder, sizeof folder);
    ReadFavoritesFolder(folder, TVI_ROOT, AddToTree, tree);
}

static const BookmarkEntry *SelectedEntry(HWND tree)
{
    TVITEMA item;
    ZeroMemory(&item, sizeof item);
    item.hItem = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    if (!item.hItem)
        return NULL;
    item.mask = TVIF_HANDLE | TVIF_PARAM;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&item))
        return NULL;
    return (const BookmarkEntry *)item.lParam;
}

static BOOL OnInitDialog(HWND dialog, UINT keyId)
{
    SetWindowLongPtrA(dialog, DWLP_USER, keyId);
    SetDialogIcon(dialog);
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    HWND tree = GetDlgItem(dialog, IDC_BOOKMARK_TREE);
    SetTreeImages(tree);
    /* The tree lays itself out once, not after each of many thousand items. */
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    if (ReadBrowserChoice() == BROWSER_EXPLORER)
        FillFromFavorites(tree);
    else
        FillFromBookmarkFile(tree);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    return TRUE;
}

/* True when the notification was handled. */
static bool OnTreeNotify(HWND dialog, const NMHDR *header)
{
    /* The ANSI and the Unicode forms carry the lParam at the same place. */
    const NMTREEVIEWA *change = (const NMTREEVIEWA *)header;
    switch (header->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
        const BookmarkEntry *entry = (const BookmarkEntry *)change->itemNew.lParam;
        EnableWindow(GetDlgItem(dialog, IDOK), entry != NULL);
        SetDlgItemTextA(dialog, IDC_BOOKMARK_ADDRESS, entry ? entry : "");
        return true;
    }
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW:
        if (change->itemOld.lParam)
            delete[] (BookmarkEntry *)change->itemOld.lParam;
        return true;
    }
    return false;
}

static void OnOk(HWND dialog)
{
    UINT keyId = (UINT)GetWindowLongPtrA(dialog, DWLP_USER);
    const BookmarkEntry *entry = SelectedEntry(GetDlgItem(dialog, IDC_BOOKMARK_TREE));
    if (entry)
        WriteKeyAssignment(keyId, entry, entry, EntryTitle(entry), "", 0);
    EndDialog(dialog, IDOK);
}

/* The tree would delete its items only after this dialog is gone; delete
 * them now so that every entry is freed while the dialog still hears of it,
 * then free the image list, which the tree does not own. */
static void OnDestroy(HWND dialog)
{
    HWND tree = GetDlgItem(dialog, IDC_BOOKMARK_TREE);
    SendMessageA(tree, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    HIMAGELIST images = (HIMAGELIST)SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    if (images)
        ImageList_Destroy(images);
}

static INT_PTR CALLBACK BookmarkDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, (UINT)lParam);
    case WM_NOTIFY:
        if (((const NMHDR *)lParam)->idFrom != IDC_BOOKMARK_TREE)
            return FALSE;
        return OnTreeNotify(dialog, (const NMHDR *)lParam);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOk(dialog);
            return TRUE;
        }
        return OnCancelOrHelp(dialog, LOWORD(wParam));
    case WM_DESTROY:
        OnDestroy(dialog);
        return FALSE;
    }
    return FALSE;
}

INT_PTR PickBookmark(HWND owner, UINT keyId)
{
    InitCommonControls();
    return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(DLG_BOOKMARK), owner, BookmarkDialog, keyId);
}
