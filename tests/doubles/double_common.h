// Small helpers shared by the test doubles: their arguments, their options
// and their log files; the window-class helper also serves the test driver's
// and the benchmark's own windows.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

// The arguments: the command line after the program's own name.
inline const char *ProgramArguments()
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

// The value after an option ("--title X" or "--title \"X Y\""), or "".
inline std::string OptionValue(const char *args, const char *option)
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

// The log named by the environment variable, else the file beside the exe.
inline std::string LogPathFor(const char *variable, const char *fileName)
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(variable, path, sizeof path);
    if (n > 0 && n < sizeof path)
        return path;
    n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string exe(path, n);
    return exe.substr(0, exe.find_last_of('\\')) + "\\" + fileName;
}

// Appends one line; appends are atomic per write, so concurrent writers do
// not mix their lines. Retries while another process holds the file.
inline void AppendLogLine(const std::string &path, const std::string &line)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
            return;
        }
        Sleep(20);
    }
}

// Registers a window class with the arrow cursor.
inline void RegisterDoubleClass(const char *name, WNDPROC proc,
                                HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}
