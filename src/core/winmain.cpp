/* Springdeck's entry point: one copy per desktop, a hidden main window that
 * owns the hotkeys and the tray icon, COM and a client-only DDE instance for
 * the launchers, the first-start steps, and the message loop. */
#include "core/core_internal.h"
#include "launch/launch.h"
#include "resource.h"
#include "settings/settings.h"
#include "setup/setup.h"

#include <objbase.h>

/* Makes the folder that holds springdeck.exe the current directory, so that
 * a start from the Run key (which leaves us in the system folder) behaves
 * like a start from Explorer. */
static void EnterProgramFolder()
{
    char path[MAX_PATH];
    if (!ProgramFilePath(nullptr, path, sizeof path))
        return;
    char *slash = strrchr(path, '\\');
    if (!slash)
        return;
    /* Keep the backslash of a root folder ("C:\"), drop it otherwise. */
    if (slash == path + 2 && path[1] == ':')
        slash[1] = '\0';
    else
        *slash = '\0';
    SetCurrentDirectoryA(path);
}

/* The name of the single-instance mutex. Windows 2000 and later keep one
 * namespace of kernel objects per log-on session and know the "Local\"
 * prefix; Windows 95/98 and NT 4 have one namespace and take no backslash
 * in a name. */
static const char *SingleInstanceMutexName()
{
    DWORD version = GetVersion();
    bool windowsNt = (version & 0x80000000u) == 0;
    if (windowsNt && LOBYTE(LOWORD(version)) >= 5)
        return "Local\\Springdeck";
    return "Springdeck";
}

/* The window search alone lets copies started at the same moment (a machine
 * and a user Run value at log-on, an installer starting us while the Run
 * value does too) all find no window, since none has made it yet. Only the
 * copy that creates the session's mutex goes on to the window search; the
 * main window closes the mutex in its WM_DESTROY, while it can still be
 * found, so a copy started during the shutdown meets one or the other.
 * True when another copy runs; the mutex, or null, in *mutex. */
static bool AnotherCopyRuns(HANDLE *mutex)
{
    *mutex = CreateMutexA(nullptr, FALSE, SingleInstanceMutexName());
    DWORD error = GetLastError();
    /* Access denied: a copy of another user of this session (or an elevated
     * one) holds it. Any other failure leaves the window search alone. */
    if ((*mutex && error == ERROR_ALREADY_EXISTS) || (!*mutex && error == ERROR_ACCESS_DENIED))
        return true;
    return FindWindowA(MAIN_WINDOW_CLASS, APP_CAPTION) != nullptr;
}

static bool WantsFirstStartSteps(const char *commandLine)
{
    while (*commandLine == ' ')
        ++commandLine;
    if (lstrcmpA(commandLine, "/s") == 0)
        return true;
    return ReadSettingDword("options", "installed", 0) == 0;
}

static int RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int)
{
    AppInstance = hInstance;
    HANDLE instanceMutex = nullptr;
    if (AnotherCopyRuns(&instanceMutex)) {
        MessageBeep(0);
        return 0; /* ending closes the mutex handle */
    }

    InitProcessLookup();

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = hInstance;
    windowClass.hIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(ICO_SPRINGDECK));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    RegisterClassA(&windowClass);

    CoInitialize(nullptr);
    DdeInstance = 0;
    DdeInitializeA(&DdeInstance, DdeCallback, APPCMD_CLIENTONLY, 0);

    MainWindow = CreateWindowExA(0, MAIN_WINDOW_CLASS, APP_CAPTION, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, nullptr,
                                 hInstance, instanceMutex);
    EnterProgramFolder();

    int exitCode = -1;
    if (MainWindow) {
        if (WantsFirstStartSteps(lpCmdLine ? lpCmdLine : "")) {
            ApplyRunAtStartup(nullptr);
            WriteSettingDword("options", "installed", 1);
            PostMessageA(MainWindow, WM_COMMAND, IDM_SETUP, 0);
        }
        exitCode = RunMessageLoop();
    }

    CloseHelp();
    CoUninitialize();
    DdeUninitialize(DdeInstance);
    return exitCode;
}
