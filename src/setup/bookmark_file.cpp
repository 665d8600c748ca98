/* Reading Netscape Navigator's bookmark file: its folders and bookmarks.
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
 * "</DL>" closes the current list. Lines are read in pieces of at most 1023
 * characters and each piece counts as a line, so an overlong line can never
 * overflow anything. Nesting is followed with a fixed stack, not recursion,
 * so a file of thousands of nested lists cannot exhaust the program's stack. */
#include "setup/setup.h"

#include <cstdio>
#include <cstring>

namespace {

enum {
    LINE_CAPACITY = 1024,  /* one line, or one 1023-character piece of a longer one */
};
constexpr size_t TEXT_CAPACITY = BOOKMARK_TEXT_LENGTH + 1;

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

/* Tag compares ignore letter case and look at exactly the tag's length. */
bool StartsWithTag(const char *text, const char *tag)
{
    for (; *tag; ++text, ++tag)
        if (LowerAscii(*text) != LowerAscii(*tag))
            return false;  /* also at the end of text */
    return true;
}

/* Indentation is spaces only; a tab-indented line does not match any tag. */
const char *SkipSpaces(const char *text)
{
    while (*text == ' ')
        ++text;
    return text;
}

/* Copies text up to the stop character or the end of the line (its newline
 * is not part of the text), cut to what the buffer holds. */
void CopyUntil(const char *from, char stop, char (&to)[TEXT_CAPACITY])
{
    size_t n = 0;
    while (from[n] && from[n] != stop && from[n] != '\n' && from[n] != '\r' && n < TEXT_CAPACITY - 1) {
        to[n] = from[n];
        ++n;
    }
    to[n] = '\0';
}

/* The file is HTML: current browsers write "&" in an address as "&amp;",
 * and names may hold the other character references. Decoding only ever
 * shortens the text, so it is done in place. Unknown references stay. */
void DecodeEntities(char *text)
{
    static const struct {
        const char *name;
        char character;
    } named[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    char *out = text;
    for (const char *in = text; *in;) {
        if (*in == '&') {
            bool done = false;
            for (const auto &entity : named) {
                size_t length = strlen(entity.name);
                if (StartsWithTag(in, entity.name)) {
                    *out++ = entity.character;
                    in += length;
                    done = true;
                    break;
                }
            }
            if (!done && in[1] == '#') {
                /* "&#NN;": a decimal reference to a character of the code page */
                unsigned value = 0;
                const char *digit = in + 2;
                while (*digit >= '0' && *digit <= '9' && value < 256)
                    value = value * 10 + (unsigned)(*digit++ - '0');
                if (digit > in + 2 && *digit == ';' && value > 0 && value < 256) {
                    *out++ = (char)value;
                    in = digit + 1;
                    done = true;
                }
            }
            if (done)
                continue;
        }
        *out++ = *in++;
    }
    *out = '\0';
}

/* "<H3 ...>Name</H3>": the name runs from the first '>' to the next '<'. */
void ReadFolderName(const char *header, char (&name)[TEXT_CAPACITY])
{
    const char *start = strchr(header, '>');
    if (start)
        CopyUntil(start + 1, '<', name);
    else
        name[0] = '\0';
    DecodeEntities(name);
}

/* '<A HREF="address" ...>Title</A>'. The title is the address when no '>'
 * follows it. False for a line that names no address. */
bool ReadBookmark(const char *anchor, char (&address)[TEXT_CAPACITY], char (&title)[TEXT_CAPACITY])
{
    const char *start = strchr(anchor, '"');
    if (!start)
        return false;
    ++start;
    CopyUntil(start, '"', address);
    if (!address[0])
        return false;
    const char *end = strchr(start, '"');
    const char *titleStart = end ? strchr(end, '>') : nullptr;
    if (titleStart)
        CopyUntil(titleStart + 1, '<', title);
    else
        lstrcpynA(title, address, sizeof title);
    DecodeEntities(address);
    DecodeEntities(title);
    return true;
}

/* Reads the root list whose "<DL>" line has just been read, to its "</DL>"
 * or to the end of the file. */
void ReadLists(FILE *file, char (&line)[LINE_CAPACITY], void *root, BookmarkCallback callback, void *context)
{
    void *parents[BOOKMARK_MAX_DEPTH];  /* parents[depth - 1] receives the current list's entries */
    int depth = 1;
    int hidden = 0;  /* open lists below the deepest reported one, or of a folder not added */
    bool pending = false;  /* a folder header was read and its "<DL>" may follow */
    void *pendingFolder = nullptr;
    char name[TEXT_CAPACITY], address[TEXT_CAPACITY];
    parents[0] = root;

    while (fgets(line, sizeof line, file)) {
        const char *p = SkipSpaces(line);
        if (StartsWithTag(p, "<DT>")) {
            const char *q = p + 4;
            if (StartsWithTag(q, "<H")) {
                ReadFolderName(q, name);
                pendingFolder = hidden ? nullptr : callback(context, parents[depth - 1], name, nullptr);
                pending = true;
            } else if (StartsWithTag(q, "<A HREF=")) {
                if (!hidden && ReadBookmark(q, address, name))
                    callback(context, parents[depth - 1], name, address);
            }
        } else if (pending && StartsWithTag(p, "<DL>")) {
            if (!hidden && pendingFolder && depth < BOOKMARK_MAX_DEPTH)
                parents[depth++] = pendingFolder;
            else
                ++hidden;
            pending = false;
        } else if (StartsWithTag(p, "</DL>")) {
            if (hidden)
                --hidden;
            else if (--depth == 0)
                return;
            pending = false;
        }
    }
}

}  // namespace

void ReadBookmarkFile(const char *path, void *root, BookmarkCallback callback, void *context)
{
    if (!path[0])
        return;
    FILE *file = fopen(path, "r");
    if (!file)
        return;
    char line[LINE_CAPACITY];
    while (fgets(line, sizeof line, file)) {
        if (StartsWithTag(SkipSpaces(line), "<DL>")) {
            ReadLists(file, line, root, callback, context);
            break;
        }
    }
    fclose(file);
}
