// The readers of the bookmark picker, apart from its tree: the Netscape
// bookmark file parser, Internet shortcut files and the favorites folder scan.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "driver.h"
#include "setup/setup.h"

namespace {

// Collects what a reader reports as an indented outline: "Name/" for a
// folder, "Title = address" for a bookmark, two spaces per level.
struct Outline {
    struct Node {
        int depth;
    };
    std::deque<Node> folders;
    std::string text;
    int failFolder = -1;  // the n-th folder (from 0) is refused
    int folderCount = 0;
    size_t longest = 0;
};

void *Collect(void *context, void *parent, const char *name, const char *address)
{
    Outline *outline = (Outline *)context;
    int depth = parent ? ((Outline::Node *)parent)->depth + 1 : 0;
    outline->longest = std::max(outline->longest, strlen(name));
    outline->text += std::string(depth * 2, ' ') + name;
    if (address) {
        outline->longest = std::max(outline->longest, strlen(address));
        outline->text += std::string(" = ") + address + "\n";
        return nullptr;
    }
    outline->text += "/\n";
    if (outline->folderCount++ == outline->failFolder)
        return nullptr;
    outline->folders.push_back({depth});
    return &outline->folders.back();
}

std::string TempPath(const std::string &name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "springdeck-unit-" + std::to_string(GetCurrentProcessId()) + "-" + name;
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

std::string ParseText(const std::string &bytes, Outline *outline = nullptr)
{
    Outline local;
    Outline &result = outline ? *outline : local;
    std::string path = WriteFile("bookmarks.htm", bytes);
    ReadBookmarkFile(path.c_str(), nullptr, Collect, &result);
    DeleteFileA(path.c_str());
    return result.text;
}

std::string Repeat(const std::string &text, size_t count)
{
    std::string result;
    for (size_t i = 0; i < count; ++i)
        result += text;
    return result;
}

struct ParseCase {
    const char *name;
    std::string file;
    std::string outline;
};

TEST(BookmarkFileTest, ReadsFoldersAndBookmarks)
{
    const std::string longTitle(5000, 'T');
    const std::string longAddress = "http://" + std::string(4993, 'a');
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
         "<DT><A HREF=\"http://s.example/?a=1&amp;b=2\">Tom&#39;s &quot;page&quot; &bogus; &#999999;</A>\n"
         "</DL>\n</DL>\n",
         "R&D <new>/\n  Tom's \"page\" &bogus; &#999999; = http://s.example/?a=1&b=2\n"},
        {"tags in lower case",
         "<dl>\n<dt><h3>Work</h3>\n<dl>\n<dt><a href=\"http://a.example/\">A</a>\n</dl>\n</dl>\n",
         "Work/\n  A = http://a.example/\n"},
        {"no '>' after the address: the title is the address",
         "<DL>\n<DT><A HREF=\"http://bare.example/\"\n</DL>\n", "http://bare.example/ = http://bare.example/\n"},
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
        {"\"<DL>\" without a pending folder: its \"</DL>\" ends the current list early",
         "<DL>\n<DT><H3>Work</H3>\n<DL>\n<DT><A HREF=\"http://1/\">One</A>\n<DL>\n<DT><A HREF=\"http://2/\">Two</A>\n"
         "</DL>\n<DT><A HREF=\"http://3/\">Three</A>\n</DL>\n<DT><A HREF=\"http://4/\">Four</A>\n</DL>\n",
         "Work/\n  One = http://1/\n  Two = http://2/\nThree = http://3/\n"},
        {"a root list that never ends", "<DL>\n<DT><H3>Open</H3>\n<DL>\n<DT><A HREF=\"http://o/\">O</A>\n",
         "Open/\n  O = http://o/\n"},
        {"nothing after the root list is read",
         "<DL>\n<DT><A HREF=\"http://in/\">In</A>\n</DL>\n<DL>\n<DT><A HREF=\"http://out/\">Out</A>\n</DL>\n",
         "In = http://in/\n"},
        {"a 5,000-character title is cut to 255",
         "<DL>\n<DT><A HREF=\"http://long/\">" + longTitle + "</A>\n</DL>\n",
         std::string(255, 'T') + " = http://long/\n"},
        {"a 5,000-character address is cut to 255, its pieces skipped",
         "<DL>\n<DT><A HREF=\"" + longAddress + "\">Long</A>\n<DT><A HREF=\"http://after/\">After</A>\n</DL>\n",
         longAddress.substr(0, 255) + " = " + longAddress.substr(0, 255) + "\nAfter = http://after/\n"},
        {"a 1,000-character folder name is cut to 255",
         "<DL>\n<DT><H3>" + std::string(1000, 'N') + "</H3>\n</DL>\n", std::string(255, 'N') + "/\n"},
        {"no list at all", "<HTML><BODY>Nothing here</BODY></HTML>\n", ""},
        {"empty file", "", ""},
    };
    for (const ParseCase &c : cases) {
        Outline outline;
        EXPECT_EQ(ParseText(c.file, &outline), c.outline) << c.name;
        EXPECT_LE(outline.longest, BOOKMARK_TEXT_LENGTH) << c.name;
    }
}

// A long line reaches the parser in 1023-character pieces, each taken as a
// line: a title that starts beyond the first piece is not seen, so the
// bookmark is named by its address, and the rest of the line is skipped.
TEST(BookmarkFileTest, LongLineComesInPieces)
{
    std::string line = "<DT><A HREF=\"http://x/\" ICON=\"data:image/png;base64," + std::string(5000, 'Q') +
                       "\">Title</A>\n";
    EXPECT_EQ(ParseText("<DL>\n" + line + "<DT><A HREF=\"http://y/\">Y</A>\n</DL>\n"),
              "http://x/ = http://x/\nY = http://y/\n");
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
        "ICON=\"data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAYAAAAf8/9hAAAA\">Example Start</A>\n"
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
              "  Example Start = https://www.example.org/start?q=1&r=2\n"
              "  News/\n"
              "    Daily News = http://news.example.com/\n"
              "    Recent Tags = place:sort=8&maxResults=10\n"
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
    ParseText("<DL>\n<DT><H3>Refused</H3>\n<DL>\n<DT><H3>Inner</H3>\n<DL>\n<DT><A HREF=\"http://in/\">In</A>\n"
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
    const std::string alphabet = "<>\"/DLTHAREF= \t\r\n\0\x1a\xff";
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
                file += (char)(random() % 3 ? alphabet[random() % alphabet.size()] : random() % 256);
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
        {"longer than the buffer: cut", "[InternetShortcut]\r\nURL=" + longUrl + "\r\n", 256, longUrl.substr(0, 255)},
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
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), NULL));
    }
    void TearDown() override { driver::RemoveFolder(root); }

    void Folder(const std::string &relative) { CreateDirectoryA((root + "\\" + relative).c_str(), NULL); }
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

}  // namespace
