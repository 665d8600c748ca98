/* System-wide hotkeys of the main window: every assigned key owns two, the
 * key alone (id = key id) and Ctrl+Alt with the key (id = key id + 100).
 * Unassigned keys own none, so Windows sees them as if we did not run. */
#include "core/core.h"
#include "settings/settings.h"

void UnregisterKeyHotkeys(HWND window)
{
    for (UINT id = KEY_FIRST; id <= KEY_LAST; ++id) {
        UnregisterHotKey(window, (int)id);
        UnregisterHotKey(window, (int)(id + CTRL_ALT_HOTKEY_OFFSET));
    }
}

void RegisterKeyHotkeys(HWND window)
{
    UnregisterKeyHotkeys(window);
    for (UINT id = KEY_FIRST; id <= KEY_LAST; ++id) {
        char commandLine[COMMAND_LINE_CAPACITY];
        ReadSettingString("command line", KeyName(id), "", commandLine, sizeof commandLine);
        if (!commandLine[0])
            continue;
        /* A key that another program holds simply stays unclaimed; the setup
         * dialog finds and reports such keys itself. */
        RegisterHotKey(window, (int)id, 0, KeyVirtualKey(id));
        RegisterHotKey(window, (int)(id + CTRL_ALT_HOTKEY_OFFSET), MOD_ALT | MOD_CONTROL,
                       KeyVirtualKey(id));
    }
}
