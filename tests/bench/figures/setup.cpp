// Figure 5: opening the setup dialog with all fifteen keys assigned, and
// what 100 open/close cycles leave behind.
#include <cstdio>

#include "bench.h"

using namespace driver;

constexpr char SetupTitle[] = "Springdeck from Tolvane Keyboards";

static void AssignAllKeys()
{
    constexpr const char *names[] = {"F1", "F2",  "F3",  "F4",  "F5",           "F6",          "F7",   "F8",
                                     "F9", "F10", "F11", "F12", "Print Screen", "Scroll Lock", "Pause"};
    for (int i = 0; i < 15; ++i) {
        switch (i % 5) {
        case 0:
            AssignKey(names[i], DoublePath("recorder"), "--exit", "Recorder");
            break;
        case 1:
            AssignKey(names[i], ":connection", "Office", "Dial Office");
            break;
        case 2:
            AssignKey(names[i], "http://www.cnet.com", "", "CNET");
            break;
        case 3:
            AssignKey(names[i], "http://intranet.example.com/pages/today", "");
            break;
        default:
            AssignKey(names[i], "C:\\windows\\notepad.exe", "", "Notepad", "C:\\windows\\notepad.exe", 0);
            break;
        }
    }
}

static HWND OpenSetup(HWND main)
{
    PostMessageA(main, WM_COMMAND, 101, 0);
    HWND dialog = WaitForWindow("#32770", SetupTitle, 20000);
    if (dialog)
        WaitProgramIdle(dialog);
    return dialog;
}

static void CloseSetup(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitUntil([&] { return !IsWindow(dialog); }, 10000);
}

void BenchSetupDialog()
{
    ClearSettings();
    SetSettingDword("options", "installed", 1);
    AssignAllKeys();
    Process springdeck;
    HWND main = StartSpringdeck(springdeck);

    Figure open{"5a", "setup dialog shown and idle, 15 keys assigned", "ms"};
    Figure growth{"5b", "working set growth over 100 open/close cycles", "KB"};
    growth.target = "no growth over 100 setup cycles (within 64 KB)";
    Figure privateGrowth{"5c", "private bytes growth over 100 open/close cycles", "KB"};
    privateGrowth.target = "no growth over 100 setup cycles (within 64 KB)";
    Figure objects{"5d", "GDI + USER objects after 100 cycles minus before", "objects"};
    if (!main || !OpenSetup(main)) {
        open.note = "n/a: the setup dialog did not open";
        Report(open);
        StopSpringdeck(&springdeck);
        return;
    }
    CloseSetup(FindTopWindow("#32770", SetupTitle));

    for (int i = 0; i < 10; ++i) {
        double start = NowMs();
        HWND dialog = OpenSetup(main);
        if (!dialog)
            break;
        open.samples.push_back(NowMs() - start);
        CloseSetup(dialog);
    }

    // Warm up once more, then measure the cycles.
    CloseSetup(OpenSetup(main));
    Pump(300);
    SIZE_T before = WorkingSetKb(springdeck.handle);
    SIZE_T privateBefore = PrivateKb(springdeck.handle);
    DWORD gdiBefore = GetGuiResources(springdeck.handle, GR_GDIOBJECTS);
    DWORD userBefore = GetGuiResources(springdeck.handle, GR_USEROBJECTS);
    for (int i = 0; i < 100; ++i) {
        HWND dialog = OpenSetup(main);
        if (!dialog)
            break;
        CloseSetup(dialog);
    }
    Pump(300);
    growth.samples.push_back(static_cast<double>(WorkingSetKb(springdeck.handle)) - before);
    if (privateBefore)
        privateGrowth.samples.push_back(static_cast<double>(PrivateKb(springdeck.handle)) - privateBefore);
    else
        privateGrowth.note = "not reported by this system";
    DWORD gdiAfter = GetGuiResources(springdeck.handle, GR_GDIOBJECTS);
    DWORD userAfter = GetGuiResources(springdeck.handle, GR_USEROBJECTS);
    if (gdiBefore == 0 && gdiAfter == 0 && userBefore == 0 && userAfter == 0)
        objects.note = "not reported by this system (GetGuiResources gives 0 under Wine)";
    else
        objects.samples.push_back(static_cast<double>(gdiAfter + userAfter) - (gdiBefore + userBefore));
    StopSpringdeck(&springdeck);
    Report(open);
    Report(growth);
    Report(privateGrowth);
    Report(objects);
}
