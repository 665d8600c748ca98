// The bookmark readers, natively: MB/s for Navigator's HTML file, a Chromium
// "Bookmarks" file and a Firefox backup, each of 10,000 bookmarks in 500
// folders with what browsers write beside them (dates, GUIDs, and a 2 KB
// icon or sync blob per bookmark where the format has one).
#include "../bookmark_files.h"
#include "setup/setup_internal.h"

#include <benchmark/benchmark.h>
#include <lz4.h>

#include <string>
#include <vector>

namespace {

constexpr int FOLDERS = 500, PER_FOLDER = 20;

std::string Firefox()
{
    std::string json = FirefoxBackupText(FOLDERS, PER_FOLDER);
    std::vector<char> block(LZ4_compressBound(static_cast<int>(json.size())));
    int packed =
        LZ4_compress_default(json.data(), block.data(), static_cast<int>(json.size()), static_cast<int>(block.size()));
    std::string file("mozLz40\0", 8);
    for (int i = 0; i < 4; ++i)
        file += static_cast<char>(json.size() >> (8 * i));
    return file + std::string(block.data(), static_cast<size_t>(packed));
}

void *Count(void *context, void *, const char *, const char *address)
{
    ++*static_cast<int *>(context);
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
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
    state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    static const std::string navigator = NavigatorBookmarkText(FOLDERS, PER_FOLDER, true),
                             chromium = ChromiumBookmarkText(FOLDERS, PER_FOLDER), firefox = Firefox();
    benchmark::RegisterBenchmark("navigator_html", Reader<ReadBookmarkText>, navigator)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("chromium_json", Reader<ReadChromiumBookmarks>, chromium)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("firefox_jsonlz4", Reader<ReadFirefoxBackup>, firefox)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
