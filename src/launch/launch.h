/* Action launching: what a pressed Springpad does. A key's stored command
 * line decodes into an ActionKind: a dial-up connection (exactly
 * ":connection"), a web address (one of nine lower-case schemes) or a
 * program or document. This header is what the rest of the program calls;
 * launch_internal.h holds what the folder's files share with each other and
 * with the tests. */
#ifndef SPRINGDECK_LAUNCH_H
#define SPRINGDECK_LAUNCH_H

#include "settings/settings.h"

#include <windows.h>

/* ---- the command-line encoding (action_kind.cpp) ----------------------------- */

/* What a key's stored command line makes it do. */
enum ActionKind {
    ACTION_NORMAL_FUNCTION, /* empty: the key is left to Windows */
    ACTION_CONNECTION,      /* ConnectionCommandLine, the connection named in "args" */
    ACTION_WEB_ADDRESS,     /* IsWebAddress */
    ACTION_PROGRAM,         /* anything else: a program or document, "args" its parameters */
};
ActionKind DecodeActionKind(const char *commandLine);

/* The command line of a dial-up connection assignment, exactly. */
extern const char ConnectionCommandLine[];

/* True when the text begins with http:, https:, ftp:, gopher:, telnet:,
 * mailto:, news:, snews: or file: (lower case only). */
bool IsWebAddress(const char *text);

/* When the text begins with one of those schemes in any letter case, writes
 * the scheme in lower case, so that IsWebAddress holds, and returns true. */
bool LowerWebScheme(char *text);

/* ---- dispatch (dispatch.cpp) ------------------------------------------------ */

/* Carries out the action of a pressed hotkey: a plain key id (101-115) runs
 * the key's assignment, key id + 100 plays the key's normal keystroke. */
void RunKeyAction(HWND mainWindow, UINT hotkeyId);

/* ---- the browsers to choose from (browsers.cpp) ------------------------------- */

/* Where a browser keeps the bookmarks that "Select a BookMark" shows. */
enum BookmarkPlace {
    BOOKMARKS_NAVIGATOR_FILE, /* Netscape Navigator's bookmark file */
    BOOKMARKS_FAVORITES,      /* the Internet shortcuts of the user's Favorites folder */
};

/* What the program knows of one browser of the setup dialog. */
struct BrowserFacts {
    BrowserChoice choice;
    int button;                    /* its radio button in the setup dialog */
    const char *ddeService;        /* its DDE service; null: the America Online client (aol.cpp) */
    const char *windowTitlePrefix; /* a window whose title begins so is brought forward; null: none */
    const char *appPathsName;      /* its executable's App Paths key; null: none */
    bool navigatorIni;             /* the executable may also lie beside Navigator's ini file */
    const char *displayName;       /* its name in messages */
    bool bookmarksBrowsable;       /* "Browse your Bookmarks" is offered for it */
    BookmarkPlace bookmarks;
};

/* One row per BrowserChoice, in that order. */
extern const BrowserFacts Browsers[BROWSER_COUNT];

/* ---- browsers (browser.cpp) -------------------------------------------------- */

/* Netscape Navigator's own ini file as the "ini" entry of win.ini names it:
 * its length, or 0 and "" when there is none or it does not fit. */
DWORD ReadNavigatorIni(char *path, DWORD capacity);

/* ---- keystroke playback (playback.cpp) --------------------------------------- */

/* Ends a running playback early: the keys not yet played are dropped and
 * every key it holds down is released. Waits at most timeoutMs for the end. */
void CancelPlayback(DWORD timeoutMs);

/* The extra information of every key event the playback injects, so that
 * whoever watches the keyboard can tell our events from the user's. */
constexpr ULONG_PTR INJECTED_BY_PLAYBACK = 0x53444B50;

/* ---- connections (connections.cpp) ------------------------------------------- */

/* Calls the callback with each Dial-Up Networking connection's name until it
 * returns 0. */
using ConnectionCallback = int (*)(const char *name, LPARAM userValue);
void EnumConnections(ConnectionCallback callback, LPARAM userValue);

/* ---- running programs (process_lookup.cpp) ----------------------------------- */

/* Looks up the process-snapshot functions of this system once at start-up.
 * Returns true when a way to list running programs exists. */
bool InitProcessLookup();

#endif
