/* One press of a Springpad is one action, also when the key is held down
 * and the keyboard repeats it: each repeat arrives as another WM_HOTKEY.
 * MOD_NOREPEAT (hotkeys.cpp) stops that on systems that honour it; this file
 * does the same on every system with raw keyboard input (Windows XP on, and
 * Wine, which accepts MOD_NOREPEAT but ignores it).
 *
 * Raw input tells each key-down and key-up of the fifteen keys. A key-down
 * after a key-up starts a new press; key-downs while the key is down are the
 * keyboard's repeats. A hotkey is a repeat when no new press began since the
 * last hotkey we acted on, the key is still down, and it comes within the
 * keyboard's repeat delay of the hotkey before it. The time bound keeps a
 * lost key-up from swallowing later presses. Without raw input every hotkey
 * counts.
 *
 * Key events that our own playback injects are not the user's: Ctrl+Alt with
 * a held Springpad plays the key's down and up while the user still holds
 * it, and that key-up must not end the press. */
#include "core/core_internal.h"
#include "launch/launch.h"

using RegisterRawInputDevicesFunction = BOOL(WINAPI *)(PCRAWINPUTDEVICE devices, UINT count, UINT size);
using GetRawInputDataFunction = UINT(WINAPI *)(HRAWINPUT input, UINT command, LPVOID data, PUINT size, UINT header);

/* Written on the main thread alone: at the main window's creation, then by its raw input and hotkeys. */
static struct {
    GetRawInputDataFunction readRawInput;
    bool watching;
    KeyPressState keys[KEY_LAST - KEY_FIRST + 1];
} KeyWatch;

void WatchKeyReleases(HWND window)
{
    HMODULE user = GetModuleHandleA("user32.dll");
    if (!user)
        return;
    RegisterRawInputDevicesFunction registerDevices =
        ProcAddress<RegisterRawInputDevicesFunction>(user, "RegisterRawInputDevices");
    KeyWatch.readRawInput = ProcAddress<GetRawInputDataFunction>(user, "GetRawInputData");
    if (!registerDevices || !KeyWatch.readRawInput)
        return;
    /* Generic desktop page, keyboard usage; INPUTSINK delivers the input
     * although our window never has the focus. */
    RAWINPUTDEVICE keyboard = {0x01, 0x06, RIDEV_INPUTSINK, window};
    KeyWatch.watching = registerDevices(&keyboard, 1, sizeof keyboard) != FALSE;
}

/* The key whose key-down (the user's) the raw input tells, or 0. */
static UINT NoteRawKey(LPARAM rawInput)
{
    if (!KeyWatch.watching)
        return 0;
    RAWINPUT input;
    UINT size = sizeof input;
    if (KeyWatch.readRawInput(reinterpret_cast<HRAWINPUT>(rawInput), RID_INPUT, &input, &size,
                              sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1) ||
        input.header.dwType != RIM_TYPEKEYBOARD)
        return 0;
    for (UINT id = KEY_FIRST; id <= KEY_LAST; ++id)
        if (KeyVirtualKey(id) == input.data.keyboard.VKey &&
            NoteRawKeyEvent(&KeyWatch.keys[id - KEY_FIRST], input.data.keyboard.Flags,
                            input.data.keyboard.ExtraInformation))
            return id;
    return 0;
}

void NoteRawKeyInput(LPARAM rawInput) { NoteRawKey(rawInput); }

bool NoteRawKeyEvent(KeyPressState *key, USHORT flags, ULONG extraInformation)
{
    if (extraInformation == INJECTED_BY_PLAYBACK)
        return false;
    bool up = (flags & RI_KEY_BREAK) != 0;
    if (!up && !key->down)
        ++key->press;
    key->down = !up;
    return !up;
}

/* A hotkey is posted ahead of the input queued before it, so the raw input
 * of this and earlier presses is read first: up to the hotkey's own time, not
 * beyond. A program that falls behind the keyboard may already hold the
 * key-up that ended the press; read now, it would make the repeats that
 * still wait in the queue look like new presses. */
static void ReadPendingRawInput(HWND window, UINT keyId, DWORD hotkeyTime)
{
    MSG msg;
    while (PeekMessageA(&msg, window, WM_INPUT, WM_INPUT, PM_NOREMOVE) &&
           static_cast<LONG>(msg.time - hotkeyTime) <= 0 && PeekMessageA(&msg, window, WM_INPUT, WM_INPUT, PM_REMOVE)) {
        UINT down = NoteRawKey(msg.lParam);
        DefWindowProcA(window, WM_INPUT, msg.wParam, msg.lParam);
        /* Presses within one millisecond share their time: this hotkey's
         * own key-down is the last event that belongs to it, and what
         * follows it belongs to the next hotkey. */
        if (down == keyId && msg.time == hotkeyTime)
            break;
    }
}

static DWORD RepeatDelayMs()
{
    int delay = 1; /* 0 to 3: 250 to 1000 ms before the first repeat */
    SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delay, 0);
    if (delay < 0 || delay > 3)
        delay = 3;
    return static_cast<DWORD>(delay + 1) * 250 + 150;
}

bool IsRepeatedPress(HWND window, UINT keyId)
{
    if (!KeyWatch.watching || !IsKeySlot(keyId))
        return false;
    DWORD now = static_cast<DWORD>(GetMessageTime());
    ReadPendingRawInput(window, keyId, now);
    return IsRepeatOfActedPress(&KeyWatch.keys[keyId - KEY_FIRST], now, RepeatDelayMs());
}

bool IsRepeatOfActedPress(KeyPressState *key, DWORD hotkeyTime, DWORD repeatDelay)
{
    bool soonAfterLast = key->hadHotkey && hotkeyTime - key->lastHotkey <= repeatDelay;
    key->hadHotkey = true;
    key->lastHotkey = hotkeyTime;
    bool repeat = key->press == key->actedPress && key->down && soonAfterLast;
    if (!repeat)
        key->actedPress = key->press;
    return repeat;
}
