/* Key action dispatch: decodes a pressed key's stored assignment and hands
 * it to its launcher. Everything is read afresh at every press, so a change
 * made in the setup dialogs takes effect at the next press. */
#include "core/core.h"
#include "launch/launch_internal.h"
#include "settings/settings.h"

/* Opens one web address in the chosen browser, or its local alias instead. */
static void OpenWebAddress(const char *address)
{
    /* file:// plus a 256-byte alias, as "file://%s" can produce at most. */
    constexpr int FILE_ADDRESS_CAPACITY = 263;
    char alias[ICON_PATH_CAPACITY];
    char fileAddress[FILE_ADDRESS_CAPACITY];
    ReadSettingString("alias", address, "", alias, sizeof alias);
    if (alias[0]) {
        MakeFileAddress(alias, fileAddress, sizeof fileAddress);
        address = fileAddress;
    }
    BrowserChoice browser = ReadBrowserChoice();
    if (Browsers[browser].ddeService)
        OpenUrlInBrowser(address, browser);
    else
        OpenUrlInAol(address);
}

/* Ctrl+Alt with a Springpad: the key's own keystroke is played into the
 * focused window, with our hotkeys out of the way so that it is not caught
 * again. */
static void PlayNormalKey(HWND mainWindow, UINT keyId)
{
    WORD request[2] = {1, static_cast<WORD>(KeyVirtualKey(keyId))};
    UnregisterKeyHotkeys(mainWindow);
    PlayKeys(request, 0);
    RegisterKeyHotkeys(mainWindow);
}

void RunKeyAction(HWND mainWindow, UINT hotkeyId)
{
    if (hotkeyId >= KEY_FIRST + CTRL_ALT_HOTKEY_OFFSET) {
        UINT keyId = hotkeyId - CTRL_ALT_HOTKEY_OFFSET;
        if (IsKeySlot(keyId))
            PlayNormalKey(mainWindow, keyId);
        return;
    }
    if (!IsKeySlot(hotkeyId))
        return;

    KeyAssignment assignment;
    ReadKeyAssignment(hotkeyId, &assignment);
    switch (DecodeActionKind(assignment.commandLine)) {
    case ACTION_CONNECTION:
        DialConnection(assignment.args);
        break;
    case ACTION_WEB_ADDRESS:
        OpenWebAddress(assignment.commandLine);
        break;
    case ACTION_NORMAL_FUNCTION: /* emptied since its hotkey was registered: run as it stands */
    case ACTION_PROGRAM:
        LaunchProgram(mainWindow, assignment.commandLine, assignment.args);
        break;
    }
}
