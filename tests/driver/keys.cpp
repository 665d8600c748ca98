// Driver: a focused window of the driver's own and key input through SendInput.
#include "driver.h"

#include "../doubles/double_common.h"

namespace driver {

static HWND FocusWindow = nullptr;
static std::vector<KeyMessage> Keys;
static int MenuKeys = 0;

static UINT HeldModifiers()
{
    constexpr UINT keys[] = {VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU, VK_CONTROL, VK_MENU};
    UINT held = 0;
    for (UINT i = 0; i < sizeof keys / sizeof keys[0]; ++i)
        if (GetKeyState(static_cast<int>(keys[i])) & 0x8000)
            held |= 1u << i;
    return held;
}

// Key messages go on to DefWindowProc as in any window, so that a lone Alt
// shows as the menu activation it would cause; that is counted, not entered.
static LRESULT CALLBACK FocusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        Keys.push_back({message, static_cast<UINT>(wParam), static_cast<UINT>((lParam >> 16) & 0xFF), HeldModifiers()});
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU) {
            ++MenuKeys;
            return 0;
        }
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND ShowFocusWindow()
{
    if (!FocusWindow) {
        RegisterDoubleClass("SpringdeckTestFocus", FocusWindowProc);
        FocusWindow =
            CreateWindowExA(0, "SpringdeckTestFocus", "Springdeck test driver", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600,
                            500, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    FocusOwnWindow();
    return FocusWindow;
}

bool FocusOwnWindow()
{
    if (!FocusWindow)
        return false;
    bool already = GetForegroundWindow() == FocusWindow && GetFocus() == FocusWindow;
    ShowWindow(FocusWindow, SW_SHOWNORMAL);
    bool focused = WaitUntil(
        [] {
            SetForegroundWindow(FocusWindow);
            SetFocus(FocusWindow);
            return GetForegroundWindow() == FocusWindow && GetFocus() == FocusWindow;
        },
        10000);
    // The X server's focus event follows the Win32 focus change; let it
    // arrive now, so that the keyboard re-read it brings comes before any key
    // the caller sends.
    if (!already)
        Pump(150);
    return focused;
}

void DestroyFocusWindow()
{
    if (FocusWindow)
        DestroyWindow(FocusWindow);
    FocusWindow = nullptr;
    Pump(0);
}

std::vector<KeyMessage> ReceivedKeys()
{
    Pump(0);
    return Keys;
}

void ClearReceivedKeys()
{
    Pump(0);
    Keys.clear();
    MenuKeys = 0;
}

int MenuActivations()
{
    Pump(0);
    return MenuKeys;
}

bool ReceivedKeyDown(UINT vk)
{
    for (const KeyMessage &key : ReceivedKeys())
        if ((key.message == WM_KEYDOWN || key.message == WM_SYSKEYDOWN) && key.vk == vk)
            return true;
    return false;
}

static void SendKeyEvent(UINT vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(vk);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_SNAPSHOT || vk == VK_RCONTROL || vk == VK_RMENU)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    SendInput(1, &input, sizeof input);
}

void KeyDown(UINT vk) { SendKeyEvent(vk, false); }
void KeyUp(UINT vk) { SendKeyEvent(vk, true); }

bool HoldKey(UINT vk)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        KeyDown(vk);
        bool dropped = false;
        for (DWORD start = GetTickCount(); GetTickCount() - start < 200 && !dropped;) {
            Pump(20);
            dropped = (GetAsyncKeyState(static_cast<int>(vk)) & 0x8000) == 0;
        }
        if (!dropped)
            return true;
    }
    return false;
}

void PressKey(UINT vk, bool ctrl, bool alt, bool shift)
{
    if (ctrl)
        KeyDown(VK_CONTROL);
    if (alt)
        KeyDown(VK_MENU);
    if (shift)
        KeyDown(VK_SHIFT);
    KeyDown(vk);
    KeyUp(vk);
    if (shift)
        KeyUp(VK_SHIFT);
    if (alt)
        KeyUp(VK_MENU);
    if (ctrl)
        KeyUp(VK_CONTROL);
    Pump(0);
}

} // namespace driver
