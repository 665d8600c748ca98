/* The settings store: every Springdeck setting lives under
 * HKEY_CURRENT_USER\Software\Tolvane Keyboards\Springdeck\<field>, one subkey
 * per field with one value per key (or per option / aliased address).
 * Nothing is cached: each call opens the key, reads or writes once, closes. */
#ifndef SPRINGDECK_SETTINGS_H
#define SPRINGDECK_SETTINGS_H

#include <windows.h>

/* Registry path of the store, with its trailing backslash. */
#define SETTINGS_BASE_PATH "Software\\Tolvane Keyboards\\Springdeck\\"

/* Buffer capacities that the readers pass, in bytes with the terminating zero. */
enum : DWORD {
    SETTING_PATH_CAPACITY = 512,  /* full registry path of a subkey */
    COMMAND_LINE_CAPACITY = 260,  /* "command line", "args" */
    TITLE_CAPACITY = 80,          /* "title" in a tooltip */
    ICON_PATH_CAPACITY = 256,     /* "icon", "alias" */
};

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
void ReadSettingString(const char *subkey, const char *valueName, const char *defaultValue,
                       char *buffer, DWORD capacity);

/* Stores text as REG_SZ (its length plus the terminating zero). */
void WriteSettingString(const char *subkey, const char *valueName, const char *text);

/* Writes the five values of one key's assignment, each under the key's name:
 * "command line", "args", "title", "icon" and "icon index". */
void WriteKeyAssignment(UINT keyId, const char *commandLine, const char *args,
                        const char *title, const char *icon, DWORD iconIndex);

#endif
