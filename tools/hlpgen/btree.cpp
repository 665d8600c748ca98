/* B+ trees: the internal directory, |CONTEXT and |TTLBTREE are all stored as
 * a 38-byte header followed by fixed-size pages. Leaves are filled in key
 * order and chained; each index level above holds the first key of every
 * child but the first, whose page number is the index page's PreviousPage.
 * Viewers only descend the index and scan one leaf, so the order of keys is
 * what makes a lookup succeed: it must be the viewer's own comparison. */
#include <algorithm>
#include <cstring>

#include "hlpgen.h"

constexpr uint16_t BTREE_MAGIC = 0x293B;
constexpr uint16_t NO_PAGE = 0xFFFF;
constexpr size_t LEAF_HEADER_SIZE = 8;
constexpr size_t INDEX_HEADER_SIZE = 6;
constexpr size_t STRUCTURE_SIZE = 16;

/* Names compare as strcmp does: bytes as unsigned, the NUL ends the name. */
static int CompareNames(const HlpBytes &a, const HlpBytes &b)
{
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end()))
        return -1;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end()))
        return 1;
    return 0;
}

template <typename Number> static int Compare32(const HlpBytes &a, const HlpBytes &b)
{
    Number x = static_cast<Number>(GetU32(a.data()));
    Number y = static_cast<Number>(GetU32(b.data()));
    return x < y ? -1 : (x > y ? 1 : 0);
}

const BtreeKind DirectoryTree = {0x0402, 1024, "z4", CompareNames};
const BtreeKind ContextTree = {0x0002, 2048, "L4", Compare32<int32_t>};
const BtreeKind TitleTree = {0x0002, 2048, "Lz", Compare32<uint32_t>};

static void PutPageU16(HlpBytes &page, size_t at, unsigned value)
{
    page[at] = static_cast<uint8_t>(value);
    page[at + 1] = static_cast<uint8_t>(value >> 8);
}

/* Packs one level of pages, as many entries to a page as fit, and returns an
 * entry for each page: its smallest key and its page number. Leaves are
 * chained; an index level takes the first child of each page as the page's
 * PreviousPage instead of as an entry. */
static std::vector<BtreeEntry> BuildLevel(const BtreeKind &kind, const std::vector<BtreeEntry> &entries, bool leaves,
                                          std::vector<HlpBytes> &pages)
{
    std::vector<BtreeEntry> level;
    size_t next = 0;
    do {
        HlpBytes page(kind.pageSize, 0);
        uint16_t number = static_cast<uint16_t>(pages.size());
        level.push_back({entries.empty() ? HlpBytes() : entries[next].key, {}});
        PutU16(level.back().value, number);
        size_t used = leaves ? LEAF_HEADER_SIZE : INDEX_HEADER_SIZE;
        if (!leaves)
            PutPageU16(page, 4, GetU16(entries[next++].value.data()));
        unsigned count = 0;
        for (; next < entries.size(); ++next, ++count) {
            const BtreeEntry &entry = entries[next];
            if (used + entry.key.size() + entry.value.size() > kind.pageSize)
                break;
            std::copy(entry.key.begin(), entry.key.end(), page.data() + used);
            std::copy(entry.value.begin(), entry.value.end(), page.data() + used + entry.key.size());
            used += entry.key.size() + entry.value.size();
        }
        PutPageU16(page, 0, static_cast<unsigned>(kind.pageSize - used));
        PutPageU16(page, 2, count);
        if (leaves) {
            uint16_t previous = level.size() > 1 ? GetU16(level[level.size() - 2].value.data()) : NO_PAGE;
            PutPageU16(page, 4, previous);
            PutPageU16(page, 6, NO_PAGE);
            if (previous != NO_PAGE)
                PutPageU16(pages[previous], 6, number);
        }
        pages.push_back(page);
    } while (next < entries.size());
    return level;
}

bool BuildBtree(const BtreeKind &kind, std::vector<BtreeEntry> entries, HlpBytes *tree, std::string *error)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const BtreeEntry &a, const BtreeEntry &b) { return kind.compare(a.key, b.key) < 0; });
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i > 0 && kind.compare(entries[i - 1].key, entries[i].key) == 0)
            return Fail(error, "two entries with the same key in a B+ tree");
        /* An index entry (key + page number) must fit a page too, next to the header. */
        size_t size = std::max(entries[i].key.size() + entries[i].value.size(), entries[i].key.size() + 2);
        if (size + LEAF_HEADER_SIZE > kind.pageSize)
            return Fail(error, "a B+ tree entry is larger than a page");
    }

    std::vector<HlpBytes> pages;
    std::vector<BtreeEntry> level = BuildLevel(kind, entries, true, pages);
    unsigned levels = 1;
    while (level.size() > 1) {
        level = BuildLevel(kind, level, false, pages);
        ++levels;
    }
    if (pages.size() >= NO_PAGE)
        return Fail(error, "too many B+ tree pages");

    tree->clear();
    PutU16(*tree, BTREE_MAGIC);
    PutU16(*tree, kind.flags);
    PutU16(*tree, kind.pageSize);
    PutFixedString(*tree, kind.structure, STRUCTURE_SIZE);
    PutU16(*tree, 0);
    PutU16(*tree, static_cast<unsigned>(pages.size() - levels));
    PutU16(*tree, GetU16(level[0].value.data()));
    PutU16(*tree, NO_PAGE);
    PutU16(*tree, static_cast<unsigned>(pages.size()));
    PutU16(*tree, levels);
    PutU32(*tree, static_cast<uint32_t>(entries.size()));
    for (const HlpBytes &page : pages)
        PutBytes(*tree, page);
    return true;
}

/* ---- reading ------------------------------------------------------------ */

struct BtreeHeader {
    uint16_t pageSize;
    uint16_t rootPage;
    uint16_t totalPages;
    uint16_t levels;
    char structure[STRUCTURE_SIZE + 1];
};

static bool ReadBtreeHeader(const HlpBytes &tree, BtreeHeader *header)
{
    if (tree.size() < BTREE_HEADER_SIZE || GetU16(tree.data()) != BTREE_MAGIC)
        return false;
    header->pageSize = GetU16(tree.data() + 4);
    std::memcpy(header->structure, tree.data() + 6, STRUCTURE_SIZE);
    header->structure[STRUCTURE_SIZE] = 0;
    header->rootPage = GetU16(tree.data() + 26);
    header->totalPages = GetU16(tree.data() + 30);
    header->levels = GetU16(tree.data() + 32);
    return header->pageSize > LEAF_HEADER_SIZE && header->levels >= 1 && header->structure[0] != 0 &&
           header->rootPage < header->totalPages &&
           tree.size() >= BTREE_HEADER_SIZE + static_cast<size_t>(header->totalPages) * header->pageSize;
}

static const uint8_t *PageData(const HlpBytes &tree, const BtreeHeader &header, uint16_t page)
{
    if (page >= header.totalPages)
        return nullptr;
    return tree.data() + BTREE_HEADER_SIZE + static_cast<size_t>(page) * header.pageSize;
}

/* Size of one field at p, or 0 when it is malformed or runs past `end`. */
static size_t FieldSize(char field, const uint8_t *p, const uint8_t *end)
{
    switch (field) {
    case 'z': {
        const void *nul = std::memchr(p, 0, static_cast<size_t>(end - p));
        return nul ? static_cast<size_t>(static_cast<const uint8_t *>(nul) - p) + 1 : 0;
    }
    case 'L':
    case '4':
        return end - p >= 4 ? 4 : 0;
    case '2':
        return end - p >= 2 ? 2 : 0;
    default:
        return 0;
    }
}

/* Splits the entry at p into key (first field) and value (the others);
 * returns its size, 0 when malformed. */
static size_t ParseEntry(const char *structure, const uint8_t *p, const uint8_t *end, BtreeEntry *entry)
{
    size_t at = 0;
    for (const char *field = structure; *field; ++field) {
        size_t size = FieldSize(*field, p + at, end);
        if (size == 0)
            return 0;
        HlpBytes &target = field == structure ? entry->key : entry->value;
        target.insert(target.end(), p + at, p + at + size);
        at += size;
    }
    return at;
}

/* The entries of a page up to the first malformed one; false when there is one. */
static bool ReadPage(const BtreeHeader &header, const uint8_t *page, const char *structure, size_t headerSize,
                     std::vector<BtreeEntry> *entries)
{
    const uint8_t *p = page + headerSize;
    for (unsigned i = 0, n = GetU16(page + 2); i < n; ++i) {
        BtreeEntry entry;
        size_t size = ParseEntry(structure, p, page + header.pageSize, &entry);
        if (size == 0)
            return false;
        entries->push_back(entry);
        p += size;
    }
    return true;
}

/* The child page an index page leads to for a key. */
static bool DescendIndex(const BtreeHeader &header, const uint8_t *page, BtreeCompare compare, const HlpBytes *key,
                         uint16_t *child)
{
    *child = GetU16(page + 4);
    if (!key)
        return true;
    const char indexStructure[3] = {header.structure[0], '2', 0}; /* key, child page */
    std::vector<BtreeEntry> entries;
    bool whole = ReadPage(header, page, indexStructure, INDEX_HEADER_SIZE, &entries);
    for (const BtreeEntry &entry : entries) {
        if (compare(entry.key, *key) > 0)
            return true;
        *child = GetU16(entry.value.data());
    }
    return whole;
}

/* The leaf reached for a key; the first leaf when there is no key. */
static const uint8_t *FindLeaf(const HlpBytes &tree, const BtreeHeader &header, BtreeCompare compare,
                               const HlpBytes *key)
{
    uint16_t page = header.rootPage;
    for (unsigned level = 1; level < header.levels; ++level) {
        const uint8_t *data = PageData(tree, header, page);
        if (!data || !DescendIndex(header, data, compare, key, &page))
            return nullptr;
    }
    return PageData(tree, header, page);
}

bool ReadBtreeEntries(const HlpBytes &tree, std::vector<BtreeEntry> *entries, std::string *error)
{
    BtreeHeader header;
    if (!ReadBtreeHeader(tree, &header))
        return Fail(error, "bad B+ tree header");
    entries->clear();
    const uint8_t *leaf = FindLeaf(tree, header, nullptr, nullptr);
    for (unsigned visited = 0; leaf; ++visited) {
        if (visited >= header.totalPages)
            return Fail(error, "B+ tree leaves form a loop");
        if (!ReadPage(header, leaf, header.structure, LEAF_HEADER_SIZE, entries))
            return Fail(error, "B+ tree entry runs past its page");
        uint16_t next = GetU16(leaf + 6);
        leaf = next == NO_PAGE ? nullptr : PageData(tree, header, next);
        if (next != NO_PAGE && !leaf)
            return Fail(error, "B+ tree leaf links to a missing page");
    }
    return true;
}

bool FindBtreeValue(const HlpBytes &tree, BtreeCompare compare, const HlpBytes &key, HlpBytes *value)
{
    BtreeHeader header;
    if (!ReadBtreeHeader(tree, &header))
        return false;
    const uint8_t *leaf = FindLeaf(tree, header, compare, &key);
    if (!leaf)
        return false;
    std::vector<BtreeEntry> entries;
    ReadPage(header, leaf, header.structure, LEAF_HEADER_SIZE, &entries);
    for (const BtreeEntry &entry : entries) {
        int order = compare(entry.key, key);
        if (order == 0)
            *value = entry.value;
        if (order >= 0)
            return order == 0;
    }
    return false;
}
