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

using CreateSnapshotFunction = HANDLE(WINAPI *)(DWORD flags, DWORD processId);
using ProcessWalkFunction = BOOL(WINAPI *)(HANDLE snapshot, PROCESSENTRY32 *entry);
using ModuleWalkFunction = BOOL(WINAPI *)(HANDLE snapshot, MODULEENTRY32 *entry);
using QueryImageNameFunction = BOOL(WINAPI *)(HANDLE process, DWORD flags, LPSTR path, PDWORD size);
using ModuleFileNameFunction = DWORD(WINAPI *)(HANDLE process, HMODULE module, LPSTR path, DWORD size);

/* Written on the main thread by InitProcessLookup at start-up, before any window exists, read
 * after; the unit tests set the reader (null: the system's registry). */
static struct {
    CreateSnapshotFunction createSnapshot;
    ProcessWalkFunction processFirst;
    ProcessWalkFunction processNext;
    QueryImageNameFunction queryImageName;
    ModuleFileNameFunction moduleFileName;
    ModuleWalkFunction moduleFirst;
    PerformanceDataReader readPerformanceData;
} Lookup;

/* The record size that Windows 95 knows; later systems accept it too. */
constexpr DWORD PROCESS_ENTRY_SIZE = 296;

/* Access right of Vista and later; older SDKs lack the name. */
constexpr DWORD QUERY_LIMITED_INFORMATION = 0x1000;

constexpr DWORD PERFORMANCE_DATA_START = 12000;    /* first size asked for */
constexpr DWORD PERFORMANCE_DATA_LIMIT = 16 << 20; /* beyond this the answer is not worth it */
constexpr DWORD COUNTER_INDEX_CAPACITY = 16;       /* decimal index text of a counter name */

constexpr char CounterNamesKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009";

bool InitProcessLookup()
{
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    if (!kernel)
        return false;
    /* The ways to ask a process for its full path. They are no part of the
     * result: start-up only wants to know whether a snapshot can be taken. */
    Lookup.queryImageName = ProcAddress<QueryImageNameFunction>(kernel, "QueryFullProcessImageNameA");
    Lookup.moduleFileName = ProcAddress<ModuleFileNameFunction>(kernel, "K32GetModuleFileNameExA");
    Lookup.moduleFirst = ProcAddress<ModuleWalkFunction>(kernel, "Module32First");
    if (!Lookup.moduleFileName) {
        /* Stays loaded for the life of the process, like the system DLLs. */
        HMODULE psapi = LoadLibraryA("PSAPI.DLL");
        if (psapi)
            Lookup.moduleFileName = ProcAddress<ModuleFileNameFunction>(psapi, "GetModuleFileNameExA");
    }
    Lookup.createSnapshot = ProcAddress<CreateSnapshotFunction>(kernel, "CreateToolhelp32Snapshot");
    Lookup.processFirst = ProcAddress<ProcessWalkFunction>(kernel, "Process32First");
    Lookup.processNext = ProcAddress<ProcessWalkFunction>(kernel, "Process32Next");
    return Lookup.createSnapshot && Lookup.processFirst && Lookup.processNext;
}

/* The full path of the process's first module, its executable. */
static bool FirstModulePath(DWORD processId, char *path, DWORD capacity)
{
    if (!Lookup.createSnapshot || !Lookup.moduleFirst)
        return false;
    HANDLE snapshot = Lookup.createSnapshot(TH32CS_SNAPMODULE, processId);
    if (!snapshot || snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    bool found =
        Lookup.moduleFirst(snapshot, &module) && strchr(module.szExePath, '\\') && strlen(module.szExePath) < capacity;
    CloseHandle(snapshot);
    if (found)
        lstrcpynA(path, module.szExePath, static_cast<int>(capacity));
    return found;
}

int ProcessPathFromSnapshot(DWORD processId, char *path, DWORD capacity)
{
    if (!Lookup.createSnapshot || !Lookup.processFirst || !Lookup.processNext || capacity == 0)
        return 0;
    HANDLE snapshot = Lookup.createSnapshot(TH32CS_SNAPPROCESS, 0);
    if (!snapshot || snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = PROCESS_ENTRY_SIZE;
    int found = 0;
    for (bool more = Lookup.processFirst(snapshot, &entry); more; more = Lookup.processNext(snapshot, &entry)) {
        if (entry.th32ProcessID == processId) {
            if (strchr(entry.szExeFile, '\\') || !FirstModulePath(processId, path, capacity))
                lstrcpynA(path, entry.szExeFile, static_cast<int>(capacity));
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
    if (Lookup.queryImageName) {
        HANDLE process = OpenProcess(QUERY_LIMITED_INFORMATION, FALSE, processId);
        if (process) {
            DWORD size = capacity;
            bool ok = Lookup.queryImageName(process, 0, path, &size);
            CloseHandle(process);
            if (ok && size > 0 && size < capacity)
                return 1;
        }
    }
    if (Lookup.moduleFileName) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
        if (process) {
            DWORD length = Lookup.moduleFileName(process, nullptr, path, capacity);
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
        if (RegQueryValueExA(key, "Counters", nullptr, nullptr, reinterpret_cast<BYTE *>(table.data()), &got) ==
            ERROR_SUCCESS)
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
    int needed =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(nameLength), nullptr, 0, nullptr, nullptr);
    std::vector<char> converted(static_cast<size_t>(needed > 0 ? needed : 0) + 1, '\0');
    if (needed > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(nameLength), converted.data(), needed, nullptr,
                            nullptr);
    lstrcpynA(name, converted.data(), static_cast<int>(capacity));
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
    *idProcessIndex = static_cast<DWORD>(strtoul(idIndex, nullptr, 10));

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

void SetPerformanceDataReader(PerformanceDataReader reader) { Lookup.readPerformanceData = reader; }

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
            PerformanceDataReader read =
                Lookup.readPerformanceData ? Lookup.readPerformanceData : ReadProcessPerformanceData;
            if (!read(&lookup->performanceData, &lookup->idProcessIndex))
                lookup->performanceData.clear();
        }
        return FindPerformanceInstanceName(lookup->performanceData.data(),
                                           static_cast<DWORD>(lookup->performanceData.size()), lookup->idProcessIndex,
                                           processId, path, capacity);
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
