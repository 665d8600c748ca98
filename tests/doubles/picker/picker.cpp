// Runs the program assignment dialog outside the setup dialogs:
//   picker.exe KEYID [TIMES]  -> exit code = the last PickProgram result
// TIMES > 1 opens the dialog again after it closes, from the same cache.
// It reads the Start Menu the way Springdeck does at start-up first. With
// PICKER_LOG set, each result is logged with the bytes then in use on the
// process's heaps and the number of the dialog's GDI objects and preview
// icon (seen as the dialog was destroyed) that are still alive:
//   result R heap BYTES live N/M
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/core.h"
#include "picking/picking.h"

static unsigned long long HeapBytesInUse()
{
    std::vector<HANDLE> heaps(64);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count > heaps.size())
        count = static_cast<DWORD>(heaps.size());
    unsigned long long used = 0;
    for (DWORD i = 0; i < count; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry;
        entry.lpData = nullptr;
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                used += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return used;
}

// The objects the program dialog owned, caught as it was being destroyed.
static std::array<HGDIOBJ, 3> DialogObjects;
static HICON PreviewIcon;

static LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    char title[64] = "";
    if (code == HCBT_DESTROYWND && GetWindowTextA(window, title, sizeof title) &&
        lstrcmpA(title, "Assign a software program") == 0) {
        DialogObjects[0] = GetPropA(window, "bold font");
        DialogObjects[1] = GetPropA(window, "bmp1");
        DialogObjects[2] = GetPropA(window, "bmp2");
        PreviewIcon = reinterpret_cast<HICON>(SendDlgItemMessageA(window, 493, STM_GETICON, 0, 0));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

static int CountLive(int *seen)
{
    int live = 0;
    *seen = 0;
    for (HGDIOBJ object : DialogObjects) {
        *seen += object != nullptr;
        live += object && GetObjectType(object) != 0;
    }
    ICONINFO info;
    if (PreviewIcon) {
        ++*seen;
        if (GetIconInfo(PreviewIcon, &info)) {
            ++live;
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
    }
    return live;
}

static void LogResult(int result)
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("PICKER_LOG", path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return;
    FILE *log = fopen(path, "a");
    if (!log)
        return;
    int seen = 0;
    int live = CountLive(&seen);
    fprintf(log, "result %d heap %llu live %d/%d\n", result, HeapBytesInUse(), live, seen);
    fclose(log);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    AppInstance = instance;
    CoInitialize(nullptr);
    BuildStartMenuCache();
    SetWindowsHookExA(WH_CBT, WatchDestroy, nullptr, GetCurrentThreadId());
    char *rest = nullptr;
    UINT keyId = static_cast<UINT>(strtoul(commandLine, &rest, 10));
    long times = strtol(rest, nullptr, 10);
    int result = 0;
    for (long i = 0; i < (times > 1 ? times : 1); ++i) {
        DialogObjects = {};
        PreviewIcon = nullptr;
        result = static_cast<int>(PickProgram(nullptr, keyId ? keyId : KEY_FIRST));
        LogResult(result);
    }
    CoUninitialize();
    return result;
}
