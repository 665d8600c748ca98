// Fake LAUNCH32.dll. Every call is appended to launch32.log beside the DLL:
//   AOLIsInstalled -> <result>
//   AOLGetScreenName path=<app path>
//   AOLGoTo <n> name=<screen name> a=<text> b=<text> address=<address> <n> -> <result>
// Results come from launch32.ini beside the DLL, section [results]:
//   installed=<AOLIsInstalled result, default 0>
//   goto=<AOLGoTo result, default 0>
//   name=<screen name written to the sixth buffer, default "Tester">
#include <windows.h>

#include <string>

static HMODULE Self = nullptr;

static std::string BesideSelf(const char *name)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(Self, path, sizeof path);
    std::string dll(path, n);
    return dll.substr(0, dll.find_last_of('\\') + 1) + name;
}

static void Log(const std::string &text)
{
    std::string line = text + "\r\n";
    HANDLE file = CreateFileA(BesideSelf("launch32.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

static int Result(const char *name)
{
    return static_cast<int>(GetPrivateProfileIntA("results", name, 0, BesideSelf("launch32.ini").c_str()));
}

static std::string Text(const char *text) { return text ? text : "(null)"; }

extern "C" {

__declspec(dllexport) int WINAPI AOLIsInstalled()
{
    int result = Result("installed");
    Log("AOLIsInstalled -> " + std::to_string(result));
    return result;
}

__declspec(dllexport) int WINAPI
    AOLGetScreenName(char *appPath, char *name1, char *name2, char *name3, char *name4, char *name5, char *screenName)
{
    Log("AOLGetScreenName path=" + Text(appPath));
    char *others[] = {name1, name2, name3, name4, name5};
    for (char *name : others)
        lstrcpynA(name, "other", 12);
    char name[64];
    GetPrivateProfileStringA("results", "name", "Tester", name, sizeof name, BesideSelf("launch32.ini").c_str());
    memcpy(screenName, name, 12); // a name of 12 characters or more fills the buffer unterminated
    return 0;
}

__declspec(dllexport) int WINAPI
    AOLGoTo(int one, char *screenName, const char *empty1, const char *empty2, const char *address, int zero)
{
    int result = Result("goto");
    Log("AOLGoTo " + std::to_string(one) + " name=" + Text(screenName) + " a=" + Text(empty1) + " b=" + Text(empty2) +
        " address=" + Text(address) + " " + std::to_string(zero) + " -> " + std::to_string(result));
    return result;
}
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        Self = instance;
    return TRUE;
}
