/* Internet Explorer's favorites: a folder tree of Internet shortcut (.url)
 * files. Within each folder the subfolders come first, each followed by its
 * own contents, then the shortcuts, all in the order the file system lists
 * them. Paths are built in 256-byte buffers; an entry whose path would not
 * fit is skipped, which also ends any loop of folder links. */
#include "setup/setup.h"

#include <commdlg.h>

#include <cstdio>

namespace {

enum { PATH_CAPACITY = 256 };

/* folder\name, or false when it does not fit. */
bool JoinPath(char (&path)[PATH_CAPACITY], const char *folder, const char *name)
{
    int n = snprintf(path, sizeof path, "%s\\%s", folder, name);
    return n > 0 && n < (int)sizeof path;
}

bool IsDotEntry(const char *name)
{
    return lstrcmpA(name, ".") == 0 || lstrcmpA(name, "..") == 0;
}

void ReadShortcuts(const char *folder, void *parent, BookmarkCallback callback, void *context)
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
        if (!address[0])
            continue;
        /* The name as Explorer shows it, with or without ".url" as the user
         * has chosen. */
        if (GetFileTitleA(found.cFileName, title, sizeof title) != 0)
            lstrcpynA(title, found.cFileName, sizeof title);
        callback(context, parent, title, address);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void ReadFolder(const char *folder, void *parent, BookmarkCallback callback, void *context)
{
    char pattern[PATH_CAPACITY], path[PATH_CAPACITY];
    if (!JoinPath(pattern, folder, "*.*"))
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(found.cFileName) ||
                !JoinPath(path, folder, found.cFileName))
                continue;
            void *item = callback(context, parent, found.cFileName, nullptr);
            if (item)
                ReadFolder(path, item, callback, context);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    ReadShortcuts(folder, parent, callback, context);
}

}  // namespace

void ReadInternetShortcut(const char *path, char *address, DWORD capacity)
{
    GetPrivateProfileStringA("InternetShortcut", "URL", "", address, capacity, path);
}

void ReadFavoritesFolder(const char *folder, void *root, BookmarkCallback callback, void *context)
{
    /* An empty name would scan the root of the current drive. */
    if (folder[0])
        ReadFolder(folder, root, callback, context);
}
