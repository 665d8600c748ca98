/* B+ trees: the internal directory, |CONTEXT and |TTLBTREE are all stored as
 * a 38-byte header followed by fixed-size pages. Leaves are filled in key
 * order and chained; each index level above holds the first key of every
 * child but the first, whose page number is the index page's PreviousPage.
 * Viewers only descend the index and scan one leaf, so the order of keys is
 * what makes a lookup succeed: it must be the viewer's own comparison. */
#include <algorithm>
#include <cstring>

#include "hlpgen.h"

static constexpr uint16_t BTREE_MAGIC = 0x293B;
static constexpr uint16_t NO_PAGE = 0xFFFF;
static constexpr size_t LEAF_HEADER_SIZE = 8;
static constexpr size_t INDEX_HEADER_SIZE = 6;
static constexpr size_t STRUCTURE_SIZE = 16;

/* Names compare as strcmp does: bytes as unsigned, the NUL ends the name. */
static int CompareNames(const HlpBytes &a, const HlpBytes &b)
{
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end()))
        return -1;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end()))
        return 1;
    return 0;
}

template <typename Number>
static int Compare32(const HlpBytes &a, const HlpBytes &b)
{
    Number x = static_cast<Number>(GetU32(a.data()));
    Number y = static_cast<Number>(GetU32(b.data()));
    return x < y ? -1 : (x > y ? 1 : 0);
}

const BtreeKind DirectoryTree = {0x0402, 1024, "z4", CompareNames};
const BtreeKind ContextTree = {0x0002, 2048, "L4", Compare32<int32_t>};
const BtreeKind TitleTree = {0x0002, 2048, "Lz", Compare32<uint32_t>};

/* A page being built: its number and the smallest key below it. */
struct BtreeNode {
    uint16_t page;
    HlpBytes firstKey;
};

static void PutPageU16(HlpBytes &page, size_t at, unsigned value)
{
    page[at] = static_cast<uint8_t>(value);
    page[at + 1] = static_cast<uint8_t>(value >> 8);
}

static std::vector<BtreeNode> BuildLeaves(const BtreeKind &kind, const std::vector<BtreeEntry> &entries,
                                          std::vector<HlpBytes> &pages)
{
    std::vector<BtreeNode> leaves;
    size_t next = 0;
    do {
        HlpBytes page(kind.pageSize, 0);
        size_t used = LEAF_HEADER_SIZE;
        unsigned count = 0;
        BtreeNode node{static_cast<uint16_t>(pages.size()), {}};
        while (next < entries.size()) {
            const BtreeEntry &entry = entries[next];
            size_t size = entry.key.size() + entry.value.size();
            if (used + size > kind.pageSize)
                break;
            if (count == 0)
                node.firstKey = entry.key;
            std::copy(entry.key.begin(), entry.key.end(), page.begin() + used);
            std::copy(entry.value.begin(), entry.value.end(), page.begin() + used + entry.key.size());
            used += size;
            ++count;
            ++next;
        }
        PutPageU16(page, 0, static_cast<unsigned>(kind.pageSize - used));
        PutPageU16(page, 2, count);
        PutPageU16(page, 4, leaves.empty() ? NO_PAGE : leaves.back().page);
        PutPageU16(page, 6, NO_PAGE);
        if (!leaves.empty())
            PutPageU16(pages[leaves.back().page], 6, node.page);
        pages.push_back(page);
        leaves.push_back(node);
    } while (next < entries.size());
    return leaves;
}

static std::vector<BtreeNode> BuildIndexLevel(const BtreeKind &kind, const std::vector<BtreeNode> &children,
                                              std::vector<HlpBytes> &pages)
{
    std::vector<BtreeNode> parents;
    size_t next = 0;
    while (next < children.size()) {
        HlpBytes page(kind.pageSize, 0);
        BtreeNode node{static_cast<uint16_t>(pages.size()), children[next].firstKey};
        PutPageU16(page, 4, children[next].page);
        ++next;
        size_t used = INDEX_HEADER_SIZE;
        unsigned count = 0;
        while (next < children.size() && used + children[next].firstKey.size() + 2 <= kind.pageSize) {
            const HlpBytes &key = children[next].firstKey;
            std::copy(key.begin(), key.end(), page.begin() + used);
            PutPageU16(page, used + key.size(), children[next].page);
            used += key.size() + 2;
            ++count;
            ++next;
        }
        PutPageU16(page, 0, static_cast<unsigned>(kind.pageSize - used));
        PutPageU16(page, 2, count);
        pages.push_back(page);
        parents.push_back(node);
    }
    return parents;
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
    std::vector<BtreeNode> level = BuildLeaves(kind, entries, pages);
    unsigned levels = 1;
    while (level.size() > 1) {
        level = BuildIndexLevel(kind, level, pages);
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
    PutU16(*tree, level[0].page);
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

/* The entries of a leaf up to the first malformed one; false when there is one. */
static bool ReadLeaf(const BtreeHeader &header, const uint8_t *leaf, std::vector<BtreeEntry> *entries)
{
    const uint8_t *p = leaf + LEAF_HEADER_SIZE;
    for (unsigned i = 0, n = GetU16(leaf + 2); i < n; ++i) {
        BtreeEntry entry;
        size_t size = ParseEntry(header.structure, p, leaf + header.pageSize, &entry);
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
    const uint8_t *end = page + header.pageSize;
    const uint8_t *p = page + INDEX_HEADER_SIZE;
    const char keyField[2] = {header.structure[0], 0};
    for (unsigned i = 0, n = GetU16(page + 2); i < n; ++i) {
        BtreeEntry entry;
        size_t size = ParseEntry(keyField, p, end, &entry);
        if (size == 0 || end - (p + size) < 2)
            return false;
        if (compare(entry.key, *key) > 0)
            break;
        *child = GetU16(p + size);
        p += size + 2;
    }
    return true;
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
        if (!ReadLeaf(header, leaf, entries))
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
    ReadLeaf(header, leaf, &entries);
    for (const BtreeEntry &entry : entries) {
        int order = compare(entry.key, key);
        if (order == 0)
            *value = entry.value;
        if (order >= 0)
            return order == 0;
    }
    return false;
}
