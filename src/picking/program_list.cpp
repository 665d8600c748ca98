/* The Start Menu program list: the entries of the program assignment dialog.
 * The top level of the Start Menu's Programs folders is read once at start-up
 * into the StartMenuCache (resolving every shortcut through COM is slow);
 * folders below it are read whenever the user opens one. Only folders and
 * entries that lead to an executable program are listed.
 *
 * Since Windows NT 4 most programs are installed for all users, into the
 * all-users Start Menu, which the Start Menu shows merged with the user's own:
 * so does this list. A folder of either is listed together with the folder
 * at the same place in the other; a name both have is listed once, the
 * user's. Windows 95 has no all-users Start Menu; there only the user's is
 * read.
 *
 * A value longer than its 255-character field leaves the entry out rather
 * than being cut: a cut path or argument list would name something else.
 * Display names, which are just shown, are cut to fit; an icon path, which
 * only chooses the picture, is left empty. */
#include "core/core.h"
#include "launch/launch.h"
#include "picking/picking_internal.h"
#include "resource.h"
#include "settings/settings.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <new>
#include <string>

constexpr size_t PROGRAMS_CAPACITY = 272; /* holds a Start Menu path of 255 characters and "\Programs" */

/* Written once, by BuildStartMenuCache on the main thread as the main window is created (WM_CREATE). */
static struct {
    ProgramListItem *cache = nullptr;      /* the depth-0 entries, newest first (the list box sorts them) */
    char user[PROGRAMS_CAPACITY] = "";     /* the Programs folders of the two Start Menus, */
    char allUsers[PROGRAMS_CAPACITY] = ""; /* the all-users' one empty where there is none */
} StartMenu;

constexpr char TopLevelHeader[] =
    "Program and Folders on your Start Menu\r\n(double-click a folder to see its contents):";

static bool CopyWhole(char *field, const char *text)
{
    size_t length = strlen(text);
    if (length >= PROGRAM_TEXT_CAPACITY)
        return false;
    memcpy(field, text, length + 1);
    return true;
}

HICON LoadSmallIcon(WORD resource)
{
    return static_cast<HICON>(LoadImageA(AppInstance, MAKEINTRESOURCEA(resource), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
}

ProgramListItem *NewProgramListItem()
{
    /* Value-initialised: every field the entry does not set is empty or 0. */
    return new (std::nothrow) ProgramListItem();
}

static void FreeProgramListItem(ProgramListItem *item)
{
    if (!item)
        return;
    if (item->icon)
        DestroyIcon(item->icon);
    delete item;
}

/* A path ending in ".." is cut at the backslash before its trailing "\..",
 * so that it names the parent of the folder being listed. The search starts
 * at the fourth character from the end and never goes before the start. */
static void CutGoBackPath(char *path)
{
    int length = static_cast<int>(strlen(path));
    for (int i = length - 4; i >= 0; --i) {
        if (path[i] == '\\') {
            path[i] = '\0';
            return;
        }
    }
}

static bool EndsWith(const char *text, const char *tail)
{
    size_t length = strlen(text), tailLength = strlen(tail);
    return length >= tailLength && lstrcmpiA(text + length - tailLength, tail) == 0;
}

/* One entry for a file or folder, or the Go Back entry for a path ending in
 * ".."; none for what leads to no program. */
static ProgramListItem *ReadProgramListItem(const char *path, int depth)
{
    ProgramListItem *item = NewProgramListItem();
    if (!item)
        return nullptr;
    char fullPath[2 * MAX_PATH];
    lstrcpynA(fullPath, path, sizeof fullPath);
    size_t length = strlen(fullPath);
    bool goBack = length >= 2 && strcmp(fullPath + length - 2, "..") == 0;
    if (goBack)
        CutGoBackPath(fullPath);
    if (!CopyWhole(item->path, fullPath)) {
        FreeProgramListItem(item);
        return nullptr;
    }

    if (goBack) {
        lstrcpynA(item->displayName, "Go Back", sizeof item->displayName);
        item->icon = LoadSmallIcon(ICO_UPDIR);
        item->isFolder = true;
        item->isGoBack = true;
    } else {
        SHFILEINFOA info = {};
        if (!SHGetFileInfoA(item->path, 0, &info, sizeof info, SHGFI_DISPLAYNAME | SHGFI_ATTRIBUTES)) {
            FreeProgramListItem(item);
            return nullptr;
        }
        lstrcpynA(item->displayName, info.szDisplayName, sizeof item->displayName);
        if (info.dwAttributes & SFGAO_FOLDER) {
            item->isFolder = true;
        } else if (!ResolveShortcut(item) || !SHGetFileInfoA(item->target, 0, nullptr, 0, SHGFI_EXETYPE)) {
            FreeProgramListItem(item);
            return nullptr;
        }
        info = {};
        if (SHGetFileInfoA(item->path, 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON))
            item->icon = info.hIcon;
    }
    item->depth = depth;
    return item;
}

/* The length of root when path is root or lies below it, else 0. */
static size_t LengthBelow(const char *path, const char *root)
{
    size_t length = strlen(root);
    if (length == 0 || strncmp(path, root, length) != 0)
        return 0;
    return path[length] == '\0' || path[length] == '\\' ? length : 0;
}

/* The folder at the same place in the user's and in the all-users' Programs
 * folder; the other one is empty when the folder lies in neither or there is
 * no all-users Start Menu. */
static void FindBothFolders(const char *folder, char *user, char *allUsers, size_t capacity)
{
    lstrcpynA(user, folder, static_cast<int>(capacity));
    allUsers[0] = '\0';
    if (!StartMenu.allUsers[0])
        return;
    size_t below;
    if ((below = LengthBelow(folder, StartMenu.user)) != 0) {
        if (static_cast<size_t>(snprintf(allUsers, capacity, "%s%s", StartMenu.allUsers, folder + below)) >= capacity)
            allUsers[0] = '\0';
    } else if ((below = LengthBelow(folder, StartMenu.allUsers)) != 0) {
        if (static_cast<size_t>(snprintf(user, capacity, "%s%s", StartMenu.user, folder + below)) >= capacity)
            user[0] = '\0';
        lstrcpynA(allUsers, folder, static_cast<int>(capacity));
    }
}

/* The entries read from a folder, by file name in capitals: Windows matches
 * file names without regard to case, and so does the merging of the two
 * Start Menus. */
using FolderEntries = std::map<std::string, ProgramListItem *>;

/* Adds the folder's entries to those read so far; a name already there (the
 * user's, when this is the all-users' folder) is not read again. */
static void ReadFolderEntries(const char *folder, int depth, FolderEntries &entries)
{
    char pattern[MAX_PATH];
    if (!folder[0] || static_cast<size_t>(snprintf(pattern, sizeof pattern, "%s\\*.*", folder)) >= sizeof pattern)
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    char path[2 * MAX_PATH];
    do {
        if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0)
            continue;
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            continue;
        std::string name = found.cFileName;
        CharUpperBuffA(&name[0], static_cast<DWORD>(name.size()));
        if (entries.count(name) ||
            static_cast<size_t>(snprintf(path, sizeof path, "%s\\%s", folder, found.cFileName)) >= sizeof path)
            continue;
        if (ProgramListItem *item = ReadProgramListItem(path, depth))
            entries[name] = item;
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

/* Reads the folder at the same place in both Start Menus, merged. */
static void ReadMergedFolder(const char *folder, int depth, FolderEntries &entries)
{
    char user[2 * MAX_PATH], allUsers[2 * MAX_PATH];
    FindBothFolders(folder, user, allUsers, sizeof user);
    ReadFolderEntries(user, depth, entries);
    ReadFolderEntries(allUsers, depth, entries);
}

static void SetListingHeader(HWND list, const char *folder, int depth)
{
    HWND dialog = GetParent(list);
    if (depth == 0) {
        SetDlgItemTextA(dialog, IDC_PROGRAM_HEADER, TopLevelHeader);
        return;
    }
    char title[MAX_PATH] = "";
    if (GetFileTitleA(folder, title, sizeof title) != 0)
        title[0] = '\0';
    title[FOLDER_TITLE_LENGTH] = '\0';
    char header[FOLDER_TITLE_LENGTH + 64];
    snprintf(header, sizeof header, "\r\nPrograms in your %s folder:\r\n", title); // NOLINT(cert-err33-c): fits
    SetDlgItemTextA(dialog, IDC_PROGRAM_HEADER, header);
}

void FillProgramList(HWND list, const char *folder, int depth)
{
    ClearProgramList(list);
    SetListingHeader(list, folder, depth);
    if (depth == 0) {
        /* The cache's entries stay the cache's, which lives until the program ends. */
        for (ProgramListItem *item = StartMenu.cache; item; item = item->next)
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        return;
    }
    char path[2 * MAX_PATH];
    snprintf(path, sizeof path, "%s\\..", folder); // NOLINT(cert-err33-c): an entry's path fits twice over
    MakeProgramListItem(list, path, depth);

    FolderEntries entries;
    ReadMergedFolder(folder, depth, entries);
    for (FolderEntries::value_type &entry : entries)
        AddProgramListItem(list, entry.second);
}

void MakeProgramListItem(HWND list, const char *path, int depth)
{
    if (ProgramListItem *item = ReadProgramListItem(path, depth))
        AddProgramListItem(list, item);
}

bool ResolveShortcut(ProgramListItem *item)
{
    if (!EndsWith(item->path, ".lnk")) {
        lstrcpynA(item->target, item->path, sizeof item->target);
        return true;
    }
    item->target[0] = '\0';
    item->arguments[0] = '\0';

    /* The shell's buffers are larger than our fields, so that a value too
     * long for a field is seen whole and the entry left out. */
    constexpr int SHELL_TEXT_CAPACITY = 1024;
    bool fits = true;
    bool loaded = false;
    IShellLinkA *link = nullptr;
    IPersistFile *file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void **>(&link))) &&
        link && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))) && file) {
        WCHAR widePath[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, item->path, -1, widePath, MAX_PATH) > 0 &&
            SUCCEEDED(file->Load(widePath, STGM_READ))) {
            loaded = true;
            char text[SHELL_TEXT_CAPACITY];
            bool resolved = SUCCEEDED(link->Resolve(nullptr, SLR_NO_UI | SLR_ANY_MATCH));
            bool readOn = true;
            if (resolved) {
                text[0] = '\0';
                if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_SHORTPATH))) {
                    /* Not every shell link honours SLGP_SHORTPATH; the short
                     * form is what running copies are matched by. */
                    char shortPath[MAX_PATH];
                    DWORD length = GetShortPathNameA(text, shortPath, sizeof shortPath);
                    fits = CopyWhole(item->target, length > 0 && length < sizeof shortPath ? shortPath : text);
                } else {
                    readOn = false; /* no target: the entry is not a program */
                }
            }
            if (readOn && fits) {
                text[0] = '\0';
                if (SUCCEEDED(link->GetArguments(text, sizeof text)))
                    fits = CopyWhole(item->arguments, text);
                int index = 0;
                text[0] = '\0';
                if (fits && SUCCEEDED(link->GetIconLocation(text, sizeof text, &index))) {
                    /* The icon is only the entry's picture: without it the
                     * key shows the program's own icon. */
                    if (CopyWhole(item->iconPath, text))
                        item->iconIndex = index;
                    else
                        item->iconPath[0] = '\0';
                }
            }
        }
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    if (!loaded) {
        lstrcpynA(item->target, item->path, sizeof item->target);
        item->iconPath[0] = '\0';
    }
    return fits;
}

/* Room left of the text: 16 pixels with an icon, 2 without. */
static void SetIconMetrics(ProgramListItem *item)
{
    item->iconWidth = item->icon ? 16 : 2;
    item->iconHeight = 16;
    item->next = nullptr;
}

void AddProgramListItem(HWND list, ProgramListItem *item)
{
    SetIconMetrics(item);
    LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    if (index == LB_ERR || index == LB_ERRSPACE)
        FreeProgramListItem(item);
}

void ClearProgramList(HWND list)
{
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT data = SendMessageA(list, LB_GETITEMDATA, i, 0);
        ProgramListItem *item = reinterpret_cast<ProgramListItem *>(data);
        if (data != LB_ERR && item && item->depth != 0)
            FreeProgramListItem(item);
    }
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

/* ---- the StartMenuCache ---------------------------------------------------- */

static void AddToStartMenuCache(ProgramListItem *item)
{
    if (!item)
        return;
    SetIconMetrics(item);
    item->next = StartMenu.cache;
    StartMenu.cache = item;
}

/* The "Dial-Up Networking" entry that leads to the connection listing. */
static ProgramListItem *NewDialUpEntry()
{
    ProgramListItem *item = NewProgramListItem();
    if (!item)
        return nullptr;
    lstrcpynA(item->path, ConnectionCommandLine, sizeof item->path);
    lstrcpynA(item->displayName, "Dial-Up Networking", sizeof item->displayName);
    item->icon = LoadSmallIcon(ICO_CONNECT);
    item->isConnection = true;
    item->isFolder = true;
    return item;
}

void BuildStartMenuCache()
{
    constexpr size_t START_MENU_CAPACITY = 256;
    if (StartMenu.cache)
        return;
    char startMenu[START_MENU_CAPACITY];
    if (!ReadRegistryString(HKEY_CURRENT_USER, ShellFoldersKey, "Start Menu", startMenu, sizeof startMenu))
        return;
    /* The all-users Programs folder is found as the user's is, below its
     * Start Menu; where it is the user's own folder, it is read once. */
    char allUsersMenu[START_MENU_CAPACITY];
    ReadRegistryString(HKEY_LOCAL_MACHINE, ShellFoldersKey, "Common Start Menu", allUsersMenu, sizeof allUsersMenu);
    snprintf(StartMenu.user, PROGRAMS_CAPACITY, "%s\\Programs", startMenu); // NOLINT(cert-err33-c): fits
    StartMenu.allUsers[0] = '\0';
    if (allUsersMenu[0] && lstrcmpiA(allUsersMenu, startMenu) != 0)
        snprintf(StartMenu.allUsers, PROGRAMS_CAPACITY, "%s\\Programs", allUsersMenu); // NOLINT(cert-err33-c): fits

    AddToStartMenuCache(NewDialUpEntry());
    FolderEntries entries;
    ReadMergedFolder(StartMenu.user, 0, entries);
    for (FolderEntries::value_type &entry : entries)
        AddToStartMenuCache(entry.second);
}

int CompareProgramListItems(const ProgramListItem *first, const ProgramListItem *second)
{
    if (first->isGoBack != second->isGoBack)
        return second->isGoBack - first->isGoBack;
    if (first->isFolder != second->isFolder)
        return first->isFolder - second->isFolder;
    if (first->isConnection != second->isConnection)
        return first->isConnection - second->isConnection;
    return lstrcmpA(first->displayName, second->displayName);
}
