/* The settings store: every Springdeck setting lives under
 * HKEY_CURRENT_USER\Software\Tolvane Keyboards\Springdeck\<field>, one subkey
 * per field with one value per key (or per option / aliased address).
 * Nothing is cached: each call opens the key, reads or writes once, closes. */
#ifndef SPRINGDECK_SETTINGS_H
#define SPRINGDECK_SETTINGS_H

#include <windows.h>

/* Registry path of the store, with its trailing backslash. */
constexpr char SETTINGS_BASE_PATH[] = "Software\\Tolvane Keyboards\\Springdeck\\";

/* Buffer capacities that the readers pass, in bytes with the terminating zero. */
constexpr DWORD SETTING_PATH_CAPACITY = 512; /* full registry path of a subkey */
constexpr DWORD COMMAND_LINE_CAPACITY = 260; /* "command line", "args" */
constexpr DWORD TITLE_CAPACITY = 80;         /* "title" in a tooltip */
constexpr DWORD ICON_PATH_CAPACITY = 256;    /* "icon", "alias" */

/* Returns the stored REG_DWORD, or the default when the key or value is
 * missing or the value is not a 4-byte REG_DWORD. */
DWORD ReadSettingDword(const char *subkey, const char *valueName, DWORD defaultValue);

/* Stores a REG_DWORD, creating the subkey (and the base path) as needed.
 * Failures are silent: the setting stays as it was. */
void WriteSettingDword(const char *subkey, const char *valueName, DWORD value);

/* Fills buffer (capacity bytes) with the stored string, or with the default
 * when the key or value is missing, not a string or over 64 KB. A stored
 * string longer than the buffer is cut to capacity - 1 characters; the
 * buffer always ends up terminated. */
void ReadSettingString(const char *subkey, const char *valueName, const char *defaultValue, char *buffer,
                       DWORD capacity);

/* Stores text as REG_SZ (its length plus the terminating zero). */
void WriteSettingString(const char *subkey, const char *valueName, const char *text);

/* One Springpad's stored action: five values, each under the key's name. */
struct KeyAssignment {
    char commandLine[COMMAND_LINE_CAPACITY]; /* empty: the key keeps its normal function */
    char args[COMMAND_LINE_CAPACITY];
    char title[TITLE_CAPACITY];
    char icon[ICON_PATH_CAPACITY];
    DWORD iconIndex;
};

/* Reads the key's assignment afresh from the registry: every field is what
 * is stored at this moment, "" or 0 when absent. */
void ReadKeyAssignment(UINT keyId, KeyAssignment *assignment);

/* Writes the five values of one key's assignment, each under the key's name:
 * "command line", "args", "title", "icon" and "icon index". */
void WriteKeyAssignment(UINT keyId, const char *commandLine, const char *args, const char *title, const char *icon,
                        DWORD iconIndex);

/* The browser that web addresses go to: "options"\"browser". Navigator when
 * the value is absent or holds a number the program does not write. */
enum BrowserChoice : DWORD { BROWSER_NETSCAPE = 0, BROWSER_EXPLORER = 1, BROWSER_AOL = 2, BROWSER_COUNT };
BrowserChoice ReadBrowserChoice();
void WriteBrowserChoice(BrowserChoice choice);

/* A string value outside the store (a shell folder, a program's App Paths
 * entry; a null value name reads the key's default value), whole or not at
 * all: true with the text when it is a string of at most capacity - 1
 * characters, else false with the buffer empty. */
bool ReadRegistryString(HKEY root, const char *path, const char *valueName, char *buffer, DWORD capacity);

/* Where the shell names the user's folders ("Start Menu", "Favorites") under
 * HKEY_CURRENT_USER, and the all-users' ones under HKEY_LOCAL_MACHINE. */
extern const char ShellFoldersKey[];

#endif
