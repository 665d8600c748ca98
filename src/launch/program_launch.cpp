/* Starting programs and documents through the shell, or bringing a running
 * copy of a program to the front. A copy is recognised by the executable of
 * the process that owns a visible, unowned top-level window; paths are
 * compared in their short (8.3) form so that the long and the short spelling
 * of one file match. */
#include "core/core.h"
#include "launch/launch_internal.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

constexpr DWORD SHORT_PATH_CAPACITY = 256;

/* Programs that are always started anew, even while a copy of them runs
 * (compared by file name alone, whatever the folder and extension). */
constexpr const char *AlwaysStartedPrograms[] = {"SCHDPL32", "EXCHNG32"};

/* The file name of a path without drive, folder and extension. */
static void ProgramBaseName(const char *path, char *name, size_t capacity)
{
    const char *start = path;
    for (const char *p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            start = p + 1;
    const char *dot = strrchr(start, '.');
    size_t length = dot ? static_cast<size_t>(dot - start) : strlen(start);
    if (length >= capacity)
        length = capacity - 1;
    memcpy(name, start, length);
    name[length] = '\0';
}

static bool IsAlwaysStarted(const char *commandLine)
{
    char name[MAX_PATH];
    ProgramBaseName(commandLine, name, sizeof name);
    for (const char *program : AlwaysStartedPrograms)
        if (lstrcmpiA(name, program) == 0)
            return true;
    return false;
}

/* One search for a running copy. Most processes own several top-level
 * windows, and asking the system for a process's executable is the slow part
 * of the walk, so each process found not to match is remembered for the rest
 * of the search, and whatever the system hands out for all processes at once
 * is read once for the whole search. */
struct RunningCopySearch {
    const char *wantedShortPath;
    static constexpr int MEMO_SIZE = 64;
    DWORD otherProcesses[MEMO_SIZE];
    int otherCount;
    ProcessLookup lookup;
    bool found; /* a running copy was brought forward */
};

static bool IsKnownOther(const RunningCopySearch &search, DWORD processId)
{
    for (int i = 0; i < search.otherCount; ++i)
        if (search.otherProcesses[i] == processId)
            return true;
    return false;
}

static bool ProcessRunsProgram(RunningCopySearch &search, DWORD processId)
{
    char imagePath[IMAGE_PATH_CAPACITY] = {0};
    if (!LookUpProcessImagePath(&search.lookup, processId, imagePath, sizeof imagePath))
        return false;
    char shortPath[SHORT_PATH_CAPACITY];
    DWORD length = GetShortPathNameA(imagePath, shortPath, sizeof shortPath);
    return length > 0 && length < sizeof shortPath && lstrcmpiA(shortPath, search.wantedShortPath) == 0;
}

static BOOL CALLBACK BringForwardIfRunning(HWND window, LPARAM lParam)
{
    RunningCopySearch &search = *reinterpret_cast<RunningCopySearch *>(lParam);
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER))
        return TRUE;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (IsKnownOther(search, processId))
        return TRUE;
    if (!ProcessRunsProgram(search, processId)) {
        if (search.otherCount < RunningCopySearch::MEMO_SIZE)
            search.otherProcesses[search.otherCount++] = processId;
        return TRUE;
    }
    SetForegroundWindow(window);
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    search.found = true;
    return FALSE;
}

static bool BringRunningCopyForward(const char *commandLine)
{
    char shortPath[SHORT_PATH_CAPACITY];
    DWORD length = GetShortPathNameA(commandLine, shortPath, sizeof shortPath);
    /* A command line that names no existing file cannot match any process. */
    if (length == 0 || length >= sizeof shortPath)
        return false;
    if (IsAlwaysStarted(commandLine))
        return false;
    RunningCopySearch search{};
    search.wantedShortPath = shortPath;
    EnumWindows(BringForwardIfRunning, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool OpenThroughShell(const char *verb, const char *file, const char *parameters)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    /* Our callers tell of a failure in their own words; the shell's message
     * would come first and say the same. */
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = verb;
    info.lpFile = file;
    info.lpParameters = parameters;
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&info) != FALSE;
}

void LaunchProgram(HWND owner, const char *commandLine, const char *args)
{
    if (!args[0] && BringRunningCopyForward(commandLine))
        return;
    if (OpenThroughShell("Open", commandLine, args))
        return;

    constexpr int MESSAGE_CAPACITY = 300;
    char message[MESSAGE_CAPACITY];
    snprintf(message, sizeof message, "Unable to launch %s", commandLine); // NOLINT(cert-err33-c): cut, it still reads
    MessageBoxA(owner, message, APP_CAPTION, MB_ICONWARNING | MB_SETFOREGROUND);
}
