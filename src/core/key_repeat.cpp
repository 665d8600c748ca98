/* One press of a Springpad is one action, also when the key is held down
 * and the keyboard repeats it: each repeat arrives as another WM_HOTKEY.
 * MOD_NOREPEAT (hotkeys.cpp) stops that on systems that honour it; here the
 * same is done on every system with raw keyboard input (Windows XP on, and
 * Wine, which accepts MOD_NOREPEAT but ignores it): a key counts as held from
 * its hotkey until raw input reports its release, and a hotkey of a held key
 * is a repeat. A release that goes unseen costs at most the next press. */
#include "core/core.h"

typedef BOOL(WINAPI *RegisterRawInputDevicesFunction)(PCRAWINPUTDEVICE, UINT, UINT);
typedef UINT(WINAPI *GetRawInputDataFunction)(HRAWINPUT, UINT, LPVOID, PUINT, UINT);

static GetRawInputDataFunction ReadRawInput = NULL;
static bool Watching = false;
static bool KeyHeld[KEY_LAST - KEY_FIRST + 1];

void WatchKeyReleases(HWND window)
{
    HMODULE user = GetModuleHandleA("user32.dll");
    if (!user)
        return;
    RegisterRawInputDevicesFunction registerDevices =
        (RegisterRawInputDevicesFunction)(void *)GetProcAddress(user, "RegisterRawInputDevices");
    ReadRawInput = (GetRawInputDataFunction)(void *)GetProcAddress(user, "GetRawInputData");
    if (!registerDevices || !ReadRawInput)
        return;
    /* Generic desktop page, keyboard usage; INPUTSINK delivers the input
     * although our window never has the focus. */
    RAWINPUTDEVICE keyboard = {0x01, 0x06, RIDEV_INPUTSINK, window};
    Watching = registerDevices(&keyboard, 1, sizeof keyboard) != FALSE;
}

bool IsRepeatedPress(UINT keyId)
{
    if (!Watching || !IsKeySlot(keyId))
        return false;
    bool &held = KeyHeld[keyId - KEY_FIRST];
    if (held)
        return true;
    held = true;
    return false;
}

void NoteRawKeyInput(LPARAM rawInput)
{
    if (!Watching)
        return;
    RAWINPUT input;
    UINT size = sizeof input;
    if (ReadRawInput((HRAWINPUT)rawInput, RID_INPUT, &input, &size, sizeof(RAWINPUTHEADER)) == (UINT)-1 ||
        input.header.dwType != RIM_TYPEKEYBOARD || !(input.data.keyboard.Flags & RI_KEY_BREAK))
        return;
    for (UINT id = KEY_FIRST; id <= KEY_LAST; ++id)
        if (KeyVirtualKey(id) == input.data.keyboard.VKey)
            KeyHeld[id - KEY_FIRST] = false;
}
