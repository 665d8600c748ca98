// The readers of current browsers' bookmarks: Chromium's "Bookmarks" and
// "Local State" files, Firefox's compressed backups and their LZ4 blocks.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "bookmark_outline.h"
#include "driver.h"
#include "setup/setup_internal.h"

namespace {

using driver::Ansi;

struct ReadCase {
    const char *name;
    std::string file;
    std::string outline;
    int refuse = -1; // the n-th folder (from 0) is refused
};

std::string ReadChromium(const std::string &file, Outline *outline)
{
    ReadChromiumBookmarks(file.data(), file.size(), nullptr, Collect, outline);
    return outline->text;
}

std::string Chromium(const std::string &bookmarkBar)
{
    return "{\"checksum\":\"0f\",\"roots\":{\"bookmark_bar\":{\"children\":[" + bookmarkBar +
           "],\"name\":\"Bookmarks bar\",\"type\":\"folder\"}},\"version\":1}";
}

// An LZ4 sequence: the literals, then, with an offset, a match of that
// length; a length of 15 or more goes on in further bytes.
std::string Sequence(const std::string &literals, unsigned offset = 0, size_t match = 4)
{
    auto more = [](size_t length, std::string *to) {
        for (size_t rest = length - 15; length >= 15; rest -= 255) {
            *to += static_cast<char>(std::min<size_t>(rest, 255));
            length = rest < 255 ? 0 : 15;
        }
    };
    std::string s(1, static_cast<char>(std::min<size_t>(literals.size(), 15) << 4 | std::min<size_t>(match - 4, 15)));
    more(literals.size(), &s);
    s += literals;
    if (offset)
        more(match - 4, &(s += {static_cast<char>(offset), static_cast<char>(offset >> 8)}));
    return s;
}

std::string MozLz4(const std::string &block, size_t size)
{
    return std::string("mozLz40\0", 8) +
           std::string{static_cast<char>(size), static_cast<char>(size >> 8), static_cast<char>(size >> 16),
                       static_cast<char>(size >> 24)} +
           block;
}

TEST(ChromiumBookmarksTest, ReadsRootsFoldersAndBookmarks)
{
    const std::string full =
        "{\n \"checksum\": \"5b2a4d3c1e0f\",\n \"roots\": {\n  \"bookmark_bar\": {\n   \"children\": [ {\n"
        "    \"date_added\": \"13345678901234567\", \"guid\": \"0c8f1e2a-7b3d-4c5e-9f60-1a2b3c4d5e6f\", \"id\": "
        "\"5\",\n"
        "    \"meta_info\": { \"last_visited_desktop\": \"13345678901234567\" },\n"
        "    \"name\": \"Caf\\u00e9 \\ud83d\\ude00 R&amp;D \\\"q\\\"\", \"type\": \"url\", \"url\": "
        "\"HTTPS://www.example.com/\"\n"
        "   }, {\n    \"children\": [ { \"name\": \"Bookmarklet\", \"type\": \"url\", \"url\": \"javascript:alert(1)\" "
        "},\n"
        "     { \"name\": \"Local\", \"type\": \"url\", \"url\": \"file:///C:/pages/index.htm\" },\n"
        "     { \"name\": \"Too long\", \"type\": \"url\", \"url\": \"http://" +
        std::string(293, 'a') +
        "\" },\n"
        "     { \"name\": \"\", \"type\": \"url\", \"url\": \"ftp://ftp.example.net/\" } ],\n"
        "    \"date_added\": \"13345678901234568\", \"id\": \"6\", \"name\": \"Work\", \"type\": \"folder\"\n   } ],\n"
        "   \"date_added\": \"13345678901234560\", \"id\": \"1\", \"name\": \"Bookmarks bar\", \"type\": \"folder\"\n  "
        "},\n"
        "  \"other\": { \"children\": [  ], \"id\": \"2\", \"name\": \"\", \"type\": \"folder\" },\n"
        "  \"synced\": { \"children\": [ { \"type\": \"url\", \"url\": \"http://m.example/\", \"name\": \"M\" } ], "
        "\"id\": \"3\" },\n"
        "  \"sync_transaction_version\": \"7\"\n },\n \"version\": 1\n}\n";
    const std::string first =
        "Bookmarks bar/\n  " + Ansi(L"Caf\u00e9 ? R&amp;D \"q\"") + " = https://www.example.com/\n  ";
    const std::string refused =
        "{\"children\":[{\"children\":[],\"name\":\"Inner\"},{\"url\":\"http://in/\",\"name\":\"In\"}],"
        "\"name\":\"Refused\"},{\"children\":[{\"url\":\"http://n/\",\"name\":\"N\"}],\"name\":\"Next\"}";
    const ReadCase cases[] = {
        {"a profile's file: roots in order, names escaped, only web addresses that fit", full,
         first + "Work/\n    Local = file:///C:/pages/index.htm\n    ftp://ftp.example.net/ = ftp://ftp.example.net/\n"
                 "Other bookmarks/\nMobile bookmarks/\n  M = http://m.example/\n"},
        {"cut in the middle: what came before (a folder's name after the cut)", full.substr(0, full.find("Too long")),
         first + "/\n    Local = file:///C:/pages/index.htm\n"},
        {"an empty profile",
         "{\"roots\":{\"bookmark_bar\":{\"children\":[],\"name\":\"Lesezeichenleiste\"},\"other\":{\"children\":[]},"
         "\"synced\":{\"children\":[]}},\"version\":1}",
         "Lesezeichenleiste/\nOther bookmarks/\nMobile bookmarks/\n"},
        {"name before children, a name cut to 255, an address with a null, roots that hold no list",
         "{\"roots\":{\"custom\":{\"name\":\"" + std::string(300, 'N') +
             "\",\"children\":[{\"type\":\"folder\",\"name\":\"F\",\"children\":"
             "[{\"url\":\"http://nul/\\u0000.x/\",\"name\":\"Nul\"},{\"url\":\"http://f/\",\"name\":\"In "
             "F\"}]}]},\"x\":[],\"y\":{}}}",
         std::string(255, 'N') + "/\n  F/\n    In F = http://f/\n"},
        {"a refused folder leaves its contents out, the next keeps its name", Chromium(refused),
         "Bookmarks bar/\n  Refused/\n  Next/\n    N = http://n/\n", 1},
        {"not JSON, or JSON of another kind", "<DL><p>\n", ""},
        {"roots not an object", "{\"roots\":[{\"children\":[{\"url\":\"http://a/\",\"name\":\"A\"}]}]}", ""},
    };
    for (const ReadCase &c : cases) {
        Outline outline;
        outline.failFolder = c.refuse;
        EXPECT_EQ(ReadChromium(c.file, &outline), c.outline) << c.name;
        EXPECT_LE(outline.longest, BOOKMARK_TEXT_LENGTH) << c.name;
    }
}

// Lists deeper than the tree shows are read past; what follows them lands
// where it belongs.
TEST(ChromiumBookmarksTest, DeepNestingIsBounded)
{
    const std::string after = "{\"url\":\"http://after/\",\"name\":\"After\"}";
    std::string nested = after;
    for (int i = 0; i < 150; ++i)
        nested = "{\"children\":[{\"url\":\"http://deep/\",\"name\":\"Deep\"}," + nested + "],\"name\":\"L\"}," + after;
    Outline outline;
    ReadChromium(Chromium(nested), &outline);
    EXPECT_EQ(outline.folderCount, BOOKMARK_MAX_DEPTH);
    EXPECT_NE(outline.text.find(std::string((BOOKMARK_MAX_DEPTH - 1) * 2, ' ') + "L/\n"), std::string::npos);
    EXPECT_EQ(outline.text.find(std::string(BOOKMARK_MAX_DEPTH * 2, ' ') + "L/"), std::string::npos);
    EXPECT_EQ(outline.text.substr(outline.text.size() - 25), "\n  After = http://after/\n");
}

TEST(ChromiumBookmarksTest, StopsAfterTheFirstHundredThousand)
{
    const std::pair<std::string, std::string> kinds[] = {
        {"{\"url\":\"http://a/\",\"name\":\"a\"},", "  a = http://a/\n"},
        {"{\"children\":[],\"name\":\"f\"},", "  f/\n"}};
    for (int i = 0; i < 2; ++i) {
        Outline outline;
        std::string bar = Repeat(kinds[i].first, BOOKMARK_MAX_COUNT + 1);
        bar.pop_back();
        EXPECT_EQ(ReadChromium(Chromium(bar), &outline),
                  "Bookmarks bar/\n" + Repeat(kinds[i].second, BOOKMARK_MAX_COUNT - i));
    }
}

void CollectProfile(void *context, const char *folder, const char *name)
{
    *static_cast<std::string *>(context) += std::string(folder) + " = " + name + "\n";
}

TEST(ChromiumProfilesTest, ReadsFoldersAndDisplayNames)
{
    const ReadCase cases[] = {
        {"two profiles in the file's order",
         "{\"browser\":{\"last_known_version\":\"120\"},\"profile\":{\"info_cache\":{\"Default\":{\"active_time\":1."
         "7e9,"
         "\"avatar_icon\":\"chrome://theme/IDR_PROFILE_AVATAR_26\",\"name\":\"Person "
         "1\",\"gaia_info\":{\"name\":\"x\"}},"
         "\"Profile 1\":{\"name\":\"Arbeit \\u2013 B\\u00fcro\"}},\"last_used\":\"Default\"}}",
         "Default = Person 1\nProfile 1 = " + Ansi(L"Arbeit \u2013 B\u00fcro") + "\n"},
        {"no display name: the folder's", "{\"profile\":{\"info_cache\":{\"Profile 2\":{}}}}",
         "Profile 2 = Profile 2\n"},
        {"cut short", "{\"profile\":{\"info_cache\":{\"Default\":{\"name\":\"A\"},\"Profile 1\":{\"na",
         "Default = A\n"},
        {"no profiles", "{\"profile\":{\"last_used\":\"Default\"}}", ""},
    };
    for (const ReadCase &c : cases) {
        std::string profiles;
        ReadChromiumProfiles(c.file.data(), c.file.size(), CollectProfile, &profiles);
        EXPECT_EQ(profiles, c.outline) << c.name;
    }
}

TEST(FirefoxBackupTest, ReadsTopFoldersContainersAndBookmarks)
{
    const std::string entry =
        "{\"guid\":\"abcdefghijkl\",\"title\":\"Twice\",\"index\":0,\"dateAdded\":1700000000000000,"
        "\"typeCode\":1,\"type\":\"text/x-moz-place\",\"uri\":\"http://twice.example/\"},";
    const std::string head =
        "{\"guid\":\"root________\",\"title\":\"\",\"index\":0,\"dateAdded\":1700000000000000,\"id\":1,\"typeCode\":2,"
        "\"type\":\"text/x-moz-place-container\",\"root\":\"placesRoot\",\"children\":["
        "{\"guid\":\"menu________\",\"title\":\"menu\",\"typeCode\":2,\"root\":\"bookmarksMenuFolder\",\"children\":["
        "{\"guid\":\"a1\",\"title\":\"Caf\\u00e9 \\ud83d\\ude00\",\"typeCode\":1,\"uri\":\"HTTP://cafe.example/\","
        "\"keyword\":\"c\",\"postData\":null,\"annos\":[{\"name\":\"bookmarkProperties/"
        "description\",\"value\":\"d\"}]},"
        "{\"guid\":\"s1\",\"typeCode\":3,\"type\":\"text/x-moz-place-separator\"},"
        "{\"guid\":\"p1\",\"title\":\"Most Visited\",\"typeCode\":1,\"uri\":\"place:sort=8&maxResults=10\"},"
        "{\"guid\":\"c1\",\"title\":\"Reading\",\"typeCode\":2,\"children\":[" +
        entry;
    const std::string tail =
        "{\"guid\":\"a2\",\"title\":\"\",\"typeCode\":1,\"uri\":\"https://untitled.example/\"}]}]},"
        "{\"guid\":\"toolbar_____\",\"title\":\"toolbar\",\"root\":\"toolbarFolder\",\"children\":[]},"
        "{\"guid\":\"unfiled_____\",\"title\":\"unfiled\",\"children\":[{\"title\":\"No address\"}]},"
        "{\"guid\":\"mobile______\",\"title\":\"mobile\",\"typeCode\":2,\"root\":\"mobileFolder\"},"
        "{\"guid\":\"xyzxyzxyzxyz\",\"title\":\"Imported\",\"children\":[]}]}";
    const std::string json = head + entry + tail;
    const std::string read = "Bookmarks Menu/\n  " + Ansi(L"Caf\u00e9 ?") +
                             " = http://cafe.example/\n  Reading/\n"
                             "    Twice = http://twice.example/\n    Twice = http://twice.example/\n"
                             "    https://untitled.example/ = https://untitled.example/\n"
                             "Bookmarks Toolbar/\nOther Bookmarks/\nMobile Bookmarks/\nImported/\n";
    const std::string literals = MozLz4(Sequence(json), json.size());
    const size_t cut = json.find("Twice") + 3;
    const std::string beforeCut = read.substr(0, read.find("    Twice"));
    const ReadCase cases[] = {
        {"literals only", literals, read},
        {"the second entry copied by a match",
         MozLz4(Sequence(head + entry.substr(0, 5), entry.size(), entry.size() - 5) + Sequence(tail), json.size()),
         read},
        {"a size field that says less: the text stops there", MozLz4(Sequence(json), cut), beforeCut},
        {"no backup's header", "mozLz4_" + literals.substr(7), ""},
    };
    for (const ReadCase &c : cases) {
        Outline outline;
        ReadFirefoxBackup(c.file.data(), c.file.size(), nullptr, Collect, &outline);
        EXPECT_EQ(outline.text, c.outline) << c.name;
    }
}

TEST(MozLz4Test, DecodesWithinItsBounds)
{
    const struct {
        const char *name;
        std::string file;
        size_t limit;
        std::string text; // empty: not a backup's header
    } cases[] = {
        {"literals, then a match that overlaps itself", MozLz4(Sequence("ab", 2, 7) + Sequence("c"), 10), 100,
         "ababababac"},
        {"lengths over 15 go on in further bytes",
         MozLz4(Sequence(std::string(300, 'x'), 1, 284) + Sequence("y"), 1000), 1000, std::string(584, 'x') + "y"},
        {"offset 0 is damage: what came before is kept", MozLz4(Sequence("abc") + std::string(2, '\0'), 50), 100,
         "abc"},
        {"an offset beyond what was written", MozLz4(Sequence("abc", 4, 4) + Sequence("d"), 50), 100, "abc"},
        {"literals cut short are kept as far as they go", MozLz4(Sequence("abcdef"), 6).substr(0, 16), 100, "abc"},
        {"the size field bounds the text", MozLz4(Sequence("ab", 2, 20), 5), 100, "ababa"},
        {"so does the limit", MozLz4(Sequence("ab", 2, 20), 100), 7, "abababa"},
        {"no header", "mozLz40", 100, ""},
        {"another magic", std::string("mozLz41\0\3\0\0\0", 12) + Sequence("abc"), 100, ""},
    };
    for (const auto &c : cases) {
        std::string text = "old";
        EXPECT_EQ(DecodeMozLz4(c.file.data(), c.file.size(), c.limit, &text), !c.text.empty()) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
}

} // namespace
