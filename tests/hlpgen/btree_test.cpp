// B+ trees of the help generator: page layout, key order and lookups the way
// a viewer searches them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "hlpgen.h"

static HlpBytes U32(uint32_t value)
{
    HlpBytes bytes;
    PutU32(bytes, value);
    return bytes;
}

static HlpBytes Name(const std::string &name)
{
    HlpBytes bytes;
    PutStringZ(bytes, name);
    return bytes;
}

static uint16_t HeaderField(const HlpBytes &tree, size_t at) { return GetU16(tree.data() + at); }

// Builds a tree, then checks that every entry comes back in order from the
// leaf chain and is found by a viewer-style lookup.
static void ExpectComplete(const BtreeKind &kind, const std::vector<BtreeEntry> &entries, HlpBytes *tree)
{
    std::string error;
    ASSERT_TRUE(BuildBtree(kind, entries, tree, &error)) << error;
    std::vector<BtreeEntry> back;
    ASSERT_TRUE(ReadBtreeEntries(*tree, &back, &error)) << error;
    ASSERT_EQ(back.size(), entries.size());
    for (size_t i = 1; i < back.size(); ++i)
        EXPECT_LT(kind.compare(back[i - 1].key, back[i].key), 0) << i;
    EXPECT_EQ(GetU32(tree->data() + 34), entries.size());
    for (const BtreeEntry &entry : entries) {
        HlpBytes value;
        ASSERT_TRUE(FindBtreeValue(*tree, kind.compare, entry.key, &value));
        EXPECT_EQ(value, entry.value);
    }
}

TEST(HlpBtree, OneLeafContextTreeHasTheExpectedBytes)
{
    // Three contexts of which one hash is negative as a signed number: it
    // must sort first, or the viewer never finds the others.
    std::vector<BtreeEntry> entries = {
        {U32(0x038D9259), U32(0x81)}, {U32(0x07B55B60), U32(0x5D)}, {U32(0x98108E3D), U32(0x00)}};
    HlpBytes tree;
    ExpectComplete(ContextTree, entries, &tree);
    ASSERT_EQ(tree.size(), BTREE_HEADER_SIZE + 2048);
    EXPECT_EQ(HeaderField(tree, 0), 0x293B);
    EXPECT_EQ(HeaderField(tree, 2), 0x0002);
    EXPECT_EQ(HeaderField(tree, 4), 2048);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(tree.data() + 6)), "L4");
    EXPECT_EQ(HeaderField(tree, 24), 0); // page splits
    EXPECT_EQ(HeaderField(tree, 26), 0); // root page
    EXPECT_EQ(HeaderField(tree, 28), 0xFFFF);
    EXPECT_EQ(HeaderField(tree, 30), 1); // pages
    EXPECT_EQ(HeaderField(tree, 32), 1); // levels
    const HlpBytes leaf(tree.begin() + BTREE_HEADER_SIZE, tree.begin() + BTREE_HEADER_SIZE + 32);
    const HlpBytes expected = {0xE0, 0x07, 0x03, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, //
                               0x3D, 0x8E, 0x10, 0x98, 0x00, 0x00, 0x00, 0x00, //
                               0x59, 0x92, 0x8D, 0x03, 0x81, 0x00, 0x00, 0x00, //
                               0x60, 0x5B, 0xB5, 0x07, 0x5D, 0x00, 0x00, 0x00};
    EXPECT_EQ(leaf, expected);
    EXPECT_TRUE(std::all_of(tree.begin() + BTREE_HEADER_SIZE + 32, tree.end(), [](uint8_t b) { return b == 0; }));
}

TEST(HlpBtree, TwoLeafDirectoryTreeHasTheExpectedBytes)
{
    // Entries of 500 bytes: two fill the first 1 KiB leaf, the third starts a
    // second one, and an index page after them leads to it.
    const std::string a = "|" + std::string(494, 'A'), b = "|" + std::string(494, 'B'), c = "|" + std::string(494, 'C');
    HlpBytes tree;
    ExpectComplete(DirectoryTree, {{Name(a), U32(1)}, {Name(b), U32(2)}, {Name(c), U32(3)}}, &tree);
    auto page = [](std::initializer_list<uint8_t> head, const std::string &text, size_t size = 1024) {
        HlpBytes bytes(head);
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.resize(size, 0);
        return bytes;
    };
    // Magic, flags 0x0402, 1 KiB pages, "z4"; then zero, 1 split, root page 2, -1, 3 pages, 2 levels, 3 entries.
    HlpBytes expected = page({0x3B, 0x29, 0x02, 0x04, 0x00, 0x04, 'z', '4'}, "", 22);
    expected.insert(expected.end(), {0, 0, 0x01, 0, 0x02, 0, 0xFF, 0xFF, 0x03, 0, 0x02, 0, 0x03, 0, 0, 0});
    // Leaves: free bytes, entries, previous and next page; the index page:
    // free bytes, entries, the page below its first key, then (key, page).
    const std::string z(1, '\0');
    for (const HlpBytes &bytes : {page({0x10, 0x00, 0x02, 0x00, 0xFF, 0xFF, 0x01, 0x00},
                                       a + z + "\x01" + z + z + z + b + z + "\x02" + z + z + z),
                                  page({0x04, 0x02, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF}, c + z + "\x03" + z + z + z),
                                  page({0x08, 0x02, 0x01, 0x00, 0x00, 0x00}, c + z + "\x01" + z)})
        expected.insert(expected.end(), bytes.begin(), bytes.end());
    EXPECT_EQ(tree, expected);
}

TEST(HlpBtree, DirectoryNamesSortAsBytes)
{
    std::vector<BtreeEntry> entries = {
        {Name("|Phrases"), U32(3)}, {Name("|TOPIC"), U32(2)}, {Name("|PhrIndex"), U32(4)}, {Name("|CONTEXT"), U32(1)}};
    HlpBytes tree;
    ExpectComplete(DirectoryTree, entries, &tree);
    std::vector<BtreeEntry> back;
    std::string error;
    ASSERT_TRUE(ReadBtreeEntries(tree, &back, &error));
    EXPECT_EQ(back[0].key, Name("|CONTEXT"));
    EXPECT_EQ(back[1].key, Name("|PhrIndex")); // upper case before lower case
    EXPECT_EQ(back[2].key, Name("|Phrases"));
    EXPECT_EQ(HeaderField(tree, 2), 0x0402);
    EXPECT_EQ(HeaderField(tree, 4), 1024);
}

TEST(HlpBtree, ManyEntriesGrowIndexLevels)
{
    // 3000 contexts: 12 leaves under one index page.
    std::vector<BtreeEntry> contexts;
    for (uint32_t i = 0; i < 3000; ++i)
        contexts.push_back({U32(i * 2654435761u), U32(i)});
    HlpBytes tree;
    ExpectComplete(ContextTree, contexts, &tree);
    EXPECT_EQ(HeaderField(tree, 32), 2);      // levels
    EXPECT_EQ(HeaderField(tree, 30), 13);     // 12 leaves + index
    EXPECT_EQ(HeaderField(tree, 26), 12);     // the index page is the root
    EXPECT_EQ(HeaderField(tree, 24), 13 - 2); // page splits

    // Long names in 1 KiB pages overflow one index page as well: three levels.
    std::vector<BtreeEntry> names;
    for (int i = 0; i < 500; ++i) {
        char name[128];
        snprintf(name, sizeof name, "|file%05d_%s", i, std::string(90, 'x').c_str());
        names.push_back({Name(name), U32(static_cast<uint32_t>(i))});
    }
    ExpectComplete(DirectoryTree, names, &tree);
    EXPECT_EQ(HeaderField(tree, 32), 3);
    HlpBytes value;
    EXPECT_FALSE(FindBtreeValue(tree, DirectoryTree.compare, Name("|file00250_"), &value));
    EXPECT_FALSE(FindBtreeValue(tree, DirectoryTree.compare, Name("|zzz"), &value));
    EXPECT_FALSE(FindBtreeValue(tree, DirectoryTree.compare, Name("|a"), &value));
}

TEST(HlpBtree, TitleTreeSortsOffsetsUnsigned)
{
    std::vector<BtreeEntry> titles = {{U32(0x80000000u), Name("Late")}, {U32(5), Name("Early")}};
    HlpBytes tree;
    ExpectComplete(TitleTree, titles, &tree);
    std::vector<BtreeEntry> back;
    std::string error;
    ASSERT_TRUE(ReadBtreeEntries(tree, &back, &error));
    EXPECT_EQ(back[0].value, Name("Early"));
}

TEST(HlpBtree, RefusesDuplicatesOversizedEntriesAndDamagedTrees)
{
    HlpBytes tree;
    std::string error;
    EXPECT_FALSE(BuildBtree(ContextTree, {{U32(7), U32(1)}, {U32(7), U32(2)}}, &tree, &error));
    EXPECT_FALSE(BuildBtree(DirectoryTree, {{Name(std::string(1100, 'n')), U32(1)}}, &tree, &error));

    ASSERT_TRUE(BuildBtree(ContextTree, {{U32(7), U32(1)}}, &tree, &error));
    std::vector<BtreeEntry> back;
    HlpBytes damaged = tree;
    damaged[0] = 0; // magic
    EXPECT_FALSE(ReadBtreeEntries(damaged, &back, &error));
    damaged = tree;
    damaged.resize(tree.size() - 1); // last page cut short
    EXPECT_FALSE(ReadBtreeEntries(damaged, &back, &error));
    damaged = tree;
    damaged[BTREE_HEADER_SIZE + 3] = 0xFF; // more entries than the page holds
    EXPECT_FALSE(ReadBtreeEntries(damaged, &back, &error));
}
