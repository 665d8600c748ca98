// Figure 6: the bookmark picker opening over a large Netscape bookmark file,
// over a current browser's export of the same size (a 2 KB icon on each
// bookmark line, names in UTF-8), over a large Favorites folder and over the
// files of current browsers beside Navigator's, and the file parser alone.
#include "bench.h"

#include <shlobj.h>

#include <cstdio>

#include "resource.h"
#include "setup/setup_internal.h"

using namespace driver;

static const char NetscapeKey[] = "Software\\Netscape\\Netscape Navigator\\Bookmark List";
static const char ShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// With iconBytes, as a current browser exports it: UTF-8, and an icon of
// that many base64 characters on each bookmark line. Returns the file's path
// and its size.
static std::string MakeBookmarkFile(const std::string &folder, int folders, int perFolder, int iconBytes,
                                    long *size = nullptr)
{
    std::string path = folder + (iconBytes ? "\\export.htm" : "\\bookmark.htm");
    FILE *file = fopen(path.c_str(), "w");
    if (!file)
        return "";
    std::string icon = iconBytes ? " ICON=\"data:image/png;base64," + std::string(iconBytes, 'Q') + "\"" : "";
    fprintf(file, "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n%s<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n",
            iconBytes ? "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n" : "");
    for (int f = 0; f < folders; ++f) {
        fprintf(file, "    <DT><H3 ADD_DATE=\"850000000\">Folder %03d</H3>\n    <DL><p>\n", f);
        for (int b = 0; b < perFolder; ++b)
            fprintf(file, "        <DT><A HREF=\"http://site%03d.example.com/page%02d.html\" ADD_DATE=\"850000000\" "
                          "LAST_VISIT=\"850000000\"%s>Page %02d of site %03d%s</A>\n",
                    f, b, icon.c_str(), b, f, iconBytes ? " \xE2\x80\x93 caf\xC3\xA9" : "");
        fprintf(file, "    </DL><p>\n");
    }
    fprintf(file, "</DL><p>\n");
    if (size)
        *size = ftell(file);
    fclose(file);
    return path;
}

// A million one-letter bookmarks in one list: the picker shows the first
// BOOKMARK_MAX_COUNT.
static std::string MakeMillionFile(const std::string &folder)
{
    std::string path = folder + "\\million.htm";
    FILE *file = fopen(path.c_str(), "w");
    if (!file)
        return "";
    fprintf(file, "<DL><p>\n");
    for (int i = 0; i < 1000000; ++i)
        fprintf(file, "<DT><A HREF=\"http://a/\">a</A>\n");
    fprintf(file, "</DL><p>\n");
    fclose(file);
    return path;
}

static std::string MakeFavorites(const std::string &folder, int count)
{
    std::string favorites = folder + "\\Favorites";
    CreateDirectoryA(favorites.c_str(), NULL);
    for (int i = 0; i < count; ++i) {
        char name[64];
        snprintf(name, sizeof name, "\\Site %04d.url", i);
        FILE *file = fopen((favorites + name).c_str(), "w");
        if (!file)
            continue;
        fprintf(file, "[InternetShortcut]\nURL=http://site%04d.example.com/\n", i);
        fclose(file);
    }
    return favorites;
}

static bool WriteBytes(const std::string &path, const std::string &bytes)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}

static std::string Guid(int n)
{
    char guid[40];
    snprintf(guid, sizeof guid, "%08x-7d1c-4e2a-9b3f-%012x", (unsigned)n * 2654435761u, (unsigned)n);
    return guid;
}

// A Chromium-family "Bookmarks" file as the browser writes it (one member a
// line): the bookmarks bar holding the folders, each bookmark with its dates,
// GUID and a 2 KB sync blob.
static std::string ChromiumBookmarksFile(int folders, int perFolder)
{
    const std::string blob(2048, 'S');
    std::string text = "{\n\"checksum\": \"5b3c0d8e4f1a2b6c7d8e9f0a1b2c3d4e\",\n\"roots\": {\n"
                       "\"bookmark_bar\": {\n\"children\": [ ";
    int id = 4;
    char line[512];
    for (int f = 0; f < folders; ++f) {
        text += f ? ", {\n\"children\": [ " : "{\n\"children\": [ ";
        for (int b = 0; b < perFolder; ++b) {
            snprintf(line, sizeof line,
                     "%s{\n\"date_added\": \"13%014d\",\n\"date_last_used\": \"0\",\n\"guid\": \"%s\",\n"
                     "\"id\": \"%d\",\n\"meta_info\": {\n\"power_bookmark_meta\": \"",
                     b ? ", " : "", 300000000 + b, Guid(id).c_str(), id);
            text += line + blob;
            ++id;
            snprintf(line, sizeof line,
                     "\"\n},\n\"name\": \"Page %02d of site %03d \\u2013 caf\\u00e9\",\n\"type\": \"url\",\n"
                     "\"url\": \"http://site%03d.example.com/page%02d.html\"\n}",
                     b, f, f, b);
            text += line;
        }
        snprintf(line, sizeof line,
                 " ],\n\"date_added\": \"13300000000000000\",\n\"date_modified\": \"13300000000000000\",\n"
                 "\"guid\": \"%s\",\n\"id\": \"%d\",\n\"name\": \"Folder %03d\",\n\"type\": \"folder\"\n}",
                 Guid(id).c_str(), id, f);
        text += line;
        ++id;
    }
    return text + " ],\n\"id\": \"1\",\n\"name\": \"Bookmarks bar\",\n\"type\": \"folder\"\n},\n"
                  "\"other\": {\n\"children\": [  ],\n\"id\": \"2\",\n\"name\": \"Other bookmarks\",\n"
                  "\"type\": \"folder\"\n},\n\"synced\": {\n\"children\": [  ],\n\"id\": \"3\",\n"
                  "\"name\": \"Mobile bookmarks\",\n\"type\": \"folder\"\n}\n},\n\"version\": 1\n}\n";
}

// A Firefox bookmarks backup as the browser writes it (compact JSON, each
// entry with its dates and GUID), its menu holding the folders.
static std::string FirefoxBackupFile(int folders, int perFolder)
{
    std::string text =
        "{\"guid\":\"root________\",\"title\":\"\",\"index\":0,\"dateAdded\":1700000000000000,"
        "\"lastModified\":1700000000000000,\"id\":1,\"typeCode\":2,\"type\":\"text/x-moz-place-container\","
        "\"root\":\"placesRoot\",\"children\":[{\"guid\":\"menu________\",\"title\":\"menu\",\"index\":0,"
        "\"dateAdded\":1700000000000000,\"lastModified\":1700000000000000,\"id\":2,\"typeCode\":2,"
        "\"type\":\"text/x-moz-place-container\",\"root\":\"bookmarksMenuFolder\",\"children\":[";
    int id = 10;
    char line[640];
    for (int f = 0; f < folders; ++f) {
        snprintf(line, sizeof line,
                 "%s{\"guid\":\"%.12s\",\"title\":\"Folder %03d\",\"index\":%d,\"dateAdded\":1700000000000000,"
                 "\"lastModified\":1700000000000000,\"id\":%d,\"typeCode\":2,\"type\":\"text/x-moz-place-container\","
                 "\"children\":[",
                 f ? "," : "", Guid(id).c_str(), f, f, id);
        text += line;
        ++id;
        for (int b = 0; b < perFolder; ++b) {
            snprintf(line, sizeof line,
                     "%s{\"guid\":\"%.12s\",\"title\":\"Page %02d of site %03d \\u2013 caf\\u00e9\",\"index\":%d,"
                     "\"dateAdded\":17000000%08d,\"lastModified\":17000000%08d,\"id\":%d,\"typeCode\":1,"
                     "\"type\":\"text/x-moz-place\",\"uri\":\"http://site%03d.example.com/page%02d.html\","
                     "\"iconUri\":\"http://site%03d.example.com/favicon.ico\"}",
                     b ? "," : "", Guid(id).c_str(), b, f, b, b, b, id, f, b, f);
            text += line;
            ++id;
        }
        text += "]}";
    }
    return MozLz4Literals(text + "]}]}");
}

// Chrome and Edge profiles and a Firefox profile of that many bookmarks
// each; the folders made are added to made.
static bool MakeBrowserSources(int folders, int perFolder, std::vector<std::string> *made)
{
    std::string chromium = ChromiumBookmarksFile(folders, perFolder);
    std::string chrome = MakeAppDataFolder(CSIDL_LOCAL_APPDATA, "Google\\Chrome\\User Data\\Default", made);
    std::string edge = MakeAppDataFolder(CSIDL_LOCAL_APPDATA, "Microsoft\\Edge\\User Data\\Default", made);
    std::string firefox = MakeAppDataFolder(CSIDL_APPDATA, "Mozilla\\Firefox", made);
    std::string backups =
        MakeAppDataFolder(CSIDL_APPDATA, "Mozilla\\Firefox\\Profiles\\b3nch.default\\bookmarkbackups", made);
    return !chrome.empty() && !edge.empty() && !backups.empty() && WriteBytes(chrome + "\\Bookmarks", chromium) &&
           WriteBytes(edge + "\\Bookmarks", chromium) &&
           WriteBytes(firefox + "\\profiles.ini",
                      "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/b3nch.default\r\n") &&
           WriteBytes(backups + "\\bookmarks-2026-01-01_10000_YmVuY2htYXJr.jsonlz4",
                      FirefoxBackupFile(folders, perFolder));
}

// Opens the picker through the setup dialog as a user does and measures from
// the click on "Browse your Bookmarks" until the picker is shown and idle.
static void MeasurePicker(HWND main, Figure &figure, int runs)
{
    PostMessageA(main, WM_COMMAND, 101, 0);
    HWND setup = WaitForWindow("#32770", "Springdeck from Tolvane Keyboards", 20000);
    if (!setup) {
        figure.note = "n/a: the setup dialog did not open";
        return;
    }
    for (int run = 0; run < runs; ++run) {
        ClickButton(setup, 101);
        HWND chooser = WaitForWindow("#32770", "Springdeck Setup");
        if (!chooser)
            break;
        ClickButton(chooser, IDC_GO_TO_WEBSITE);
        HWND website = WaitForWindow("#32770", "Assign a WebSite");
        if (!website)
            break;
        WaitProgramIdle(website);
        double start = NowMs();
        ClickButton(website, IDC_WEB_BOOKMARKS);
        HWND picker = WaitForWindow("#32770", "Select a BookMark", 60000);
        if (!picker || !WaitProgramIdle(picker, 60000))
            break;
        figure.samples.push_back(NowMs() - start);
        PostMessageA(picker, WM_COMMAND, IDCANCEL, 0);
        WaitUntil([&] { return !IsWindow(picker); });
        PostMessageA(website, WM_COMMAND, IDCANCEL, 0);
        WaitUntil([&] { return !IsWindow(website) && IsWindowVisible(setup); });
    }
    PostMessageA(setup, WM_COMMAND, IDCANCEL, 0);
    WaitUntil([&] { return !IsWindow(setup); });
}

static void UseBookmarkFile(const std::string &path)
{
    WriteValue(HKEY_CURRENT_USER, NetscapeKey, "File Location", REG_SZ, path.c_str(), (DWORD)path.size() + 1);
}

static void *CountEntry(void *context, void *parent, const char *, const char *address)
{
    ++*(int *)context;
    return address ? nullptr : parent;  // folders "open" so that their contents are read
}

// The parser alone over the file, PARSES times.
static void MeasureParser(const std::string &file, Figure &figure)
{
    enum { PARSES = 20 };
    int entries = 0;
    for (int i = 0; i < PARSES; ++i) {
        entries = 0;
        int root = 0;
        double start = NowMs();
        ReadBookmarkFile(file.c_str(), &root, CountEntry, &entries);
        figure.samples.push_back(NowMs() - start);
    }
    figure.note = std::to_string(entries) + " entries reported";
}

void BenchBookmarks()
{
    enum { RUNS = 5 };
    std::string scratch = ScratchDir();
    std::string file = MakeBookmarkFile(scratch, 500, 20, 0);
    long exportSize = 0;
    std::string exported = MakeBookmarkFile(scratch, 500, 20, 2048, &exportSize);
    std::string million = MakeMillionFile(scratch);
    std::string favorites = MakeFavorites(scratch, 2000);

    Figure netscape{"6a", "bookmark picker shown and idle, 10,000 bookmarks in 500 folders", "ms"};
    netscape.target = "open within 1 s";
    Figure explorer{"6b", "bookmark picker shown and idle, Favorites of 2,000 .url files", "ms"};
    Figure parser{"6c", "bookmark file parser alone, 10,000 bookmarks", "ms"};
    parser.target = "within 50 ms";
    Figure exportPicker{"6d", "bookmark picker shown and idle, export of 10,000 bookmarks with 2 KB icons", "ms"};
    exportPicker.target = "open within 1 s";
    Figure exportParser{"6e", "bookmark file parser alone, export of 10,000 bookmarks with 2 KB icons", "ms"};
    exportParser.target = "within 250 ms";
    Figure millionPicker{"6f", "bookmark picker shown and idle, 1,000,000 bookmarks (first 100,000 shown)", "ms"};
    millionPicker.target = "open within 5 s";
    Figure allSources{"6g", "bookmark picker shown and idle, all sources of 10,000 bookmarks each "
                            "(Navigator, Chrome, Edge, Firefox)", "ms"};
    allSources.target = "open within 1 s natively";

    ClearSettings();
    SetSettingDword("options", "installed", 1);
    UseBookmarkFile(file);
    std::string savedFavorites = ReadString(HKEY_CURRENT_USER, ShellFolders, "Favorites");

    Process springdeck;
    HWND main = StartSpringdeck(springdeck);
    if (main) {
        SetSettingDword("options", "browser", 0);
        MeasurePicker(main, netscape, RUNS);
        UseBookmarkFile(exported);
        MeasurePicker(main, exportPicker, RUNS);
        UseBookmarkFile(million);
        MeasurePicker(main, millionPicker, 3);
        // The large Favorites alone, and only while they are the chosen
        // browser's: the picker shows every other source beside them.
        DeleteTree(HKEY_CURRENT_USER, "Software\\Netscape");
        SetSettingDword("options", "browser", 1);
        WriteValue(HKEY_CURRENT_USER, ShellFolders, "Favorites", REG_SZ, favorites.c_str(),
                   (DWORD)favorites.size() + 1);
        MeasurePicker(main, explorer, RUNS);
        WriteValue(HKEY_CURRENT_USER, ShellFolders, "Favorites", REG_SZ, savedFavorites.c_str(),
                   (DWORD)savedFavorites.size() + 1);
        std::vector<std::string> made;
        SetSettingDword("options", "browser", 0);
        UseBookmarkFile(file);
        if (MakeBrowserSources(500, 20, &made))
            MeasurePicker(main, allSources, RUNS);
        else
            allSources.note = "n/a: the browsers' files could not be written";
        for (const std::string &folder : made)
            RemoveFolder(folder);
    } else {
        netscape.note = explorer.note = exportPicker.note = millionPicker.note = allSources.note = "n/a: did not start";
    }
    StopSpringdeck(&springdeck);

    MeasureParser(file, parser);
    MeasureParser(exported, exportParser);
    exportParser.note += ", " + std::to_string(exportSize / 1000000) + " MB";

    DeleteTree(HKEY_CURRENT_USER, "Software\\Netscape");
    Report(netscape);
    Report(explorer);
    Report(parser);
    Report(exportPicker);
    Report(exportParser);
    Report(millionPicker);
    Report(allSources);
}
