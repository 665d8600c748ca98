/* Key action dispatch: decodes a pressed key's stored assignment and hands
 * it to its launcher. Everything is read afresh at every press, so a change
 * made in the setup dialogs takes effect at the next press. */
#include "core/core.h"
#include "launch/launch.h"
#include "settings/settings.h"


void OpenWebAddress(const char *address)
{
    /* file:// plus a 256-byte alias, as "file://%s" can produce at most. */
    enum { FILE_ADDRESS_CAPACITY = 263 };
    char alias[ICON_PATH_CAPACITY];
    char fileAddress[FILE_ADDRESS_CAPACITY];
    ReadSettingString("alias", address, "", alias, sizeof alias);
    if (alias[0]) {
        MakeFileAddress(alias, fileAddress, sizeof fileAddress);
        address = fileAddress;
    }
    if (ReadSettingDword("options", "browser", 0) == 2)
        OpenUrlInAol(address);
    else
        OpenUrlInBrowser(address);
}

/* Ctrl+Alt with a Springpad: the key's own keystroke is played into the
 * focused window, with our hotkeys out of the way so that it is not caught
 * again. */
static void PlayNormalKey(HWND mainWindow, UINT keyId)
{
    WORD request[2] = {1, (WORD)KeyVirtualKey(keyId)};
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
    const char *name = KeyName(hotkeyId);
    if (!*name)
        return;

    char commandLine[COMMAND_LINE_CAPACITY];
    char args[COMMAND_LINE_CAPACITY];
    ReadSettingString("command line", name, "", commandLine, sizeof commandLine);
    ReadSettingString("args", name, "", args, sizeof args);

    if (strcmp(commandLine, ":connection") == 0)
        DialConnection(args);
    else if (IsWebAddress(commandLine))
        OpenWebAddress(commandLine);
    else
        LaunchProgram(mainWindow, commandLine, args);
}
