/* Dial-Up Networking connections, reached through the shell's folder of that
 * name inside My Computer. A connection is found by its display name and
 * opened with its default verb, which starts dialling; the connection
 * picker lists the same names. Any shell call that fails ends the walk
 * quietly: a missing folder simply has no connections. */
#include "launch/launch_internal.h"

#include <cstring>

/* My Computer, then the Dial-Up Networking folder inside it. */
constexpr WCHAR DialUpFolderName[] =
    L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{992CFFA0-F557-101A-88EC-00DD010CCC48}";

static USHORT ItemSize(const BYTE *p) { return reinterpret_cast<LPCITEMIDLIST>(p)->mkid.cb; }

UINT IdListSize(LPCITEMIDLIST list)
{
    UINT size = sizeof(USHORT);
    if (!list)
        return size;
    for (const BYTE *p = reinterpret_cast<const BYTE *>(list); ItemSize(p); p += ItemSize(p))
        size += ItemSize(p);
    return size;
}

LPITEMIDLIST JoinIdLists(IMalloc *allocator, LPCITEMIDLIST folder, LPCITEMIDLIST item)
{
    UINT folderSize = IdListSize(folder) - sizeof(USHORT);
    UINT itemSize = IdListSize(item);
    BYTE *joined = static_cast<BYTE *>(allocator->Alloc(folderSize + itemSize));
    if (!joined)
        return nullptr;
    memset(joined, 0, folderSize + itemSize);
    if (folder)
        memcpy(joined, folder, folderSize);
    if (item)
        memcpy(joined + folderSize, item, itemSize);
    return reinterpret_cast<LPITEMIDLIST>(joined);
}

bool StrRetToText(STRRET *name, LPCITEMIDLIST item, char *text, UINT capacity)
{
    if (capacity == 0)
        return false;
    text[0] = '\0';
    switch (name->uType) {
    case STRRET_WSTR: {
        /* The whole name or nothing: a cut name would match a different
         * connection, or none. */
        int length = name->pOleStr ? WideCharToMultiByte(CP_ACP, 0, name->pOleStr, -1, text, static_cast<int>(capacity),
                                                         nullptr, nullptr)
                                   : 0;
        CoTaskMemFree(name->pOleStr);
        name->pOleStr = nullptr;
        if (length == 0)
            text[0] = '\0';
        return length > 0;
    }
    case STRRET_OFFSET: {
        /* The text lies inside the item; it must end there too. */
        if (!item || name->uOffset >= item->mkid.cb)
            return false;
        const char *start = reinterpret_cast<const char *>(item) + name->uOffset;
        size_t room = item->mkid.cb - name->uOffset;
        size_t length = strnlen(start, room);
        if (length == room || length >= capacity)
            return false;
        lstrcpynA(text, start, static_cast<int>(capacity));
        return true;
    }
    case STRRET_CSTR: {
        size_t length = strnlen(name->cStr, sizeof name->cStr);
        if (length == sizeof name->cStr || length >= capacity)
            return false;
        lstrcpynA(text, name->cStr, static_cast<int>(capacity));
        return true;
    }
    default:
        return false;
    }
}

/* Called for every item of the folder with its name (when it has one that
 * converts), its position in the enumeration and the folder's absolute id
 * list. Returns false to end the walk. */
using ConnectionVisitor = bool (*)(const char *name, ULONG position, LPCITEMIDLIST folderList, LPCITEMIDLIST item,
                                   void *context);

static void VisitConnections(ConnectionVisitor visit, void *context)
{
    constexpr int NAME_CAPACITY = 260;
    IShellFolder *desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop)
        return;

    WCHAR parsingName[sizeof DialUpFolderName / sizeof DialUpFolderName[0]];
    lstrcpynW(parsingName, DialUpFolderName, sizeof parsingName / sizeof parsingName[0]);
    LPITEMIDLIST folderList = nullptr;
    ULONG eaten = 0;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, parsingName, &eaten, &folderList, nullptr)) || !folderList) {
        desktop->Release();
        return;
    }

    IShellFolder *folder = nullptr;
    IEnumIDList *items = nullptr;
    if (SUCCEEDED(desktop->BindToObject(folderList, nullptr, IID_IShellFolder, reinterpret_cast<void **>(&folder))) &&
        folder && folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items) == S_OK && items) {
        LPITEMIDLIST item = nullptr;
        ULONG fetched = 0;
        for (ULONG position = 0; items->Next(1, &item, &fetched) == S_OK && fetched == 1 && item; ++position) {
            char name[NAME_CAPACITY];
            STRRET text = {};
            bool named = SUCCEEDED(folder->GetDisplayNameOf(item, SHGDN_NORMAL, &text)) &&
                         StrRetToText(&text, item, name, sizeof name);
            bool goOn = !named || visit(name, position, folderList, item, context);
            CoTaskMemFree(item);
            item = nullptr;
            if (!goOn)
                break;
        }
    }
    if (items)
        items->Release();
    if (folder)
        folder->Release();
    desktop->Release();
    CoTaskMemFree(folderList);
}

struct ConnectionSearch {
    const char *name;
    IMalloc *allocator;
    LPITEMIDLIST found;
};

static bool MatchConnection(const char *name, ULONG, LPCITEMIDLIST folderList, LPCITEMIDLIST item, void *context)
{
    ConnectionSearch *search = static_cast<ConnectionSearch *>(context);
    if (lstrcmpiA(name, search->name) != 0)
        return true;
    search->found = JoinIdLists(search->allocator, folderList, item);
    return false;
}

/* The connection's absolute item id list in the Dial-Up Networking folder,
 * from the given allocator (the caller frees it there), or null. Names match
 * without regard to case. */
static LPITEMIDLIST FindConnectionItem(const char *name, IMalloc *allocator)
{
    ConnectionSearch search = {name, allocator, nullptr};
    if (name && allocator)
        VisitConnections(MatchConnection, &search);
    return search.found;
}

/* The last item of an absolute id list, and its parent folder bound from
 * the desktop (the desktop itself for a one-item list). */
static IShellFolder *BindToParentFolder(LPCITEMIDLIST list, IMalloc *allocator, LPCITEMIDLIST *last)
{
    const BYTE *start = reinterpret_cast<const BYTE *>(list);
    const BYTE *lastItem = start;
    for (const BYTE *p = start; ItemSize(p); p += ItemSize(p))
        lastItem = p;
    *last = reinterpret_cast<LPCITEMIDLIST>(lastItem);
    if (!(*last)->mkid.cb)
        return nullptr;

    IShellFolder *desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop)
        return nullptr;
    if (lastItem == start)
        return desktop;
    IShellFolder *parent = nullptr;
    UINT parentSize = static_cast<UINT>(lastItem - start);
    BYTE *parentList = static_cast<BYTE *>(allocator->Alloc(parentSize + sizeof(USHORT)));
    if (parentList) {
        memset(parentList, 0, parentSize + sizeof(USHORT));
        memcpy(parentList, start, parentSize);
        if (FAILED(desktop->BindToObject(reinterpret_cast<LPCITEMIDLIST>(parentList), nullptr, IID_IShellFolder,
                                         reinterpret_cast<void **>(&parent))))
            parent = nullptr;
        allocator->Free(parentList);
    }
    desktop->Release();
    return parent;
}

/* Carries out the item's default command from its own context menu, as the
 * shell does for SEE_MASK_INVOKEIDLIST. Used when the shell could not open
 * the item itself (some shells run only file system paths). */
static void InvokeDefaultCommand(LPCITEMIDLIST list, IMalloc *allocator)
{
    constexpr UINT FIRST_COMMAND = 1;
    constexpr UINT LAST_COMMAND = 0x7FFF;
    LPCITEMIDLIST item = nullptr;
    IShellFolder *parent = BindToParentFolder(list, allocator, &item);
    if (!parent)
        return;
    IContextMenu *menu = nullptr;
    if (SUCCEEDED(
            parent->GetUIObjectOf(nullptr, 1, &item, IID_IContextMenu, nullptr, reinterpret_cast<void **>(&menu))) &&
        menu) {
        HMENU popup = CreatePopupMenu();
        if (popup && SUCCEEDED(menu->QueryContextMenu(popup, 0, FIRST_COMMAND, LAST_COMMAND, CMF_DEFAULTONLY))) {
            UINT command = GetMenuDefaultItem(popup, FALSE, 0);
            if (command != static_cast<UINT>(-1) && command >= FIRST_COMMAND && command <= LAST_COMMAND) {
                CMINVOKECOMMANDINFO invoke = {};
                invoke.cbSize = sizeof invoke;
                invoke.fMask = CMIC_MASK_FLAG_NO_UI;
                invoke.lpVerb = MAKEINTRESOURCEA(command - FIRST_COMMAND);
                invoke.nShow = SW_SHOWDEFAULT;
                menu->InvokeCommand(&invoke);
            }
        }
        if (popup)
            DestroyMenu(popup);
        menu->Release();
    }
    parent->Release();
}

int DialConnection(const char *name)
{
    IMalloc *allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator)
        return 0;
    LPITEMIDLIST item = FindConnectionItem(name, allocator);
    if (!item) {
        allocator->Release();
        return 0;
    }
    SHELLEXECUTEINFOA execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
    execute.lpIDList = item;
    execute.nShow = SW_SHOWDEFAULT;
    if (!ShellExecuteExA(&execute))
        InvokeDefaultCommand(item, allocator);
    allocator->Free(item);
    allocator->Release();
    return 1;
}

struct ConnectionReport {
    ConnectionCallback callback;
    LPARAM userValue;
};

static bool ReportConnection(const char *name, ULONG position, LPCITEMIDLIST, LPCITEMIDLIST, void *context)
{
    /* The folder's first item is its "make a new connection" wizard, not a
     * connection. */
    if (position == 0)
        return true;
    ConnectionReport *report = static_cast<ConnectionReport *>(context);
    return report->callback(name, report->userValue) != 0;
}

void EnumConnections(ConnectionCallback callback, LPARAM userValue)
{
    ConnectionReport report = {callback, userValue};
    if (callback)
        VisitConnections(ReportConnection, &report);
}
