/* What the files of launch/ share with each other, and the seams and pieces
 * the unit tests reach: the rest of the program calls only launch.h. */
#ifndef SPRINGDECK_LAUNCH_INTERNAL_H
#define SPRINGDECK_LAUNCH_INTERNAL_H

#include "launch/launch.h"

#include <shlobj.h>

#include <cstddef>
#include <vector>

/* The "file://" address of a local file: the path after the prefix with ':'
 * turned into '|' and '\' into '/'. The result is cut to fit. */
void MakeFileAddress(const char *path, char *address, size_t capacity);

/* True when the text begins with "file:" in any letter case. */
bool IsFileAddress(const char *text);

/* The local path a "file:" address names, its percent-escapes decoded: after
 * the slashes (and "localhost/", if given) a drive letter with ':' or '|',
 * then a slash and the rest, '/' turned into '\'. False for another
 * computer, for no drive, for an escaped NUL and for a path that does not
 * fit. */
bool FileAddressToPath(const char *address, char *path, size_t capacity);

/* ---- browsers (browser.cpp) -------------------------------------------------- */

/* Opens the address in the browser over its DDE service, starting the
 * browser when none answers. Only for a browser that has a DDE service.
 * Always returns 0. */
int OpenUrlInBrowser(const char *address, BrowserChoice browser);

/* The browser's executable from App Paths (Navigator also from the "ini"
 * entry of win.ini); "" when none is known. The buffer is shared and filled
 * again at each call. */
const char *FindBrowserPath(BrowserChoice browser);

/* The open request item "%s,,0xFFFFFFFF,0x0". An address holding a comma or a
 * quote goes in quotes (QuoteArgument), so that it stays one argument. False
 * when the item does not fit or is too long for a DDE string (255 characters). */
bool FormatOpenRequestItem(const char *address, char *item, size_t capacity);

/* The command line that starts the browser: its path, in quotes unless it is
 * quoted already, and the address in quotes. False when it does not fit. */
bool FormatBrowserCommand(const char *path, const char *address, char *command, size_t capacity);

/* ---- America Online (aol.cpp) ------------------------------------------------ */

/* Sends the address to the America Online client: typed into its open web
 * window, else through its launcher library. 0 on success, -1 on failure. */
int OpenUrlInAol(const char *address);

/* Builds the playback request that types an address into AOL into request
 * (capacity words, the count included) and returns the entry count. A
 * character that no key produces is left out; a text too long for the
 * request is cut so that the modifier releases and Enter always fit. */
WORD BuildTypingRequest(const char *text, WORD *request, size_t capacity);

/* ---- keystroke playback (playback.cpp) --------------------------------------- */

/* A playback request: a 16-bit count followed by that many 16-bit entries.
 * Entry bits 0-7: virtual key; 0x1000 key-up only; 0x2000 key-down only;
 * neither: a full stroke (down, then up); 0x4000 a system key. */
constexpr WORD PLAYBACK_KEY_UP = 0x1000;
constexpr WORD PLAYBACK_KEY_DOWN = 0x2000;
constexpr WORD PLAYBACK_SYSTEM_KEY = 0x4000;

/* Plays the request into whatever window has the focus, one event each
 * delay milliseconds. Returns true when the playback started, false when it
 * was refused (another one runs, empty request, no way to play). */
bool PlayKeys(const WORD *request, DWORD delay);

/* True from the start of a playback until its thread has cleaned up; every
 * PlayKeys in that time is refused. */
bool IsPlayingKeys();

/* The state of the one playback that may run, and the steps that drive it,
 * shared by the journal hook and the input fallback (and the unit tests). */
constexpr int PLAYBACK_CAPACITY = 1024;
struct PlaybackState {
    HHOOK hook; /* the journal playback hook, null when not installed */
    int index;  /* entry being played, -1 before the first advance */
    int count;  /* entries copied from the request */
    DWORD entries[PLAYBACK_CAPACITY];
    DWORD nextTime;     /* GetTickCount time when the current event is due */
    DWORD delay;        /* milliseconds between two events */
    bool asked;         /* the first event has gone out (asked for by the system, or injected) */
    DWORD lastHookCall; /* when the system last called the hook */
    BYTE held[256];     /* keys pressed by this playback and not yet released */
};

/* Copies the request's entries (at most PLAYBACK_CAPACITY) into a fresh state. */
void BeginPlaybackState(PlaybackState *state, const WORD *request, DWORD delay, DWORD now);

/* Moves to the next event (a stroke plays its key-down, then its key-up);
 * the next event is due one delay after now. True when the list is done. */
bool AdvancePlayback(PlaybackState *state, DWORD now);

/* The event at the current position: message, virtual key (paramL), scan code
 * (paramH), due time. */
void CurrentPlaybackEvent(const PlaybackState *state, EVENTMSG *event);

/* What the journal playback hook does with one call from the system. */
LRESULT JournalPlaybackStep(PlaybackState *state, int code, WPARAM wParam, LPARAM lParam, DWORD now);

/* Ctrl and Alt that the user holds when a playback goes in as input are let
 * up for it and pressed again afterwards while a low-level keyboard hook
 * follows the user's own events on them: left and right Ctrl, then left and
 * right Alt (LiftedKeys in playback.cpp). */
constexpr int LIFTED_KEY_COUNT = 4;
struct ModifierWatch {
    HHOOK hook;                           /* the low-level keyboard hook; null when not watching */
    bool lifted[LIFTED_KEY_COUNT];        /* held when the playback began; we let it up */
    bool userHolds[LIFTED_KEY_COUNT];     /* as the user's own events on it tell since then */
    bool pressedAgain[LIFTED_KEY_COUNT];  /* our key-down pressed it again after the playback */
    bool restoring[LIFTED_KEY_COUNT];     /* that key-down is under way */
    bool releasedFirst[LIFTED_KEY_COUNT]; /* the user let go of it just before that key-down */
    LONG injectedBefore;                  /* injected events counted when the watch began */
    LONG seen;                            /* our events the hook has seen since */
};

/* What the end of the playback does next with lifted key i, once the hook has
 * seen all our events (caughtUp) or the wait for it ran out. Before our
 * key-down: press it again when the user still holds it. After: let it up
 * once more when the user's release came just before our key-down, which
 * found the key up already. Where the hook did not catch up it may be gone
 * and have missed a release: no key is pressed again, and one pressed again
 * goes up, as where there is no hook at all, so that none stays held after
 * the user has let go. */
enum LiftedKeyStep { LIFTED_KEY_LEAVE, LIFTED_KEY_PRESS, LIFTED_KEY_RELEASE };
LiftedKeyStep SettleLiftedKey(const ModifierWatch *watch, int i, bool caughtUp);

/* Where played events go instead of the system's input (null: the system).
 * With a sink set no journal hook is installed; the unit tests use this. */
using KeyEventSink = bool (*)(const EVENTMSG *event);
void SetKeyEventSink(KeyEventSink sink);

/* ---- programs and connections (program_launch.cpp, connections.cpp) ---------- */

/* Brings a running copy of the program forward (only when args are empty) or
 * starts it through the shell; a failure is reported in a message box. */
void LaunchProgram(HWND owner, const char *commandLine, const char *args);

/* ShellExecuteExA of the file with the verb and parameters, shown normally,
 * with no message from the shell. True when the shell carried it out. */
bool OpenThroughShell(const char *verb, const char *file, const char *parameters);

/* Opens the named Dial-Up Networking connection, which starts dialling.
 * Returns 1 when it was found and handed to the shell. */
int DialConnection(const char *name);

/* Item id list helpers: the size of a list with its 2-byte terminator, and a
 * folder's list followed by an item's list in one zero-filled block. */
UINT IdListSize(LPCITEMIDLIST list);
LPITEMIDLIST JoinIdLists(IMalloc *allocator, LPCITEMIDLIST folder, LPCITEMIDLIST item);

/* A shell display name as ANSI text, whole or not at all: false when its kind
 * is unknown or it does not fit. Frees a wide string the shell allocated. */
bool StrRetToText(STRRET *name, LPCITEMIDLIST item, char *text, UINT capacity);

/* ---- running programs (process_lookup.cpp, performance_data.cpp) ------------- */

/* The path of the executable of a running process: 1 and the path in the
 * buffer (capacity bytes, 256 in practice), or 0 when none was found. Windows
 * 95 answers from a process snapshot; Windows NT asks the process itself, or
 * else names it from the performance data (image name only). */
constexpr DWORD IMAGE_PATH_CAPACITY = 256;
int GetProcessImagePath(DWORD processId, char *path, DWORD capacity);

/* One lookup over many processes (the search for a running copy): what the
 * system only hands out whole, the NT performance data, is read at most once,
 * at the first process that does not give its path itself, and kept until
 * the lookup goes out of scope. Start each lookup from ProcessLookup{}. */
struct ProcessLookup {
    bool performanceRead;
    std::vector<BYTE> performanceData; /* empty when it could not be read */
    DWORD idProcessIndex;              /* name index of the "ID Process" counter */
};
int LookUpProcessImagePath(ProcessLookup *lookup, DWORD processId, char *path, DWORD capacity);

/* Where the performance data comes from (null: the system's registry): reads
 * the "Process" object into data and gives the name index of its "ID Process"
 * counter, or returns false. The unit tests count the reads through this. */
using PerformanceDataReader = bool (*)(std::vector<BYTE> *data, DWORD *idProcessIndex);
void SetPerformanceDataReader(PerformanceDataReader reader);

/* The separate ways of GetProcessImagePath, each 1 with the result or 0. */
int ProcessPathFromSnapshot(DWORD processId, char *path, DWORD capacity);
int ProcessPathFromProcess(DWORD processId, char *path, DWORD capacity);

/* Walks a counter-name table (pairs of index text and name, ending with an
 * extra NUL) for the name; copies its index text. */
bool FindCounterIndex(const char *table, size_t size, const char *name, char *index, size_t capacity);

/* Walks a performance data block holding the "Process" object for the
 * instance whose "ID Process" counter (by its name index) is the process id:
 * true with the offset of its UTF-16 name and the name's length in characters
 * (up to its NUL), both within the block. Any bytes at all may be given. */
bool FindProcessInstance(const BYTE *data, DWORD size, DWORD idProcessIndex, DWORD processId, DWORD *nameOffset,
                         DWORD *nameLength);

/* The same walk, with the instance's name as ANSI text cut to the capacity. */
int FindPerformanceInstanceName(const BYTE *data, DWORD size, DWORD idProcessIndex, DWORD processId, char *name,
                                DWORD capacity);

#endif
