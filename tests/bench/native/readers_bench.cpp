// The bookmark readers, natively: MB/s for Navigator's HTML file, a Chromium
// "Bookmarks" file and a Firefox backup, each of 10,000 bookmarks in 500
// folders with what browsers write beside them (dates, GUIDs, and a 2 KB
// icon or sync blob per bookmark where the format has one).
#include "setup/setup_internal.h"

#include <benchmark/benchmark.h>
#include <lz4.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int FOLDERS = 500, PER_FOLDER = 20;

std::string Blob(std::mt19937 *random)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string blob(2048, '=');
    for (size_t i = 0; i + 2 < blob.size(); ++i)
        blob[i] = digits[(*random)() % 64];
    return blob;
}

std::string Guid(int n)
{
    char guid[40];
    snprintf(guid, sizeof guid, "%08x-4a1b-4c2d-8e3f-%012x", n * 2654435761u, n * 40503u);
    return guid;
}

std::string Navigator()
{
    std::mt19937 random(1);
    std::string file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                       "charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
    for (int f = 0; f < FOLDERS; ++f) {
        file += "    <DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000500\">Folder " + std::to_string(f) +
                "</H3>\n    <DL><p>\n";
        for (int b = 0; b < PER_FOLDER; ++b)
            file += "        <DT><A HREF=\"https://www.example.com/" + std::to_string(f) + "/" + std::to_string(b) +
                    "\" ADD_DATE=\"1700000001\" LAST_MODIFIED=\"1700000002\" ICON=\"data:image/png;base64," +
                    Blob(&random) + "\">Caf\xC3\xA9 page " + std::to_string(b) + "</A>\n";
        file += "    </DL><p>\n";
    }
    return file + "</DL><p>\n";
}

std::string Chromium()
{
    std::mt19937 random(2);
    std::string folders;
    int id = 10;
    for (int f = 0; f < FOLDERS; ++f) {
        std::string children;
        for (int b = 0; b < PER_FOLDER; ++b, ++id)
            children += std::string(b ? ", " : "") + "{\n \"date_added\": \"1334567890123" + std::to_string(id) +
                        "\",\n \"date_last_used\": \"0\",\n \"guid\": \"" + Guid(id) + "\",\n \"id\": \"" +
                        std::to_string(id) + "\",\n \"meta_info\": {\n \"sync_blob\": \"" + Blob(&random) +
                        "\"\n },\n \"name\": \"Caf\\u00e9 page " + std::to_string(b) +
                        "\",\n \"type\": \"url\",\n \"url\": \"https://www.example.com/" + std::to_string(f) + "/" +
                        std::to_string(b) + "\"\n}";
        folders += std::string(f ? ", " : "") + "{\n \"children\": [ " + children +
                   " ],\n \"date_added\": \"13345678901234567\",\n \"date_modified\": \"0\",\n \"guid\": \"" +
                   Guid(f) + "\",\n \"id\": \"" + std::to_string(id++) + "\",\n \"name\": \"Folder " +
                   std::to_string(f) + "\",\n \"type\": \"folder\"\n}";
    }
    return "{\n \"checksum\": \"0123456789abcdef0123456789abcdef\",\n \"roots\": {\n \"bookmark_bar\": {\n"
           " \"children\": [ " + folders + " ],\n \"date_added\": \"13345678901234567\",\n \"guid\": \"" + Guid(1) +
           "\",\n \"id\": \"1\",\n \"name\": \"Bookmarks bar\",\n \"type\": \"folder\"\n },\n \"other\": {\n"
           " \"children\": [  ],\n \"id\": \"2\",\n \"name\": \"Other bookmarks\",\n \"type\": \"folder\"\n },\n"
           " \"synced\": {\n \"children\": [  ],\n \"id\": \"3\",\n \"name\": \"Mobile bookmarks\",\n"
           " \"type\": \"folder\"\n }\n },\n \"version\": 1\n}\n";
}

std::string Firefox()
{
    std::mt19937 random(3);
    std::string folders;
    int id = 10;
    for (int f = 0; f < FOLDERS; ++f) {
        std::string children;
        for (int b = 0; b < PER_FOLDER; ++b, ++id)
            children += std::string(b ? "," : "") + "{\"guid\":\"" + Guid(id).substr(0, 12) + "\",\"title\":\"Caf\\u00e9 "
                        "page " + std::to_string(b) + "\",\"index\":" + std::to_string(b) +
                        ",\"dateAdded\":1700000000000000,\"lastModified\":1700000000000001,\"id\":" +
                        std::to_string(id) + ",\"typeCode\":1,\"annos\":[{\"name\":\"bookmarkProperties/description\","
                        "\"flags\":0,\"expires\":4,\"value\":\"" + Blob(&random) + "\"}],\"type\":\"text/x-moz-place\","
                        "\"uri\":\"https://www.example.com/" + std::to_string(f) + "/" + std::to_string(b) + "\"}";
        folders += std::string(f ? "," : "") + "{\"guid\":\"" + Guid(f).substr(0, 12) + "\",\"title\":\"Folder " +
                   std::to_string(f) + "\",\"index\":" + std::to_string(f) + ",\"dateAdded\":1700000000000000,"
                   "\"lastModified\":1700000000000001,\"id\":" + std::to_string(id++) + ",\"typeCode\":2,"
                   "\"type\":\"text/x-moz-place-container\",\"children\":[" + children + "]}";
    }
    std::string json = "{\"guid\":\"root________\",\"title\":\"\",\"index\":0,\"dateAdded\":1700000000000000,\"id\":1,"
                       "\"typeCode\":2,\"type\":\"text/x-moz-place-container\",\"root\":\"placesRoot\",\"children\":["
                       "{\"guid\":\"menu________\",\"title\":\"menu\",\"index\":0,\"id\":2,\"typeCode\":2,"
                       "\"type\":\"text/x-moz-place-container\",\"root\":\"bookmarksMenuFolder\",\"children\":[" +
                       folders + "]},{\"guid\":\"toolbar_____\",\"title\":\"toolbar\",\"index\":1,\"id\":3,"
                       "\"typeCode\":2,\"type\":\"text/x-moz-place-container\",\"root\":\"toolbarFolder\"}]}";
    std::vector<char> block(LZ4_compressBound((int)json.size()));
    int packed = LZ4_compress_default(json.data(), block.data(), (int)json.size(), (int)block.size());
    std::string file("mozLz40\0", 8);
    for (int i = 0; i < 4; ++i)
        file += (char)(json.size() >> (8 * i));
    return file + std::string(block.data(), (size_t)packed);
}

void *Count(void *context, void *, const char *, const char *address)
{
    ++*(int *)context;
    return address ? nullptr : context;
}

template <void (*Read)(const char *, size_t, void *, BookmarkCallback, void *)>
void Reader(benchmark::State &state, const std::string &file)
{
    int entries = 0;
    for (auto _ : state) {
        entries = 0;
        Read(file.data(), file.size(), nullptr, Count, &entries);
    }
    if (entries < FOLDERS * (PER_FOLDER + 1))
        state.SkipWithError(("reported only " + std::to_string(entries) + " entries").c_str());
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)file.size());
    state.counters["file_MB"] = (double)file.size() / 1e6;
}

}  // namespace

int main(int argc, char **argv)
{
    static const std::string navigator = Navigator(), chromium = Chromium(), firefox = Firefox();
    benchmark::RegisterBenchmark("navigator_html", Reader<ReadBookmarkText>, navigator)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("chromium_json", Reader<ReadChromiumBookmarks>, chromium)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("firefox_jsonlz4", Reader<ReadFirefoxBackup>, firefox)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
