/* Where the bookmark picker finds bookmarks: one row per place a browser
 * keeps them. Navigator's bookmark file and Internet Explorer's favorites
 * come first; the chosen browser's show at the tree's top level as they
 * always have, everything else in top folders named after the browser (one
 * per profile where a browser has several), each left out when it holds no
 * bookmark. Adding a browser is adding a row.
 *
 * The browsers may be running: their files are opened for reading with
 * every kind of sharing, and nothing is written, locked or copied in their
 * folders. A file is read into memory of its own size, up to a bound. */
#include "core/core.h"
#include "launch/launch.h"
#include "setup/setup_internal.h"

#include <shlobj.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

/* Paths of the browsers' files; those named in the registry and in win.ini
 * are read into NAMED_PATH_CAPACITY bytes, as they always were. */
constexpr size_t PATH_CAPACITY = MAX_PATH, NAMED_PATH_CAPACITY = 256;

/* Larger files are no bookmarks a user keeps (the Firefox reader bounds what
 * a backup decompresses to on its own). */
constexpr DWORD FILE_LIMIT = 256u << 20;

/* The sections of a profiles.ini; more are left out. */
constexpr DWORD SECTIONS_CAPACITY = 32768;

/* ---- known folders --------------------------------------------------------------- */

using FolderPathFunction = HRESULT(WINAPI *)(HWND owner, int csidl, HANDLE token, DWORD flags, LPSTR path);

static bool CallFolderPath(const char *library, int csidl, char (&path)[PATH_CAPACITY])
{
    HMODULE module = LoadSystemLibrary(library);
    if (!module)
        return false;
    FolderPathFunction folderPath = ProcAddress<FolderPathFunction>(module, "SHGetFolderPathA");
    bool found = folderPath && folderPath(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK && path[0];
    FreeLibrary(module);
    return found;
}

/* The user's local or roaming application data folder: through the shell
 * where it has SHGetFolderPathA, else through shfolder.dll (which Internet
 * Explorer brought to older systems), else as "Shell Folders" names it. */
static bool KnownFolderPath(int csidl, char (&path)[PATH_CAPACITY])
{
    if (CallFolderPath("shell32.dll", csidl, path) || CallFolderPath("shfolder.dll", csidl, path))
        return true;
    const char *value = csidl == CSIDL_LOCAL_APPDATA ? "Local AppData" : "AppData";
    return ReadRegistryString(HKEY_CURRENT_USER, ShellFoldersKey, value, path, sizeof path) && path[0];
}

/* ---- files ----------------------------------------------------------------------- */

struct FileBytes {
    std::unique_ptr<char[]> bytes;
    DWORD size = 0;
};

/* The whole file, when it is at most FILE_LIMIT bytes and memory is there. */
static bool ReadWholeFile(const char *path, FileBytes *file)
{
    file->bytes.reset();
    file->size = 0;
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    /* Windows 95 and 98 know no delete sharing and refuse the flag. */
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
        handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0, size = GetFileSize(handle, &high);
    bool whole = size != INVALID_FILE_SIZE && high == 0 && size <= FILE_LIMIT;
    if (whole)
        file->bytes.reset(new (std::nothrow) char[size ? size : 1]);
    /* A file the browser shortens meanwhile gives what it still holds. */
    DWORD got = 0;
    while (file->bytes && file->size < size &&
           ReadFile(handle, file->bytes.get() + file->size, size - file->size, &got, nullptr) && got)
        file->size += got;
    CloseHandle(handle);
    return file->bytes != nullptr;
}

/* ---- top folders ----------------------------------------------------------------- */

/* A top folder being filled: it counts the bookmarks that land under it. */
struct TopFolder {
    const BookmarkSink *sink;
    void *folder;
    int bookmarks;
};

static void *AddCounted(void *context, void *parent, const char *name, const char *address)
{
    TopFolder *top = static_cast<TopFolder *>(context);
    void *item = top->sink->add(top->sink->context, parent, name, address);
    if (item && address)
        ++top->bookmarks;
    return item;
}

/* Adds the folder under root; false when it could not be added. */
static bool BeginTopFolder(TopFolder *top, const BookmarkSink &sink, void *root, const char *name)
{
    *top = {&sink, sink.add(sink.context, root, name, nullptr), 0};
    return top->folder != nullptr;
}

/* Removes the folder again when no bookmark landed under it; the folder, or
 * null. */
static void *EndTopFolder(TopFolder *top)
{
    if (top->bookmarks)
        return top->folder;
    top->sink->drop(top->sink->context, top->folder);
    return nullptr;
}

using BytesReader = void (*)(const char *bytes, size_t size, void *root, BookmarkCallback callback, void *context);

/* The file, read by the reader, as a top folder of that name. */
static void ReadFileAsFolder(const char *path, BytesReader reader, const char *name, const BookmarkSink &sink,
                             void *root)
{
    FileBytes file;
    TopFolder top;
    if (!ReadWholeFile(path, &file) || !BeginTopFolder(&top, sink, root, name))
        return;
    reader(file.bytes.get(), file.size, top.folder, AddCounted, &top);
    EndTopFolder(&top);
}

/* The browser's name alone for its only profile, else "Browser – Profile"
 * (an en dash where the ANSI code page has one). */
static std::string ProfileFolderName(const char *browser, const std::string &profile, bool several)
{
    if (!several)
        return browser;
    char dash[4];
    int length = CodePointToCodePage(0x2013, GetACP(), dash);
    if (length == 1 && dash[0] == '?')
        dash[0] = '-';
    std::string name = std::string(browser) + " " + std::string(dash, static_cast<size_t>(length)) + " " + profile;
    return name.substr(0, BOOKMARK_TEXT_LENGTH);
}

/* ---- Chromium family ------------------------------------------------------------- */

struct Profile {
    std::string folder, name;
};

static void AddProfile(void *context, const char *folder, const char *name)
{
    static_cast<std::vector<Profile> *>(context)->push_back({folder, name[0] ? name : folder});
}

/* The profiles "Local State" lists; without it, every folder holding a
 * "Bookmarks" file, named by its folder. */
static std::vector<Profile> ChromiumProfiles(const char *place)
{
    std::vector<Profile> profiles;
    char path[PATH_CAPACITY];
    FileBytes state;
    if (JoinPath(path, place, "Local State") && ReadWholeFile(path, &state))
        ReadChromiumProfiles(state.bytes.get(), state.size, AddProfile, &profiles);
    if (!profiles.empty() || !JoinPath(path, place, "*.*"))
        return profiles;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return profiles;
    do {
        char folder[PATH_CAPACITY], bookmarks[PATH_CAPACITY];
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(found.cFileName) &&
            JoinPath(folder, place, found.cFileName) && JoinPath(bookmarks, folder, "Bookmarks") && IsFile(bookmarks))
            profiles.push_back({found.cFileName, found.cFileName});
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return profiles;
}

/* A browser whose place holds its profile folders. */
static void ReadChromiumUserData(const BookmarkSource &source, const char *place, const BookmarkSink &sink, void *root)
{
    std::vector<Profile> profiles = ChromiumProfiles(place);
    for (const Profile &profile : profiles) {
        char folder[PATH_CAPACITY], path[PATH_CAPACITY];
        if (JoinPath(folder, place, profile.folder.c_str()) && JoinPath(path, folder, "Bookmarks"))
            ReadFileAsFolder(path, ReadChromiumBookmarks,
                             ProfileFolderName(source.name, profile.name, profiles.size() > 1).c_str(), sink, root);
    }
}

/* A browser that keeps a single profile: its place is the profile folder. */
static void ReadChromiumProfile(const BookmarkSource &source, const char *place, const BookmarkSink &sink, void *root)
{
    char path[PATH_CAPACITY];
    if (JoinPath(path, place, "Bookmarks"))
        ReadFileAsFolder(path, ReadChromiumBookmarks, source.name, sink, root);
}

/* ---- Firefox ----------------------------------------------------------------------- */

/* The date a backup's name carries ("bookmarks-2024-05-17_..."), "" when it
 * carries none. */
static std::string BackupDate(const char *name)
{
    static constexpr char Prefix[] = "bookmarks-";
    const size_t prefix = sizeof Prefix - 1, date = 10;
    if (_strnicmp(name, Prefix, prefix) != 0 || strlen(name) < prefix + date)
        return "";
    return std::string(name + prefix, date);
}

/* Firefox writes a backup on each day it runs: the newest is the one whose
 * name carries the latest date, and of those the one written last (a copied
 * or restored file keeps its name, not its time). */
static bool NewestBackup(const char *profile, char (&path)[PATH_CAPACITY])
{
    char backups[PATH_CAPACITY], pattern[PATH_CAPACITY], candidate[PATH_CAPACITY];
    if (!JoinPath(backups, profile, "bookmarkbackups") || !JoinPath(pattern, backups, "*.jsonlz4"))
        return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    std::string newestDate;
    FILETIME newestTime = {0, 0};
    bool any = false;
    do {
        std::string date = BackupDate(found.cFileName);
        bool newer = !any || date > newestDate ||
                     (date == newestDate && CompareFileTime(&found.ftLastWriteTime, &newestTime) > 0);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !newer ||
            !JoinPath(candidate, backups, found.cFileName))
            continue;
        lstrcpynA(path, candidate, sizeof path);
        newestDate = date;
        newestTime = found.ftLastWriteTime;
        any = true;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return any;
}

/* The profiles profiles.ini lists ([Profile0], [Profile1], ...: Name, Path,
 * IsRelative), each with its newest bookmarks backup. */
static void ReadFirefoxProfiles(const BookmarkSource &source, const char *place, const BookmarkSink &sink, void *root)
{
    char ini[PATH_CAPACITY];
    if (!JoinPath(ini, place, "profiles.ini") || !IsFile(ini))
        return;
    std::vector<char> sections(SECTIONS_CAPACITY);
    GetPrivateProfileSectionNamesA(sections.data(), SECTIONS_CAPACITY, ini);
    std::vector<Profile> profiles;
    for (const char *section = sections.data(); *section; section += lstrlenA(section) + 1) {
        if (_strnicmp(section, "Profile", 7) != 0)
            continue;
        char name[BOOKMARK_TEXT_LENGTH + 1], path[PATH_CAPACITY], folder[PATH_CAPACITY];
        GetPrivateProfileStringA(section, "Name", "", name, sizeof name, ini);
        /* A value that fills the buffer may have been cut. */
        DWORD length = GetPrivateProfileStringA(section, "Path", "", path, sizeof path, ini);
        if (!length || length >= sizeof path - 1)
            continue;
        for (char *p = path; *p; ++p)
            if (*p == '/')
                *p = '\\';
        if (!GetPrivateProfileIntA(section, "IsRelative", 1, ini))
            lstrcpynA(folder, path, sizeof folder);
        else if (!JoinPath(folder, place, path))
            continue;
        /* profiles.ini is written in UTF-8: the name as a bookmark's. */
        const char *shown = name[0] ? name : section;
        char ansi[BOOKMARK_TEXT_CAPACITY];
        DecodeBookmarkName(shown, shown + strlen(shown), TEXT_UTF8, false, ansi);
        profiles.push_back({folder, ansi});
    }
    for (const Profile &profile : profiles) {
        char backup[PATH_CAPACITY];
        if (NewestBackup(profile.folder.c_str(), backup))
            ReadFileAsFolder(backup, ReadFirefoxBackup,
                             ProfileFolderName(source.name, profile.name, profiles.size() > 1).c_str(), sink, root);
    }
}

/* ---- the two the program has always read --------------------------------------------- */

/* Netscape Navigator names its bookmark file in the registry; older versions
 * in their own ini file, which win.ini names. */
static void ReadNavigatorFile(const BookmarkSource &, const char *, const BookmarkSink &sink, void *root)
{
    char path[NAMED_PATH_CAPACITY];
    ReadRegistryString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Bookmark List", "File Location",
                       path, sizeof path);
    if (!path[0]) {
        char ini[NAMED_PATH_CAPACITY];
        if (ReadNavigatorIni(ini, sizeof ini))
            GetPrivateProfileStringA("Bookmark List", "File Location", "", path, sizeof path, ini);
    }
    ReadBookmarkFile(path, root, sink.add, sink.context);
}

static void ReadFavorites(const BookmarkSource &, const char *, const BookmarkSink &sink, void *root)
{
    char folder[NAMED_PATH_CAPACITY];
    ReadRegistryString(HKEY_CURRENT_USER, ShellFoldersKey, "Favorites", folder, sizeof folder);
    ReadFavoritesFolder(folder, root, sink.add, sink.context);
}

/* The places the setup dialog's browsers keep their bookmarks come first, at
 * the index their BookmarkPlace gives. */
constexpr BookmarkSource BookmarkSources[] = {
    {"Netscape Navigator", 0, "", ReadNavigatorFile},
    {"Internet Explorer", 0, "", ReadFavorites},
    {"Google Chrome", CSIDL_LOCAL_APPDATA, "Google\\Chrome\\User Data", ReadChromiumUserData},
    {"Microsoft Edge", CSIDL_LOCAL_APPDATA, "Microsoft\\Edge\\User Data", ReadChromiumUserData},
    {"Brave", CSIDL_LOCAL_APPDATA, "BraveSoftware\\Brave-Browser\\User Data", ReadChromiumUserData},
    {"Vivaldi", CSIDL_LOCAL_APPDATA, "Vivaldi\\User Data", ReadChromiumUserData},
    {"Opera", CSIDL_APPDATA, "Opera Software\\Opera Stable", ReadChromiumProfile},
    {"Chromium", CSIDL_LOCAL_APPDATA, "Chromium\\User Data", ReadChromiumUserData},
    {"Mozilla Firefox", CSIDL_APPDATA, "Mozilla\\Firefox", ReadFirefoxProfiles},
};
constexpr size_t BookmarkSourceCount = sizeof BookmarkSources / sizeof BookmarkSources[0];

/* The Netscape and Favorites rows outside the top level: as any other
 * source, in a folder named after the browser. */
static void ReadOwnSourceAsFolder(const BookmarkSource &source, const BookmarkSink &sink, void *root)
{
    TopFolder top;
    if (!BeginTopFolder(&top, sink, root, source.name))
        return;
    BookmarkSink counted = {AddCounted, sink.drop, &top};
    source.read(source, "", counted, top.folder);
    EndTopFolder(&top);
}

void ReadBookmarkSources(BrowserChoice browser, const BookmarkSink &sink, void *root)
{
    const BookmarkSource &chosen = BookmarkSources[Browsers[browser].bookmarks];
    chosen.read(chosen, "", sink, root);
    for (size_t i = 0; i < BookmarkSourceCount; ++i) {
        const BookmarkSource &source = BookmarkSources[i];
        char folder[PATH_CAPACITY], place[PATH_CAPACITY];
        if (&source == &chosen)
            continue;
        if (!source.knownFolder)
            ReadOwnSourceAsFolder(source, sink, root);
        else if (KnownFolderPath(source.knownFolder, folder) && JoinPath(place, folder, source.subPath))
            source.read(source, place, sink, root);
    }
}

void *ReadChosenBookmarkFile(const char *path, const char *name, const BookmarkSink &sink, void *root)
{
    TopFolder top;
    if (!BeginTopFolder(&top, sink, root, name))
        return nullptr;
    ReadBookmarkFile(path, top.folder, AddCounted, &top);
    return EndTopFolder(&top);
}
