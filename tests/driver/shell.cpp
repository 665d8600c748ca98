// Driver: shell fixtures (shortcuts, the Start Menu folder, the stand-in
// Dial-Up Networking folder) and clicking owner-drawn list items.
#include "driver.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace driver {

bool CreateShortcut(const std::string &linkPath, const std::string &target, const std::string &args,
                    const std::string &iconPath, int iconIndex)
{
    HRESULT com = CoInitialize(nullptr);
    IShellLinkA *link = nullptr;
    IPersistFile *file = nullptr;
    bool saved = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void **>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))) {
        link->SetPath(target.c_str());
        link->SetArguments(args.c_str());
        if (!iconPath.empty())
            link->SetIconLocation(iconPath.c_str(), iconIndex);
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
        saved = SUCCEEDED(file->Save(wide, TRUE));
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    if (SUCCEEDED(com))
        CoUninitialize();
    return saved;
}

// Wine rewrites "Shell Folders" from "User Shell Folders" whenever a program
// asks the shell for a folder, so both are set (and put back).
const struct {
    HKEY root;
    const char *key;
    const char *name;
    DWORD type;
} StartMenuValues[] = {
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Start Menu", REG_SZ},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", "Start Menu",
     REG_EXPAND_SZ},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Common Start Menu",
     REG_SZ},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
     "Common Start Menu", REG_EXPAND_SZ},
};
static std::string SavedStartMenu[4];
static bool StartMenuSaved = false;

// Sets one of the values above, or removes it for an empty folder.
static void SetStartMenuValue(int i, const std::string &folder)
{
    if (folder.empty())
        DeleteValue(StartMenuValues[i].root, StartMenuValues[i].key, StartMenuValues[i].name);
    else
        WriteString(StartMenuValues[i].root, StartMenuValues[i].key, StartMenuValues[i].name, folder,
                    StartMenuValues[i].type);
}

void PointStartMenuAt(const std::string &folder, const std::string &allUsersFolder)
{
    for (int i = 0; i < 4; ++i) {
        if (!StartMenuSaved)
            SavedStartMenu[i] = ReadString(StartMenuValues[i].root, StartMenuValues[i].key, StartMenuValues[i].name);
        SetStartMenuValue(i, i < 2 ? folder : allUsersFolder);
    }
    StartMenuSaved = true;
}

void RestoreStartMenuFolder()
{
    if (!StartMenuSaved)
        return;
    for (int i = 0; i < 4; ++i)
        SetStartMenuValue(i, SavedStartMenu[i]);
    StartMenuSaved = false;
}

// ---- the stand-in Dial-Up Networking folder ------------------------------------

constexpr char DialUpClassPath[] = "Software\\Classes\\CLSID\\{992CFFA0-F557-101A-88EC-00DD010CCC48}";
constexpr char DialUpNameSpacePath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\NameSpace\\"
    "{992CFFA0-F557-101A-88EC-00DD010CCC48}";
constexpr char DialUpConfigPath[] = "Software\\Springdeck Test Doubles\\Dial-Up";

std::string DialUpLogPath() { return BuildDir() + "\\tests\\doubles\\dialup.log"; }

void RegisterDialUpFolder(const std::vector<std::string> &names)
{
    std::string dll = BuildDir() + "\\tests\\doubles\\dialup.dll";
    std::string server = std::string(DialUpClassPath) + "\\InprocServer32";
    WriteString(HKEY_LOCAL_MACHINE, DialUpClassPath, nullptr, "Dial-Up Networking");
    WriteString(HKEY_LOCAL_MACHINE, server, nullptr, dll);
    WriteValue(HKEY_LOCAL_MACHINE, server, "ThreadingModel", REG_SZ, "Apartment", 10);
    DWORD attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
    WriteValue(HKEY_LOCAL_MACHINE, std::string(DialUpClassPath) + "\\ShellFolder", "Attributes", REG_DWORD, &attributes,
               sizeof attributes);
    WriteValue(HKEY_LOCAL_MACHINE, DialUpNameSpacePath, nullptr, REG_SZ, "Dial-Up Networking", 19);
    std::string list;
    for (const std::string &name : names)
        list += name + '\0';
    list += '\0';
    WriteValue(HKEY_CURRENT_USER, DialUpConfigPath, "connections", REG_MULTI_SZ, list.data(), list.size());
    DeleteFileA(DialUpLogPath().c_str());
}

void UnregisterDialUpFolder()
{
    DeleteTree(HKEY_LOCAL_MACHINE, DialUpClassPath);
    DeleteTree(HKEY_LOCAL_MACHINE, DialUpNameSpacePath);
    DeleteTree(HKEY_CURRENT_USER, "Software\\Springdeck Test Doubles");
    DeleteFileA(DialUpLogPath().c_str());
}

// ---- list boxes ------------------------------------------------------------------

void ClickListItem(HWND list, int index, bool doubleClick)
{
    int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0));
    LPARAM point = MAKELPARAM(8, (index - top) * height + height / 2);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
    if (doubleClick) {
        PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        PostMessageA(list, WM_LBUTTONUP, 0, point);
    }
}

} // namespace driver
