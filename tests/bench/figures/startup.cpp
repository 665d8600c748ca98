// Figure 4: from process start until the program is ready (hotkeys
// registered, Start Menu read, message loop running), by Start Menu size.
// After one warm-up start of each, the cases take turns, in alternating
// order, so that neither the order nor a warming disk cache favours one: the
// difference between two cases is then the cost of their shortcuts.
#include "bench.h"

#include <objbase.h>

#include <algorithm>
#include <cstdio>

using namespace driver;

// A Start Menu folder whose Programs folder holds shortcuts to the recorder,
// numbered from first; returns the Start Menu folder.
static std::string MakeStartMenuFolder(int shortcuts, int first)
{
    std::string root = ScratchDir() + "\\Start Menu";
    CreateDirectoryA(root.c_str(), nullptr);
    std::string programs = root + "\\Programs";
    CreateDirectoryA(programs.c_str(), nullptr);
    std::string recorder = DoublePath("recorder");
    for (int i = first; i < first + shortcuts; ++i) {
        char name[64];
        snprintf(name, sizeof name, "\\Program %04d.lnk", i);
        CreateShortcut(programs + name, recorder);
    }
    return root;
}

static double Median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// One start on the case's Start Menus, in ms; negative when it did not start.
static double StartOnce(const std::string &startMenu, const std::string &allUsersMenu)
{
    PointStartMenuAt(startMenu, allUsersMenu);
    Process springdeck;
    double start = NowMs();
    HWND window = StartSpringdeck(springdeck);
    double ready = NowMs();
    StopSpringdeck(&springdeck);
    return window ? ready - start : -1;
}

void BenchStartup()
{
    constexpr int ROUNDS = 6;
    struct Case {
        Figure figure;
        int user, allUsers; // shortcuts in each Start Menu
        std::string startMenu, allUsersMenu;
    } cases[] = {
        {{"4a", "start to ready, Start Menu of 0 shortcuts", "ms"}, 0, 0, "", ""},
        {{"4b", "start to ready, Start Menu of 100 shortcuts", "ms"}, 100, 0, "", ""},
        {{"4c", "start to ready, Start Menu of 1000 shortcuts", "ms"}, 1000, 0, "", ""},
        {{"4d", "start to ready, 1000 shortcuts, 500 user's + 500 all users'", "ms"}, 500, 500, "", ""},
    };
    const int count = static_cast<int>(sizeof cases / sizeof cases[0]);
    // COM stays up while the shortcuts are made: starting and ending it
    // around each one costs more than the shortcut.
    HRESULT com = CoInitialize(nullptr);
    ClearSettings();
    SetSettingDword("options", "installed", 1);
    AssignKey("F5", DoublePath("recorder"), "--exit");
    for (Case &c : cases) {
        c.startMenu = MakeStartMenuFolder(c.user, 0);
        if (c.allUsers)
            c.allUsersMenu = MakeStartMenuFolder(c.allUsers, c.user);
        StartOnce(c.startMenu, c.allUsersMenu); // warm-up, not counted
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    bool failed = false;
    for (int round = 0; round < ROUNDS && !failed; ++round) {
        for (int i = 0; i < count && !failed; ++i) {
            Case &c = cases[round % 2 ? count - 1 - i : i];
            double ms = StartOnce(c.startMenu, c.allUsersMenu);
            failed = ms < 0;
            if (!failed)
                c.figure.samples.push_back(ms);
        }
    }
    RestoreStartMenuFolder();

    double empty = Median(cases[0].figure.samples);
    for (Case &c : cases) {
        Figure &figure = c.figure;
        figure.target = "ready within 1 s with 1,000 shortcuts, growing linearly";
        if (failed) {
            figure.samples.clear();
            figure.note = "n/a: did not start";
        } else if (c.user + c.allUsers > 0) {
            bool split = c.allUsers > 0;
            figure.baselineName = split ? "1000 in the user's alone" : "empty Start Menu";
            figure.baseline = split ? cases[2].figure.samples : cases[0].figure.samples;
            char note[96];
            snprintf(note, sizeof note, "cost per shortcut %.3f ms",
                     (Median(figure.samples) - empty) / (c.user + c.allUsers));
            figure.note = note;
        }
        Report(figure);
    }
}
