/* What only the core's own files share: start-up's state, the main window
 * and its tray icon, and the watch on held keys. */
#ifndef SPRINGDECK_CORE_INTERNAL_H
#define SPRINGDECK_CORE_INTERNAL_H

#include "core/core.h"

/* Set during start-up (winmain.cpp), defined in globals.cpp. */
extern UINT CloseMessage;          /* registered "close": ends the program without a question */
extern HANDLE InstanceMutex;       /* the session's single-instance mutex; MainWindow's WM_DESTROY closes it */

/* Class name of MainWindow; with its title it serves the single-instance test. */
#define MAIN_WINDOW_CLASS "Springdeck"

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

/* Repeats of a held key (key_repeat.cpp): WatchKeyReleases at window
 * creation; IsRepeatedPress for every hotkey (true: ignore it); raw input
 * messages go to NoteRawKeyInput. */
void WatchKeyReleases(HWND window);
bool IsRepeatedPress(HWND window, UINT keyId);
void NoteRawKeyInput(LPARAM rawInput);

/* A path in the ANSI code page that names the same file: the path itself when
 * the code page spells it, else the short form of its folder (and of its
 * name, when the code page cannot spell that either; that file must exist).
 * Its length, 0 (and "") when there is none that fits size. */
DWORD AnsiPathOf(const WCHAR *path, char *ansi, DWORD size);

/* Closes the HTML Help windows ShowHelp opened; at the end of the program. */
void CloseHelp(void);

#endif
