/* What only the core's own files share: start-up's state, the main window
 * and its tray icon, and the watch on held keys. */
#ifndef SPRINGDECK_CORE_INTERNAL_H
#define SPRINGDECK_CORE_INTERNAL_H

#include "core/core.h"

/* Class name of MainWindow; with its title it serves the single-instance test. */
constexpr char MAIN_WINDOW_CLASS[] = "Springdeck";

/* ---- main window and tray (mainwindow.cpp, tray.cpp) ----------------------- */
constexpr UINT WM_TRAYICON = WM_USER + 200; /* the tray icon's callback message */
constexpr UINT TRAY_ICON_ID = 1;

/* Created with the session's single-instance mutex (or null) as its parameter; WM_DESTROY closes it. */
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void AddTrayIcon(HWND window);
void SetTrayTip(HWND window, const char *text);
void DeleteTrayIcon(HWND window);

/* DDEML callback of the client instance: forgets the browser conversation
 * when the browser ends it. */
HDDEDATA CALLBACK DdeCallback(UINT type, UINT format, HCONV conversation, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                              ULONG_PTR data1, ULONG_PTR data2);

/* Repeats of a held key (key_repeat.cpp): WatchKeyReleases at window
 * creation; IsRepeatedPress for every hotkey (true: ignore it); raw input
 * messages go to NoteRawKeyInput. */
void WatchKeyReleases(HWND window);
bool IsRepeatedPress(HWND window, UINT keyId);
void NoteRawKeyInput(LPARAM rawInput);

/* What raw input told of one Springpad, and the press of it we last acted
 * on. The two steps of the rule below work on it alone. */
struct KeyPressState {
    bool down;       /* as raw input last told */
    UINT press;      /* counts key-downs that followed a key-up */
    UINT actedPress; /* the press we last acted on */
    bool hadHotkey;
    DWORD lastHotkey; /* message time of the key's last hotkey */
};

/* One raw event of the key, with RAWKEYBOARD's Flags and ExtraInformation;
 * true for a key-down of the user's. An event our own playback injected
 * changes nothing. */
bool NoteRawKeyEvent(KeyPressState *key, USHORT flags, ULONG extraInformation);

/* A hotkey of the key at its message time: true when it repeats the press we
 * last acted on (no new press since, the key still down, and within
 * repeatDelay ms of the key's hotkey before). */
bool IsRepeatOfActedPress(KeyPressState *key, DWORD hotkeyTime, DWORD repeatDelay);

/* A path in the ANSI code page that names the same file: the path itself when
 * the code page spells it, else the short form of its folder (and of its
 * name, when the code page cannot spell that either; that file must exist).
 * Its length, 0 (and "") when there is none that fits size. */
DWORD AnsiPathOf(const WCHAR *path, char *ansi, DWORD size);

/* Closes the HTML Help windows ShowHelp opened; at the end of the program. */
void CloseHelp();

#endif
