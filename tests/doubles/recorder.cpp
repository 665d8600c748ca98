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
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

static std::string LogPath()
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("RECORDER_LOG", path, sizeof path);
    if (n > 0 && n < sizeof path)
        return path;
    n = GetModuleFileNameA(NULL, path, sizeof path);
    std::string exe(path, n);
    return exe.substr(0, exe.find_last_of('\\')) + "\\recorder.log";
}

// The arguments: the command line after the program's own name.
static const char *Arguments()
{
    const char *p = GetCommandLineA();
    if (*p == '"') {
        p = strchr(p + 1, '"');
        p = p ? p + 1 : "";
    } else {
        while (*p && *p != ' ')
            ++p;
    }
    while (*p == ' ')
        ++p;
    return p;
}

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
    // Appends are atomic per write, so concurrent starts do not mix lines.
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file = CreateFileA(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                  OPEN_ALWAYS, 0, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, line.data(), (DWORD)line.size(), &written, NULL);
            CloseHandle(file);
            return;
        }
        Sleep(20);
    }
}

static std::string OptionValue(const char *args, const char *option)
{
    const char *p = strstr(args, option);
    if (!p)
        return "";
    p += strlen(option);
    while (*p == ' ')
        ++p;
    if (*p == '"') {
        const char *end = strchr(p + 1, '"');
        return end ? std::string(p + 1, end) : std::string(p + 1);
    }
    const char *end = p;
    while (*end && *end != ' ')
        ++end;
    return std::string(p, end);
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
    const char *args = Arguments();
    Record(args);
    if (strstr(args, "--exit"))
        return 0;

    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = RecorderProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.lpszClassName = "SpringdeckRecorder";
    RegisterClassA(&windowClass);

    std::string title = OptionValue(args, "--title");
    HWND window = CreateWindowExA(0, "SpringdeckRecorder", title.empty() ? "recorder" : title.c_str(),
                                  WS_OVERLAPPEDWINDOW, 100, 100, 320, 200, NULL, NULL, instance, NULL);
    if (!title.empty())
        ShowWindow(window, show);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
