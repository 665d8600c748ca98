// Win32 test driver for Springdeck's integration tests: starts and ends the
// real springdeck.exe, gives a focused window of its own so that keys reach
// Wine's hotkey check, sends keys with SendInput, reads and writes the
// registry, finds dialogs and controls, and captures the screen.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace driver {

// ---- paths -----------------------------------------------------------------
std::string BuildDir();                          // Windows path of the build folder
std::string SpringdeckExe();                     // build\springdeck.exe
std::string DoublePath(const std::string &name); // build\tests\doubles\<name>.exe
std::string ScratchDir();                        // a fresh empty folder per call
bool CopyFileTo(const std::string &from, const std::string &to);

// ---- waiting ---------------------------------------------------------------
// Polls the condition (pumping this thread's messages) until it holds or the
// time is up. Returns the condition's last value.
bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs = 15000);
// A waiting deadline stretched by SD_WAIT_SCALE (slow hosts); WaitUntil applies it.
DWORD ScaledWait(DWORD timeoutMs);
void Pump(DWORD ms); // pumps messages for a while (only to let input settle)

// ---- processes -------------------------------------------------------------
struct Process {
    HANDLE handle = nullptr;
    DWORD id = 0;
};
Process StartProgram(const std::string &exe, const std::string &args, int show = SW_SHOWNORMAL,
                     const std::string &currentDir = "");
Process StartProgram(const std::wstring &exe, const std::wstring &args, int show = SW_SHOWNORMAL,
                     const std::wstring &currentDir = L""); // for names the code page cannot spell
// Exit code, or STILL_ACTIVE when it did not end in time.
DWORD WaitExit(Process &process, DWORD timeoutMs = 15000);
void CloseProcess(Process &process); // closes the handle (does not kill)
void KillProcess(Process &process);
void KillProcessesNamed(const char *exeName); // e.g. "recorder.exe"
std::string ProcessCurrentDirectory(HANDLE process);

// ---- Springdeck ------------------------------------------------------------
HWND FindMainWindow();
// Starts springdeck.exe and waits until its main window exists and answers
// messages (its creation, hotkeys and tray set-up are done by then).
HWND StartSpringdeck(Process &process, const std::string &args = "", int show = SW_SHOWNORMAL,
                     const std::string &currentDir = "", const std::string &exe = "");
// Makes sure no copy runs: the registered "close" message, then a kill.
void StopSpringdeck(Process *process = nullptr);
UINT CloseMessage();
bool IsResponsive(HWND window);
void PostTray(HWND mainWindow, UINT mouseMessage);

// ---- keys ------------------------------------------------------------------
// A visible window of the driver's own, focused: key input reaches Wine's
// hotkey check only while a window of the prefix has the focus.
HWND ShowFocusWindow();
void DestroyFocusWindow();
bool FocusOwnWindow();
struct KeyMessage {
    UINT message; // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP
    UINT vk;
    UINT scanCode;
    UINT modifiers; // held in GetKeyState: bits for VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU, VK_CONTROL, VK_MENU
};
std::vector<KeyMessage> ReceivedKeys();
void ClearReceivedKeys(); // also the menu activations
// WM_SYSCOMMAND SC_KEYMENU (a lone Alt, F10, Alt+letter) reaching the window.
int MenuActivations();
bool ReceivedKeyDown(UINT vk);
// Presses the key (down and up), holding the given modifiers around it.
void PressKey(UINT vk, bool ctrl = false, bool alt = false, bool shift = false);
void KeyDown(UINT vk);
void KeyUp(UINT vk);
// Presses a key and keeps it down: true once it has stayed down for a moment.
// Wine re-reads the X server's keyboard when one of its windows receives the
// X focus, which releases a key sent just before; the key is then sent again.
bool HoldKey(UINT vk);

// ---- registry --------------------------------------------------------------
extern const char *const SettingsPath; // Software\Tolvane Keyboards\Springdeck
void ClearSettings();                  // removes the whole store
void SetSetting(const char *subkey, const char *name, const std::string &text);
void SetSettingDword(const char *subkey, const char *name, DWORD value);
void AssignKey(const char *keyName, const std::string &commandLine, const std::string &args = "",
               const std::string &title = "", const std::string &icon = "", DWORD iconIndex = 0);
bool ReadValue(HKEY root, const std::string &path, const char *name, DWORD *type, std::vector<BYTE> *data);
std::string ReadString(HKEY root, const std::string &path, const char *name);
bool ReadDword(HKEY root, const std::string &path, const char *name, DWORD *value);
bool ValueExists(HKEY root, const std::string &path, const char *name);
void WriteValue(HKEY root, const std::string &path, const char *name, DWORD type, const void *data, DWORD size);
void WriteString(HKEY root, const std::string &path, const char *name, const std::string &text, DWORD type = REG_SZ);
void DeleteValue(HKEY root, const std::string &path, const char *name);
void DeleteTree(HKEY root, const std::string &path);
std::string Setting(const char *subkey, const char *name);
// Takes away (or gives back) the right to change the key's values, as for a
// user under a machine key; creates the key when missing.
bool DenyWrites(HKEY root, const std::string &path, bool deny = true);
extern const char *const RunKeyPath; // HKLM ...\CurrentVersion\Run

// ---- windows and dialogs ---------------------------------------------------
// A visible top-level window of any process with this class (null = any) and
// title (null = any).
HWND FindTopWindow(const char *className, const char *title);
HWND WaitForWindow(const char *className, const char *title, DWORD timeoutMs = 15000);
bool WaitWindowGone(HWND window, DWORD timeoutMs = 15000);
std::vector<HWND> TopWindowsOfProcess(DWORD processId, bool visibleOnly = true);
std::string WindowText(HWND window);
// The text in the ANSI code page as the system converts it, '?' for each
// character the code page lacks.
std::string Ansi(const wchar_t *text);
std::wstring Wide(const std::string &text); // ANSI text as the system converts it
std::string ClassName(HWND window);
std::string ItemText(HWND dialog, int id);
void ClickButton(HWND dialog, int id); // posts BM_CLICK to the control
// Message box texts: the static text of a #32770 message box.
std::string MessageBoxText(HWND box);

// ---- screen ----------------------------------------------------------------
// Pixels of a rectangle of a DC (the screen's, or a memory DC), as 32-bit
// BGRX rows, top row first; empty when they cannot be read.
std::vector<DWORD> GrabPixels(HDC source, int x, int y, int width, int height);
// Writes the whole screen as a PNG (under build\screens\<name>.png).
bool CaptureScreen(const std::string &name);

// ---- recording program -------------------------------------------------------
// The recorder double appends one line per start to its log:
//   start <tick> <pid> cwd=<folder> args=<arguments>
std::vector<std::string> ReadLines(const std::string &path);

// ---- launching (launching.cpp) -----------------------------------------------
std::vector<DWORD> ProcessIdsNamed(const char *exeName); // running processes of that file name
std::string ShortPath(const std::string &path);          // "" when the file does not exist
std::string LongPath(const std::string &path);
// A visible message box (dialog class #32770) with this caption.
HWND WaitForMessageBox(const char *caption = "Springdeck", DWORD timeoutMs = 15000);
// Captures the screen once the window has painted itself.
bool CaptureWindowShown(HWND window, const std::string &name);

// All values of a registry key (not its subkeys), to put back after a test.
struct SavedValue {
    std::string name;
    DWORD type = 0;
    std::vector<BYTE> data;
};
struct SavedKey {
    bool existed = false;
    std::vector<SavedValue> values;
};
SavedKey SaveKey(HKEY root, const std::string &path);
void RestoreKey(HKEY root, const std::string &path, const SavedKey &saved); // as it was saved

// ---- looks (looks.cpp) ------------------------------------------------------
// An icon resource of a program file, at the system's icon size (destroy it).
HICON LoadModuleIcon(const std::string &module, int id);
// True when the window shows the icon on the screen, drawn on the background
// colour, anywhere within its rectangle (compared pixel by pixel).
bool ShowsIcon(HWND window, HICON icon, COLORREF background = GetSysColor(COLOR_BTNFACE));
bool WaitShowsIcon(HWND window, HICON icon, DWORD timeoutMs = 5000);
// Moves the mouse over the control and returns the text of the tooltip its
// program shows, or "" when none shows within the time.
std::string HoverTip(HWND control, DWORD timeoutMs = 5000);
void MoveMouseAway();
// A dialog's base units, found from its client size in dialog units, and a
// rectangle in dialog units turned into client pixels with them.
struct DialogUnits {
    int x;
    int y;
};
DialogUnits MeasureDialogUnits(HWND dialog, int widthDu, int heightDu);
RECT DialogUnitsToPixels(const DialogUnits &units, int x, int y, int width, int height);
RECT ClientRectOfChild(HWND dialog, HWND child);
// The first visible window of a running program, found by its file name.
HWND WaitForWindowOfProgram(const char *exeName, DWORD timeoutMs = 15000);

} // namespace driver

namespace driver {

// ---- controls of another process (controls.cpp) ------------------------------
struct TreeItem {
    HTREEITEM handle;
    int depth; // 0 for the tree's top level
    std::string text;
    int image;
    int selectedImage;
    LPARAM param; // as the owning process stored it
};
// Every item of a tree view, depth first in display order.
std::vector<TreeItem> TreeItems(HWND tree);
bool SelectTreeItem(HWND tree, HTREEITEM item); // makes it the selected item
// The text in the file name box of a common Open/Save dialog; typing a path
// there and pressing OK.
std::string FileDialogName(HWND dialog);
void ChooseFileInDialog(HWND dialog, const std::string &path);
// What the window shows on screen, as 32-bit pixels row by row (empty when
// it is hidden). Two controls showing the same picture compare equal.
std::vector<DWORD> WindowPixels(HWND window);
// Waits until the window and its children have painted every change: call
// it before a screenshot that must show the latest state.
bool WaitPainted(HWND window, DWORD timeoutMs = 5000);

// ---- files (files.cpp) -----------------------------------------------------------
// Deletes a folder with everything in it (e.g. one from ScratchDir), the
// folder links made in it first.
void RemoveFolder(const std::string &folder);
// Makes a symbolic link to a folder, given relative to the link's folder with
// '/' (".", "../Links"); true once the link shows as a reparse point. Under
// Wine the Unix "ln" makes it.
bool MakeFolderLink(const std::string &link, const std::string &target);
// The folder below the user's application data (csidl: CSIDL_APPDATA or
// CSIDL_LOCAL_APPDATA), made with the folders on its way; the outermost
// folders it made are added to made, to remove when done. "" when there is
// no such folder.
std::string MakeAppDataFolder(int csidl, const std::string &path, std::vector<std::string> *made);
// A Firefox .jsonlz4 file of the text: the header, the text's size and one
// LZ4 block that holds the text as literals (valid, though not compressed).
std::string MozLz4Literals(const std::string &json);

// ---- the help viewer (help_viewer.cpp) -------------------------------------------
// The text of the topic winhlp32 shows (white space folded), "" when none.
std::string HelpViewerText();
// Waits until the viewer shows a topic that begins with this title.
bool WaitForHelpTopic(const std::string &title, DWORD timeoutMs = 15000);

} // namespace driver

// ---- shell fixtures (shell.cpp) ---------------------------------------------------
namespace driver {
// A shortcut (.lnk) made through the shell link object.
bool CreateShortcut(const std::string &linkPath, const std::string &target, const std::string &args = "",
                    const std::string &iconPath = "", int iconIndex = 0);
// Points the user's Start Menu, and the all-users' (none when empty, as on
// Windows 95), at the folders until RestoreStartMenuFolder.
void PointStartMenuAt(const std::string &folder, const std::string &allUsersFolder = "");
void RestoreStartMenuFolder();
// The stand-in Dial-Up Networking folder (tests/doubles/dialup): registered as
// My Computer's namespace extension with these items in this order; its
// default verb appends "dialed NAME" to DialUpLogPath().
void RegisterDialUpFolder(const std::vector<std::string> &names);
void UnregisterDialUpFolder();
std::string DialUpLogPath();
// Clicks (or double-clicks) a list box item with posted mouse messages.
void ClickListItem(HWND list, int index, bool doubleClick = false);
} // namespace driver

// ---- help requests (help_capture.cpp) ----------------------------------------------
namespace driver {
// While started, WinHelpA calls of any program in the prefix reach a window of
// the test process instead of winhlp32 (pump messages to receive them).
struct HelpRequest {
    UINT command; // HELP_CONTEXT ...
    DWORD data;   // the context number for HELP_CONTEXT
    std::string file;
};
bool StartHelpCapture();
void StopHelpCapture();
std::vector<HelpRequest> HelpRequests();
} // namespace driver
