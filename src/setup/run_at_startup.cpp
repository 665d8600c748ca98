/* The "start with Windows" option: the value "Springdeck" under the
 * machine's Run key holds the full path of springdeck.exe in quotes. Without
 * them Windows would try the path's beginnings at each space first: for
 * "C:\My Apps\Springdeck\springdeck.exe" a file "C:\My.exe" would start
 * instead. A value written unquoted by an earlier version still starts the
 * program and counts as set. The path is one the ANSI code page can spell
 * (see ProgramFilePath); when there is none, nothing is written.
 *
 * A user who may not write under HKEY_LOCAL_MACHINE still gets the option:
 * the same value then goes under the user's own Run key, which Windows also
 * reads at log-on. The box shows the option as set when either key holds it,
 * and clearing the box removes it from both. After a click the box is set
 * from what the keys then hold, so it shows what happens at the next log-on
 * even when a change was refused; the user is told why. */
#include "resource.h"
#include "setup/setup_internal.h"

constexpr char RunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char RunValueName[] = "Springdeck";
constexpr DWORD RUN_VALUE_SIZE = 260; /* the value is written with 260 bytes of data, more only for a longer path */

/* True when the Run key under root holds a non-empty "Springdeck" value,
 * quoted or not. */
static bool RunValuePresent(HKEY root)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, RunKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    char path[RUN_VALUE_SIZE] = {};
    DWORD size = sizeof path - 1; /* keeps a terminating zero */
    LONG result = RegQueryValueExA(key, RunValueName, nullptr, nullptr, reinterpret_cast<BYTE *>(path), &size);
    RegCloseKey(key);
    /* A value too long for the buffer is there and not empty. */
    return result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && path[0] != '\0');
}

constexpr char NotStoredText[] =
    "Springdeck could not be set to start when the computer starts.\r\n\r\n"
    "Neither the programs that start for every user of this computer nor your own could be changed.";
constexpr char MachineValueStaysText[] =
    "Springdeck will still start when the computer starts.\r\n\r\n"
    "It is set to start for every user of this computer, and you may not change that. "
    "An administrator can turn this option off.";
constexpr char NoPathText[] =
    "Springdeck could not be set to start when the computer starts.\r\n\r\n"
    "The name of its folder has letters that this computer's language for non-Unicode programs lacks. "
    "Install Springdeck in a folder with another name.";
constexpr char UserValueStaysText[] =
    "Springdeck will still start when the computer starts.\r\n\r\n"
    "It could not be removed from the programs that start for you.";

static void DeleteRunValue(HKEY root)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, RunKeyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, RunValueName);
    RegCloseKey(key);
}

/* Stores the value (size bytes) under root's Run key, which is created only
 * under HKEY_CURRENT_USER; false when the key cannot be opened or written. */
static bool StoreRunValueUnder(HKEY root, const char *value, DWORD size)
{
    HKEY key = nullptr;
    LONG opened = root == HKEY_CURRENT_USER
                      ? RegCreateKeyExA(root, RunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)
                      : RegOpenKeyExA(root, RunKeyPath, 0, KEY_SET_VALUE, &key);
    if (opened != ERROR_SUCCESS)
        return false;
    bool stored =
        RegSetValueExA(key, RunValueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(value), size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stored;
}

void ReadRunAtStartup(HWND dialog)
{
    if (RunValuePresent(HKEY_LOCAL_MACHINE) || RunValuePresent(HKEY_CURRENT_USER))
        CheckDlgButton(dialog, IDC_RUN_AT_STARTUP, BST_CHECKED);
}

/* False when the program has no path to store: a path that does not fit,
 * or that the code page cannot spell, would be stored as one that starts
 * nothing. */
static bool StoreRunValue()
{
    char path[MAX_PATH];
    DWORD length = ProgramFilePath(nullptr, path, sizeof path);
    if (length == 0)
        return false;
    char value[MAX_PATH + 2] = {}; /* the path, its quotes and a zero; zeros pad it */
    value[0] = '"';
    CopyMemory(value + 1, path, length);
    value[length + 1] = '"';
    DWORD size = length + 3 > RUN_VALUE_SIZE ? length + 3 : RUN_VALUE_SIZE;
    if (StoreRunValueUnder(HKEY_LOCAL_MACHINE, value, size))
        DeleteRunValue(HKEY_CURRENT_USER); /* one entry, or the program starts twice */
    else
        StoreRunValueUnder(HKEY_CURRENT_USER, value, size);
    return true;
}

void ApplyRunAtStartup(HWND dialog)
{
    bool wanted = !dialog || IsDlgButtonChecked(dialog, IDC_RUN_AT_STARTUP) == BST_CHECKED;
    bool hasPath = true;
    if (wanted) {
        hasPath = StoreRunValue();
    } else {
        DeleteRunValue(HKEY_LOCAL_MACHINE);
        DeleteRunValue(HKEY_CURRENT_USER);
    }
    if (!dialog)
        return;

    bool machine = RunValuePresent(HKEY_LOCAL_MACHINE);
    bool starts = machine || RunValuePresent(HKEY_CURRENT_USER);
    CheckDlgButton(dialog, IDC_RUN_AT_STARTUP, starts ? BST_CHECKED : BST_UNCHECKED);
    if (starts == wanted)
        return;
    const char *text = !hasPath  ? NoPathText
                       : wanted  ? NotStoredText
                       : machine ? MachineValueStaysText
                                 : UserValueStaysText;
    MessageBoxA(dialog, text, APP_CAPTION, MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}
