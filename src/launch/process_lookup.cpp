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
 * none of them exists on every system we run on. */
#include "launch/launch.h"

#include <tlhelp32.h>
#include <winperf.h>

#include <cstdlib>
#include <cstring>
#include <vector>

typedef HANDLE(WINAPI *CreateSnapshotFunction)(DWORD, DWORD);
typedef BOOL(WINAPI *ProcessWalkFunction)(HANDLE, PROCESSENTRY32 *);
typedef BOOL(WINAPI *QueryImageNameFunction)(HANDLE, DWORD, LPSTR, PDWORD);
typedef DWORD(WINAPI *ModuleFileNameFunction)(HANDLE, HMODULE, LPSTR, DWORD);

/* Written once by InitProcessLookup before any window exists, read after. */
static CreateSnapshotFunction CreateSnapshot = NULL;
static ProcessWalkFunction ProcessFirst = NULL;
static ProcessWalkFunction ProcessNext = NULL;
static QueryImageNameFunction QueryImageName = NULL;
static ModuleFileNameFunction ModuleFileName = NULL;

/* The record size that Windows 95 knows; later systems accept it too. */
enum : DWORD { PROCESS_ENTRY_SIZE = 296 };

/* Access right of Vista and later; older SDKs lack the name. */
enum : DWORD { QUERY_LIMITED_INFORMATION = 0x1000 };

enum : DWORD {
    PERFORMANCE_DATA_START = 12000, /* first size asked for */
    PERFORMANCE_DATA_STEP = 1000,   /* growth while the system wants more */
    PERFORMANCE_DATA_LIMIT = 16 << 20, /* beyond this the answer is not worth it */
    COUNTER_INDEX_CAPACITY = 16,    /* decimal index text of a counter name */
};

static const char CounterNamesKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009";

/* The ways to ask a process for its full path. They are no part of the
 * result: start-up only wants to know whether a snapshot can be taken. */
static void LookUpFullPathFunctions()
{
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    if (kernel) {
        QueryImageName = (QueryImageNameFunction)(void *)GetProcAddress(kernel, "QueryFullProcessImageNameA");
        ModuleFileName = (ModuleFileNameFunction)(void *)GetProcAddress(kernel, "K32GetModuleFileNameExA");
    }
    if (!ModuleFileName) {
        /* Stays loaded for the life of the process, like the system DLLs. */
        HMODULE psapi = LoadLibraryA("PSAPI.DLL");
        if (psapi)
            ModuleFileName = (ModuleFileNameFunction)(void *)GetProcAddress(psapi, "GetModuleFileNameExA");
    }
}

BOOL InitProcessLookup()
{
    CreateSnapshot = NULL;
    ProcessFirst = NULL;
    ProcessNext = NULL;
    QueryImageName = NULL;
    ModuleFileName = NULL;
    LookUpFullPathFunctions();

    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    if (!kernel)
        return FALSE;
    CreateSnapshot = (CreateSnapshotFunction)(void *)GetProcAddress(kernel, "CreateToolhelp32Snapshot");
    ProcessFirst = (ProcessWalkFunction)(void *)GetProcAddress(kernel, "Process32First");
    ProcessNext = (ProcessWalkFunction)(void *)GetProcAddress(kernel, "Process32Next");
    return CreateSnapshot && ProcessFirst && ProcessNext;
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
            DWORD length = ModuleFileName(process, NULL, path, capacity);
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

/* Length of the text at the start of the block, never beyond its end. */
static size_t BoundedLength(const char *text, size_t available)
{
    const char *end = (const char *)memchr(text, '\0', available);
    return end ? (size_t)(end - text) : available;
}

bool FindCounterIndex(const char *table, size_t size, const char *name, char *index, size_t capacity)
{
    size_t nameLength = strlen(name);
    size_t position = 0;
    /* Pairs of index text and name; an empty string where an index belongs
     * is the extra NUL that ends the table. */
    while (position < size && table[position]) {
        const char *indexText = table + position;
        size_t indexLength = BoundedLength(indexText, size - position);
        position += indexLength + 1;
        if (position >= size)
            break;
        const char *counterName = table + position;
        size_t counterLength = BoundedLength(counterName, size - position);
        position += counterLength + 1;
        if (counterLength == nameLength && memcmp(counterName, name, nameLength) == 0) {
            if (capacity == 0 || indexLength >= capacity)
                return false;
            memcpy(index, indexText, indexLength);
            index[indexLength] = '\0';
            return true;
        }
    }
    return false;
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
    if (RegQueryValueExA(key, "Counters", NULL, NULL, NULL, &size) == ERROR_SUCCESS && size > 0) {
        char *table = (char *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
        if (table) {
            DWORD got = size;
            if (RegQueryValueExA(key, "Counters", NULL, NULL, (BYTE *)table, &got) == ERROR_SUCCESS)
                found = FindCounterIndex(table, got < size ? got : size, name, index, capacity);
            HeapFree(GetProcessHeap(), 0, table);
        }
    }
    RegCloseKey(key);
    return found;
}

/* True when [offset, offset + length) lies inside a block of the size. */
static bool Fits(size_t size, size_t offset, size_t length)
{
    return offset <= size && length <= size - offset;
}

int FindPerformanceInstanceName(const BYTE *data, size_t size, DWORD idProcessIndex, DWORD processId,
                                char *name, DWORD capacity)
{
    if (capacity == 0 || !Fits(size, 0, sizeof(PERF_DATA_BLOCK)))
        return 0;
    size_t objectStart = ((const PERF_DATA_BLOCK *)data)->HeaderLength;
    if (!Fits(size, objectStart, sizeof(PERF_OBJECT_TYPE)))
        return 0;
    const PERF_OBJECT_TYPE *object = (const PERF_OBJECT_TYPE *)(data + objectStart);

    bool haveCounter = false;
    size_t counterOffset = 0;
    size_t definition = objectStart + object->HeaderLength;
    for (DWORD i = 0; i < object->NumCounters; ++i) {
        if (!Fits(size, definition, sizeof(PERF_COUNTER_DEFINITION)))
            return 0;
        const PERF_COUNTER_DEFINITION *counter = (const PERF_COUNTER_DEFINITION *)(data + definition);
        if (counter->CounterNameTitleIndex == idProcessIndex) {
            counterOffset = counter->CounterOffset;
            haveCounter = true;
            break;
        }
        if (counter->ByteLength == 0)
            return 0;
        definition += counter->ByteLength;
    }
    if (!haveCounter)
        return 0;

    /* The last instance is left out (on NT it is the "_Total" line). */
    size_t instanceStart = objectStart + object->DefinitionLength;
    for (LONG i = 0; i + 1 < object->NumInstances; ++i) {
        if (!Fits(size, instanceStart, sizeof(PERF_INSTANCE_DEFINITION)))
            return 0;
        const PERF_INSTANCE_DEFINITION *instance = (const PERF_INSTANCE_DEFINITION *)(data + instanceStart);
        size_t blockStart = instanceStart + instance->ByteLength;
        if (instance->ByteLength == 0 || !Fits(size, blockStart, sizeof(PERF_COUNTER_BLOCK)) ||
            !Fits(size, blockStart + counterOffset, sizeof(DWORD)))
            return 0;
        DWORD id;
        memcpy(&id, data + blockStart + counterOffset, sizeof id);
        if (id == processId) {
            size_t nameStart = instanceStart + instance->NameOffset;
            if (!Fits(size, nameStart, 0))
                return 0;
            /* UTF-16 up to its NUL, never beyond the block. */
            size_t available = (size - nameStart) / sizeof(WCHAR);
            const WCHAR *wide = (const WCHAR *)(data + nameStart);
            size_t length = 0;
            while (length < available && wide[length])
                ++length;
            /* Converted whole, then cut to fit: the conversion itself
             * refuses a buffer that is too small. */
            int needed = WideCharToMultiByte(CP_ACP, 0, wide, (int)length, NULL, 0, NULL, NULL);
            std::vector<char> converted((size_t)(needed > 0 ? needed : 0) + 1, '\0');
            if (needed > 0)
                WideCharToMultiByte(CP_ACP, 0, wide, (int)length, converted.data(), needed, NULL, NULL);
            lstrcpynA(name, converted.data(), (int)capacity);
            return 1;
        }
        const PERF_COUNTER_BLOCK *block = (const PERF_COUNTER_BLOCK *)(data + blockStart);
        if (block->ByteLength == 0)
            return 0;
        instanceStart = blockStart + block->ByteLength;
    }
    return 0;
}

int ProcessPathFromPerformanceData(DWORD processId, char *path, DWORD capacity)
{
    char processIndex[COUNTER_INDEX_CAPACITY];
    if (!LookUpCounterIndex("Process", processIndex, sizeof processIndex))
        return 0;

    DWORD size = PERFORMANCE_DATA_START;
    BYTE *data = (BYTE *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
    if (!data)
        return 0;
    DWORD got = size;
    LONG result;
    while ((result = RegQueryValueExA(HKEY_PERFORMANCE_DATA, processIndex, NULL, NULL, data, &got)) ==
           ERROR_MORE_DATA && size < PERFORMANCE_DATA_LIMIT) {
        size += PERFORMANCE_DATA_STEP;
        BYTE *larger = (BYTE *)HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, data, size);
        if (!larger)
            break;
        data = larger;
        got = size;
    }

    int found = 0;
    char idIndex[COUNTER_INDEX_CAPACITY];
    if (result == ERROR_SUCCESS && LookUpCounterIndex("ID Process", idIndex, sizeof idIndex))
        found = FindPerformanceInstanceName(data, got < size ? got : size, (DWORD)strtoul(idIndex, NULL, 10),
                                            processId, path, capacity);
    HeapFree(GetProcessHeap(), 0, data);
    RegCloseKey(HKEY_PERFORMANCE_DATA);
    return found;
}

int GetProcessImagePath(DWORD processId, char *path, DWORD capacity)
{
    if (capacity == 0)
        return 0;
    path[0] = '\0';
    DWORD version = GetVersion();
    if (!(version & 0x80000000)) {
        /* Windows NT: the performance data would only give the image name,
         * which cannot match a path; it is the last resort. */
        if (ProcessPathFromProcess(processId, path, capacity))
            return 1;
        return ProcessPathFromPerformanceData(processId, path, capacity);
    }
    if (LOBYTE(LOWORD(version)) >= 4)
        return ProcessPathFromSnapshot(processId, path, capacity);
    return 0; /* Win32s knows no other processes */
}
