// The readers of the bookmark picker, apart from its tree: the Netscape
// bookmark file parser, Internet shortcut files and the favorites folder scan.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <deque>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "bookmark_outline.h"
#include "driver.h"
#include "setup/setup_internal.h"

using namespace std::string_literals;

namespace {

using driver::Ansi;

std::string TempPath(const std::string &name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    // Wine soon gives a later test's process the same id, and a folder too
    // deep for the shell to delete may be left behind: the start time too.
    static const std::string run = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    return std::string(folder) + "springdeck-unit-" + run + "-" + name;
}

// Writes the bytes as they are (no newline translation).
std::string WriteFile(const std::string &name, const std::string &bytes)
{
    std::string path = TempPath(name);
    FILE *file = fopen(path.c_str(), "wb");
    EXPECT_TRUE(file);
    if (file) {
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
    return path;
}

// Reads the bytes from a file, and from memory, which must give the same.
std::string ParseText(const std::string &bytes, Outline *outline = nullptr)
{
    Outline local, fromMemory;
    Outline &result = outline ? *outline : local;
    fromMemory.failFolder = result.failFolder;
    std::string path = WriteFile("bookmarks.htm", bytes);
    ReadBookmarkFile(path.c_str(), nullptr, Collect, &result);
    DeleteFileA(path.c_str());
    ReadBookmarkText(bytes.data(), bytes.size(), nullptr, Collect, &fromMemory);
    EXPECT_EQ(fromMemory.text, result.text);
    return result.text;
}

struct ParseCase {
    const char *name;
    std::string file;
    std::string outline;
};

TEST(BookmarkFileTest, ReadsFoldersAndBookmarks)
{
    const std::string longTitle(5000, 'T');
    const std::string address255 = "http://" + std::string(248, 'a');
    const ParseCase cases[] = {
        {"folder with a list, then a bookmark beside it",
         "<DL><p>\n"
         "    <DT><H3 ADD_DATE=\"1\">Work</H3>\n"
         "    <DL><p>\n"
         "        <DT><A HREF=\"http://mail.example.com/\">Mail</A>\n"
         "    </DL><p>\n"
         "    <DT><A HREF=\"http://news.example.com/\">News</A>\n"
         "</DL><p>\n",
         "Work/\n  Mail = http://mail.example.com/\nNews = http://news.example.com/\n"},
        {"character references are decoded in names and addresses",
         "<DL>\n<DT><H3>R&amp;D &lt;new&gt;</H3>\n<DL>\n"
         "<DT><A HREF=\"http://s.example/?a=1&amp;b=2\">Tom&#39;s &quot;page&quot; &bogus; &#1114112; &#xD800;</A>\n"
         "</DL>\n</DL>\n",
         "R&D <new>/\n  Tom's \"page\" &bogus; &#1114112; &#xD800; = http://s.example/?a=1&b=2\n"},
        {"tags in lower case", "<dl>\n<dt><h3>Work</h3>\n<dl>\n<dt><a href=\"http://a.example/\">A</a>\n</dl>\n</dl>\n",
         "Work/\n  A = http://a.example/\n"},
        {"no '>' after the address: the title is the address", "<DL>\n<DT><A HREF=\"http://bare.example/\"\n</DL>\n",
         "http://bare.example/ = http://bare.example/\n"},
        {"no closing quote: the address runs to the end of the line",
         "<DL>\n<DT><A HREF=\"http://open.example/\n</DL>\n", "http://open.example/ = http://open.example/\n"},
        {"no quote at all: skipped",
         "<DL>\n<DT><A HREF=http://noquote.example/>No quote</A>\n<DT><A HREF=\"http://b/\">B</A>\n</DL>\n",
         "B = http://b/\n"},
        {"empty address: skipped", "<DL>\n<DT><A HREF=\"\">Nothing</A>\n</DL>\n", ""},
        {"folder header without a list: an empty folder, later bookmarks stay at its level",
         "<DL>\n<DT><H3>Empty</H3>\n<DT><A HREF=\"http://c/\">C</A>\n</DL>\n", "Empty/\nC = http://c/\n"},
        {"folder header without '>': no name", "<DL>\n<DT><H3 FOLDED\n</DL>\n", "/\n"},
        {"bookmark lines between header and list keep the folder pending",
         "<DL>\n<DT><H3>F</H3>\n<DT><A HREF=\"http://d/\">D</A>\n<DL>\n<DT><A HREF=\"http://e/\">E</A>\n</DL>\n"
         "<DT><A HREF=\"http://g/\">G</A>\n</DL>\n",
         "F/\nD = http://d/\n  E = http://e/\nG = http://g/\n"},
        {"root indented with spaces", "<TITLE>Bookmarks</TITLE>\n   <DL><p>\n<DT><A HREF=\"http://f/\">F</A>\n</DL>\n",
         "F = http://f/\n"},
        {"root indented with a tab is not found", "\t<DL><p>\n<DT><A HREF=\"http://f/\">F</A>\n</DL>\n", ""},
        {"tab-indented entries are skipped",
         "<DL>\n\t<DT><A HREF=\"http://t/\">Tab</A>\n  <DT><A HREF=\"http://s/\">Space</A>\n</DL>\n",
         "Space = http://s/\n"},
        {"CRLF line ends", "<DL>\r\n<DT><H3>Work</H3>\r\n<DL>\r\n<DT><A HREF=\"http://m/\">Mail\r\n</DL>\r\n</DL>\r\n",
         "Work/\n  Mail = http://m/\n"},
        {"CR line ends", "<DL>\r<DT><H3>Work</H3>\r<DL>\r<DT><A HREF=\"http://m/\">Mail\r</DL>\r</DL>",
         "Work/\n  Mail = http://m/\n"},
        {"only web addresses, their scheme in lower case; a folder left empty stays",
         "<DL>\n<DT><H3>Scripts</H3>\n<DL>\n<DT><A HREF=\"javascript:alert(1)\">JS</A>\n<DT><A "
         "HREF=\"place:sort=8\">P</A>\n"
         "<DT><A HREF=\"about:blank\">A</A>\n<DT><A HREF=\"data:text/html,x\">D</A>\n<DT><A "
         "HREF=\"chrome://x/\">C</A>\n"
         "<DT><A HREF=\"www.example.com\">W</A>\n<DT><A HREF=\"httpx://a/\">X</A>\n</DL>\n"
         "<DT><A HREF=\"HTTP://Up.example/Path\">Up</A>\n<DT><A HREF=\"Mailto:me@example.com\">M</A>\n"
         "<DT><A HREF=\"sNews:s\">S</A>\n<DT><A HREF=\"FILE:///c|/a.htm\">F</A>\n<DT><A HREF=\"gopher:g\">G</A>\n"
         "<DT><A HREF=\"Telnet:t\">T</A>\n<DT><A HREF=\"ftp:f\">Ftp</A>\n<DT><A HREF=\"HTTPS:s\">Https</A>\n"
         "<DT><A HREF=\"news:n\">N</A>\n</DL>\n",
         "Scripts/\nUp = http://Up.example/Path\nM = mailto:me@example.com\nS = snews:s\nF = file:///c|/a.htm\n"
         "G = gopher:g\nT = telnet:t\nFtp = ftp:f\nHttps = https:s\nN = news:n\n"},
        {"\"<DL>\" without a pending folder: its \"</DL>\" ends the current list early",
         "<DL>\n<DT><H3>Work</H3>\n<DL>\n<DT><A HREF=\"http://1/\">One</A>\n<DL>\n<DT><A HREF=\"http://2/\">Two</A>\n"
         "</DL>\n<DT><A HREF=\"http://3/\">Three</A>\n</DL>\n<DT><A HREF=\"http://4/\">Four</A>\n</DL>\n",
         "Work/\n  One = http://1/\n  Two = http://2/\nThree = http://3/\n"},
        {"a root list that never ends", "<DL>\n<DT><H3>Open</H3>\n<DL>\n<DT><A HREF=\"http://o/\">O</A>\n",
         "Open/\n  O = http://o/\n"},
        {"nothing after the root list is read",
         "<DL>\n<DT><A HREF=\"http://in/\">In</A>\n</DL>\n<DL>\n<DT><A HREF=\"http://out/\">Out</A>\n</DL>\n",
         "In = http://in/\n"},
        {"a 5,000-character title is cut to 255", "<DL>\n<DT><A HREF=\"http://long/\">" + longTitle + "</A>\n</DL>\n",
         std::string(255, 'T') + " = http://long/\n"},
        {"an address of 255 characters (once decoded) is kept, a longer one left out",
         "<DL>\n<DT><A HREF=\"" + address255 + "\">Fits</A>\n<DT><A HREF=\"" + address255 +
             "b\">Long</A>\n"
             "<DT><A HREF=\"" +
             address255.substr(0, 251) + "&amp;\">Amp</A>\n</DL>\n",
         "Fits = " + address255 + "\nAmp = " + address255.substr(0, 251) + "&\n"},
        {"a 1,000-character folder name is cut to 255", "<DL>\n<DT><H3>" + std::string(1000, 'N') + "</H3>\n</DL>\n",
         std::string(255, 'N') + "/\n"},
        {"no list at all", "<HTML><BODY>Nothing here</BODY></HTML>\n", ""},
        {"empty file", "", ""},
    };
    for (const ParseCase &c : cases) {
        Outline outline;
        EXPECT_EQ(ParseText(c.file, &outline), c.outline) << c.name;
        EXPECT_LE(outline.longest, BOOKMARK_TEXT_LENGTH) << c.name;
    }
}

// A line is read whole, so the name after a long icon is found, up to 1 MB:
// a longer line is skipped.
TEST(BookmarkFileTest, LongLinesAreReadWholeUpToOneMegabyte)
{
    auto line = [](size_t length) {
        const std::string head = "<DT><A HREF=\"http://x/\" ICON=\"data:image/png;base64,", tail = "\">Title</A>";
        return head + std::string(length - head.size() - tail.size(), 'Q') + tail + "\n";
    };
    EXPECT_EQ(ParseText("<DL>\n" + line(5000) + line(1 << 20) + "</DL>\n"), "Title = http://x/\nTitle = http://x/\n");
    EXPECT_EQ(ParseText("<DL>\n" + line((1 << 20) + 1) + "<DT><A HREF=\"http://y/\">Y</A>\n</DL>\n"),
              "Y = http://y/\n");
}

// Names are decoded into the ANSI code page by the charset the file declares;
// addresses keep their bytes.
TEST(BookmarkFileTest, NamesInTheFilesCharset)
{
    const std::string meta = "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n";
    const std::string cafe = "Caf\xC3\xA9 \xE2\x80\x93 \xE4\xB8\xAD \xF0\x9F\x98\x80"; // an emoji is one character
    const ParseCase cases[] = {
        {"UTF-8 by META, bad bytes as '?', references too",
         meta + "<DL><p>\n<DT><H3>" + cafe +
             "</H3>\n<DL>\n<DT><A HREF=\"http://x/\xC3\xA9?q=&#233;&amp;\">"
             "&#8217;&#x2019;&#150; \xC3(\xFF</A>\n</DL>\n</DL>\n",
         Ansi(L"Caf\u00e9 \u2013 \u4e2d ?") + "/\n  " + Ansi(L"\u2019\u2019\u2013 ?(?") +
             " = http://x/\xC3\xA9?q=&#233;&\n"},
        {"UTF-8 by byte-order mark", "\xEF\xBB\xBF<DL>\n<DT><A HREF=\"http://x/\">" + cafe + "</A>\n</DL>\n",
         Ansi(L"Caf\u00e9 \u2013 \u4e2d ?") + " = http://x/\n"},
        {"UTF-8 by an HTML5 META",
         "<meta charset=\"utf-8\">\n<DL>\n<DT><A HREF=\"http://x/\">na\xC3\xAFve</A>\n</DL>\n",
         Ansi(L"na\u00efve") + " = http://x/\n"},
        {"no UTF-8 declared: bytes as they are, references converted",
         "<DL>\n<DT><A HREF=\"http://x/\">Caf\xC3\xA9 \xE9 &#8217;&#233;</A>\n</DL>\n",
         "Caf\xC3\xA9 \xE9 " + Ansi(L"\u2019\u00e9") + " = http://x/\n"},
        {"cut to 255 at a character's end",
         meta + "<DL>\n<DT><H3>" + std::string(254, 'n') + "\xC3\xA9\xC3\xA9</H3>\n</DL>\n",
         (std::string(254, 'n') + Ansi(L"\u00e9\u00e9")).substr(0, 255) + "/\n"},
    };
    for (const ParseCase &c : cases)
        EXPECT_EQ(ParseText(c.file), c.outline) << c.name;
}

// Windows refuses flags and a default character with UTF-8.
int WINAPI StrictConverter(UINT codePage, DWORD flags, LPCWCH wide, int units, LPSTR bytes, int size, LPCCH fill,
                           LPBOOL filled)
{
    if (codePage == CP_UTF8 && (flags || fill || filled))
        return 0;
    return WideCharToMultiByte(codePage, flags, wide, units, bytes, size, fill, filled);
}

// UTF-8 (current Windows offers it as the ANSI code page) and others.
TEST(BookmarkFileTest, CharactersInEachCodePage)
{
    const std::tuple<unsigned, UINT, std::string> cases[] = {
        {0xE9, CP_UTF8, "\xC3\xA9"}, {0x1F600, CP_UTF8, "\xF0\x9F\x98\x80"},
        {0xE9, 1252, "\xE9"},        {0x4E2D, 1252, "?"},
        {0x1F600, 1252, "?"},        {0x4E2D, 936, "\xD6\xD0"}};
    char bytes[4];
    SetWideCharConverter(StrictConverter);
    for (const auto &[codePoint, codePage, expected] : cases)
        EXPECT_EQ(std::string(bytes, std::max(CodePointToCodePage(codePoint, codePage, bytes), 0)), expected)
            << std::hex << codePoint << " in " << std::dec << codePage;
    SetWideCharConverter(nullptr);
}

TEST(BookmarkFileTest, StopsAfterTheFirstHundredThousand)
{
    std::string file = "<DL>\n" + Repeat("<DT><A HREF=\"http://a/\">a</A>\n", BOOKMARK_MAX_COUNT + 1) + "</DL>\n";
    Outline outline;
    ReadBookmarkText(file.data(), file.size(), nullptr, Collect, &outline);
    EXPECT_EQ(outline.text, Repeat("a = http://a/\n", BOOKMARK_MAX_COUNT));
}

TEST(BookmarkFileTest, CurrentBrowserExport)
{
    const std::string file =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
        "<!-- This is an automatically generated file.\n"
        "     It will be read and overwritten.\n"
        "     DO NOT EDIT! -->\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'self'; script-src 'none'\">\n"
        "<TITLE>Bookmarks</TITLE>\n"
        "<H1>Bookmarks Menu</H1>\n"
        "\n"
        "<DL><p>\n"
        "    <DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000500\" PERSONAL_TOOLBAR_FOLDER=\"true\">"
        "Bookmarks Toolbar</H3>\n"
        "    <DL><p>\n"
        "        <DT><A HREF=\"https://www.example.org/start?q=1&amp;r=2\" ADD_DATE=\"1700000001\" "
        "LAST_MODIFIED=\"1700000002\" ICON_URI=\"https://www.example.org/favicon.ico\" "
        "ICON=\"data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAYAAAAf8/9hAAAA" +
        std::string(2048, 'A') +
        "\">Example Start \xE2\x80\x93 Caf\xC3\xA9</A>\n"
        "        <DT><A HREF=\"javascript:(function(){alert(1)})()\" ADD_DATE=\"1700000002\">Bookmarklet</A>\n"
        "        <DD>A description line that belongs to the bookmark above\n"
        "        <DT><H3 ADD_DATE=\"1700000003\" LAST_MODIFIED=\"1700000004\">News</H3>\n"
        "        <DL><p>\n"
        "            <DT><A HREF=\"http://news.example.com/\" ADD_DATE=\"1700000005\" SHORTCUTURL=\"n\" "
        "TAGS=\"daily,news\">Daily News</A>\n"
        "            <HR>\n"
        "            <DT><A HREF=\"place:sort=8&amp;maxResults=10\" ADD_DATE=\"1700000006\">Recent Tags</A>\n"
        "        </DL><p>\n"
        "    </DL><p>\n"
        "    <DT><H3 ADD_DATE=\"1700000007\" LAST_MODIFIED=\"1700000008\">Empty Folder</H3>\n"
        "    <DL><p>\n"
        "    </DL><p>\n"
        "    <DT><A HREF=\"ftp://ftp.example.net/pub/\" ADD_DATE=\"1700000009\">Files</A>\n"
        "</DL>\n";
    EXPECT_EQ(ParseText(file),
              "Bookmarks Toolbar/\n"
              "  " +
                  Ansi(L"Example Start \u2013 Caf\u00e9") +
                  " = https://www.example.org/start?q=1&r=2\n"
                  "  News/\n"
                  "    Daily News = http://news.example.com/\n"
                  "Empty Folder/\n"
                  "Files = ftp://ftp.example.net/pub/\n");
}

TEST(BookmarkFileTest, DeepNestingIsBoundedAndLeavesTheTreeInShape)
{
    const int levels = 5000;
    std::string file = "<DL>\n";
    for (int i = 0; i < levels; ++i)
        file += "<DT><H3>L</H3>\n<DL>\n<DT><A HREF=\"http://deep/\">Deep</A>\n";
    file += Repeat("</DL>\n", levels);
    file += "<DT><A HREF=\"http://after/\">After</A>\n</DL>\n";

    Outline outline;
    ParseText(file, &outline);
    // Folders are reported down to the deepest shown level; the lists below
    // it are read past, and what follows them lands where it belongs.
    EXPECT_EQ(outline.folderCount, BOOKMARK_MAX_DEPTH);
    std::string deepest = std::string((BOOKMARK_MAX_DEPTH - 1) * 2, ' ') + "L/\n";
    EXPECT_NE(outline.text.find(deepest), std::string::npos);
    EXPECT_EQ(outline.text.find(std::string(BOOKMARK_MAX_DEPTH * 2, ' ') + "L/"), std::string::npos);
    const std::string last = "\nAfter = http://after/\n";
    ASSERT_GT(outline.text.size(), last.size());
    EXPECT_EQ(outline.text.substr(outline.text.size() - last.size()), last);
}

TEST(BookmarkFileTest, RefusedFolderTakesItsContentsAlong)
{
    Outline outline;
    outline.failFolder = 0;
    ParseText(
        "<DL>\n<DT><H3>Refused</H3>\n<DL>\n<DT><H3>Inner</H3>\n<DL>\n<DT><A HREF=\"http://in/\">In</A>\n"
        "</DL>\n</DL>\n<DT><A HREF=\"http://next/\">Next</A>\n</DL>\n",
        &outline);
    EXPECT_EQ(outline.text, "Refused/\nNext = http://next/\n");
}

TEST(BookmarkFileTest, MissingFileReportsNothing)
{
    Outline outline;
    ReadBookmarkFile(TempPath("no-such-file.htm").c_str(), nullptr, Collect, &outline);
    ReadBookmarkFile("", nullptr, Collect, &outline);
    EXPECT_EQ(outline.text, "");
}

// Random bytes and randomly damaged exports: whatever comes out, nothing is
// longer than an entry holds and the parser returns.
TEST(BookmarkFileTest, SurvivesJunk)
{
    const std::string sample =
        "<DL><p>\n<DT><H3 ADD_DATE=\"1\">Work</H3>\n<DL><p>\n<DT><A HREF=\"http://m/\" ADD_DATE=\"2\">Mail</A>\n"
        "</DL><p>\n<DT><A HREF=\"http://n/\">News</A>\n</DL><p>\n";
    const std::string alphabet = "<>\"/DLTHAREF= \t\r\n\0\x1a\xff"s; // with its NUL and what follows
    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round) {
        std::string file;
        if (round % 2) {
            file = Repeat(sample, 3);
            for (int edits = 0; edits < 20; ++edits)
                file[random() % file.size()] = alphabet[random() % alphabet.size()];
        } else {
            size_t size = random() % 6000;
            for (size_t i = 0; i < size; ++i)
                file += static_cast<char>(random() % 3 ? alphabet[random() % alphabet.size()] : random() % 256);
        }
        Outline outline;
        ParseText(file, &outline);
        ASSERT_LE(outline.longest, BOOKMARK_TEXT_LENGTH) << "round " << round;
    }
}

// ---- Internet shortcuts ----------------------------------------------------------

struct ShortcutCase {
    const char *name;
    std::string file;
    DWORD capacity;
    std::string address;
};

TEST(InternetShortcutTest, ReadsTheUrl)
{
    const std::string longUrl = "http://" + std::string(400, 'u') + "/";
    const ShortcutCase cases[] = {
        {"plain", "[InternetShortcut]\r\nURL=http://www.example.com/\r\n", 256, "http://www.example.com/"},
        {"other keys and sections around it",
         "[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nIconIndex=0\r\nURL=http://x/\r\nIconFile=\r\n",
         256, "http://x/"},
        {"LF line ends", "[InternetShortcut]\nURL=http://lf/\n", 256, "http://lf/"},
        {"no URL key", "[InternetShortcut]\r\nIconIndex=1\r\n", 256, ""},
        {"URL in another section", "[Other]\r\nURL=http://other/\r\n", 256, ""},
        {"empty URL", "[InternetShortcut]\r\nURL=\r\n", 256, ""},
        {"longer than the buffer: none (a cut one opens another page)", "[InternetShortcut]\r\nURL=" + longUrl + "\r\n",
         256, ""},
        {"a 100,000-character line: none", "[InternetShortcut]\r\nURL=http://" + std::string(100000, 'w') + "\r\n", 256,
         ""},
        {"fills the buffer exactly", "[InternetShortcut]\r\nURL=" + longUrl.substr(0, 255) + "\r\n", 256,
         longUrl.substr(0, 255)},
        {"empty file", "", 256, ""},
        {"binary junk", std::string("\0\xff\x01[Intern\0\r\nURL\x1a", 17), 256, ""},
    };
    for (const ShortcutCase &c : cases) {
        std::string path = WriteFile("shortcut.url", c.file);
        std::string buffer(c.capacity + 8, '#');
        ReadInternetShortcut(path.c_str(), &buffer[0], c.capacity);
        DeleteFileA(path.c_str());
        EXPECT_EQ(buffer.c_str(), c.address) << c.name;
        EXPECT_EQ(buffer.substr(c.capacity), std::string(8, '#')) << c.name << ": wrote past the buffer";
    }
    std::string buffer(16, '#');
    ReadInternetShortcut(TempPath("missing.url").c_str(), &buffer[0], 16);
    EXPECT_STREQ(buffer.c_str(), "");
}

// ---- the favorites folder ----------------------------------------------------------

class FavoritesFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = TempPath("favorites");
        driver::RemoveFolder(root);
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    }
    void TearDown() override { driver::RemoveFolder(root); }

    void Folder(const std::string &relative) { CreateDirectoryA((root + "\\" + relative).c_str(), nullptr); }
    void Shortcut(const std::string &relative, const std::string &url)
    {
        std::string path = root + "\\" + relative;
        FILE *file = fopen(path.c_str(), "wb");
        ASSERT_TRUE(file) << path;
        fprintf(file, "[InternetShortcut]\r\n%s\r\n", url.empty() ? "IconIndex=0" : ("URL=" + url).c_str());
        fclose(file);
    }

    // The outline with ".url" taken off the shortcut names: whether Windows
    // shows it depends on the user's Explorer setting.
    std::string Read(const std::string &folder)
    {
        Outline outline;
        ReadFavoritesFolder(folder.c_str(), nullptr, Collect, &outline);
        std::string text = outline.text;
        for (size_t at; (at = text.find(".url = ")) != std::string::npos;)
            text.erase(at, 4);
        return text;
    }

    std::string root;
};

TEST_F(FavoritesFolderTest, SubfoldersFirstThenShortcutsWithAnAddress)
{
    Folder("Links");
    Shortcut("Links\\Inner.url", "http://inner/");
    Folder("Empty");
    Shortcut("Top.url", "http://top/");
    Shortcut("NoAddress.url", "");
    Shortcut("notes.txt", "http://not-a-shortcut/");

    std::string outline = Read(root);
    // Folders keep the file system's order, as do shortcuts; only the two
    // groups have a fixed order.
    EXPECT_TRUE(outline == "Empty/\nLinks/\n  Inner = http://inner/\nTop = http://top/\n" ||
                outline == "Links/\n  Inner = http://inner/\nEmpty/\nTop = http://top/\n")
        << outline;
}

TEST_F(FavoritesFolderTest, OnlyWebAddressesThatFitWhole)
{
    Shortcut("Script.url", "javascript:alert(1)");
    Shortcut("Place.url", "place:sort=8");
    Shortcut("Long.url", "http://" + std::string(300, 'l') + "/");
    Shortcut("Upper.url", "HTTP://Upper.example/");
    EXPECT_EQ(Read(root), "Upper = http://Upper.example/\n");
}

// A file system that gives every folder the file index 0.
BOOL WINAPI IndexZero(HANDLE file, BY_HANDLE_FILE_INFORMATION *info)
{
    BOOL known = GetFileInformationByHandle(file, info);
    info->nFileIndexHigh = info->nFileIndexLow = 0;
    return known;
}

// Two links back to ancestors would make the walk endless: folder links are
// left out. A file index of 0 tells nothing of where a folder is.
TEST_F(FavoritesFolderTest, FolderLinksAreNotFollowed)
{
    Folder("A");
    Folder("A\\B");
    Shortcut("A\\B\\In.url", "http://in/");
    ASSERT_TRUE(driver::MakeFolderLink(root + "\\A\\B\\Up", ".."));
    ASSERT_TRUE(driver::MakeFolderLink(root + "\\A\\B\\Top", "../.."));
    EXPECT_EQ(Read(root), "A/\n  B/\n    In = http://in/\n");
    SetFileInformationReader(IndexZero);
    EXPECT_EQ(Read(root), "A/\n  B/\n    In = http://in/\n");
    SetFileInformationReader(nullptr);
}

TEST_F(FavoritesFolderTest, NoFolderNameMeansNothingIsRead)
{
    EXPECT_EQ(Read(""), "");
    EXPECT_EQ(Read(root + "\\missing"), "");
}

TEST_F(FavoritesFolderTest, PathsTooLongForTheBufferAreSkipped)
{
    // root\<name> reaches 255 characters with the folder itself, so nothing
    // inside it fits.
    std::string name = "x";
    name += std::string(255 - root.size() - 2, 'd');
    Folder(name);
    Shortcut(name + "\\Inside.url", "http://inside/");
    std::string shortName = name.substr(0, name.size() - 12);
    Folder(shortName);
    Shortcut(shortName + "\\Fits.url", "http://fits/");
    std::string outline = Read(root);
    EXPECT_NE(outline.find(shortName + "/\n  Fits = http://fits/\n"), std::string::npos) << outline;
    EXPECT_NE(outline.find(name + "/\n"), std::string::npos) << outline;
    EXPECT_EQ(outline.find("Inside"), std::string::npos) << outline;
}

} // namespace
