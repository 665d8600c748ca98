// Shared pieces of the benchmark program: one figure is a set of samples
// (and, where there is one, a baseline measured in the same run).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"

struct Figure {
    std::string id; // "1", "2a", ...
    std::string name;
    std::string unit; // "ms", "KB", ...
    std::vector<double> samples;
    std::string baselineName;
    std::vector<double> baseline;
    std::string target; // what we aim at, in words
    std::string note;   // "n/a: ..." when it could not be measured
};

void Report(const Figure &figure);

double NowMs(); // QueryPerformanceCounter in ms
double TicksToMs(long long ticks, long long frequency);
SIZE_T WorkingSetKb(HANDLE process);
SIZE_T PrivateKb(HANDLE process); // private bytes; 0 where the system does not report them

// Recorder log: the QPC time of each start line, in ms.
std::vector<double> RecorderStartTimes(const std::string &logPath);

// Waits until the program's main thread is idle again (its message loop
// waits for input), after an action that made it busy.
bool WaitProgramIdle(HWND window, DWORD timeoutMs = 30000);

// The figures, one function each (figures/*.cpp).
void BenchLaunch();
void BenchBringForward();
void BenchBrowser();
void BenchStartup();
void BenchSetupDialog();
void BenchBookmarks();
void BenchFootprint();
void BenchTyping();
