/* hlpgen: Springdeck's own help compiler.
 *
 * Turns a few plain-text topics into a Windows Help 3.1 file (.hlp) that
 * WinHelp and Wine's winhlp32 open with HELP_CONTEXT, and reads such a file
 * back so that the build and the tests can check what was written; from the
 * same topics it also writes an HTML Help project for chmcmd. Each section
 * below names the file that implements it; main.cpp is the command line.
 *
 * Portable C++17 only: the same sources build for the host (the generator)
 * and for Windows (the unit tests, run under Wine).
 */
#ifndef SPRINGDECK_HLPGEN_H
#define SPRINGDECK_HLPGEN_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using HlpBytes = std::vector<uint8_t>;

/* Sets *error and returns false, for `return Fail(error, "...")`. */
inline bool Fail(std::string *error, const std::string &message)
{
    *error = message;
    return false;
}

/* ---- bytes.cpp ---------------------------------------------------------- */

void PutU8(HlpBytes &out, unsigned value);
void PutU16(HlpBytes &out, unsigned value);
void PutU32(HlpBytes &out, uint32_t value);
void PutBytes(HlpBytes &out, const HlpBytes &bytes);
void PutStringZ(HlpBytes &out, const std::string &text);
/* The text NUL-padded (or cut) to exactly `width` bytes. */
void PutFixedString(HlpBytes &out, const std::string &text, size_t width);
void SetU32(HlpBytes &out, size_t at, uint32_t value);
uint16_t GetU16(const uint8_t *p);
uint32_t GetU32(const uint8_t *p);

/* Compressed integers, short forms only (viewers read the long forms
 * differently); callers keep within these limits. */
constexpr unsigned MAX_COMPRESSED_USHORT = 32767; /* 1 or 2 bytes */
constexpr long MAX_COMPRESSED_SLONG = 16383;      /* 2 bytes, from -16384 */
void PutCompressedUShort(HlpBytes &out, unsigned value);
void PutCompressedSShort(HlpBytes &out, int value); /* -64..63: 1 byte */
void PutCompressedSLong(HlpBytes &out, long value);
/* Readers accept both forms; they return false when the data ends early. */
bool GetCompressedUShort(const uint8_t *p, size_t size, size_t *at, unsigned *value);
bool GetCompressedSShort(const uint8_t *p, size_t size, size_t *at, int *value);
bool GetCompressedSLong(const uint8_t *p, size_t size, size_t *at, long *value);

/* ---- context_hash.cpp --------------------------------------------------- */

/* Non-empty, of A-Z, a-z, 0-9, '.' and '_' only: every viewer hashes these alike. */
bool IsContextName(const std::string &name);
uint32_t HashContextName(const std::string &name);

/* ---- btree.cpp ---------------------------------------------------------- */

struct BtreeEntry {
    HlpBytes key;
    HlpBytes value;
};

using BtreeCompare = int (*)(const HlpBytes &a, const HlpBytes &b);

struct BtreeKind {
    uint16_t flags;
    uint16_t pageSize;
    const char *structure; /* field letters: z = STRINGZ, L and 4 = 4 bytes */
    BtreeCompare compare;
};

extern const BtreeKind DirectoryTree; /* "z4": file name -> file offset */
extern const BtreeKind ContextTree;   /* "L4": context hash -> TOPICOFFSET */
extern const BtreeKind TitleTree;     /* "Lz": TOPICOFFSET -> title */

constexpr size_t BTREE_HEADER_SIZE = 38;

/* Sorts the entries into the kind's key order and lays them out as a B+ tree;
 * refuses duplicate keys and entries larger than a page. */
bool BuildBtree(const BtreeKind &kind, std::vector<BtreeEntry> entries, HlpBytes *tree, std::string *error);
bool ReadBtreeEntries(const HlpBytes &tree, std::vector<BtreeEntry> *entries, std::string *error);
/* Finds a key the way WinHelp does: down the index pages from the root, then
 * along one leaf until the first greater key. */
bool FindBtreeValue(const HlpBytes &tree, BtreeCompare compare, const HlpBytes &key, HlpBytes *value);

/* ---- the book: what a help file says ------------------------------------ */

struct HelpRun {
    std::string text;
    std::string jumpTo; /* context name of the target topic; empty for plain text */
    bool bold = false;  /* plain text only */
};

struct HelpParagraph {
    bool heading = false;
    std::vector<HelpRun> runs;
};

struct HelpTopic {
    std::string name;      /* context name */
    bool hasMapId = false; /* reachable through HELP_CONTEXT */
    uint32_t mapId = 0;
    std::string title;
    std::vector<HelpParagraph> paragraphs;
};

struct HelpFontStyle {
    uint8_t attributes; /* bit 0 bold, bit 1 italic, bit 2 underline */
    uint8_t halfPoints;
};

/* Font descriptors the text refers to, by index into HelpBook::fonts. */
constexpr unsigned FONT_BODY = 0;
constexpr unsigned FONT_TITLE = 1;
constexpr unsigned FONT_BOLD = 2; /* headings and bold words */

struct HelpBook {
    std::string title;
    std::string copyright;
    std::string face = "Arial";
    std::vector<HelpFontStyle> fonts = {{0, 20}, {1, 24}, {1, 20}};
    std::string contentsTopic; /* context name; empty means the first topic */
    std::vector<HelpTopic> topics;
};

/* ---- format constants shared by writer and reader ----------------------- */

constexpr uint32_t HELP_MAGIC = 0x00035F3F;
constexpr size_t HELP_HEADER_SIZE = 16;
constexpr size_t FILE_HEADER_SIZE = 9; /* before each internal file */
constexpr uint16_t SYSTEM_MAGIC = 0x036C;
constexpr uint32_t NO_LINK = 0xFFFFFFFF; /* "none" in 32-bit links */

constexpr uint8_t RECORD_TOPIC_HEADER = 0x02;
constexpr uint8_t RECORD_TEXT = 0x20;
constexpr size_t TOPIC_LINK_SIZE = 21;
constexpr size_t TOPIC_BLOCK_SIZE = 4096;
constexpr size_t TOPIC_BLOCK_HEADER_SIZE = 12;
constexpr size_t TOPIC_BLOCK_DATA_SIZE = TOPIC_BLOCK_SIZE - TOPIC_BLOCK_HEADER_SIZE;
constexpr uint32_t TOPIC_POS_PER_BLOCK = 0x4000;    /* TOPICPOS step per block */
constexpr uint32_t TOPIC_OFFSET_PER_BLOCK = 0x8000; /* TOPICOFFSET step per block */

/* ---- topic_records.cpp -------------------------------------------------- */

struct TopicRecord {
    uint8_t type = 0;
    HlpBytes linkData1;
    HlpBytes linkData2;
    uint32_t topicLength = 0; /* characters a text record adds to TOPICOFFSETs */
    uint32_t topicPos = 0;    /* set by LayoutTopicRecords */
    uint32_t topicOffset = 0;
};

bool BuildTextRecord(const HelpTopic &topic, TopicRecord *record, std::string *error);
/* A record's header and LinkData1 never straddle two blocks; LinkData2 may. */
void LayoutTopicRecords(std::vector<TopicRecord> &records);
bool BuildTopicFile(const HelpBook &book, HlpBytes *topicFile, std::vector<uint32_t> *topicOffsets, std::string *error);

/* ---- help_file.cpp ------------------------------------------------------ */

/* Checks the book (names, map numbers, jump targets, fonts) first. */
bool BuildHelpFile(const HelpBook &book, HlpBytes *image, std::string *error);

/* ---- help_reader.cpp ---------------------------------------------------- */

struct HelpInternalFile {
    std::string name;
    HlpBytes data;
};

struct ReadTopicInfo {
    uint32_t topicOffset = 0;
    std::string title;
    std::string text; /* paragraphs separated by '\n', jump texts included */
    std::vector<uint32_t> jumpHashes;
};

bool ReadHelpImage(const HlpBytes &image, std::vector<HelpInternalFile> *files, std::string *error);
const HlpBytes *FindInternalFile(const std::vector<HelpInternalFile> &files, const std::string &name);
/* Walks |TOPIC as a viewer does, with the TOPICOFFSETs a viewer computes. */
bool ReadTopics(const std::vector<HelpInternalFile> &files, std::vector<ReadTopicInfo> *topics, std::string *error);
bool FindMapId(const std::vector<HelpInternalFile> &files, uint32_t mapId, uint32_t *topicOffset);
bool FindContextHash(const std::vector<HelpInternalFile> &files, uint32_t hash, uint32_t *topicOffset);
/* The topic a viewer shows for a TOPICOFFSET: the last one at or before it. */
const ReadTopicInfo *TopicAtOffset(const std::vector<ReadTopicInfo> &topics, uint32_t topicOffset);
/* Every topic is reached by its map number and context name, every jump leads somewhere. */
bool VerifyHelpImage(const HlpBytes &image, const HelpBook &book, std::string *error);

/* ---- topic_source.cpp --------------------------------------------------- */

/* Errors read "sourceName:line: ...". */
bool ParseTopicSource(const std::string &text, const std::string &sourceName, HelpBook *book, std::string *error);
/* After every source: jumps to map numbers become jumps to context names. */
bool FinishTopicSources(HelpBook *book, std::string *error);

/* ---- html_help.cpp ------------------------------------------------------ */

struct HtmlHelpFile {
    std::string name; /* relative to the project folder, '/' between folders */
    std::string text;
};

/* The folder, inside the project folder and inside the .chm, that holds the
 * pages, the contents and the index; the project file lies three levels up.
 *
 * chmcmd 3.2 records each [ALIAS] target as the absolute path of the project
 * folder followed by the file's name, while it stores the file itself under
 * its name alone. The two agree only when the project folder is "/", and
 * chmcmd takes the project folder from the project file's path with ".."
 * resolved by name. So the build runs chmcmd inside this folder on
 * "/proc/self/cwd/../../../<name>.hhp": by name that is "/<name>.hhp", while
 * the system opens the real file three levels up; every file is then listed
 * as "proc/self/cwd/<file>", which from "/" is the real file again, and the
 * context targets name the stored pages exactly. A chmcmd that records the
 * targets as written reads the same project the same way. */
constexpr char HtmlHelpPageFolder[] = "proc/self/cwd";

/* For a book that BuildHelpFile accepts: a page per topic named after its
 * context name, and "<chm>.hhc", "<chm>.hhk" and "<chm>.hhp", <chm> being the
 * base name of chmPath. */
bool BuildHtmlHelpProject(const HelpBook &book, const std::string &chmPath, std::vector<HtmlHelpFile> *files,
                          std::string *error);

#endif
