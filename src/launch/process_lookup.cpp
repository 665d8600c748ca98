/* Finding the executable of a running process, so that a program key can
 * bring a copy that already runs to the front instead of starting another.
 *
 * Windows 95 lists every process with the full path of its executable in a
 * Toolhelp32 snapshot. Windows NT publishes its processes in the performance
 * data of the registry, but names them there only by image name (no folder,
 * no extension), which never equals a path; so on NT the path is first asked
 * of the process itself, where the system has a way to do that
 * (QueryFullProcessImageNameA from Vista on, GetModuleFileNameExA of psapi
 * from NT 4 on). Every one of these functions is looked up at run time, since
 * none of them exists on every system we run on.
 *
 * A Toolhelp32 snapshot of a Windows 95 kind may still name a process by its
 * file name alone (Wine does so under every version setting); the first
 * module of the process, also from Toolhelp32, then gives the full path. */
#include "core/core.h"
#include "launch/launch_internal.h"

#include <tlhelp32.h>
#include <winperf.h>

#include <cstdlib>
#include <cstring>
#include <vector>

typedef HANDLE(WINAPI *CreateSnapshotFunction)(DWORD, DWORD);
typedef BOOL(WINAPI *ProcessWalkFunction)(HANDLE, PROCESSENTRY32 *);
typedef BOOL(WINAPI *ModuleWalkFunction)(HANDLE, MODULEENTRY32 *);
typedef BOOL(WINAPI *QueryImageNameFunction)(HANDLE, DWORD, LPSTR, PDWORD);
typedef DWORD(WINAPI *ModuleFileNameFunction)(HANDLE, HMODULE, LPSTR, DWORD);

/* Written once by InitProcessLookup before any window exists, read after. */
static CreateSnapshotFunction CreateSnapshot = nullptr;
static ProcessWalkFunction ProcessFirst = nullptr;
static ProcessWalkFunction ProcessNext = nullptr;
static QueryImageNameFunction QueryImageName = nullptr;
static ModuleFileNameFunction ModuleFileName = nullptr;
static ModuleWalkFunction ModuleFirst = nullptr;

/* The record size that Windows 95 knows; later systems accept it too. */
enum : DWORD { PROCESS_ENTRY_SIZE = 296 };

/* Access right of Vista and later; older SDKs lack the name. */
enum : DWORD { QUERY_LIMITED_INFORMATION = 0x1000 };

enum : DWORD {
    PERFORMANCE_DATA_START = 12000,    /* first size asked for */
    PERFORMANCE_DATA_LIMIT = 16 << 20, /* beyond this the answer is not worth it */
    COUNTER_INDEX_CAPACITY = 16,       /* decimal index text of a counter name */
};

static const char CounterNamesKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009";

BOOL InitProcessLookup()
{
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    if (!kernel)
        return FALSE;
    /* The ways to ask a process for its full path. They are no part of the
     * result: start-up only wants to know whether a snapshot can be taken. */
    QueryImageName = ProcAddress<QueryImageNameFunction>(kernel, "QueryFullProcessImageNameA");
    ModuleFileName = ProcAddress<ModuleFileNameFunction>(kernel, "K32GetModuleFileNameExA");
    ModuleFirst = ProcAddress<ModuleWalkFunction>(kernel, "Module32First");
    if (!ModuleFileName) {
        /* Stays loaded for the life of the process, like the system DLLs. */
        HMODULE psapi = LoadLibraryA("PSAPI.DLL");
        if (psapi)
            ModuleFileName = ProcAddress<ModuleFileNameFunction>(psapi, "GetModuleFileNameExA");
    }
    CreateSnapshot = ProcAddress<CreateSnapshotFunction>(kernel, "CreateToolhelp32Snapshot");
    ProcessFirst = ProcAddress<ProcessWalkFunction>(kernel, "Process32First");
    ProcessNext = ProcAddress<ProcessWalkFunction>(kernel, "Process32Next");
    return CreateSnapshot && ProcessFirst && ProcessNext;
}

/* The full path of the process's first module, its executable. */
static bool FirstModulePath(DWORD processId, char *path, DWORD capacity)
{
    if (!CreateSnapshot || !ModuleFirst)
        return false;
    HANDLE snapshot = CreateSnapshot(TH32CS_SNAPMODULE, processId);
    if (!snapshot || snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32 module;
    ZeroMemory(&module, sizeof module);
    module.dwSize = sizeof module;
    bool found =
        ModuleFirst(snapshot, &module) && strchr(module.szExePath, '\\') && strlen(module.szExePath) < capacity;
    CloseHandle(snapshot);
    if (found)
        lstrcpynA(path, module.szExePath, (int)capacity);
    return found;
}

int ProcessPathFromSnapshot(DWORD processId, char *path, DWORD capacity)
{
    if (!CreateSnapshot || !ProcessFirst || !ProcessNext || capacity == 0)
        return 0;
    HANDLE snapshot = CreateSnapshot(TH32CS_SNAPPROCESS, 0);
    if (!snapshot || snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry;
    ZeroMemory(&entry, sizeof entry);
    entry.dwSize = PROCESS_ENTRY_SIZE;
    int found = 0;
    for (BOOL more = ProcessFirst(snapshot, &entry); more; more = ProcessNext(snapshot, &entry)) {
        if (entry.th32ProcessID == processId) {
            if (strchr(entry.szExeFile, '\\') || !FirstModulePath(processId, path, capacity))
                lstrcpynA(path, entry.szExeFile, (int)capacity);
            found = 1;
            break;
        }
    }
    CloseHandle(snapshot);
    return found;
}

int ProcessPathFromProcess(DWORD processId, char *path, DWORD capacity)
{
    if (capacity == 0)
        return 0;
    if (QueryImageName) {
        HANDLE process = OpenProcess(QUERY_LIMITED_INFORMATION, FALSE, processId);
        if (process) {
            DWORD size = capacity;
            BOOL ok = QueryImageName(process, 0, path, &size);
            CloseHandle(process);
            if (ok && size > 0 && size < capacity)
                return 1;
        }
    }
    if (ModuleFileName) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
        if (process) {
            DWORD length = ModuleFileName(process, nullptr, path, capacity);
            CloseHandle(process);
            /* A path that filled the buffer may have been cut: no use. */
            if (length > 0 && length < capacity - 1) {
                path[length] = '\0';
                return 1;
            }
        }
    }
    path[0] = '\0';
    return 0;
}

/* The index text of a counter or object name in the English counter-name
 * table of the performance library. */
static bool LookUpCounterIndex(const char *name, char *index, size_t capacity)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, CounterNamesKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool found = false;
    DWORD size = 0;
    if (RegQueryValueExA(key, "Counters", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS && size > 0) {
        std::vector<char> table(size, '\0');
        DWORD got = size;
        if (RegQueryValueExA(key, "Counters", nullptr, nullptr, (BYTE *)table.data(), &got) == ERROR_SUCCESS)
            found = FindCounterIndex(table.data(), got < size ? got : size, name, index, capacity);
    }
    RegCloseKey(key);
    return found;
}

int FindPerformanceInstanceName(const BYTE *data, DWORD size, DWORD idProcessIndex, DWORD processId, char *name,
                                DWORD capacity)
{
    DWORD nameOffset, nameLength;
    if (capacity == 0 || !FindProcessInstance(data, size, idProcessIndex, processId, &nameOffset, &nameLength))
        return 0;
    /* Each character gives at least one byte: more than fit are never needed. */
    if (nameLength > capacity - 1)
        nameLength = capacity - 1;
    std::vector<WCHAR> wide(nameLength + 1, 0);
    memcpy(wide.data(), data + nameOffset, nameLength * sizeof(WCHAR));
    /* Converted whole, then cut to fit: the conversion itself refuses a
     * buffer that is too small. */
    int needed = WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)nameLength, nullptr, 0, nullptr, nullptr);
    std::vector<char> converted((size_t)(needed > 0 ? needed : 0) + 1, '\0');
    if (needed > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)nameLength, converted.data(), needed, nullptr, nullptr);
    lstrcpynA(name, converted.data(), (int)capacity);
    return 1;
}

/* The "Process" object of the system's performance data, which the system
 * hands out only whole: the block is doubled until it fits. */
static bool ReadProcessPerformanceData(std::vector<BYTE> *data, DWORD *idProcessIndex)
{
    char processIndex[COUNTER_INDEX_CAPACITY];
    char idIndex[COUNTER_INDEX_CAPACITY];
    if (!LookUpCounterIndex("Process", processIndex, sizeof processIndex) ||
        !LookUpCounterIndex("ID Process", idIndex, sizeof idIndex))
        return false;
    *idProcessIndex = (DWORD)strtoul(idIndex, nullptr, 10);

    DWORD size = PERFORMANCE_DATA_START;
    data->assign(size, 0);
    DWORD got = size;
    LONG result;
    while ((result = RegQueryValueExA(HKEY_PERFORMANCE_DATA, processIndex, nullptr, nullptr, data->data(), &got)) ==
               ERROR_MORE_DATA &&
           size < PERFORMANCE_DATA_LIMIT) {
        size = size < PERFORMANCE_DATA_LIMIT / 2 ? size * 2 : PERFORMANCE_DATA_LIMIT;
        data->assign(size, 0);
        got = size;
    }
    RegCloseKey(HKEY_PERFORMANCE_DATA);
    if (result != ERROR_SUCCESS)
        return false;
    data->resize(got < size ? got : size);
    return true;
}

static PerformanceDataReader ReadPerformanceData = ReadProcessPerformanceData;

void SetPerformanceDataReader(PerformanceDataReader reader)
{
    ReadPerformanceData = reader ? reader : ReadProcessPerformanceData;
}

int LookUpProcessImagePath(ProcessLookup *lookup, DWORD processId, char *path, DWORD capacity)
{
    if (capacity == 0)
        return 0;
    path[0] = '\0';
    DWORD version = GetVersion();
    if (!(version & 0x80000000)) {
        /* Windows NT: the performance data would only give the image name,
         * which cannot match a path; it is the last resort, and it is read
         * once for the whole lookup, since it always holds every process. */
        if (ProcessPathFromProcess(processId, path, capacity))
            return 1;
        if (!lookup->performanceRead) {
            lookup->performanceRead = true;
            if (!ReadPerformanceData(&lookup->performanceData, &lookup->idProcessIndex))
                lookup->performanceData.clear();
        }
        return FindPerformanceInstanceName(lookup->performanceData.data(), (DWORD)lookup->performanceData.size(),
                                           lookup->idProcessIndex, processId, path, capacity);
    }
    if (LOBYTE(LOWORD(version)) >= 4)
        return ProcessPathFromSnapshot(processId, path, capacity);
    return 0; /* Win32s knows no other processes */
}

int GetProcessImagePath(DWORD processId, char *path, DWORD capacity)
{
    ProcessLookup lookup{};
    return LookUpProcessImagePath(&lookup, processId, path, capacity);
}
