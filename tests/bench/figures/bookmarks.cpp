// Figure 6: the bookmark picker opening over a large Netscape bookmark file,
// over a current browser's export of the same size (a 2 KB icon on each
// bookmark line, names in UTF-8) and over a large Favorites folder, and the
// file parser alone.
#include "bench.h"

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

    ClearSettings();
    SetSettingDword("options", "installed", 1);
    UseBookmarkFile(file);
    std::string savedFavorites = ReadString(HKEY_CURRENT_USER, ShellFolders, "Favorites");
    WriteValue(HKEY_CURRENT_USER, ShellFolders, "Favorites", REG_SZ, favorites.c_str(), (DWORD)favorites.size() + 1);

    Process springdeck;
    HWND main = StartSpringdeck(springdeck);
    if (main) {
        SetSettingDword("options", "browser", 0);
        MeasurePicker(main, netscape, RUNS);
        UseBookmarkFile(exported);
        MeasurePicker(main, exportPicker, RUNS);
        UseBookmarkFile(million);
        MeasurePicker(main, millionPicker, 3);
        SetSettingDword("options", "browser", 1);
        MeasurePicker(main, explorer, RUNS);
    } else {
        netscape.note = explorer.note = exportPicker.note = millionPicker.note = "n/a: did not start";
    }
    StopSpringdeck(&springdeck);

    MeasureParser(file, parser);
    MeasureParser(exported, exportParser);
    exportParser.note += ", " + std::to_string(exportSize / 1000000) + " MB";

    WriteValue(HKEY_CURRENT_USER, ShellFolders, "Favorites", REG_SZ, savedFavorites.c_str(),
               (DWORD)savedFavorites.size() + 1);
    DeleteTree(HKEY_CURRENT_USER, "Software\\Netscape");
    Report(netscape);
    Report(explorer);
    Report(parser);
    Report(exportPicker);
    Report(exportParser);
    Report(millionPicker);
}
