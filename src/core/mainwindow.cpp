/* The hidden main window: owner of the hotkeys and the tray icon, receiver of
 * key presses, tray mouse messages and the tray menu's commands. It is never
 * shown; the user meets Springdeck through the tray icon, the keys and the
 * dialogs. */
#include "core/core_internal.h"
#include "launch/launch.h"
#include "picking/picking.h"
#include "resource.h"
#include "setup/setup.h"

/* Written on the main thread alone, by the main window's messages (set up at WM_CREATE). */
static struct {
    bool commandBusy;           /* a tray command runs (the modal setup dialog): the nested loop opens no second one */
    UINT closeMessage;          /* registered "close": ends the program without a question */
    UINT taskbarCreatedMessage; /* the shell re-created the taskbar (Explorer restarted): our icon goes in again */
    HANDLE instanceMutex;       /* the session's single-instance mutex, handed over by WinMain */
} MainWindowState;

constexpr char QuitQuestion[] =
    "Closing Springdeck will disable your Springpads.\r\n\r\n"
    "Are you sure that you want to quit Springdeck?";

static void OnCreate(HWND window, const CREATESTRUCTA *create)
{
    MainWindowState.instanceMutex = create->lpCreateParams;
    MainWindowState.closeMessage = RegisterWindowMessageA("close");
    MainWindowState.taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    AddTrayIcon(window);
    RegisterKeyHotkeys(window);
    WatchKeyReleases(window);
    SetTrayTip(window, "Setting up your Springpads");
    BuildStartMenuCache();
    SetTrayTip(window, "Springdeck");
}

static void OnHotkey(HWND window, UINT hotkeyId)
{
    UINT keyId = hotkeyId >= KEY_FIRST + CTRL_ALT_HOTKEY_OFFSET ? hotkeyId - CTRL_ALT_HOTKEY_OFFSET : hotkeyId;
    if (!IsRepeatedPress(window, keyId))
        RunKeyAction(window, hotkeyId);
}

static void OnDestroy(HWND window)
{
    /* Keys still being typed must not stay half pressed when we are gone. */
    CancelPlayback(1000);
    UnregisterKeyHotkeys(window);
    DeleteTrayIcon(window);
    /* Now, while this window can still be found: a copy started from here on
     * then either finds the window or may run. */
    if (MainWindowState.instanceMutex) {
        CloseHandle(MainWindowState.instanceMutex);
        MainWindowState.instanceMutex = nullptr;
    }
    PostQuitMessage(0);
}

static void OnClose(HWND window)
{
    bool yes = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    if (!yes)
        yes = MessageBoxA(window, QuitQuestion, APP_CAPTION, MB_YESNO | MB_ICONEXCLAMATION | MB_SETFOREGROUND) == IDYES;
    /* The window may already be gone if "close" arrived while we asked. */
    if (yes && IsWindow(window))
        DestroyWindow(window);
}

/* A command chosen again while one runs brings what that command shows to
 * the front: the setup dialog (it has no owner) or, for a question of ours,
 * the main window's pop-up; either way the pop-up last active on top of it
 * (the key chooser, a message box), never the hidden main window. */
static void BringBusyCommandForward(HWND window)
{
    HWND front = SetupDialogWindow();
    if (!front)
        front = window;
    /* Windows gives the root owner's last pop-up of the whole chain; a
     * system that tracks only direct owners is walked down the chain. */
    for (int depth = 0; depth < 8; ++depth) {
        HWND popup = GetLastActivePopup(front);
        if (!popup || popup == front || !IsWindowVisible(popup))
            break;
        front = popup;
    }
    SetForegroundWindow(front);
}

static void OnCommand(HWND window, UINT command)
{
    if (MainWindowState.commandBusy) {
        BringBusyCommandForward(window);
        return;
    }
    MainWindowState.commandBusy = true;
    switch (command) {
    case IDM_SETUP:
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(DLG_SETUP), nullptr, SetupDialog, 0);
        break;
    case IDM_TURNOFF:
        SendMessageA(window, WM_CLOSE, 0, 0);
        break;
    }
    MainWindowState.commandBusy = false;
}

static void ShowTrayMenu(HWND window, bool rightButton)
{
    SetForegroundWindow(window);
    HMENU menu = LoadMenuA(AppInstance, MAKEINTRESOURCEA(MENU_SPRINGDECK));
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    if (popup) {
        SetMenuDefaultItem(popup, IDM_SETUP, FALSE);
        TrackPopupMenu(popup, TPM_RIGHTALIGN | (rightButton ? TPM_RIGHTBUTTON : 0), cursor.x, cursor.y, 0, window,
                       nullptr);
    }
    DestroyMenu(menu);
}

static void OnTrayIcon(HWND window, UINT mouseMessage)
{
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        /* With a question of ours open, a click brings it back instead. */
        HWND popup = GetLastActivePopup(window);
        if (popup && popup != window) {
            SetForegroundWindow(popup);
            SetActiveWindow(popup);
            return;
        }
        ShowTrayMenu(window, mouseMessage == WM_RBUTTONDOWN);
        break;
    }
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        SendMessageA(window, WM_COMMAND, IDM_SETUP, 0);
        break;
    default:
        return;
    }
    /* A message after TrackPopupMenu lets the menu close properly when the
     * user clicks elsewhere (the classic tray menu fix). */
    PostMessageA(window, WM_USER, 0, 0);
}

/* Ends the program on request of another process. Every pop-up of ours is
 * asked to cancel first; one that ignores IDCANCEL (the Yes/No quit question
 * has no Cancel button) is destroyed, so the loop always ends. */
static void OnCloseMessage(HWND window)
{
    constexpr int MAX_POPUPS = 32;
    HWND handled[MAX_POPUPS];
    int count = 0;

    SendMessageA(window, WM_CANCELMODE, 0, 0); /* ends an open tray menu */
    while (count < MAX_POPUPS) {
        HWND popup = GetLastActivePopup(window);
        if (!popup || popup == window || !IsWindowVisible(popup))
            break;
        bool seen = false;
        for (int i = 0; i < count; ++i)
            seen = seen || handled[i] == popup;
        if (seen)
            break;
        handled[count++] = popup;
        SendMessageA(popup, WM_COMMAND, IDCANCEL, 0);
        if (IsWindow(popup) && IsWindowVisible(popup))
            DestroyWindow(popup);
    }
    DestroyWindow(window);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == MainWindowState.closeMessage && MainWindowState.closeMessage != 0) {
        OnCloseMessage(window);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == MainWindowState.taskbarCreatedMessage && MainWindowState.taskbarCreatedMessage != 0) {
        AddTrayIcon(window);
        return 0;
    }

    switch (message) {
    case WM_CREATE:
        OnCreate(window, reinterpret_cast<const CREATESTRUCTA *>(lParam));
        return 0;
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    case WM_CLOSE:
        OnClose(window);
        return 0;
    case WM_QUERYOPEN:
        return 0;
    case WM_HOTKEY:
        OnHotkey(window, static_cast<UINT>(wParam));
        return wParam < KEY_FIRST + CTRL_ALT_HOTKEY_OFFSET ? 1 : 0;
    case WM_INPUT:
        NoteRawKeyInput(lParam);
        break; /* raw input also needs DefWindowProc's clean-up */
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam));
        return 0;
    case WM_TRAYICON:
        OnTrayIcon(window, static_cast<UINT>(lParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
