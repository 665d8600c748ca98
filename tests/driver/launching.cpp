// Driver: what the launch tests need of processes and paths.
#include "driver.h"

#include <tlhelp32.h>

namespace driver {

std::vector<DWORD> ProcessIdsNamed(const char *exeName)
{
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) {
        const char *base = strrchr(entry.szExeFile, '\\');
        base = base ? base + 1 : entry.szExeFile;
        if (lstrcmpiA(base, exeName) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

std::string ShortPath(const std::string &path)
{
    char buffer[MAX_PATH];
    DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : "";
}

std::string LongPath(const std::string &path)
{
    char buffer[MAX_PATH];
    DWORD n = GetLongPathNameA(path.c_str(), buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : "";
}

HWND WaitForMessageBox(const char *caption, DWORD timeoutMs) { return WaitForWindow("#32770", caption, timeoutMs); }

SavedKey SaveKey(HKEY root, const std::string &path)
{
    SavedKey saved;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return saved;
    saved.existed = true;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameSize = sizeof name, type = 0, dataSize = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS)
            break;
        SavedValue value;
        value.name = std::string(name, nameSize);
        value.type = type;
        value.data.resize(dataSize);
        nameSize = sizeof name;
        RegEnumValueA(key, i, name, &nameSize, nullptr, &type, value.data.data(), &dataSize);
        saved.values.push_back(value);
    }
    RegCloseKey(key);
    return saved;
}

void RestoreKey(HKEY root, const std::string &path, const SavedKey &saved)
{
    DeleteTree(root, path);
    if (!saved.existed)
        return;
    HKEY key;
    if (RegCreateKeyA(root, path.c_str(), &key) != ERROR_SUCCESS)
        return;
    for (const SavedValue &value : saved.values)
        RegSetValueExA(key, value.name.empty() ? nullptr : value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
}

bool CaptureWindowShown(HWND window, const std::string &name)
{
    // A window of another process may not have painted yet when it is found.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    IsResponsive(window);
    return CaptureScreen(name);
}

} // namespace driver
