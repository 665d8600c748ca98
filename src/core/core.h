/* The resident core: start-up, the hidden main window with its tray icon and
 * menu, the table of the fifteen Springpads and their hotkeys, help and the
 * About box. This header is what the rest of the program calls;
 * core_internal.h holds what only the core's own files share. */
#ifndef SPRINGDECK_CORE_H
#define SPRINGDECK_CORE_H

#include <windows.h>
#include <ddeml.h>

/* ---- process-wide state (defined in globals.cpp) ----------------------------
 * Set during start-up on the main thread (winmain.cpp) and read by everything
 * that loads resources, owns hotkeys or talks DDE. */
extern HINSTANCE AppInstance;     /* set first in WinMain */
extern HWND MainWindow;           /* the hidden "Springdeck" window, null until created */
extern DWORD DdeInstance;         /* client-only DDEML instance, 0 when none */
extern HCONV BrowserConversation; /* last browser conversation; DdeCallback clears it */

/* A function of a module looked up at run time, as the caller's type; null
 * when the module lacks it. Windows returns every export as a FARPROC. */
template <typename Function> Function ProcAddress(HMODULE module, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

/* The caption of Springdeck's messages, and MainWindow's title. */
constexpr char APP_CAPTION[] = "Springdeck";

/* ---- key table and hotkeys (keys.cpp, hotkeys.cpp) ---------------------------
 * A key id (KeySlot) is 101 (F1) .. 112 (F12), 113 Print Screen, 114 Scroll
 * Lock, 115 Pause. It is also the setup dialog's button id and the id of the
 * key's plain hotkey; its Ctrl+Alt hotkey is key id + 100. */
constexpr UINT KEY_FIRST = 101;
constexpr UINT KEY_LAST = 115;
constexpr UINT CTRL_ALT_HOTKEY_OFFSET = 100;

inline bool IsKeySlot(UINT id) { return id >= KEY_FIRST && id <= KEY_LAST; }

const char *KeyName(UINT keyId); /* "F1" .. "Pause"; "" for any other id */
HICON LoadKeyIcon(UINT keyId);   /* shared resource icon; ICO_BLANK for other ids */
UINT KeyVirtualKey(UINT keyId);  /* VK_F1 .. VK_PAUSE; 0 for other ids */
void RegisterKeyHotkeys(HWND window);
void UnregisterKeyHotkeys(HWND window);

/* ---- help and About box (help.cpp, about.cpp) ------------------------------ */
constexpr DWORD HELP_CONTEXT_GENERAL = 100;
void ShowHelp(HWND owner, DWORD context);
INT_PTR CALLBACK AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

/* ---- the program's own path (program_path.cpp) ----------------------------
 * The full path of springdeck.exe (extension nullptr), or of the file beside it
 * named after it with this extension (L"chm": springdeck.chm), in a form the
 * ANSI code page can spell; its length, 0 when there is none that fits size
 * (the path is then ""). */
DWORD ProgramFilePath(const WCHAR *extension, char *path, DWORD size);

/* ---- chores the dialogs share (ui_helpers.cpp) ----------------------------- */

/* Gives a dialog the Springdeck icon as its large icon. */
void SetDialogIcon(HWND dialog);

/* Cancel ends a dialog with IDCANCEL, its Help button shows the general
 * help topic; false for any other command. */
bool OnCancelOrHelp(HWND dialog, int id);

/* Shows an icon (or none) in a dialog's icon control whose every icon was
 * made for it, and destroys the one it showed so far. */
void SetOwnedIcon(HWND dialog, int control, HICON icon);

/* A button face being drawn: a bitmap of the given size selected into a
 * memory DC, filled with the button colour, with the button's text colours.
 * BeginButtonFace makes both (false, nothing to free, when it cannot);
 * EndButtonFace frees the DC and hands over the bitmap, which the caller
 * then owns. */
struct ButtonFace {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;
};
bool BeginButtonFace(HWND window, int width, int height, ButtonFace *face);
HBITMAP EndButtonFace(ButtonFace *face);

/* Loads the library of that name from the system folder, never a file of
 * that name beside us or elsewhere on the search path. */
HMODULE LoadSystemLibrary(const char *name);

/* True when the path names a file (not a folder) that exists. */
bool IsFile(const char *path);

#endif
