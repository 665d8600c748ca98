// The program list: its sort order, shortcut resolution and the Start Menu
// it reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"
#include "picking/picking_internal.h"

namespace {

ProgramListItem Item(const char *name, bool folder = false, bool goBack = false, bool connection = false)
{
    ProgramListItem item = {};
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

// Without the user's "Start Menu" value there is no folder to read: the list
// stays empty (no guess at a folder, not even the Dial-Up Networking entry).
TEST(StartMenuCache, MissingStartMenuValueReadsNoFolder)
{
    driver::PointStartMenuAt("");
    CoInitialize(nullptr);
    BuildStartMenuCache();
    HWND list = CreateWindowA("LISTBOX", "", LBS_OWNERDRAWFIXED, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    FillProgramList(list, "", 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
    DestroyWindow(list);
    CoUninitialize();
    driver::RestoreStartMenuFolder();
}

} // namespace
