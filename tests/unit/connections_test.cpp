// The shell helpers of the connection look-up: id-list joining and
// display-name conversion.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "launch/launch_internal.h"

namespace {

// ---- id lists ------------------------------------------------------------------

std::vector<BYTE> IdList(const std::vector<std::string> &items)
{
    std::vector<BYTE> list;
    for (const std::string &text : items) {
        auto cb = static_cast<USHORT>(text.size() + 2);
        list.push_back(static_cast<BYTE>(cb));
        list.push_back(static_cast<BYTE>(cb >> 8));
        list.insert(list.end(), text.begin(), text.end());
    }
    list.push_back(0);
    list.push_back(0);
    return list;
}

TEST(IdLists, SizeCountsEveryItemAndTheTerminator)
{
    EXPECT_EQ(IdListSize(reinterpret_cast<LPCITEMIDLIST>(IdList({}).data())), 2u);
    EXPECT_EQ(IdListSize(reinterpret_cast<LPCITEMIDLIST>(IdList({"abc", "de"}).data())), 5u + 4u + 2u);
    EXPECT_EQ(IdListSize(nullptr), 2u);
}

TEST(IdLists, JoiningPutsTheItemAfterTheFolderInOneBlock)
{
    IMalloc *allocator = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetMalloc(&allocator)));
    std::vector<BYTE> folder = IdList({"computer", "dialup"}), item = IdList({"Home"});
    LPITEMIDLIST joined = JoinIdLists(allocator, reinterpret_cast<LPCITEMIDLIST>(folder.data()),
                                      reinterpret_cast<LPCITEMIDLIST>(item.data()));
    ASSERT_TRUE(joined);
    std::vector<BYTE> expected = IdList({"computer", "dialup", "Home"});
    EXPECT_EQ(IdListSize(joined), expected.size());
    EXPECT_EQ(std::vector<BYTE>(reinterpret_cast<BYTE *>(joined), reinterpret_cast<BYTE *>(joined) + expected.size()),
              expected);
    allocator->Free(joined);

    std::vector<BYTE> empty = IdList({});
    joined = JoinIdLists(allocator, reinterpret_cast<LPCITEMIDLIST>(empty.data()),
                         reinterpret_cast<LPCITEMIDLIST>(item.data()));
    ASSERT_TRUE(joined);
    EXPECT_EQ(std::vector<BYTE>(reinterpret_cast<BYTE *>(joined), reinterpret_cast<BYTE *>(joined) + item.size()),
              item);
    allocator->Free(joined);
    allocator->Release();
}

// ---- display names ---------------------------------------------------------------

TEST(StrRetToText, TheThreeKindsWholeOrNotAtAll)
{
    char text[260];
    STRRET name;

    name.uType = STRRET_WSTR;
    name.pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof L"Office"));
    memcpy(name.pOleStr, L"Office", sizeof L"Office");
    EXPECT_TRUE(StrRetToText(&name, nullptr, text, sizeof text));
    EXPECT_STREQ(text, "Office");
    EXPECT_EQ(name.pOleStr, nullptr) << "the shell's string is freed";

    std::wstring longName(260, L'w');
    name.uType = STRRET_WSTR;
    name.pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc((longName.size() + 1) * sizeof(WCHAR)));
    memcpy(name.pOleStr, longName.c_str(), (longName.size() + 1) * sizeof(WCHAR));
    EXPECT_FALSE(StrRetToText(&name, nullptr, text, sizeof text)) << "a cut name would match another";
    EXPECT_STREQ(text, "");

    std::vector<BYTE> item = IdList({std::string("xx") + "Home" + '\0'});
    name.uType = STRRET_OFFSET;
    name.uOffset = 4;
    EXPECT_TRUE(StrRetToText(&name, reinterpret_cast<LPCITEMIDLIST>(item.data()), text, sizeof text));
    EXPECT_STREQ(text, "Home");
    name.uOffset = 40; // outside the item
    EXPECT_FALSE(StrRetToText(&name, reinterpret_cast<LPCITEMIDLIST>(item.data()), text, sizeof text));
    std::vector<BYTE> unterminated = IdList({"xxHome"});
    name.uOffset = 4;
    EXPECT_FALSE(StrRetToText(&name, reinterpret_cast<LPCITEMIDLIST>(unterminated.data()), text, sizeof text));

    name.uType = STRRET_CSTR;
    lstrcpynA(name.cStr, "Work", sizeof name.cStr);
    EXPECT_TRUE(StrRetToText(&name, nullptr, text, sizeof text));
    EXPECT_STREQ(text, "Work");
    EXPECT_FALSE(StrRetToText(&name, nullptr, text, 4)) << "does not fit";

    name.uType = 7;
    EXPECT_FALSE(StrRetToText(&name, nullptr, text, sizeof text));
}

} // namespace
