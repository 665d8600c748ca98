/* Finding the executables of running programs. The Toolhelp32 snapshot
 * functions are looked up at run time: Windows NT 4 does not have them. */
#include "launch/launch.h"

#include <tlhelp32.h>

typedef HANDLE(WINAPI *CreateSnapshotFunction)(DWORD, DWORD);
typedef BOOL(WINAPI *ProcessWalkFunction)(HANDLE, PROCESSENTRY32 *);

static CreateSnapshotFunction CreateSnapshot = NULL;
static ProcessWalkFunction ProcessFirst = NULL;
static ProcessWalkFunction ProcessNext = NULL;

BOOL InitProcessLookup()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return FALSE;
    CreateSnapshot = (CreateSnapshotFunction)(void *)GetProcAddress(kernel, "CreateToolhelp32Snapshot");
    ProcessFirst = (ProcessWalkFunction)(void *)GetProcAddress(kernel, "Process32First");
    ProcessNext = (ProcessWalkFunction)(void *)GetProcAddress(kernel, "Process32Next");
    return CreateSnapshot && ProcessFirst && ProcessNext;
}
