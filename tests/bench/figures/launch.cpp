// Figures 1 and 2: a key press that starts a program, and one that brings a
// running program's window forward.
#include "bench.h"
#include "../../doubles/double_common.h"

#include <shellapi.h>

#include <cstdio>

using namespace driver;

static std::string LogFile(const char *name)
{
    std::string path = ScratchDir() + "\\" + name;
    SetEnvironmentVariableA("RECORDER_LOG", path.c_str());
    return path;
}

static bool WaitForStarts(const std::string &log, size_t count)
{
    return WaitUntil([&] { return RecorderStartTimes(log).size() >= count; }, 15000);
}

void BenchLaunch()
{
    constexpr int PRESSES = 20;
    Figure figure{"1", "key press to first instruction of the started program", "ms"};
    figure.baselineName = "ShellExecuteExA itself";
    figure.target = "launch overhead within 5% of the direct launch";
    std::string log = LogFile("launch.log");

    ClearSettings();
    SetSettingDword("options", "installed", 1);
    // With arguments no running copy is looked for: every press starts it.
    AssignKey("F5", DoublePath("recorder"), "--exit bench");
    Process springdeck;
    if (!StartSpringdeck(springdeck)) {
        figure.note = "n/a: springdeck.exe did not start";
        Report(figure);
        return;
    }
    ShowFocusWindow();
    // Presses and direct starts take turns, so that a system that warms up
    // (or gets busier) over the run weighs on both alike.
    std::string recorder = DoublePath("recorder");
    for (int i = 0; i < PRESSES; ++i) {
        size_t before = RecorderStartTimes(log).size();
        FocusOwnWindow();
        double start = NowMs();
        PressKey(VK_F5);
        if (!WaitForStarts(log, before + 1))
            break;
        figure.samples.push_back(RecorderStartTimes(log).back() - start);

        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof info;
        info.lpVerb = "Open";
        info.lpFile = recorder.c_str();
        info.lpParameters = "--exit bench";
        info.nShow = SW_SHOWNORMAL;
        FocusOwnWindow();
        start = NowMs();
        ShellExecuteExA(&info);
        if (!WaitForStarts(log, before + 2))
            break;
        figure.baseline.push_back(RecorderStartTimes(log).back() - start);
    }
    if (figure.samples.size() < PRESSES)
        figure.note = "some presses started nothing";
    DestroyFocusWindow();
    StopSpringdeck(&springdeck);
    Report(figure);
}

static std::vector<HWND> OpenFillerWindows(int count)
{
    RegisterDoubleClass("BenchFiller", DefWindowProcA);
    std::vector<HWND> windows;
    for (int i = 0; i < count; ++i) {
        char title[32];
        snprintf(title, sizeof title, "filler %d", i);
        windows.push_back(CreateWindowExA(0, "BenchFiller", title, WS_OVERLAPPED | WS_VISIBLE, 10 + i % 50 * 4,
                                          10 + i % 40 * 4, 120, 60, nullptr, nullptr, GetModuleHandleA(nullptr),
                                          nullptr));
    }
    Pump(200);
    return windows;
}

void BenchBringForward()
{
    constexpr int PRESSES = 10;
    ClearSettings();
    SetSettingDword("options", "installed", 1);
    std::string log = LogFile("forward.log");
    AssignKey("F5", DoublePath("recorder"), ""); // no arguments: bring a running copy forward
    Process target = StartProgram(DoublePath("recorder"), "--title \"Bench Target\"");
    HWND targetWindow = WaitForWindow(nullptr, "Bench Target");
    Process springdeck;
    HWND main = StartSpringdeck(springdeck);

    for (int others : {10, 100}) {
        Figure figure{others == 10 ? "2a" : "2b",
                      "key press to running program in front, " + std::to_string(others) + " other windows", "ms"};
        figure.target = "under 50 ms with 100 windows";
        if (!main || !targetWindow) {
            figure.note = "n/a: could not start the program or its target";
            Report(figure);
            continue;
        }
        std::vector<HWND> fillers = OpenFillerWindows(others);
        ShowFocusWindow();
        for (int i = 0; i < PRESSES; ++i) {
            FocusOwnWindow();
            double start = NowMs();
            PressKey(VK_F5);
            if (!WaitUntil([&] { return GetForegroundWindow() == targetWindow; }, 10000))
                break;
            figure.samples.push_back(NowMs() - start);
        }
        if (RecorderStartTimes(log).size() > 1)
            figure.note = "a second copy was started instead";
        for (HWND window : fillers)
            DestroyWindow(window);
        DestroyFocusWindow();
        Report(figure);
    }
    StopSpringdeck(&springdeck);
    KillProcess(target);
}
