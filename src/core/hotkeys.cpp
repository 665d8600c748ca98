/* System-wide hotkeys of the main window: every assigned key owns two, the
 * key alone (id = key id) and Ctrl+Alt with the key (id = key id + 100).
 * Unassigned keys own none, so Windows sees them as if we did not run. */
#include "core/core_internal.h"
#include "settings/settings.h"

void UnregisterKeyHotkeys(HWND window)
{
    for (UINT id = KEY_FIRST; id <= KEY_LAST; ++id) {
        UnregisterHotKey(window, static_cast<int>(id));
        UnregisterHotKey(window, static_cast<int>(id + CTRL_ALT_HOTKEY_OFFSET));
    }
}

/* One press is one action: holding a key makes the keyboard repeat it, and
 * every repeat would otherwise start the program or open the page again.
 * MOD_NOREPEAT (Windows 7 and later) stops the repeats at the source; a
 * system that does not know the flag refuses it as invalid, and then the
 * hotkey is registered without it. */
constexpr UINT NO_REPEAT = 0x4000; /* MOD_NOREPEAT, which older SDKs lack */

static void RegisterOneHotkey(HWND window, UINT id, UINT modifiers, UINT virtualKey)
{
    if (RegisterHotKey(window, static_cast<int>(id), modifiers | NO_REPEAT, virtualKey))
        return;
    if (GetLastError() != ERROR_HOTKEY_ALREADY_REGISTERED)
        RegisterHotKey(window, static_cast<int>(id), modifiers, virtualKey);
}

void RegisterKeyHotkeys(HWND window)
{
    UnregisterKeyHotkeys(window);
    for (UINT id = KEY_FIRST; id <= KEY_LAST; ++id) {
        KeyAssignment assignment;
        ReadKeyAssignment(id, &assignment);
        if (!assignment.commandLine[0])
            continue;
        /* A key that another program holds simply stays unclaimed; the setup
         * dialog finds and reports such keys itself. */
        RegisterOneHotkey(window, id, 0, KeyVirtualKey(id));
        RegisterOneHotkey(window, id + CTRL_ALT_HOTKEY_OFFSET, MOD_ALT | MOD_CONTROL, KeyVirtualKey(id));
    }
}
