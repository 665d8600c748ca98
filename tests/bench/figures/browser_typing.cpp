// Figures 3 and 8: a key press until the browser is asked to open the
// address over DDE, and typing an address into America Online's field.
#include "bench.h"

#include <algorithm>
#include <cstdio>

using namespace driver;

static double QpcMs(long long ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return TicksToMs(ticks, frequency.QuadPart);
}

// QPC times of the fake browser's open requests.
static std::vector<double> OpenRequests(const std::string &log)
{
    std::vector<double> times;
    for (const std::string &line : ReadLines(log)) {
        long long ticks = 0;
        if (line.find("topic=WWW_OpenURL") != std::string::npos && sscanf(line.c_str(), "request %lld", &ticks) == 1)
            times.push_back(QpcMs(ticks));
    }
    return times;
}

void BenchBrowser()
{
    constexpr int PRESSES = 20;
    Figure figure{"3", "key press to browser's DDE open request", "ms"};
    std::string log = ScratchDir() + "\\browser.log";
    ClearSettings();
    SetSettingDword("options", "installed", 1);
    AssignKey("F5", "http://bench.example.com/");
    Process browser = StartProgram(DoublePath("fakebrowser"),
                                   "--service NETSCAPE --title \"Netscape - Bench\" --log \"" + log + "\"");
    bool ready = WaitUntil([&] {
        for (const std::string &line : ReadLines(log))
            if (line.rfind("ready", 0) == 0)
                return true;
        return false;
    });
    Process springdeck;
    HWND main = StartSpringdeck(springdeck);
    if (!ready || !main) {
        figure.note = "n/a: the browser double or the program did not start";
    } else {
        ShowFocusWindow();
        for (int i = 0; i < PRESSES; ++i) {
            FocusOwnWindow();
            size_t before = OpenRequests(log).size();
            double start = NowMs();
            PressKey(VK_F5);
            if (!WaitUntil([&] { return OpenRequests(log).size() > before; }, 15000))
                break;
            figure.samples.push_back(OpenRequests(log).back() - start);
            WaitProgramIdle(main); // the activate request follows
        }
        DestroyFocusWindow();
    }
    StopSpringdeck(&springdeck);
    KillProcess(browser);
    Report(figure);
}

struct KeyEvent {
    double ms;
    bool down;
    int vk;
};

static std::vector<KeyEvent> FieldKeys(const std::string &log)
{
    std::vector<KeyEvent> events;
    for (const std::string &line : ReadLines(log)) {
        long long ticks = 0, frequency = 0;
        char direction[8] = "";
        int vk = 0;
        if (sscanf(line.c_str(), "key %lld %lld %7s %d", &ticks, &frequency, direction, &vk) == 4 && frequency)
            events.push_back({TicksToMs(ticks, frequency), direction[0] == 'd', vk});
    }
    return events;
}

void BenchTyping()
{
    constexpr int RUNS = 3;
    const std::string address = "http://www.example.com/Springdeck/Bench/typing?Q=Value&x=1234"; // 60 characters
    Figure total{"8a", "typing 60 characters into AOL, press to last key event", "ms"};
    total.baselineName = "nominal 100 ms per event";
    total.target = "typing total within 5% of nominal";
    Figure gap{"8b", "largest gap between two typed key events", "ms"};
    gap.target = "no gap over 150 ms";

    std::string folder = ScratchDir();
    CopyFileTo(SpringdeckExe(), folder + "\\springdeck.exe");
    CopyFileTo(BuildDir() + "\\tests\\doubles\\LAUNCH32.dll", folder + "\\LAUNCH32.dll");
    WritePrivateProfileStringA("results", "installed", "0", (folder + "\\launch32.ini").c_str());
    ClearSettings();
    SetSettingDword("options", "installed", 1);
    SetSettingDword("options", "browser", 2);
    AssignKey("F5", address);

    for (int run = 0; run < RUNS; ++run) {
        std::string log = folder + "\\aol" + std::to_string(run) + ".log";
        Process aol = StartProgram(DoublePath("fake_aol"), "--web --keys --log \"" + log + "\"");
        WaitUntil([&] { return !ReadLines(log).empty(); });
        Process springdeck;
        HWND main = StartSpringdeck(springdeck, "", SW_SHOWNORMAL, "", folder + "\\springdeck.exe");
        if (!main) {
            KillProcess(aol);
            break;
        }
        ShowFocusWindow();
        double start = NowMs();
        PressKey(VK_F5);
        bool entered = WaitUntil(
            [&] {
                for (const std::string &line : ReadLines(log))
                    if (line.rfind("enter ", 0) == 0)
                        return true;
                return false;
            },
            60000);
        // Let the last key-up arrive.
        WaitUntil(
            [&] {
                std::vector<KeyEvent> keys = FieldKeys(log);
                return !keys.empty() && !keys.back().down && keys.back().vk == VK_RETURN;
            },
            2000);
        std::vector<KeyEvent> keys = FieldKeys(log);
        if (entered && keys.size() > 1) {
            total.samples.push_back(keys.back().ms - start);
            total.baseline.push_back(100.0 * keys.size());
            double largest = 0;
            for (size_t i = 1; i < keys.size(); ++i)
                largest = std::max(largest, keys[i].ms - keys[i - 1].ms);
            gap.samples.push_back(largest);
        }
        DestroyFocusWindow();
        StopSpringdeck(&springdeck);
        KillProcess(aol);
    }
    if (total.samples.empty())
        total.note = "n/a: nothing was typed";
    else
        total.note = "nominal = 100 ms x key events seen by the field (" +
                     std::to_string(static_cast<int>(total.baseline.back() / 100)) + ")";
    Report(total);
    Report(gap);
}
