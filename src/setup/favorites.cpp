/* Internet Explorer's favorites: a folder tree of Internet shortcut (.url)
 * files. Within each folder the subfolders come first, each followed by its
 * own contents, then the shortcuts, all in the order the file system lists
 * them. Paths are built in 256-byte buffers; an entry whose path would not
 * fit is skipped.
 *
 * Junctions and folder links could lead the walk back to a folder it is in,
 * again and again: folders that are reparse points are left out, and so is a
 * folder already on the way down (the same volume and file index; some file
 * systems give every folder index 0, which tells nothing). Folders deeper
 * than BOOKMARK_MAX_DEPTH levels show, empty. */
#include "launch/launch.h"
#include "setup/setup_internal.h"

#include <commdlg.h>

#include <cstdio>
#include <string>

constexpr size_t PATH_CAPACITY = 256;

/* A folder as the file system knows it, whatever the path it is reached by. */
struct FolderId {
    DWORD volume, indexHigh, indexLow;
};

struct FolderWalk {
    BookmarkCallback callback;
    void *context;
    FolderId path[BOOKMARK_MAX_DEPTH]; /* the folders being read, outermost first */
    int depth;
    int bookmarks, folders;
};

bool JoinPath(char *path, size_t capacity, const char *folder, const char *name)
{
    int n = snprintf(path, capacity, "%s\\%s", folder, name);
    return n > 0 && static_cast<size_t>(n) < capacity;
}

bool IsDotEntry(const char *name) { return lstrcmpA(name, ".") == 0 || lstrcmpA(name, "..") == 0; }

static bool Done(const FolderWalk *walk)
{
    return walk->bookmarks >= BOOKMARK_MAX_COUNT || walk->folders >= BOOKMARK_MAX_COUNT;
}

/* Written only by SetFileInformationReader, which unit tests call before and after they read. */
static FileInformationReader ReadFileInformation = GetFileInformationByHandle;

void SetFileInformationReader(FileInformationReader reader)
{
    ReadFileInformation = reader ? reader : GetFileInformationByHandle;
}

/* False when the system cannot tell (Windows 95 opens no folder as a file;
 * a file index of 0 is no identity). */
static bool ReadFolderId(const char *folder, FolderId *id)
{
    HANDLE handle = CreateFileA(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool known = ReadFileInformation(handle, &info);
    CloseHandle(handle);
    if (!known || (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0))
        return false;
    *id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

static bool IsOnPath(const FolderWalk *walk, const FolderId &id)
{
    for (int i = 0; i < walk->depth; ++i)
        if (walk->path[i].volume == id.volume && walk->path[i].indexHigh == id.indexHigh &&
            walk->path[i].indexLow == id.indexLow)
            return true;
    return false;
}

static void ReadShortcuts(FolderWalk *walk, const char *folder, void *parent)
{
    char pattern[PATH_CAPACITY], path[PATH_CAPACITY];
    char address[BOOKMARK_TEXT_LENGTH + 1], title[BOOKMARK_TEXT_LENGTH + 1];
    if (!JoinPath(pattern, folder, "*.url"))
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !JoinPath(path, folder, found.cFileName))
            continue;
        ReadInternetShortcut(path, address, sizeof address);
        /* Only what a key opens as a web address; a cut one would open
         * another page, so ReadInternetShortcut gives none. */
        if (!address[0] || !LowerWebScheme(address))
            continue;
        /* The name as Explorer shows it, with or without ".url" as the user
         * has chosen. */
        if (GetFileTitleA(found.cFileName, title, sizeof title) != 0)
            lstrcpynA(title, found.cFileName, sizeof title);
        walk->callback(walk->context, parent, title, address);
        ++walk->bookmarks;
    } while (!Done(walk) && FindNextFileA(search, &found));
    FindClose(search);
}

static void ReadFolder(FolderWalk *walk, const char *folder, void *parent)
{
    char pattern[PATH_CAPACITY], path[PATH_CAPACITY];
    if (!JoinPath(pattern, folder, "*.*"))
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(found.cFileName) ||
                (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || !JoinPath(path, folder, found.cFileName))
                continue;
            /* Where the system cannot tell a folder's identity, the depth and
             * path bounds still end any loop. */
            FolderId id = {0, 0, 0};
            if (ReadFolderId(path, &id) && IsOnPath(walk, id))
                continue;
            void *item = walk->callback(walk->context, parent, found.cFileName, nullptr);
            ++walk->folders;
            /* Deeper folders show, empty. */
            if (item && walk->depth < BOOKMARK_MAX_DEPTH) {
                walk->path[walk->depth++] = id;
                ReadFolder(walk, path, item);
                --walk->depth;
            }
        } while (!Done(walk) && FindNextFileA(search, &found));
        FindClose(search);
    }
    if (!Done(walk))
        ReadShortcuts(walk, folder, parent);
}

void ReadInternetShortcut(const char *path, char *address, DWORD capacity)
{
    /* One byte more than the caller's buffer tells a value that fits from
     * one that was cut. */
    std::string value(capacity + 1, '\0');
    DWORD length = GetPrivateProfileStringA("InternetShortcut", "URL", "", &value[0], capacity + 1, path);
    if (capacity == 0)
        return;
    if (length >= capacity)
        length = 0;
    memcpy(address, value.data(), length);
    address[length] = '\0';
}

void ReadFavoritesFolder(const char *folder, void *root, BookmarkCallback callback, void *context)
{
    /* An empty name would scan the root of the current drive. */
    if (!folder[0])
        return;
    /* The root's identity stays zero where the system cannot tell it. */
    FolderWalk walk = {callback, context, {}, 1, 0, 0};
    ReadFolderId(folder, &walk.path[0]);
    ReadFolder(&walk, folder, root);
}
