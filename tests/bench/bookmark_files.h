// Large bookmark files as browsers write them, for the benchmarks: Navigator's
// HTML export, a Chromium "Bookmarks" file and the JSON of a Firefox backup,
// each bookmark with its dates, a GUID and, where the format has one, a 2 KB
// icon or blob. Text only, so that the native benchmark of the readers and
// the picker's figure under Wine read the same files.
#ifndef SPRINGDECK_BENCH_BOOKMARK_FILES_H
#define SPRINGDECK_BENCH_BOOKMARK_FILES_H

#include <cstdio>
#include <string>

// 2 KB of base64 characters, another for each n: icons and blobs do not
// repeat, so a compressed backup is as large as a real one.
inline std::string BenchBlob(unsigned n)
{
    constexpr char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string blob(2048, '=');
    unsigned state = n * 2654435761u + 1;
    for (size_t i = 0; i + 2 < blob.size(); ++i) {
        state = state * 1103515245u + 12345u;
        blob[i] = digits[(state >> 16) % 64];
    }
    return blob;
}

inline std::string BenchGuid(int n)
{
    char guid[40];
    snprintf(guid, sizeof guid, "%08x-7d1c-4e2a-9b3f-%012x", n * 2654435761u, static_cast<unsigned>(n));
    return guid;
}

// Navigator's format; with icons as a current browser exports it: UTF-8
// names and a 2 KB icon on each bookmark line.
inline std::string NavigatorBookmarkText(int folders, int perFolder, bool icons)
{
    std::string text = std::string("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n") +
                       (icons ? "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n" : "") +
                       "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
    char line[256];
    for (int f = 0, id = 0; f < folders; ++f) {
        snprintf(line, sizeof line, "    <DT><H3 ADD_DATE=\"850000000\">Folder %03d</H3>\n    <DL><p>\n", f);
        text += line;
        for (int b = 0; b < perFolder; ++b, ++id) {
            snprintf(line, sizeof line,
                     "        <DT><A HREF=\"http://site%03d.example.com/page%02d.html\" ADD_DATE=\"850000000\" "
                     "LAST_VISIT=\"850000000\"",
                     f, b);
            text += line + (icons ? " ICON=\"data:image/png;base64," + BenchBlob(id) + "\"" : "");
            snprintf(line, sizeof line, ">Page %02d of site %03d%s</A>\n", b, f,
                     icons ? " \xE2\x80\x93 caf\xC3\xA9" : "");
            text += line;
        }
        text += "    </DL><p>\n";
    }
    return text + "</DL><p>\n";
}

// A Chromium-family "Bookmarks" file (one member a line): the bookmarks bar
// holding the folders, each bookmark with its dates, GUID and a 2 KB sync blob.
inline std::string ChromiumBookmarkText(int folders, int perFolder)
{
    std::string text =
        "{\n\"checksum\": \"5b3c0d8e4f1a2b6c7d8e9f0a1b2c3d4e\",\n\"roots\": {\n"
        "\"bookmark_bar\": {\n\"children\": [ ";
    int id = 4;
    char line[512];
    for (int f = 0; f < folders; ++f) {
        text += f ? ", {\n\"children\": [ " : "{\n\"children\": [ ";
        for (int b = 0; b < perFolder; ++b, ++id) {
            snprintf(line, sizeof line,
                     "%s{\n\"date_added\": \"13%014d\",\n\"date_last_used\": \"0\",\n\"guid\": \"%s\",\n"
                     "\"id\": \"%d\",\n\"meta_info\": {\n\"power_bookmark_meta\": \"",
                     b ? ", " : "", 300000000 + b, BenchGuid(id).c_str(), id);
            text += line + BenchBlob(static_cast<unsigned>(id));
            snprintf(line, sizeof line,
                     "\"\n},\n\"name\": \"Page %02d of site %03d \\u2013 caf\\u00e9\",\n\"type\": \"url\",\n"
                     "\"url\": \"http://site%03d.example.com/page%02d.html\"\n}",
                     b, f, f, b);
            text += line;
        }
        snprintf(line, sizeof line,
                 " ],\n\"date_added\": \"13300000000000000\",\n\"date_modified\": \"13300000000000000\",\n"
                 "\"guid\": \"%s\",\n\"id\": \"%d\",\n\"name\": \"Folder %03d\",\n\"type\": \"folder\"\n}",
                 BenchGuid(id).c_str(), id, f);
        text += line;
        ++id;
    }
    return text +
           " ],\n\"id\": \"1\",\n\"name\": \"Bookmarks bar\",\n\"type\": \"folder\"\n},\n"
           "\"other\": {\n\"children\": [  ],\n\"id\": \"2\",\n\"name\": \"Other bookmarks\",\n"
           "\"type\": \"folder\"\n},\n\"synced\": {\n\"children\": [  ],\n\"id\": \"3\",\n"
           "\"name\": \"Mobile bookmarks\",\n\"type\": \"folder\"\n}\n},\n\"version\": 1\n}\n";
}

// The JSON of a Firefox bookmarks backup (compact, each entry with its dates
// and GUID, each bookmark with a 2 KB description), its menu holding the
// folders; compressed into a .jsonlz4 by the caller.
inline std::string FirefoxBackupText(int folders, int perFolder)
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
                 f ? "," : "", BenchGuid(id).c_str(), f, f, id);
        text += line;
        ++id;
        for (int b = 0; b < perFolder; ++b, ++id) {
            snprintf(line, sizeof line,
                     "%s{\"guid\":\"%.12s\",\"title\":\"Page %02d of site %03d \\u2013 caf\\u00e9\",\"index\":%d,"
                     "\"dateAdded\":17000000%08d,\"lastModified\":17000000%08d,\"id\":%d,\"typeCode\":1,"
                     "\"type\":\"text/x-moz-place\",\"annos\":[{\"name\":\"bookmarkProperties/description\","
                     "\"flags\":0,\"expires\":4,\"value\":\"",
                     b ? "," : "", BenchGuid(id).c_str(), b, f, b, b, b, id);
            text += line + BenchBlob(static_cast<unsigned>(id));
            snprintf(line, sizeof line, "\"}],\"uri\":\"http://site%03d.example.com/page%02d.html\"}", f, b);
            text += line;
        }
        text += "]}";
    }
    return text + "]}]}";
}

#endif
