/* Reading the bookmarks of current browsers: Chromium-family "Bookmarks" and
 * "Local State" files (JSON), and Firefox's compressed bookmark backups.
 *
 * RapidJSON's SAX reader, in its iterative mode, hands over the JSON as
 * events; its memory grows with the nesting, not with the file. The events
 * drive a fixed stack of frames, one per container the reader cares about:
 * the document, Chromium's "roots", an entry (bookmark or folder), a
 * "children" list, Local State's "profile" and "info_cache". A container in
 * any other place (an entry's "meta_info", a date, an icon) is read past.
 *
 * A folder is added to the tree before its contents, and the tree wants its
 * name then; but Chromium writes a folder's "children" before its "name", and
 * JSON gives keys no order. So a bookmarks file is read twice: the first pass
 * notes each folder's name, in the order folders begin their "children"
 * (at most BOOKMARK_MAX_COUNT, each at most BOOKMARK_TEXT_LENGTH); the second
 * reports, taking each folder's name from that list. Both passes follow the
 * same rule of which lists they open, so the n-th folder of one is the n-th
 * of the other; a folder the tree refuses skips its subtree in the list too.
 *
 * Names and addresses follow the bookmark file reader's rules through its own
 * decoding (DecodeBookmarkName, DecodeBookmarkAddress), with no character
 * references: JSON text holds "&amp;" as it is. */
#include "setup/setup_internal.h"

#ifndef RAPIDJSON_ASSERT
#define RAPIDJSON_ASSERT(x) ((void)0) /* bad input is a parse error, never an abort */
#endif
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <cstring>
#include <string>
#include <vector>

/* Containers of a bookmark list's depth, two per level (entry and list),
 * besides the document and "roots". */
constexpr size_t FRAME_LIMIT = 2 * BOOKMARK_MAX_DEPTH + 4;

/* The largest backup text read: 64 MiB holds several hundred thousand
 * bookmarks. */
constexpr size_t BACKUP_TEXT_LIMIT = 64u << 20;

enum JsonFormat { CHROMIUM_BOOKMARKS, FIREFOX_BACKUP, CHROMIUM_LOCAL_STATE };

enum FrameKind { FRAME_DOCUMENT, FRAME_ROOTS, FRAME_ENTRY, FRAME_LIST, FRAME_PROFILE, FRAME_INFO_CACHE };

/* What the value after a key is. */
enum KeyMeaning {
    KEY_OTHER,      /* read past */
    KEY_NAME,       /* an entry's name or title */
    KEY_ADDRESS,    /* a bookmark's address */
    KEY_CHILDREN,   /* a folder's list */
    KEY_IDENTITY,   /* Firefox: which top folder this is ("root", "guid") */
    KEY_TYPE_CODE,  /* Firefox: 2 for a container, which has no "children" when empty */
    KEY_ROOTS,      /* Chromium: the top folders, one per key */
    KEY_PROFILE,    /* Local State: "profile" */
    KEY_INFO_CACHE, /* Local State: the profiles, one per key */
    KEY_NAMED,      /* a key of "roots" or "info_cache": its object is an entry */
};

constexpr struct {
    JsonFormat format;
    FrameKind frame;
    const char *key; /* null: any key */
    KeyMeaning meaning;
} Keys[] = {
    {CHROMIUM_BOOKMARKS, FRAME_DOCUMENT, "roots", KEY_ROOTS},
    {CHROMIUM_BOOKMARKS, FRAME_ROOTS, nullptr, KEY_NAMED},
    {CHROMIUM_BOOKMARKS, FRAME_ENTRY, "name", KEY_NAME},
    {CHROMIUM_BOOKMARKS, FRAME_ENTRY, "url", KEY_ADDRESS},
    {CHROMIUM_BOOKMARKS, FRAME_ENTRY, "children", KEY_CHILDREN},
    {FIREFOX_BACKUP, FRAME_ENTRY, "title", KEY_NAME},
    {FIREFOX_BACKUP, FRAME_ENTRY, "uri", KEY_ADDRESS},
    {FIREFOX_BACKUP, FRAME_ENTRY, "children", KEY_CHILDREN},
    {FIREFOX_BACKUP, FRAME_ENTRY, "root", KEY_IDENTITY},
    {FIREFOX_BACKUP, FRAME_ENTRY, "guid", KEY_IDENTITY},
    {FIREFOX_BACKUP, FRAME_ENTRY, "typeCode", KEY_TYPE_CODE},
    {CHROMIUM_LOCAL_STATE, FRAME_DOCUMENT, "profile", KEY_PROFILE},
    {CHROMIUM_LOCAL_STATE, FRAME_PROFILE, "info_cache", KEY_INFO_CACHE},
    {CHROMIUM_LOCAL_STATE, FRAME_INFO_CACHE, nullptr, KEY_NAMED},
    {CHROMIUM_LOCAL_STATE, FRAME_ENTRY, "name", KEY_NAME},
};

/* The browsers' top folders, by Chromium's key under "roots" or by Firefox's
 * "root" value or guid, named as each browser shows them. */
constexpr struct {
    const char *identity;
    const char *name;
} TopFolders[] = {
    {"bookmark_bar", "Bookmarks bar"},     {"other", "Other bookmarks"},
    {"synced", "Mobile bookmarks"},        {"bookmarksMenuFolder", "Bookmarks Menu"},
    {"menu________", "Bookmarks Menu"},    {"toolbarFolder", "Bookmarks Toolbar"},
    {"toolbar_____", "Bookmarks Toolbar"}, {"unfiledBookmarksFolder", "Other Bookmarks"},
    {"unfiled_____", "Other Bookmarks"},   {"mobileFolder", "Mobile Bookmarks"},
    {"mobile______", "Mobile Bookmarks"},
};

constexpr size_t NO_SLOT = static_cast<size_t>(-1);

struct JsonFrame {
    FrameKind kind;
    char name[BOOKMARK_TEXT_CAPACITY];
    char address[BOOKMARK_TEXT_CAPACITY]; /* a profile's folder, for Local State */
    bool hasAddress;
    const char *knownName; /* a top folder's name by its identity */
    bool folder;           /* its "children" began */
    bool container;        /* a folder even without "children" */
    size_t slot;           /* its place in the folder name list */
};

/* A folder's name, and the list's size after its subtree: where the list
 * goes on when the folder is refused. */
struct FolderName {
    std::string name;
    size_t after;
};

struct JsonReader : rapidjson::BaseReaderHandler<rapidjson::UTF8<>, JsonReader> {
    JsonFormat format;
    bool reporting; /* the second pass; the first only notes folder names */
    BookmarkCallback callback;
    ProfileCallback profileCallback;
    void *context;
    std::vector<JsonFrame> frames;
    size_t top;     /* frames in use */
    long skipping;  /* containers open in one that is read past */
    KeyMeaning key; /* the last key's meaning, until its value */
    char keyName[BOOKMARK_TEXT_CAPACITY];
    const char *keyKnownName;
    void *parents[BOOKMARK_MAX_DEPTH]; /* parents[depth - 1] receives the current list's entries */
    int depth;
    std::vector<FolderName> *names;
    size_t nextName;
    int bookmarks, folders;

    bool Default();
    bool String(const char *text, rapidjson::SizeType length, bool);
    bool Key(const char *text, rapidjson::SizeType length, bool);
    bool StartObject();
    bool EndObject(rapidjson::SizeType);
    bool StartArray();
    bool EndArray(rapidjson::SizeType);
};

static bool Equals(const char *text, size_t length, const char *word)
{
    return strlen(word) == length && memcmp(text, word, length) == 0;
}

static const char *TopFolderName(const char *text, size_t length)
{
    for (const auto &folder : TopFolders)
        if (Equals(text, length, folder.identity))
            return folder.name;
    return nullptr;
}

/* The name a folder is shown by: Chromium's own name for a top folder before
 * the usual one, Firefox's usual names before the stored title ("menu"). */
static const char *ShownName(const JsonReader *reader, const JsonFrame *frame)
{
    if (frame->knownName && (reader->format == FIREFOX_BACKUP || !frame->name[0]))
        return frame->knownName;
    return frame->name;
}

static JsonFrame *Push(JsonReader *reader, FrameKind kind)
{
    if (reader->top == FRAME_LIMIT) {
        ++reader->skipping;
        return nullptr;
    }
    JsonFrame *frame = &reader->frames[reader->top++];
    frame->kind = kind;
    frame->name[0] = frame->address[0] = '\0';
    frame->hasAddress = frame->folder = frame->container = false;
    frame->knownName = nullptr;
    frame->slot = NO_SLOT;
    return frame;
}

static void NoteFolderName(JsonReader *reader, const JsonFrame *frame)
{
    if (!reader->reporting && frame->slot != NO_SLOT) {
        (*reader->names)[frame->slot].name = ShownName(reader, frame);
        (*reader->names)[frame->slot].after = reader->names->size();
    }
}

/* An entry whose "children" begin: a folder, added to the tree with the name
 * the first pass noted, its list opened where the depth allows. The places
 * root of a Firefox backup is no folder of its own: its list is the top. */
static bool OpenFolder(JsonReader *reader, JsonFrame *frame)
{
    if (frame->folder) {
        ++reader->skipping; /* a second "children" */
        return true;
    }
    frame->folder = true;
    void *folder = reader->parents[0];
    bool shown = true;
    if (reader->depth > 0 && !reader->reporting) {
        if (reader->names->size() == BOOKMARK_MAX_COUNT)
            return false;
        frame->slot = reader->names->size();
        reader->names->push_back(FolderName());
    } else if (reader->depth > 0) {
        size_t slot = reader->nextName++;
        if (slot >= reader->names->size())
            return false;
        folder = reader->callback(reader->context, reader->parents[reader->depth - 1],
                                  (*reader->names)[slot].name.c_str(), nullptr);
        if (++reader->folders >= BOOKMARK_MAX_COUNT)
            return false;
        shown = folder != nullptr;
        if (!shown)
            reader->nextName = (*reader->names)[slot].after;
    }
    if (!shown || reader->depth >= BOOKMARK_MAX_DEPTH) {
        ++reader->skipping;
        return true;
    }
    if (Push(reader, FRAME_LIST))
        reader->parents[reader->depth++] = folder;
    return true;
}

/* The end of an entry: a bookmark (a name empty gives its address as name),
 * a profile, a folder whose name the first pass notes, or an empty one. */
static bool CloseEntry(JsonReader *reader, const JsonFrame *frame)
{
    if (frame->folder) {
        NoteFolderName(reader, frame);
        return true;
    }
    if (!reader->reporting)
        return true;
    if (frame->container && reader->depth > 0) {
        reader->callback(reader->context, reader->parents[reader->depth - 1], ShownName(reader, frame), nullptr);
        return ++reader->folders < BOOKMARK_MAX_COUNT;
    }
    if (reader->format == CHROMIUM_LOCAL_STATE) {
        reader->profileCallback(reader->context, frame->address, frame->name[0] ? frame->name : frame->address);
        return ++reader->bookmarks < BOOKMARK_MAX_COUNT;
    }
    if (!frame->hasAddress || reader->depth == 0)
        return true;
    reader->callback(reader->context, reader->parents[reader->depth - 1], frame->name[0] ? frame->name : frame->address,
                     frame->address);
    return ++reader->bookmarks < BOOKMARK_MAX_COUNT;
}

bool JsonReader::Default()
{
    key = KEY_OTHER;
    return true;
}

bool JsonReader::String(const char *text, rapidjson::SizeType length, bool)
{
    JsonFrame *frame = top ? &frames[top - 1] : nullptr;
    if (!skipping && frame && frame->kind == FRAME_ENTRY) {
        if (key == KEY_NAME)
            DecodeBookmarkName(text, text + length, TEXT_UTF8, false, frame->name);
        else if (key == KEY_ADDRESS)
            frame->hasAddress = DecodeBookmarkAddress(text, text + length, false, frame->address);
        else if (key == KEY_IDENTITY && depth == 1 && !frame->knownName)
            frame->knownName = TopFolderName(text, length);
        else if (key == KEY_TYPE_CODE)
            frame->container = Equals(text, length, "2");
    }
    return Default();
}

bool JsonReader::Key(const char *text, rapidjson::SizeType length, bool)
{
    key = KEY_OTHER;
    if (skipping || !top)
        return true;
    for (const auto &row : Keys) {
        if (row.format == format && row.frame == frames[top - 1].kind && (!row.key || Equals(text, length, row.key))) {
            key = row.meaning;
            break;
        }
    }
    if (key == KEY_NAMED) {
        DecodeBookmarkName(text, text + length, TEXT_UTF8, false, keyName);
        keyKnownName = TopFolderName(text, length);
    }
    return true;
}

bool JsonReader::StartObject()
{
    KeyMeaning meaning = key;
    key = KEY_OTHER;
    if (skipping) {
        ++skipping;
        return true;
    }
    if (!top) {
        Push(this, format == FIREFOX_BACKUP ? FRAME_ENTRY : FRAME_DOCUMENT);
    } else if (frames[top - 1].kind == FRAME_LIST) {
        Push(this, FRAME_ENTRY);
    } else if (meaning == KEY_ROOTS) {
        if (Push(this, FRAME_ROOTS))
            ++depth; /* a list: its entries go to the reader's root */
    } else if (meaning == KEY_PROFILE) {
        Push(this, FRAME_PROFILE);
    } else if (meaning == KEY_INFO_CACHE) {
        Push(this, FRAME_INFO_CACHE);
    } else if (meaning == KEY_NAMED) {
        JsonFrame *frame = Push(this, FRAME_ENTRY);
        if (frame) {
            memcpy(frame->address, keyName, sizeof keyName);
            frame->knownName = keyKnownName;
        }
    } else {
        ++skipping;
    }
    return true;
}

bool JsonReader::StartArray()
{
    KeyMeaning meaning = key;
    key = KEY_OTHER;
    if (!skipping && top && frames[top - 1].kind == FRAME_ENTRY && meaning == KEY_CHILDREN)
        return OpenFolder(this, &frames[top - 1]);
    ++skipping;
    return true;
}

bool JsonReader::EndObject(rapidjson::SizeType)
{
    key = KEY_OTHER;
    if (skipping) {
        --skipping;
        return true;
    }
    const JsonFrame *frame = &frames[--top];
    if (frame->kind == FRAME_ROOTS)
        --depth;
    return frame->kind != FRAME_ENTRY || CloseEntry(this, frame);
}

bool JsonReader::EndArray(rapidjson::SizeType)
{
    key = KEY_OTHER;
    if (skipping) {
        --skipping;
        return true;
    }
    --top; /* only lists are kept */
    --depth;
    return true;
}

/* One pass over the text. The first notes the folders still open at a cut
 * or a stop, as far as they came. */
static void ReadPass(JsonReader *reader, const char *text, size_t size, bool reporting)
{
    reader->reporting = reporting;
    reader->top = 0;
    reader->skipping = 0;
    reader->key = KEY_OTHER;
    reader->depth = 0;
    reader->nextName = 0;
    reader->bookmarks = reader->folders = 0;
    rapidjson::MemoryStream stream(text, size);
    rapidjson::Reader parser;
    parser.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseNumbersAsStringsFlag>(stream, *reader);
    while (!reporting && reader->top > 0) {
        const JsonFrame *frame = &reader->frames[--reader->top];
        if (frame->kind == FRAME_ENTRY && frame->folder)
            NoteFolderName(reader, frame);
    }
}

static void ReadJson(JsonFormat format, const char *text, size_t size, void *root, BookmarkCallback callback,
                     ProfileCallback profileCallback, void *context)
{
    JsonReader reader;
    std::vector<FolderName> names;
    reader.format = format;
    reader.callback = callback;
    reader.profileCallback = profileCallback;
    reader.context = context;
    reader.frames.resize(FRAME_LIMIT);
    reader.parents[0] = root;
    reader.names = &names;
    if (format != CHROMIUM_LOCAL_STATE)
        ReadPass(&reader, text, size, false);
    ReadPass(&reader, text, size, true);
}

void ReadChromiumBookmarks(const char *text, size_t size, void *root, BookmarkCallback callback, void *context)
{
    ReadJson(CHROMIUM_BOOKMARKS, text, size, root, callback, nullptr, context);
}

void ReadChromiumProfiles(const char *text, size_t size, ProfileCallback callback, void *context)
{
    ReadJson(CHROMIUM_LOCAL_STATE, text, size, nullptr, nullptr, callback, context);
}

void ReadFirefoxBackup(const char *bytes, size_t size, void *root, BookmarkCallback callback, void *context)
{
    std::string text;
    if (DecodeMozLz4(bytes, size, BACKUP_TEXT_LIMIT, &text))
        ReadJson(FIREFOX_BACKUP, text.data(), text.size(), root, callback, nullptr, context);
}
