// Driver: reading and writing Springdeck's settings and other registry keys.
#include "driver.h"

#include <sddl.h>
#include <shlwapi.h>

namespace driver {

const char *const SettingsPath = "Software\\Tolvane Keyboards\\Springdeck";
const char *const RunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void DeleteTree(HKEY root, const std::string &path) { SHDeleteKeyA(root, path.c_str()); }

void ClearSettings()
{
    DeleteTree(HKEY_CURRENT_USER, SettingsPath);
    DeleteTree(HKEY_CURRENT_USER, "Software\\Tolvane Keyboards");
}

void WriteValue(HKEY root, const std::string &path, const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyA(root, path.c_str(), &key) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
}

void WriteString(HKEY root, const std::string &path, const char *name, const std::string &text, DWORD type)
{
    WriteValue(root, path, name, type, text.c_str(), static_cast<DWORD>(text.size()) + 1);
}

void SetSetting(const char *subkey, const char *name, const std::string &text)
{
    WriteString(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\" + subkey, name, text);
}

void SetSettingDword(const char *subkey, const char *name, DWORD value)
{
    WriteValue(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\" + subkey, name, REG_DWORD, &value, sizeof value);
}

void AssignKey(const char *keyName, const std::string &commandLine, const std::string &args, const std::string &title,
               const std::string &icon, DWORD iconIndex)
{
    SetSetting("command line", keyName, commandLine);
    SetSetting("args", keyName, args);
    SetSetting("title", keyName, title);
    SetSetting("icon", keyName, icon);
    SetSettingDword("icon index", keyName, iconIndex);
}

bool ReadValue(HKEY root, const std::string &path, const char *name, DWORD *type, std::vector<BYTE> *data)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    bool ok = RegQueryValueExA(key, name, nullptr, type, nullptr, &size) == ERROR_SUCCESS;
    if (ok) {
        data->assign(size, 0);
        ok = RegQueryValueExA(key, name, nullptr, type, data->data(), &size) == ERROR_SUCCESS;
        data->resize(size);
    }
    RegCloseKey(key);
    return ok;
}

std::string ReadString(HKEY root, const std::string &path, const char *name)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadValue(root, path, name, &type, &data))
        return "";
    std::string text(data.begin(), data.end());
    return text.substr(0, text.find('\0'));
}

bool ReadDword(HKEY root, const std::string &path, const char *name, DWORD *value)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadValue(root, path, name, &type, &data) || type != REG_DWORD || data.size() != 4)
        return false;
    memcpy(value, data.data(), 4);
    return true;
}

bool ValueExists(HKEY root, const std::string &path, const char *name)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    return ReadValue(root, path, name, &type, &data);
}

void DeleteValue(HKEY root, const std::string &path, const char *name)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

std::string Setting(const char *subkey, const char *name)
{
    return ReadString(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\" + subkey, name);
}

bool DenyWrites(HKEY root, const std::string &path, bool deny)
{
    // Everyone may read; with deny, no one may set or delete values or add
    // subkeys (KEY_SET_VALUE | KEY_CREATE_SUB_KEY).
    const char *descriptor = deny ? "D:P(D;;0x6;;;WD)(A;;KA;;;WD)" : "D:P(A;;KA;;;WD)";
    PSECURITY_DESCRIPTOR security = nullptr;
    HKEY key;
    if (RegCreateKeyA(root, path.c_str(), &key) != ERROR_SUCCESS)
        return false;
    bool done = ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor, SDDL_REVISION_1, &security, nullptr) &&
                RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security) == ERROR_SUCCESS;
    LocalFree(security);
    RegCloseKey(key);
    return done;
}

} // namespace driver
