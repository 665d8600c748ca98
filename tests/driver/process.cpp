// Driver: paths, waiting, processes and Springdeck's lifetime.
#include "driver.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>

namespace driver {

static std::string UnixToWindows(const std::string &path)
{
    std::string out = "Z:";
    for (char c : path)
        out += (c == '/') ? '\\' : c;
    return out;
}

std::string BuildDir()
{
    // Run natively on Windows from build\tests the folder is the exe's parent's parent.
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    std::string candidate = UnixToWindows(SD_BUILD_DIR);
    if (GetFileAttributesA((candidate + "\\springdeck.exe").c_str()) != INVALID_FILE_ATTRIBUTES)
        return candidate;
    std::string dir(self, n);
    for (int i = 0; i < 2; ++i)
        dir = dir.substr(0, dir.find_last_of('\\'));
    return dir;
}

std::string SpringdeckExe() { return BuildDir() + "\\springdeck.exe"; }

std::string DoublePath(const std::string &name) { return BuildDir() + "\\tests\\doubles\\" + name + ".exe"; }

std::string ScratchDir()
{
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char dir[MAX_PATH];
    // Wine gives a later test process the id of an earlier one: skip folders
    // that an earlier process left behind.
    do
        snprintf(dir, sizeof dir, "%ssdtest-%lu-%d", temp, GetCurrentProcessId(), ++counter);
    while (!CreateDirectoryA(dir, nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    return dir;
}

bool CopyFileTo(const std::string &from, const std::string &to)
{
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (GetTickCount() - start >= ms)
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (true);
}

DWORD ScaledWait(DWORD timeoutMs)
{
    // Where Wine itself runs under an emulator (scripts/with-wine.sh sets
    // SD_WAIT_SCALE there), every program takes several times as long to
    // start; a deadline is a bound on waiting, never a measurement, so it grows.
    static const DWORD scale = [] {
        char text[16] = "";
        GetEnvironmentVariableA("SD_WAIT_SCALE", text, sizeof text);
        DWORD value = strtoul(text, nullptr, 10);
        return value >= 1 && value <= 20 ? value : 1;
    }();
    return timeoutMs > MAXDWORD / scale ? MAXDWORD : timeoutMs * scale;
}

bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs)
{
    timeoutMs = ScaledWait(timeoutMs);
    DWORD start = GetTickCount();
    while (true) {
        Pump(0);
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

Process StartProgram(const std::string &exe, const std::string &args, int show, const std::string &currentDir)
{
    return StartProgram(Wide(exe), Wide(args), show, Wide(currentDir));
}

Process StartProgram(const std::wstring &exe, const std::wstring &args, int show, const std::wstring &currentDir)
{
    Process process;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!args.empty())
        commandLine += L" " + args;
    std::vector<WCHAR> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        process.handle = info.hProcess;
        process.id = info.dwProcessId;
    }
    return process;
}

DWORD WaitExit(Process &process, DWORD timeoutMs)
{
    if (!process.handle)
        return STILL_ACTIVE;
    WaitUntil([&] { return WaitForSingleObject(process.handle, 0) == WAIT_OBJECT_0; }, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.handle, &code);
    return code;
}

void CloseProcess(Process &process)
{
    if (process.handle)
        CloseHandle(process.handle);
    process.handle = nullptr;
}

void KillProcess(Process &process)
{
    if (process.handle && WaitForSingleObject(process.handle, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.handle, 99);
        WaitForSingleObject(process.handle, 5000);
    }
    CloseProcess(process);
}

void KillProcessesNamed(const char *exeName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) {
        const char *base = strrchr(entry.szExeFile, '\\');
        base = base ? base + 1 : entry.szExeFile;
        if (lstrcmpiA(base, exeName) != 0)
            continue;
        HANDLE handle = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (handle) {
            TerminateProcess(handle, 99);
            WaitForSingleObject(handle, 5000);
            CloseHandle(handle);
        }
    }
    CloseHandle(snapshot);
}

// Reads the current directory from the process's parameters block (PEB),
// which the system keeps up to date on every SetCurrentDirectory.
std::string ProcessCurrentDirectory(HANDLE process)
{
    using QueryFunction = LONG(WINAPI *)(HANDLE process, int infoClass, PVOID info, ULONG size, PULONG returned);
    auto query = reinterpret_cast<QueryFunction>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic;
    if (!query || query(process, 0, &basic, sizeof basic, nullptr) != 0)
        return "";
    BYTE *peb = reinterpret_cast<BYTE *>(basic.PebBaseAddress);
    BYTE *parameters = nullptr;
    if (!ReadProcessMemory(process, peb + 0x10, &parameters, sizeof parameters, nullptr))
        return "";
    struct {
        USHORT length, maximum;
        WCHAR *buffer;
    } dosPath;
    if (!ReadProcessMemory(process, parameters + 0x24, &dosPath, sizeof dosPath, nullptr))
        return "";
    std::wstring wide(dosPath.length / 2, L'\0');
    if (!ReadProcessMemory(process, dosPath.buffer, &wide[0], dosPath.length, nullptr))
        return "";
    char narrow[1024];
    int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), narrow, sizeof narrow - 1,
                                nullptr, nullptr);
    narrow[n > 0 ? n : 0] = '\0';
    return narrow;
}

// ---- Springdeck ------------------------------------------------------------

HWND FindMainWindow() { return FindWindowA("Springdeck", "Springdeck"); }

UINT CloseMessage() { return RegisterWindowMessageA("close"); }

// Not SMTO_ABORTIFHUNG: a thread that has been busy for five seconds counts as
// hung, and on a slow host start-up alone may take that long.
bool IsResponsive(HWND window)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, ScaledWait(5000), &result) != 0;
}

HWND StartSpringdeck(Process &process, const std::string &args, int show, const std::string &currentDir,
                     const std::string &exe)
{
    process = StartProgram(exe.empty() ? SpringdeckExe() : exe, args, show, currentDir);
    if (!process.handle)
        return nullptr;
    HWND window = nullptr;
    WaitUntil([&] {
        window = FindMainWindow();
        return window != nullptr || WaitForSingleObject(process.handle, 0) == WAIT_OBJECT_0;
    });
    // Idle means the message loop runs: creation, hotkeys, tray icon and the
    // first-start steps are done. (A window can answer messages earlier, while
    // it waits on the shell during its creation.)
    const char *failure = !window                                                    ? "no main window"
                          : WaitForInputIdle(process.handle, ScaledWait(15000)) != 0 ? "never idle"
                          : !IsResponsive(window)                                    ? "no answer"
                                                                                     : nullptr;
    if (failure)
        fprintf(stderr, "springdeck.exe: %s\n", failure);
    return failure ? nullptr : window;
}

void StopSpringdeck(Process *process)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        HWND window = FindMainWindow();
        if (!window)
            break;
        PostMessageA(window, CloseMessage(), 0, 0);
        WaitUntil([&] { return !IsWindow(window); }, 10000);
    }
    if (process && process->handle) {
        if (WaitExit(*process, 10000) == STILL_ACTIVE)
            KillProcess(*process);
        CloseProcess(*process);
    }
    if (FindMainWindow())
        KillProcessesNamed("springdeck.exe");
}

void PostTray(HWND mainWindow, UINT mouseMessage) { PostMessageA(mainWindow, WM_USER + 200, 1, mouseMessage); }

std::vector<std::string> ReadLines(const std::string &path)
{
    std::vector<std::string> lines;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lines;
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        text.append(chunk, got);
    CloseHandle(file);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            break; // an unfinished line is still being written
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace driver
