// Figure 6: the bookmark picker opening over a large Netscape bookmark file,
// over a current browser's export of the same size (a 2 KB icon on each
// bookmark line, names in UTF-8), over a large Favorites folder and over the
// files of current browsers beside Navigator's, and the file parser alone.
#include "bench.h"
#include "bookmark_files.h"

#include <shlobj.h>

#include <cstdio>

#include "resource.h"
#include "setup/setup_internal.h"

using namespace driver;

constexpr char NetscapeKey[] = "Software\\Netscape\\Netscape Navigator\\Bookmark List";
constexpr char ShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Navigator's file of that many bookmarks (with icons, as a current browser
// exports it). Returns the file's path and its size.
static std::string MakeBookmarkFile(const std::string &folder, int folders, int perFolder, bool icons,
                                    long *size = nullptr)
{
    std::string path = folder + (icons ? "\\export.htm" : "\\bookmark.htm");
    FILE *file = fopen(path.c_str(), "w");
    if (!file)
        return "";
    fputs(NavigatorBookmarkText(folders, perFolder, icons).c_str(), file);
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
    CreateDirectoryA(favorites.c_str(), nullptr);
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

// Chrome and Edge profiles and a Firefox profile of that many bookmarks
// each; the folders made are added to made.
static bool MakeBrowserSources(int folders, int perFolder, std::vector<std::string> *made)
{
    std::string chromium = ChromiumBookmarkText(folders, perFolder);
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
                      MozLz4Literals(FirefoxBackupText(folders, perFolder)));
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
    WriteString(HKEY_CURRENT_USER, NetscapeKey, "File Location", path);
}

static void *CountEntry(void *context, void *parent, const char *, const char *address)
{
    ++*static_cast<int *>(context);
    return address ? nullptr : parent; // folders "open" so that their contents are read
}

// The parser alone over the file, PARSES times.
static void MeasureParser(const std::string &file, Figure &figure)
{
    constexpr int PARSES = 20;
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
    constexpr int RUNS = 5;
    std::string scratch = ScratchDir();
    std::string file = MakeBookmarkFile(scratch, 500, 20, false);
    long exportSize = 0;
    std::string exported = MakeBookmarkFile(scratch, 500, 20, true, &exportSize);
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
    Figure allSources{"6g",
                      "bookmark picker shown and idle, all sources of 10,000 bookmarks each "
                      "(Navigator, Chrome, Edge, Firefox)",
                      "ms"};
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
        WriteString(HKEY_CURRENT_USER, ShellFolders, "Favorites", favorites);
        MeasurePicker(main, explorer, RUNS);
        WriteString(HKEY_CURRENT_USER, ShellFolders, "Favorites", savedFavorites);
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
