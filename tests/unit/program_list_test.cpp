// The program list's sort order, and the shell helpers of the connection
// look-up: id-list joining and display-name conversion.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"
#include "launch/launch_internal.h"
#include "picking/picking_internal.h"

namespace {

ProgramListItem Item(const char *name, bool folder = false, bool goBack = false, bool connection = false)
{
    ProgramListItem item;
    memset(&item, 0, sizeof item);
    lstrcpynA(item.displayName, name, sizeof item.displayName);
    item.isFolder = folder;
    item.isGoBack = goBack;
    item.isConnection = connection;
    return item;
}

std::vector<std::string> Sorted(std::vector<ProgramListItem> items)
{
    std::sort(items.begin(), items.end(),
              [](const ProgramListItem &a, const ProgramListItem &b) { return CompareProgramListItems(&a, &b) < 0; });
    std::vector<std::string> names;
    for (const ProgramListItem &item : items)
        names.push_back(item.displayName);
    return names;
}

TEST(CompareProgramListItems, GoBackProgramsFoldersThenDialUp)
{
    std::vector<ProgramListItem> items = {
        Item("Dial-Up Networking", true, false, true),
        Item("Games", true),
        Item("B"),
        Item("Go Back", true, true),
        Item("Accessories", true),
        Item("A"),
    };
    std::vector<std::string> expected = {"Go Back", "A", "B", "Accessories", "Games", "Dial-Up Networking"};
    EXPECT_EQ(Sorted(items), expected);
}

TEST(CompareProgramListItems, ConnectionsAfterGoBackByName)
{
    std::vector<ProgramListItem> items = {Item("Dial Work", false, false, true), Item("Go Back", true, true),
                                          Item("Dial Home", false, false, true)};
    std::vector<std::string> expected = {"Go Back", "Dial Home", "Dial Work"};
    EXPECT_EQ(Sorted(items), expected);
    // Programs stand before connection entries; names compare case-sensitively
    // in the lstrcmpA order: by letter first, a lower-case name before the
    // same name in capitals.
    ProgramListItem program = Item("Zebra"), connection = Item("Dial A", false, false, true);
    EXPECT_LT(CompareProgramListItems(&program, &connection), 0);
    ProgramListItem lower = Item("apple"), upper = Item("Apple");
    EXPECT_LT(CompareProgramListItems(&lower, &upper), 0);
    EXPECT_EQ(CompareProgramListItems(&lower, &lower), 0);
    expected = {"apple", "Apple", "banana", "Banana"};
    EXPECT_EQ(Sorted({Item("Banana"), Item("apple"), Item("banana"), Item("Apple")}), expected);
}

TEST(ResolveShortcut, AnythingButALinkIsItsOwnTarget)
{
    ProgramListItem item = Item("Tool");
    lstrcpynA(item.path, "C:\\Tools\\tool.exe", sizeof item.path);
    EXPECT_TRUE(ResolveShortcut(&item));
    EXPECT_STREQ(item.target, "C:\\Tools\\tool.exe");
    EXPECT_STREQ(item.arguments, "");
    EXPECT_STREQ(item.iconPath, "");
    EXPECT_EQ(item.iconIndex, 0);

    // A ".LNK" that cannot be loaded falls back to its own path.
    CoInitialize(nullptr);
    ProgramListItem link = Item("Broken");
    lstrcpynA(link.path, "C:\\no such folder\\Broken.LNK", sizeof link.path);
    EXPECT_TRUE(ResolveShortcut(&link));
    EXPECT_STREQ(link.target, link.path);

    // An icon path too long to store: the program stays, without its icon.
    std::string folder = driver::ScratchDir(), self(MAX_PATH, '\0');
    self.resize(GetModuleFileNameA(nullptr, &self[0], MAX_PATH));
    ASSERT_TRUE(driver::CreateShortcut(folder + "\\Long.lnk", self, "--x", folder + "\\" + std::string(300, 'i'), 2));
    ProgramListItem longIcon = Item("Long");
    lstrcpynA(longIcon.path, (folder + "\\Long.lnk").c_str(), sizeof longIcon.path);
    EXPECT_TRUE(ResolveShortcut(&longIcon));
    EXPECT_STRNE(longIcon.target, "");
    EXPECT_STREQ(longIcon.arguments, "--x");
    EXPECT_STREQ(longIcon.iconPath, "");
    EXPECT_EQ(longIcon.iconIndex, 0);
    CoUninitialize();
}

// ---- id lists ------------------------------------------------------------------

std::vector<BYTE> IdList(const std::vector<std::string> &items)
{
    std::vector<BYTE> list;
    for (const std::string &text : items) {
        USHORT cb = (USHORT)(text.size() + 2);
        list.push_back((BYTE)cb);
        list.push_back((BYTE)(cb >> 8));
        list.insert(list.end(), text.begin(), text.end());
    }
    list.push_back(0);
    list.push_back(0);
    return list;
}

TEST(IdLists, SizeCountsEveryItemAndTheTerminator)
{
    EXPECT_EQ(IdListSize((LPCITEMIDLIST)IdList({}).data()), 2u);
    EXPECT_EQ(IdListSize((LPCITEMIDLIST)IdList({"abc", "de"}).data()), 5u + 4u + 2u);
    EXPECT_EQ(IdListSize(nullptr), 2u);
}

TEST(IdLists, JoiningPutsTheItemAfterTheFolderInOneBlock)
{
    IMalloc *allocator = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetMalloc(&allocator)));
    std::vector<BYTE> folder = IdList({"computer", "dialup"}), item = IdList({"Home"});
    LPITEMIDLIST joined = JoinIdLists(allocator, (LPCITEMIDLIST)folder.data(), (LPCITEMIDLIST)item.data());
    ASSERT_TRUE(joined);
    std::vector<BYTE> expected = IdList({"computer", "dialup", "Home"});
    EXPECT_EQ(IdListSize(joined), expected.size());
    EXPECT_EQ(std::vector<BYTE>((BYTE *)joined, (BYTE *)joined + expected.size()), expected);
    allocator->Free(joined);

    std::vector<BYTE> empty = IdList({});
    joined = JoinIdLists(allocator, (LPCITEMIDLIST)empty.data(), (LPCITEMIDLIST)item.data());
    ASSERT_TRUE(joined);
    EXPECT_EQ(std::vector<BYTE>((BYTE *)joined, (BYTE *)joined + item.size()), item);
    allocator->Free(joined);
    allocator->Release();
}

// ---- display names ---------------------------------------------------------------

TEST(StrRetToText, TheThreeKindsWholeOrNotAtAll)
{
    char text[260];
    STRRET name;

    name.uType = STRRET_WSTR;
    name.pOleStr = (LPWSTR)CoTaskMemAlloc(sizeof L"Office");
    memcpy(name.pOleStr, L"Office", sizeof L"Office");
    EXPECT_TRUE(StrRetToText(&name, nullptr, text, sizeof text));
    EXPECT_STREQ(text, "Office");
    EXPECT_EQ(name.pOleStr, nullptr) << "the shell's string is freed";

    std::wstring longName(260, L'w');
    name.uType = STRRET_WSTR;
    name.pOleStr = (LPWSTR)CoTaskMemAlloc((longName.size() + 1) * sizeof(WCHAR));
    memcpy(name.pOleStr, longName.c_str(), (longName.size() + 1) * sizeof(WCHAR));
    EXPECT_FALSE(StrRetToText(&name, nullptr, text, sizeof text)) << "a cut name would match another";
    EXPECT_STREQ(text, "");

    std::vector<BYTE> item = IdList({std::string("xx") + "Home" + '\0'});
    name.uType = STRRET_OFFSET;
    name.uOffset = 4;
    EXPECT_TRUE(StrRetToText(&name, (LPCITEMIDLIST)item.data(), text, sizeof text));
    EXPECT_STREQ(text, "Home");
    name.uOffset = 40; // outside the item
    EXPECT_FALSE(StrRetToText(&name, (LPCITEMIDLIST)item.data(), text, sizeof text));
    std::vector<BYTE> unterminated = IdList({"xxHome"});
    name.uOffset = 4;
    EXPECT_FALSE(StrRetToText(&name, (LPCITEMIDLIST)unterminated.data(), text, sizeof text));

    name.uType = STRRET_CSTR;
    lstrcpynA(name.cStr, "Work", sizeof name.cStr);
    EXPECT_TRUE(StrRetToText(&name, nullptr, text, sizeof text));
    EXPECT_STREQ(text, "Work");
    EXPECT_FALSE(StrRetToText(&name, nullptr, text, 4)) << "does not fit";

    name.uType = 7;
    EXPECT_FALSE(StrRetToText(&name, nullptr, text, sizeof text));
}

} // namespace
