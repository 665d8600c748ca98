/* Reading the bookmark file of Netscape Navigator and of the browsers that
 * export bookmarks in its format: its folders and bookmarks.
 *
 * The file is HTML written one element per line:
 *     <DL><p>
 *         <DT><H3 ADD_DATE="...">Work</H3>
 *         <DL><p>
 *             <DT><A HREF="http://mail.example.com/" ADD_DATE="...">Mail</A>
 *         </DL><p>
 *     </DL><p>
 * A folder header makes its folder pending, and the next "<DL>" line opens
 * the pending folder's list (bookmark lines between leave it pending);
 * "</DL>" closes the current list.
 *
 * Each line is read whole, whatever its length (current browsers put an icon
 * of several KB between a bookmark's address and its name), up to a bound:
 * a line over LINE_LIMIT bytes is skipped. Nesting is followed with a fixed
 * stack, not recursion, so a file of thousands of nested lists cannot exhaust
 * the program's stack.
 *
 * Names are decoded into the ANSI code page: from UTF-8 when the file says so
 * (a byte-order mark or a META charset before the root list), as they are
 * otherwise; character references too. Addresses keep their bytes. Only
 * bookmarks a key can open are reported: a web address that fits a stored
 * assignment whole. Reading stops after BOOKMARK_MAX_COUNT bookmarks or
 * folders.
 *
 * The parser works on bytes in memory fed to it in chunks of any size, so the
 * same code reads a file and a buffer. */
#include "launch/launch.h"
#include "setup/setup_internal.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

constexpr size_t LINE_LIMIT = 1 << 20; /* longest line read, in bytes */
constexpr size_t CHUNK_SIZE = 1 << 16; /* bytes read from the file at a time */

struct BookmarkParser {
    BookmarkCallback callback;
    void *context;
    void *parents[BOOKMARK_MAX_DEPTH]; /* parents[depth - 1] receives the current list's entries */
    int depth;                         /* open lists; 0 before the root list */
    int hidden;                        /* open lists below the deepest reported one, or of a folder not added */
    bool pending;                      /* a folder header was read and its "<DL>" may follow */
    void *pendingFolder;
    bool utf8;
    bool done; /* the root list has ended, or enough was reported */
    bool firstLine;
    int bookmarks, folders;
    std::string line; /* a line that spans chunks, gathered */
    bool overlong;    /* the line being gathered is over the bound: skipped */
};

static char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

/* Tag compares ignore letter case and look at exactly the tag's length. */
static bool StartsWithTag(const char *text, const char *end, const char *tag)
{
    for (; *tag; ++text, ++tag)
        if (text == end || LowerAscii(*text) != LowerAscii(*tag))
            return false;
    return true;
}

static const char *Find(const char *text, const char *end, char c)
{
    const char *found = static_cast<const char *>(memchr(text, c, static_cast<size_t>(end - text)));
    return found ? found : end;
}

/* Characters 0x80 to 0x9F of Windows-1252, which HTML gives to the numeric
 * references of those values. */
constexpr unsigned short Windows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

/* A character reference at text ("&amp;", "&#8217;", "&#x2019;"): its code
 * point, and where it ends. 0 when it is none the parser knows. */
static unsigned ReadReference(const char *text, const char *end, const char **after)
{
    static constexpr struct {
        const char *name;
        char character;
    } named[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto &entity : named) {
        if (StartsWithTag(text, end, entity.name)) {
            *after = text + strlen(entity.name);
            return static_cast<unsigned char>(entity.character);
        }
    }
    if (end - text < 4 || text[1] != '#')
        return 0;
    bool hex = text[2] == 'x' || text[2] == 'X';
    const char *digits = text + (hex ? 3 : 2), *p = digits;
    unsigned value = 0;
    for (; p < end && value <= 0x10FFFF; ++p) {
        unsigned digit;
        if (*p >= '0' && *p <= '9')
            digit = static_cast<unsigned>(*p - '0');
        else if (hex && LowerAscii(*p) >= 'a' && LowerAscii(*p) <= 'f')
            digit = static_cast<unsigned>(LowerAscii(*p) - 'a' + 10);
        else
            break;
        value = value * (hex ? 16 : 10) + digit;
    }
    if (p == digits || p == end || *p != ';' || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000))
        return 0;
    *after = p + 1;
    return value >= 0x80 && value < 0xA0 ? Windows1252[value - 0x80] : value;
}

/* The UTF-8 sequence at text: its code point and where it ends; U+FFFD for a
 * byte that begins no valid sequence (it alone is taken). */
static unsigned ReadUtf8(const char *text, const char *end, const char **after)
{
    unsigned char lead = static_cast<unsigned char>(*text);
    int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : 0;
    unsigned value = extra == 3 ? lead & 0x07u : extra == 2 ? lead & 0x0Fu : lead & 0x1Fu;
    *after = text + 1;
    if (lead < 0xC2 || lead >= 0xF5 || end - text <= extra)
        return 0xFFFD;
    for (int i = 1; i <= extra; ++i) {
        unsigned char next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80)
            return 0xFFFD;
        value = value << 6 | (next & 0x3Fu);
    }
    static constexpr unsigned least[] = {0, 0x80, 0x800, 0x10000};
    if (value < least[extra] || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000))
        return 0xFFFD;
    *after = text + 1 + extra;
    return value;
}

/* Written only by SetWideCharConverter, which unit tests call before and after they read. */
static WideCharConverter ConvertWideChars = WideCharToMultiByte;

void SetWideCharConverter(WideCharConverter converter)
{
    ConvertWideChars = converter ? converter : WideCharToMultiByte;
}

int CodePointToCodePage(unsigned codePoint, UINT codePage, char (&bytes)[4])
{
    if (codePoint < 0x80) {
        bytes[0] = static_cast<char>(codePoint);
        return 1;
    }
    int count = 0;
    if (codePage == CP_UTF8) {
        /* UTF-8 has every character, and refuses both flags and a default
         * character. */
        WCHAR wide[2] = {static_cast<WCHAR>(codePoint), 0};
        int units = 1;
        if (codePoint > 0xFFFF) {
            wide[0] = static_cast<WCHAR>(0xD800 + ((codePoint - 0x10000) >> 10));
            wide[1] = static_cast<WCHAR>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
            units = 2;
        }
        count = ConvertWideChars(CP_UTF8, 0, wide, units, bytes, sizeof bytes, nullptr, nullptr);
    } else if (codePoint <= 0xFFFF) {
        WCHAR wide = static_cast<WCHAR>(codePoint);
        /* No "best fit" look-alikes; systems before Windows 2000 refuse the
         * flag, and then convert without it. */
        count = ConvertWideChars(codePage, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof bytes, "?", nullptr);
        if (count <= 0)
            count = ConvertWideChars(codePage, 0, &wide, 1, bytes, sizeof bytes, "?", nullptr);
    }
    if (count <= 0) {
        bytes[0] = '?';
        count = 1;
    }
    return count;
}

/* Decodes text..end into to. A name is cut at a character's end to what
 * fits; an address that does not fit whole gives false. */
static bool DecodeText(const char *text, const char *end, BookmarkTextKind kind, bool references,
                       char (&to)[BOOKMARK_TEXT_CAPACITY])
{
    size_t n = 0;
    while (text < end) {
        const char *after = text + 1;
        unsigned codePoint = 0;
        if (*text == '&' && references)
            codePoint = ReadReference(text, end, &after);
        if (kind == TEXT_ADDRESS && codePoint >= 0x80)
            codePoint = 0; /* an address keeps its bytes */
        if (!codePoint && kind == TEXT_UTF8 && static_cast<unsigned char>(*text) >= 0x80)
            codePoint = ReadUtf8(text, end, &after);
        char bytes[4];
        int count;
        if (codePoint) {
            count = CodePointToCodePage(codePoint, GetACP(), bytes);
        } else {
            bytes[0] = *text;
            count = 1;
            after = text + 1;
        }
        if (n + static_cast<size_t>(count) > BOOKMARK_TEXT_LENGTH) {
            if (kind == TEXT_ADDRESS)
                return false;
            break;
        }
        memcpy(to + n, bytes, static_cast<size_t>(count));
        n += static_cast<size_t>(count);
        text = after;
    }
    to[n] = '\0';
    return true;
}

void DecodeBookmarkName(const char *text, const char *end, BookmarkTextKind kind, bool references,
                        char (&name)[BOOKMARK_TEXT_CAPACITY])
{
    DecodeText(text, end, kind, references, name);
}

bool DecodeBookmarkAddress(const char *text, const char *end, bool references, char (&address)[BOOKMARK_TEXT_CAPACITY])
{
    /* A null byte (JSON's "\u0000") would end the stored address early: another page. */
    return text < end && !memchr(text, '\0', static_cast<size_t>(end - text)) &&
           DecodeText(text, end, TEXT_ADDRESS, references, address) && LowerWebScheme(address);
}

/* "<H3 ...>Name</H3>": the name runs from the first '>' to the next '<'. */
static void ReportFolder(BookmarkParser *parser, const char *header, const char *end)
{
    char name[BOOKMARK_TEXT_CAPACITY];
    const char *start = Find(header, end, '>');
    if (start < end)
        ++start;
    DecodeBookmarkName(start, Find(start, end, '<'), parser->utf8 ? TEXT_UTF8 : TEXT_ANSI, true, name);
    parser->pendingFolder =
        parser->hidden ? nullptr : parser->callback(parser->context, parser->parents[parser->depth - 1], name, nullptr);
    parser->pending = true;
    if (!parser->hidden && ++parser->folders >= BOOKMARK_MAX_COUNT)
        parser->done = true;
}

/* '<A HREF="address" ...>Title</A>'. The title is the address when no '>'
 * follows it. A line that names no address, or one no key can open, is
 * skipped. */
static void ReportBookmark(BookmarkParser *parser, const char *anchor, const char *end)
{
    char address[BOOKMARK_TEXT_CAPACITY], title[BOOKMARK_TEXT_CAPACITY];
    const char *start = Find(anchor, end, '"');
    if (start == end)
        return;
    ++start;
    const char *close = Find(start, end, '"');
    if (!DecodeBookmarkAddress(start, close, true, address))
        return;
    const char *titleStart = Find(close, end, '>');
    if (titleStart < end)
        DecodeBookmarkName(titleStart + 1, Find(titleStart + 1, end, '<'), parser->utf8 ? TEXT_UTF8 : TEXT_ANSI, true,
                           title);
    else
        memcpy(title, address, strlen(address) + 1);
    parser->callback(parser->context, parser->parents[parser->depth - 1], title, address);
    if (++parser->bookmarks >= BOOKMARK_MAX_COUNT)
        parser->done = true;
}

/* Before the root list: a META element that declares UTF-8, as
 * '<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">'. */
static bool DeclaresUtf8(const char *p, const char *end)
{
    if (!StartsWithTag(p, end, "<META"))
        return false;
    for (; p < end; ++p) {
        if (!StartsWithTag(p, end, "charset="))
            continue;
        p += 8;
        while (p < end && (*p == '"' || *p == '\'' || *p == ' '))
            ++p;
        return StartsWithTag(p, end, "utf-8") || StartsWithTag(p, end, "utf8");
    }
    return false;
}

/* One line, without its line end. Leading spaces are skipped (only ' ': a
 * tab-indented line matches no tag). */
static void ParseLine(BookmarkParser *parser, const char *p, const char *end)
{
    if (parser->firstLine) {
        parser->firstLine = false;
        if (StartsWithTag(p, end, "\xEF\xBB\xBF")) {
            parser->utf8 = true;
            p += 3;
        }
    }
    while (p < end && *p == ' ')
        ++p;
    if (parser->depth == 0) {
        if (StartsWithTag(p, end, "<DL>"))
            parser->depth = 1;
        else if (DeclaresUtf8(p, end))
            parser->utf8 = true;
        return;
    }
    if (StartsWithTag(p, end, "<DT>")) {
        const char *q = p + 4;
        if (StartsWithTag(q, end, "<H"))
            ReportFolder(parser, q, end);
        else if (StartsWithTag(q, end, "<A HREF=") && !parser->hidden)
            ReportBookmark(parser, q, end);
    } else if (parser->pending && StartsWithTag(p, end, "<DL>")) {
        if (!parser->hidden && parser->pendingFolder && parser->depth < BOOKMARK_MAX_DEPTH)
            parser->parents[parser->depth++] = parser->pendingFolder;
        else
            ++parser->hidden;
        parser->pending = false;
    } else if (StartsWithTag(p, end, "</DL>")) {
        if (parser->hidden)
            --parser->hidden;
        else if (--parser->depth == 0)
            parser->done = true;
        parser->pending = false;
    }
}

/* Takes the next bytes of the file. Lines end at CR, LF or both; a line that
 * lies whole in the chunk is parsed where it is. */
static void FeedBytes(BookmarkParser *parser, const char *bytes, size_t size)
{
    const char *end = bytes + size;
    while (bytes < end && !parser->done) {
        const char *lineEnd = bytes;
        while (lineEnd < end && *lineEnd != '\n' && *lineEnd != '\r')
            ++lineEnd;
        size_t length = static_cast<size_t>(lineEnd - bytes);
        if (parser->overlong || parser->line.size() + length > LINE_LIMIT) {
            parser->overlong = true;
            parser->line.clear();
        } else if (lineEnd < end && parser->line.empty()) {
            ParseLine(parser, bytes, lineEnd);
        } else {
            parser->line.append(bytes, length);
        }
        if (lineEnd == end)
            break;
        if (!parser->line.empty() && !parser->overlong)
            ParseLine(parser, parser->line.data(), parser->line.data() + parser->line.size());
        parser->line.clear();
        parser->overlong = false;
        bytes = lineEnd + 1;
    }
}

/* The end of the file ends its last line. */
static void FinishBytes(BookmarkParser *parser)
{
    if (!parser->done && !parser->overlong && !parser->line.empty())
        ParseLine(parser, parser->line.data(), parser->line.data() + parser->line.size());
}

static void StartParser(BookmarkParser *parser, void *root, BookmarkCallback callback, void *context)
{
    *parser = {};
    parser->callback = callback;
    parser->context = context;
    parser->parents[0] = root;
    parser->firstLine = true;
}

void ReadBookmarkText(const char *text, size_t size, void *root, BookmarkCallback callback, void *context)
{
    BookmarkParser parser;
    StartParser(&parser, root, callback, context);
    FeedBytes(&parser, text, size);
    FinishBytes(&parser);
}

void ReadBookmarkFile(const char *path, void *root, BookmarkCallback callback, void *context)
{
    if (!path[0])
        return;
    FILE *file = fopen(path, "rb");
    if (!file)
        return;
    BookmarkParser parser;
    StartParser(&parser, root, callback, context);
    std::vector<char> chunk(CHUNK_SIZE);
    size_t got;
    while (!parser.done && (got = fread(chunk.data(), 1, chunk.size(), file)) > 0)
        FeedBytes(&parser, chunk.data(), got);
    FinishBytes(&parser);
    fclose(file); // NOLINT(cert-err33-c): the file was only read; closing it can lose nothing
}
