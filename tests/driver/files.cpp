// Driver: making and removing the files, folders and folder links a test
// needs.
#include "driver.h"

#include <shellapi.h>
#include <shlobj.h>

namespace driver {

namespace {

// The folder links made so far: removed before anything walks into them.
std::vector<std::string> &Links()
{
    static std::vector<std::string> links;
    return links;
}

bool IsFolderLink(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// Wine starts a Unix program given by its Z: path (it gives no process
// handle for it, so the result is waited for by its effect).
void RunUnixTool(const char *tool, const std::string &args, const std::string &folder)
{
    Process process = StartProgram(std::string("Z:\\bin\\") + tool, args, SW_HIDE, folder);
    CloseProcess(process);
}

void RemoveFolderLink(const std::string &link)
{
    size_t slash = link.find_last_of('\\');
    if (IsWine())
        RunUnixTool("rm", "-f \"" + link.substr(slash + 1) + "\"", link.substr(0, slash));
    else
        RemoveDirectoryA(link.c_str());
    WaitUntil([&] { return GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; }, 5000);
}

} // namespace

bool MakeFolderLink(const std::string &link, const std::string &target)
{
    size_t slash = link.find_last_of('\\');
    if (IsWine()) {
        RunUnixTool("ln", "-s " + target + " \"" + link.substr(slash + 1) + "\"", link.substr(0, slash));
    } else {
        using CreateLink = BOOLEAN(WINAPI *)(LPCSTR link, LPCSTR target, DWORD flags);
        auto create = reinterpret_cast<CreateLink>(
            reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
        std::string windowsTarget = target;
        for (char &c : windowsTarget)
            c = c == '/' ? '\\' : c;
        if (create)
            create(link.c_str(), windowsTarget.c_str(), 1 /* SYMBOLIC_LINK_FLAG_DIRECTORY */);
    }
    bool made = WaitUntil([&] { return IsFolderLink(link); }, 5000);
    if (made)
        Links().push_back(link);
    return made;
}

void RemoveFolder(const std::string &folder)
{
    std::vector<std::string> &links = Links();
    for (size_t i = links.size(); i-- > 0;) {
        if (links[i].compare(0, folder.size() + 1, folder + "\\") == 0) {
            RemoveFolderLink(links[i]);
            links.erase(links.begin() + static_cast<long>(i));
        }
    }
    std::string from = folder + '\0'; // a list of names, ended by an empty one
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}

} // namespace driver

namespace driver {

std::string MakeAppDataFolder(int csidl, const std::string &path, std::vector<std::string> *made)
{
    char base[MAX_PATH] = "";
    if (SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, base) != S_OK)
        return "";
    std::string folder;
    for (size_t at = 0; at != std::string::npos;) {
        at = path.find('\\', at + 1);
        folder = base + ("\\" + path.substr(0, at));
        bool inside = false;
        for (const std::string &outer : *made)
            inside = inside || folder.rfind(outer + "\\", 0) == 0;
        if (CreateDirectoryA(folder.c_str(), nullptr) && !inside)
            made->push_back(folder);
    }
    return folder;
}

std::string MozLz4Literals(const std::string &json)
{
    std::string file("mozLz40\0", 8);
    for (int shift = 0; shift < 32; shift += 8)
        file += static_cast<char>(json.size() >> shift);
    // One sequence of literals only: the length past 15 in bytes of 255 and a
    // last one below 255.
    file += '\xF0';
    size_t rest = json.size() - 15;
    for (; rest >= 255; rest -= 255)
        file += '\xFF';
    return file + static_cast<char>(rest) + json;
}

} // namespace driver
