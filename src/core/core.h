/* The resident core: start-up, the hidden main window with its tray icon and
 * menu, the table of the fifteen Springpads and their hotkeys, help and the
 * About box. */
#ifndef SPRINGDECK_CORE_H
#define SPRINGDECK_CORE_H

#include <windows.h>
#include <ddeml.h>

/* ---- process-wide state (defined in globals.cpp) ----------------------------
 * Set during start-up on the main thread (winmain.cpp) and read by everything
 * that loads resources, owns hotkeys or talks DDE. */
extern HINSTANCE AppInstance;      /* set first in WinMain */
extern HWND MainWindow;            /* the hidden "Springdeck" window, null until created */
extern UINT CloseMessage;          /* registered "close": ends the program without a question */
extern HANDLE InstanceMutex;       /* the session's single-instance mutex; MainWindow's WM_DESTROY closes it */
extern DWORD DdeInstance;          /* client-only DDEML instance, 0 when none */
extern HCONV BrowserConversation;  /* last browser conversation; DdeCallback clears it */

/* Class name and title of MainWindow; both serve the single-instance test. */
#define MAIN_WINDOW_CLASS "Springdeck"
#define APP_CAPTION "Springdeck"

/* ---- main window and tray (mainwindow.cpp, tray.cpp) ----------------------- */
constexpr UINT WM_TRAYICON = WM_USER + 200;  /* the tray icon's callback message */
constexpr UINT TRAY_ICON_ID = 1;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void AddTrayIcon(HWND window);
void SetTrayTip(HWND window, const char *text);
void DeleteTrayIcon(HWND window);

/* DDEML callback of the client instance: forgets the browser conversation
 * when the browser ends it. */
HDDEDATA CALLBACK DdeCallback(UINT type, UINT format, HCONV conversation, HSZ hsz1, HSZ hsz2,
                              HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);

/* ---- key table and hotkeys (keys.cpp, hotkeys.cpp) ---------------------------
 * A key id (KeySlot) is 101 (F1) .. 112 (F12), 113 Print Screen, 114 Scroll
 * Lock, 115 Pause. It is also the setup dialog's button id and the id of the
 * key's plain hotkey; its Ctrl+Alt hotkey is key id + 100. */
constexpr UINT KEY_FIRST = 101;
constexpr UINT KEY_LAST = 115;
constexpr UINT CTRL_ALT_HOTKEY_OFFSET = 100;

inline bool IsKeySlot(UINT id) { return id >= KEY_FIRST && id <= KEY_LAST; }

const char *KeyName(UINT keyId);   /* "F1" .. "Pause"; "" for any other id */
HICON LoadKeyIcon(UINT keyId);     /* shared resource icon; ICO_BLANK for other ids */
UINT KeyVirtualKey(UINT keyId);    /* VK_F1 .. VK_PAUSE; 0 for other ids */
void RegisterKeyHotkeys(HWND window);
void UnregisterKeyHotkeys(HWND window);

/* Repeats of a held key (key_repeat.cpp): WatchKeyReleases at window
 * creation; IsRepeatedPress for every hotkey (true: ignore it); raw input
 * messages go to NoteRawKeyInput. */
void WatchKeyReleases(HWND window);
bool IsRepeatedPress(HWND window, UINT keyId);
void NoteRawKeyInput(LPARAM rawInput);

/* ---- help and About box (help.cpp, about.cpp) ------------------------------ */
constexpr DWORD HELP_CONTEXT_GENERAL = 100;
void ShowHelp(HWND owner, DWORD context);
/* Closes the HTML Help windows ShowHelp opened; at the end of the program. */
void CloseHelp(void);
INT_PTR CALLBACK AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
