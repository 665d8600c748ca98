/* What the files of setup/ share with each other, and what the unit tests
 * reach: the rest of the program calls only setup.h. */
#ifndef SPRINGDECK_SETUP_INTERNAL_H
#define SPRINGDECK_SETUP_INTERNAL_H

#include "core/core.h"
#include "settings/settings.h"
#include "setup/setup.h"

#include <string>
#include <vector>

/* Checks the dialog's "start with Windows" box when the Run value is set. */
void ReadRunAtStartup(HWND dialog);

/* ---- key button faces (key_faces.cpp) ------------------------------------------ */

/* Window properties that record who owns what: the setup dialog's tooltip
 * window, and per key button the icon extracted and the bitmap drawn for its
 * face (shared resource icons are never recorded: they are not ours to free). */
constexpr char SETUP_TOOLTIP_PROP[] = "tt";
constexpr char FACE_ICON_PROP[] = "destroy icon";
constexpr char FACE_BITMAP_PROP[] = "destroy bmp";

/* True when another program holds the key's plain hotkey, so Springdeck
 * cannot use it, as the last RefreshKeyButtons found. */
bool KeyInUse(UINT keyId);

/* Redraws the fifteen key buttons of the setup dialog from the stored
 * assignments, probes which keys another program holds, registers the
 * buttons with the dialog's tooltip ("tt") and re-registers the hotkeys of
 * MainWindow. */
void RefreshKeyButtons(HWND dialog);

/* Destroys the extracted icon and deletes the drawn bitmap that a key
 * button's properties hold, and removes the properties. */
void FreeKeyFace(HWND button);

/* One line of a drawn address face. The last line may be a leftover that
 * ended without a break (it is drawn with prefix processing). */
struct AddressFaceLine {
    std::string text;
    bool leftover;
};

/* Splits the address's text after its scheme into the lines of its face: a
 * line ends after a '.' or '/' or once it measures at least lineWidth in the
 * font selected into dc. */
std::vector<AddressFaceLine> SplitAddressLines(HDC dc, const char *address, int lineWidth);

/* ---- key action chooser (key_chooser.cpp) ------------------------------------- */

/* Lets the user choose what a key does. Returns 1 when the key's assignment
 * may have changed, any other value when nothing changed. */
INT_PTR ConfigureKey(HWND owner, UINT keyId);

/* ---- web sites (website.cpp, local_alias.cpp, preset_sites.cpp) --------------- */

/* "Assign a WebSite": presets, the Yahoo! chooser, a typed address or a
 * bookmark. Returns 2 when the user cancelled. */
INT_PTR AssignWebsite(HWND owner, UINT keyId);

/* Lets the user pick a local HTML file that opens instead of the address. */
void ChooseLocalAlias(HWND owner, const char *address);
/* The alias's Open File dialog: true when chosen, else its error; null: the real one. */
using OpenFileDialog = bool (*)(OPENFILENAMEA *open, DWORD *error);
void SetOpenFileDialog(OpenFileDialog dialog);

/* The built-in web sites: the button that assigns one (control id in the
 * "Assign a WebSite" dialog), its icon, the stored title and the address.
 * One table serves both assigning a site and recognising it on a key. */
struct PresetSite {
    int button;        /* control id; Yahoo! variants use their radio ids */
    const char *label; /* button text; null for the Yahoo! variants */
    WORD icon;         /* ICO_ resource */
    const char *title; /* stored as the key's title */
    const char *address;
    bool yahoo; /* one of the four Yahoo! variants */
};
extern const PresetSite PresetSites[];
extern const size_t PresetSiteCount;

/* The preset whose address equals the text byte for byte, or null. */
const PresetSite *FindPresetSite(const char *address);

/* ---- bookmarks (bookmarks.cpp, bookmark_file.cpp, favorites.cpp) ------------- */

/* "Select a BookMark": the bookmarks of the chosen browser as a tree. OK
 * stores the selected bookmark as the key's assignment and returns 1;
 * Cancel returns 2. */
INT_PTR PickBookmark(HWND owner, UINT keyId);

/* The readers below report what they find, in the order they find it, to a
 * callback; the picker adds it to its tree, tests collect it. parent is the
 * folder an entry belongs to (the reader's root for the top level). For a
 * folder address is null and the callback returns the new folder, or null
 * when it could not be added, whose contents are then left out. For a
 * bookmark name is its title and the result is not used. */
using BookmarkCallback = void *(*)(void *context, void *parent, const char *name, const char *address);

/* Longest folder name, title or address reported, in characters. Longer
 * names and titles are cut to this length; a longer address would open
 * another page, so its bookmark is left out. */
constexpr size_t BOOKMARK_TEXT_LENGTH = 255;

/* Lists nested deeper than this many levels are read past but not reported:
 * their folders show empty. Keeps a hostile file from building a tree the
 * tree control cannot handle. */
constexpr int BOOKMARK_MAX_DEPTH = 100;

/* Both readers stop after reporting this many bookmarks, or this many
 * folders: the first ones of a file that no one could browse in a dialog. */
constexpr int BOOKMARK_MAX_COUNT = 100000;

/* Reads a Netscape bookmark file (its HTML bookmark list format). A file that
 * cannot be opened reports nothing. Names come in the ANSI code page. Only
 * bookmarks that a key can open are reported: a web address (its scheme
 * given in lower case) of at most BOOKMARK_TEXT_LENGTH characters. */
void ReadBookmarkFile(const char *path, void *root, BookmarkCallback callback, void *context);

/* The same for the bytes of such a file in memory. */
void ReadBookmarkText(const char *text, size_t size, void *root, BookmarkCallback callback, void *context);

/* How the bytes of a name or an address become reported text. */
enum BookmarkTextKind {
    TEXT_ANSI,    /* a name in the ANSI code page: bytes as they are */
    TEXT_UTF8,    /* a name in UTF-8: decoded into the ANSI code page ('?' for what it lacks) */
    TEXT_ADDRESS, /* an address: bytes as they are, only ASCII references decoded */
};
constexpr size_t BOOKMARK_TEXT_CAPACITY = BOOKMARK_TEXT_LENGTH + 1;

/* Every reader's rules for a name: text..end decoded by kind, HTML character
 * references too when references, cut at a character's end to
 * BOOKMARK_TEXT_LENGTH. */
void DecodeBookmarkName(const char *text, const char *end, BookmarkTextKind kind, bool references,
                        char (&name)[BOOKMARK_TEXT_CAPACITY]);

/* And for an address: true when it is a web address a key opens (its scheme
 * then in lower case) that fits whole. */
bool DecodeBookmarkAddress(const char *text, const char *end, bool references, char (&address)[BOOKMARK_TEXT_CAPACITY]);

/* A character (a Unicode code point) in the code page: one byte, up to four
 * in UTF-8 (65001, which Windows 10 offers as the ANSI code page), two in a
 * double-byte code page; '?' where the code page lacks it. Returns the byte
 * count. */
int CodePointToCodePage(unsigned codePoint, UINT codePage, char (&bytes)[4]);

/* What does that conversion (null: WideCharToMultiByte); the unit tests play
 * other systems' rules through this. */
using WideCharConverter = int(WINAPI *)(UINT codePage, DWORD flags, LPCWCH wide, int wideLength, LPSTR bytes,
                                        int capacity, LPCCH defaultChar, LPBOOL usedDefault);
void SetWideCharConverter(WideCharConverter converter);

/* Reads a Chromium-family browser's "Bookmarks" file (JSON): each of its top
 * folders ("roots": bookmarks bar, other bookmarks, mobile bookmarks) in the
 * file's order, as a folder named as the browser names it, holding its
 * folders ("type":"folder", "children") and bookmarks ("type":"url", "name",
 * "url"). The rules of the bookmark file reader apply: names from UTF-8 into
 * the ANSI code page, only addresses a key can open, the same bounds. A file
 * cut short reports what came before the cut. */
void ReadChromiumBookmarks(const char *text, size_t size, void *root, BookmarkCallback callback, void *context);

/* The profiles a Chromium-family browser lists in its "Local State" file
 * ("profile", "info_cache"): each profile's folder name and display name
 * (ANSI code page), in the file's order. */
using ProfileCallback = void (*)(void *context, const char *folder, const char *name);
void ReadChromiumProfiles(const char *text, size_t size, ProfileCallback callback, void *context);

/* Reads a Firefox bookmarks backup (.jsonlz4: "mozLz40\0", the decompressed
 * size, one LZ4 block of JSON): the top folders under its root (menu,
 * toolbar, other and mobile bookmarks) named as Firefox names them, each with
 * its containers ("children") and bookmarks ("uri", "title"), by the rules
 * above. */
void ReadFirefoxBackup(const char *bytes, size_t size, void *root, BookmarkCallback callback, void *context);

/* Decompresses a .jsonlz4 file's bytes into text. What a damaged block
 * yields up to the damage is kept; false when the header is not one. The
 * output never grows past the size the header gives, nor past limit. */
bool DecodeMozLz4(const char *bytes, size_t size, size_t limit, std::string *text);

/* folder\name in the buffer, or false when it does not fit. */
bool JoinPath(char *path, size_t capacity, const char *folder, const char *name);
/* "." or "..": a folder listing's entries for the folder and its parent. */
bool IsDotEntry(const char *name);

template <size_t N> bool JoinPath(char (&path)[N], const char *folder, const char *name)
{
    return JoinPath(path, N, folder, name);
}

/* Reports the subfolders of an Internet Explorer favorites folder (each
 * followed by its contents), then its Internet shortcuts that hold a web
 * address, as the bookmark file reader does. Entries whose path does not fit
 * in 255 characters, folder links and folders already on the way down are
 * skipped. */
void ReadFavoritesFolder(const char *folder, void *root, BookmarkCallback callback, void *context);

/* Where the favorites walk learns a folder's volume and file index (null:
 * GetFileInformationByHandle). The unit tests play other file systems
 * through this. */
using FileInformationReader = BOOL(WINAPI *)(HANDLE file, BY_HANDLE_FILE_INFORMATION *info);
void SetFileInformationReader(FileInformationReader reader);

/* The "URL" of an Internet shortcut (.url) file; empty when it has none or
 * when it does not fit the buffer whole. */
void ReadInternetShortcut(const char *path, char *address, DWORD capacity);

/* ---- bookmark sources (bookmark_sources.cpp) ---------------------------------- */

/* Where the sources' entries go: add as the readers' callback; drop removes
 * a top folder again that got no bookmark. */
struct BookmarkSink {
    BookmarkCallback add;
    void (*drop)(void *context, void *folder);
    void *context;
};

/* A place where a browser keeps the user's bookmarks. read reports them under
 * root: the Netscape and Favorites rows as they are, the others each in a top
 * folder of their own, one per profile, named by the row (and the profile).
 * place is the known folder (CSIDL_LOCAL_APPDATA or CSIDL_APPDATA) joined with
 * subPath, "" for the rows that find their own place. */
struct BookmarkSource {
    const char *name; /* the top folder's name, and the start of a profile's */
    int knownFolder;  /* CSIDL_...; 0 for none */
    const char *subPath;
    void (*read)(const BookmarkSource &source, const char *place, const BookmarkSink &sink, void *root);
};
extern const BookmarkSource BookmarkSources[];
extern const size_t BookmarkSourceCount;

/* Everything the picker shows: first the chosen browser's bookmarks (the
 * place its row in Browsers names) right under root, then every other source that holds a bookmark, each in its
 * own top folder(s). */
void ReadBookmarkSources(BrowserChoice browser, const BookmarkSink &sink, void *root);

/* A bookmark file the user chose (the HTML format of Navigator's file, which
 * browsers export) as a top folder of that name. Returns the folder, or null
 * when it held no bookmark (nothing is then added). */
void *ReadChosenBookmarkFile(const char *path, const char *name, const BookmarkSink &sink, void *root);

#endif
