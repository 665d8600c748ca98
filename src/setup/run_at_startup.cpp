/* The "start with Windows" option: the value "Springdeck" under the
 * machine's Run key holds the full path of springdeck.exe. */
#include "resource.h"
#include "setup/setup.h"

static const char RunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
static const char RunValueName[] = "Springdeck";
enum { RUN_VALUE_SIZE = 260 };  /* the value is always written with 260 bytes of data */
enum { IDC_RUN_AT_STARTUP = 116 };

void ApplyRunAtStartup(HWND dialog)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKeyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    if (dialog && IsDlgButtonChecked(dialog, IDC_RUN_AT_STARTUP) != BST_CHECKED) {
        RegDeleteValueA(key, RunValueName);
    } else {
        char path[RUN_VALUE_SIZE];
        ZeroMemory(path, sizeof path);
        DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
        /* A path that does not fit would be stored cut and start nothing. */
        if (length > 0 && length < sizeof path)
            RegSetValueExA(key, RunValueName, 0, REG_SZ, (const BYTE *)path, sizeof path);
    }
    RegCloseKey(key);
}
