/* Springdeck's entry point: one copy per desktop, a hidden main window that
 * owns the hotkeys and the tray icon, COM and a client-only DDE instance for
 * the launchers, the first-start steps, and the message loop. */
#include "core/core.h"
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
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return;
    path[length] = '\0';
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
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    AppInstance = instance;
    CloseMessage = RegisterWindowMessageA("close");

    if (FindWindowA(MAIN_WINDOW_CLASS, APP_CAPTION)) {
        MessageBeep(0);
        return 0;
    }

    InitProcessLookup();

    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICO_SPRINGDECK));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    RegisterClassA(&windowClass);

    CoInitialize(NULL);
    DdeInstance = 0;
    DdeInitializeA(&DdeInstance, DdeCallback, APPCMD_CLIENTONLY, 0);

    MainWindow = CreateWindowExA(0, MAIN_WINDOW_CLASS, APP_CAPTION, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0,
                                 NULL, NULL, instance, NULL);
    EnterProgramFolder();

    int exitCode = -1;
    if (MainWindow) {
        if (WantsFirstStartSteps(commandLine ? commandLine : "")) {
            ApplyRunAtStartup(NULL);
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
