/* The registry-backed settings store.
 *
 * Readers never trust what they find: the registry may hold values written by
 * hand or by another program, of another type or longer than our buffers.
 * A DWORD reader accepts only a 4-byte REG_DWORD; a string reader accepts
 * only REG_SZ / REG_EXPAND_SZ and cuts an oversized string to fit, so every
 * caller gets a terminated string of at most its capacity and never stray
 * bytes of another value. */
#include "settings/settings.h"
#include "core/core.h"

#include <cstdio>
#include <string>
#include <vector>

/* No setting is anywhere near this long. A bigger value (written by hand or
 * by another program, possibly hundreds of megabytes) is not read at all:
 * it counts as missing, so its reader gets the default. */
constexpr DWORD MAX_SETTING_STRING_SIZE = 64 * 1024;

/* Opens "Software\Tolvane Keyboards\Springdeck\<subkey>" for reading, or
 * creates it (and the base path) for writing; null when that fails or the
 * subkey name would not fit (such a setting is treated as missing). */
static HKEY OpenSettingKey(const char *subkey, bool create = false)
{
    char path[SETTING_PATH_CAPACITY];
    HKEY key = nullptr;
    int n = snprintf(path, sizeof path, "%s%s", SETTINGS_BASE_PATH, subkey);
    if (n <= 0 || n >= static_cast<int>(sizeof path))
        return nullptr;
    LONG result = create ? RegCreateKeyA(HKEY_CURRENT_USER, path, &key)
                         : RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key);
    return result == ERROR_SUCCESS ? key : nullptr;
}

DWORD ReadSettingDword(const char *subkey, const char *valueName, DWORD defaultValue)
{
    DWORD result = defaultValue;
    HKEY key = OpenSettingKey(subkey);
    if (!key)
        return result;

    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size) == ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof value)
        result = value;
    RegCloseKey(key);
    return result;
}

void WriteSettingDword(const char *subkey, const char *valueName, DWORD value)
{
    HKEY key = OpenSettingKey(subkey, true);
    if (!key)
        return;
    RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof value);
    RegCloseKey(key);
}

static void CopyBounded(char *buffer, DWORD capacity, const char *text, DWORD length)
{
    if (length >= capacity)
        length = capacity - 1;
    memcpy(buffer, text, length);
    buffer[length] = '\0';
}

const char ShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell folders";

static bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

/* Reads a string value whole into text (terminated, without its trailing
 * zero); false when it is missing, not a string or over 64 KB. The size is
 * asked first so that an oversized value is read whole and then judged,
 * rather than left half-written by the registry. */
static bool QueryString(HKEY key, const char *valueName, std::string *text)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || !IsStringType(type) ||
        size > MAX_SETTING_STRING_SIZE)
        return false;
    std::vector<char> data(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE *>(data.data()), &got) !=
            ERROR_SUCCESS ||
        !IsStringType(type) || got > size)
        return false;
    data[got] = '\0'; /* a value stored without its zero still ends here */
    text->assign(data.data());
    return true;
}

void ReadSettingString(const char *subkey, const char *valueName, const char *defaultValue, char *buffer,
                       DWORD capacity)
{
    if (!buffer || capacity == 0)
        return;
    if (!defaultValue)
        defaultValue = "";
    CopyBounded(buffer, capacity, defaultValue, static_cast<DWORD>(strlen(defaultValue)));

    HKEY key = OpenSettingKey(subkey);
    if (!key)
        return;
    std::string text;
    if (QueryString(key, valueName, &text))
        CopyBounded(buffer, capacity, text.c_str(), static_cast<DWORD>(text.size()));
    RegCloseKey(key);
}

bool ReadRegistryString(HKEY root, const char *path, const char *valueName, char *buffer, DWORD capacity)
{
    if (!buffer || capacity == 0)
        return false;
    buffer[0] = '\0';
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    std::string text;
    bool whole = QueryString(key, valueName, &text) && text.size() < capacity;
    RegCloseKey(key);
    if (whole)
        memcpy(buffer, text.c_str(), text.size() + 1);
    return whole;
}

void WriteSettingString(const char *subkey, const char *valueName, const char *text)
{
    if (!text)
        text = "";
    HKEY key = OpenSettingKey(subkey, true);
    if (!key)
        return;
    RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                   static_cast<DWORD>(strlen(text)) + 1);
    RegCloseKey(key);
}

void WriteKeyAssignment(UINT keyId, const char *commandLine, const char *args, const char *title, const char *icon,
                        DWORD iconIndex)
{
    const char *name = KeyName(keyId);
    if (!*name)
        return; /* not one of the fifteen keys: nothing to write */
    WriteSettingString("command line", name, commandLine);
    WriteSettingString("args", name, args);
    WriteSettingString("title", name, title);
    WriteSettingString("icon", name, icon);
    WriteSettingDword("icon index", name, iconIndex);
}

void ReadKeyAssignment(UINT keyId, KeyAssignment *assignment)
{
    const char *name = KeyName(keyId);
    if (!*name) {
        *assignment = KeyAssignment{}; /* not one of the fifteen keys: nothing assigned */
        return;
    }
    ReadSettingString("command line", name, "", assignment->commandLine, sizeof assignment->commandLine);
    ReadSettingString("args", name, "", assignment->args, sizeof assignment->args);
    ReadSettingString("title", name, "", assignment->title, sizeof assignment->title);
    ReadSettingString("icon", name, "", assignment->icon, sizeof assignment->icon);
    assignment->iconIndex = ReadSettingDword("icon index", name, 0);
}

BrowserChoice ReadBrowserChoice()
{
    DWORD value = ReadSettingDword("options", "browser", BROWSER_NETSCAPE);
    return value < BROWSER_COUNT ? static_cast<BrowserChoice>(value) : BROWSER_NETSCAPE;
}

void WriteBrowserChoice(BrowserChoice choice) { WriteSettingDword("options", "browser", choice); }
