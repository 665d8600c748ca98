/* Action launching: what a pressed Springpad does. A key's stored command
 * line decodes into a dial-up connection (exactly ":connection"), a web
 * address (one of nine lower-case schemes) or a program or document. */
#ifndef SPRINGDECK_LAUNCH_H
#define SPRINGDECK_LAUNCH_H

#include <windows.h>
#include <shlobj.h>

/* ---- dispatch (dispatch.cpp) ------------------------------------------------ */

/* Carries out the action of a pressed hotkey: a plain key id (101-115) runs
 * the key's assignment, key id + 100 plays the key's normal keystroke. */
void RunKeyAction(HWND mainWindow, UINT hotkeyId);

/* True when the text begins with http:, https:, ftp:, gopher:, telnet:,
 * mailto:, news:, snews: or file: (lower case only). */
bool IsWebAddress(const char *text);

/* Opens one web address in the chosen browser, or its local alias instead. */
void OpenWebAddress(const char *address);

/* The "file://" address of a local file: the path after the prefix with ':'
 * turned into '|' and '\' into '/'. The result is cut to fit. */
void MakeFileAddress(const char *path, char *address, size_t capacity);

/* ---- browsers (browser.cpp) -------------------------------------------------- */

/* Opens the address in Netscape Navigator or Internet Explorer over DDE,
 * starting the browser when none answers. Always returns 0. */
int OpenUrlInBrowser(const char *address);

/* ---- America Online (aol.cpp) ------------------------------------------------ */

/* Sends the address to the America Online client: typed into its open web
 * window, else through its launcher library. 0 on success, -1 on failure. */
int OpenUrlInAol(const char *address);

/* ---- keystroke playback (playback.cpp) --------------------------------------- */

/* A playback request: a 16-bit count followed by that many 16-bit entries.
 * Entry bits 0-7: virtual key; 0x1000 key-up only; 0x2000 key-down only;
 * neither: a full stroke (down, then up); 0x4000 a system key. */
enum : WORD {
    PLAYBACK_KEY_UP = 0x1000,
    PLAYBACK_KEY_DOWN = 0x2000,
    PLAYBACK_SYSTEM_KEY = 0x4000,
};

/* Plays the request into whatever window has the focus, one event each
 * delay milliseconds. Returns 1 when the playback started, 0 when it was
 * refused (another one runs, empty request, no way to play). */
BOOL PlayKeys(const WORD *request, DWORD delay);

/* ---- programs and connections (program_launch.cpp, connections.cpp) ---------- */

/* Brings a running copy of the program forward (only when args are empty) or
 * starts it through the shell; a failure is reported in a message box. */
void LaunchProgram(HWND owner, const char *commandLine, const char *args);

/* Opens the named Dial-Up Networking connection, which starts dialling.
 * Returns 1 when it was found and handed to the shell. */
int DialConnection(const char *name);

/* Calls the callback with each connection's name until it returns 0. */
typedef int (*ConnectionCallback)(const char *name, LPARAM userValue);
void EnumConnections(ConnectionCallback callback, LPARAM userValue);

/* The connection's absolute item id list in the Dial-Up Networking folder,
 * from the given allocator (the caller frees it there), or null. Names match
 * without regard to case. */
LPITEMIDLIST FindConnectionItem(const char *name, IMalloc *allocator);

/* Item id list helpers: the size of a list with its 2-byte terminator, and a
 * folder's list followed by an item's list in one zero-filled block. */
UINT IdListSize(LPCITEMIDLIST list);
LPITEMIDLIST JoinIdLists(IMalloc *allocator, LPCITEMIDLIST folder, LPCITEMIDLIST item);

/* A shell display name as ANSI text, whole or not at all: false when its kind
 * is unknown or it does not fit. Frees a wide string the shell allocated. */
bool StrRetToText(STRRET *name, LPCITEMIDLIST item, char *text, UINT capacity);

/* ---- running programs (process_lookup.cpp) ------------------------------------ */

/* Looks up the process-snapshot functions of this system once at start-up.
 * Returns TRUE when a way to list running programs exists. */
BOOL InitProcessLookup();

#endif
