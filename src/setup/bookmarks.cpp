/* "Select a BookMark": the bookmarks of the browser chosen in the setup
 * dialog as a tree of folders and bookmarks (Internet Explorer's come from
 * the Favorites folder, every other browser's from Netscape Navigator's
 * bookmark file), then those of every other browser found for the user, each
 * in a top folder of its own (bookmark_sources.cpp), and any bookmark file the
 * user adds with "From File...". Each bookmark item owns a BookmarkEntry (its
 * lParam), freed when the tree deletes the item; folders have none. An entry
 * is its address and its title, each ending in a zero byte, in a block of
 * just that size: a file of many short bookmarks takes little memory. */
#include "core/core.h"
#include "resource.h"
#include "settings/settings.h"
#include "setup/setup_internal.h"

#include <commctrl.h>
#include <commdlg.h>

#include <new>

/* Images of the tree's image list, in the order they are added. */
constexpr int IMAGE_BOOKMARK = 0, IMAGE_FOLDER_OPEN = 1, IMAGE_FOLDER_CLOSED = 2;

using BookmarkEntry = char; /* "address\0title\0" */

static const char *EntryTitle(const BookmarkEntry *entry) { return entry + lstrlenA(entry) + 1; }

/* One run of the dialog (its DWLP_USER): the key, and what the tree holds.
 * Each source's reader keeps to its own bounds; these keep the whole tree,
 * over all sources, to BOOKMARK_MAX_COUNT bookmarks and as many folders
 * (a folder removed again still counts: the bound is on what was added). */
struct Picker {
    UINT keyId;
    HWND tree;
    int bookmarks, folders;
};

/* The readers' callback: adds a folder (no address) or a bookmark under
 * parent, last. Returns the new item, or null when it could not be added. */
static void *AddToTree(void *context, void *parent, const char *name, const char *address)
{
    Picker *picker = static_cast<Picker *>(context);
    int &count = address ? picker->bookmarks : picker->folders;
    if (count >= BOOKMARK_MAX_COUNT)
        return nullptr;
    BookmarkEntry *entry = nullptr;
    if (address) {
        /* The readers report at most BOOKMARK_TEXT_LENGTH characters of each. */
        int addressSize = lstrlenA(address) + 1, titleSize = lstrlenA(name) + 1;
        entry = new (std::nothrow) BookmarkEntry[addressSize + titleSize];
        if (!entry)
            return nullptr;
        CopyMemory(entry, address, addressSize);
        CopyMemory(entry + addressSize, name, titleSize);
    }
    TVINSERTSTRUCTA insert = {};
    insert.hParent = static_cast<HTREEITEM>(parent);
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<LPSTR>(name);
    insert.item.iImage = entry ? IMAGE_BOOKMARK : IMAGE_FOLDER_CLOSED;
    insert.item.iSelectedImage = entry ? IMAGE_BOOKMARK : IMAGE_FOLDER_OPEN;
    insert.item.lParam = reinterpret_cast<LPARAM>(entry);
    HTREEITEM item =
        reinterpret_cast<HTREEITEM>(SendMessageA(picker->tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!item && entry)
        delete[] entry; /* no item owns it */
    if (item)
        ++count;
    return item;
}

static void DropFromTree(void *context, void *folder)
{
    SendMessageA(static_cast<Picker *>(context)->tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(folder));
}

static void SetTreeImages(HWND tree)
{
    static constexpr WORD Bitmaps[] = {BMP_BOOKMARK, BMP_FOLDEROPEN, BMP_FOLDERCLOSED};
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
    SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

static const BookmarkEntry *SelectedEntry(HWND tree)
{
    TVITEMA item = {};
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item.hItem)
        return nullptr;
    item.mask = TVIF_HANDLE | TVIF_PARAM;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<const BookmarkEntry *>(item.lParam);
}

static bool OnInitDialog(HWND dialog, Picker *picker)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(picker));
    SetDialogIcon(dialog);
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    picker->tree = GetDlgItem(dialog, IDC_BOOKMARK_TREE);
    SetTreeImages(picker->tree);
    /* The tree lays itself out once, not after each of many thousand items. */
    SendMessageA(picker->tree, WM_SETREDRAW, FALSE, 0);
    ReadBookmarkSources(ReadBrowserChoice(), {AddToTree, DropFromTree, picker}, TVI_ROOT);
    SendMessageA(picker->tree, WM_SETREDRAW, TRUE, 0);
    return true;
}

/* "From File...": an exported bookmark file, added as one more top folder
 * named by the file, opened and selected. */
static void OnFromFile(HWND dialog)
{
    char path[MAX_PATH] = "";
    OPENFILENAMEA open;
    InitOpenFile(&open, dialog, "Bookmark files (*.htm;*.html)\0*.htm;*.html\0All files (*.*)\0*.*\0",
                 "Add Bookmarks From File", path, sizeof path,
                 OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR);
    if (!GetOpenFileNameA(&open))
        return;
    Picker *picker = reinterpret_cast<Picker *>(GetWindowLongPtrA(dialog, DWLP_USER));
    SendMessageA(picker->tree, WM_SETREDRAW, FALSE, 0);
    HTREEITEM folder = static_cast<HTREEITEM>(
        ReadChosenBookmarkFile(path, path + open.nFileOffset, {AddToTree, DropFromTree, picker}, TVI_ROOT));
    SendMessageA(picker->tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(picker->tree, nullptr, TRUE);
    if (!folder) {
        MessageBoxA(dialog, "This file holds no bookmarks that Springdeck can use.", APP_CAPTION, MB_ICONINFORMATION);
        return;
    }
    SendMessageA(picker->tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
    SendMessageA(picker->tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(folder));
    SendMessageA(picker->tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(folder));
    SetFocus(picker->tree);
}

/* True when the notification was the tree's and handled. */
static bool OnTreeNotify(HWND dialog, const NMHDR *header)
{
    if (header->idFrom != IDC_BOOKMARK_TREE)
        return false;
    /* The ANSI and the Unicode forms carry the lParam at the same place. */
    const NMTREEVIEWA *change = reinterpret_cast<const NMTREEVIEWA *>(header);
    switch (header->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
        const BookmarkEntry *entry = reinterpret_cast<const BookmarkEntry *>(change->itemNew.lParam);
        EnableWindow(GetDlgItem(dialog, IDOK), entry != nullptr);
        SetDlgItemTextA(dialog, IDC_BOOKMARK_ADDRESS, entry ? entry : "");
        return true;
    }
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW:
        if (change->itemOld.lParam)
            delete[] reinterpret_cast<BookmarkEntry *>(change->itemOld.lParam);
        return true;
    }
    return false;
}

static void OnOk(HWND dialog)
{
    const Picker *picker = reinterpret_cast<const Picker *>(GetWindowLongPtrA(dialog, DWLP_USER));
    const BookmarkEntry *entry = SelectedEntry(picker->tree);
    if (entry)
        WriteKeyAssignment(picker->keyId, entry, entry, EntryTitle(entry), "", 0);
    EndDialog(dialog, IDOK);
}

/* The tree would delete its items only after this dialog is gone; delete
 * them now so that every entry is freed while the dialog still hears of it,
 * then free the image list, which the tree does not own. */
static void OnDestroy(HWND dialog)
{
    HWND tree = GetDlgItem(dialog, IDC_BOOKMARK_TREE);
    SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0));
    if (images)
        ImageList_Destroy(images);
}

static INT_PTR CALLBACK BookmarkDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, reinterpret_cast<Picker *>(lParam));
    case WM_NOTIFY:
        return OnTreeNotify(dialog, reinterpret_cast<const NMHDR *>(lParam));
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOk(dialog);
            return TRUE;
        case IDC_BOOKMARK_FROM_FILE:
            OnFromFile(dialog);
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
    Picker picker = {keyId, nullptr, 0, 0};
    return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(DLG_BOOKMARK), owner, BookmarkDialog,
                           reinterpret_cast<LPARAM>(&picker));
}
