// Shows what a user sees when Springdeck starts on a virtual display: starts
// springdeck.exe, saves screenshots of the screen after start-up and with the
// tray menu open, then ends the program through its registered "close"
// message. Used by `make run` when there is no display of the user's own.
#include <cstdio>

#include "driver.h"

using namespace driver;

int main()
{
    Process springdeck;
    HWND window = StartSpringdeck(springdeck);
    if (!window) {
        static_cast<void>(fprintf(stderr, "showcase: springdeck.exe did not start\n")); // nowhere to report a failure
        return 1;
    }
    // A first start opens the setup dialog by itself; give it the time to show.
    WaitForWindow("#32770", "Springdeck from Tolvane Keyboards", 5000);
    Pump(500);
    CaptureScreen("run-startup");

    HWND setup = FindTopWindow("#32770", "Springdeck from Tolvane Keyboards");
    if (setup) {
        PostMessageA(setup, WM_COMMAND, IDCANCEL, 0);
        WaitWindowGone(setup, 5000);
    }
    PostTray(window, WM_RBUTTONDOWN);
    if (WaitForWindow("#32768", nullptr, 5000)) {
        Pump(300);
        CaptureScreen("run-tray-menu");
        PostMessageA(window, WM_CANCELMODE, 0, 0);
    }

    PostMessageA(window, CloseMessage(), 0, 0);
    DWORD code = WaitExit(springdeck, 15000);
    printf("showcase: springdeck.exe ended with exit code %lu\n", code);
    printf("showcase: screenshots in %s\\screens\n", BuildDir().c_str());
    return code == 0 ? 0 : 1;
}
