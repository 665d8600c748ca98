// Recording program: a stand-in for "the assigned program". Every start
// appends one line to a log, then the program stays until it is told to end
// (WM_CLOSE to its window, or the exit request file).
//
//   start <QPC ticks> <QPC frequency> <pid> cwd=<current folder> args=<arguments>
//
// The log is recorder.log beside the exe unless the environment variable
// RECORDER_LOG names another file. Options in the arguments (all recorded):
//   --title TEXT   show a visible window with this title
//   --exit         end right after recording
#include "double_common.h"

#include <cstdio>
#include <cstring>
#include <string>

static void Record(const char *args)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    char cwd[MAX_PATH];
    if (!GetCurrentDirectoryA(sizeof cwd, cwd))
        cwd[0] = '\0';
    std::string line = "start " + std::to_string(now.QuadPart) + " " + std::to_string(frequency.QuadPart) + " " +
                       std::to_string(GetCurrentProcessId()) + " cwd=" + cwd + " args=" + args + "\r\n";
    AppendLogLine(LogPathFor("RECORDER_LOG", "recorder.log"), line);
}

static LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    const char *args = ProgramArguments();
    Record(args);
    if (strstr(args, "--exit"))
        return 0;

    RegisterDoubleClass("SpringdeckRecorder", RecorderProc);

    std::string title = OptionValue(args, "--title");
    HWND window = CreateWindowExA(0, "SpringdeckRecorder", title.empty() ? "recorder" : title.c_str(),
                                  WS_OVERLAPPEDWINDOW, 100, 100, 320, 200, nullptr, nullptr, instance, nullptr);
    if (!title.empty())
        ShowWindow(window, show);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
