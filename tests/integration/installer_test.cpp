// The Windows installer (build\springdeck-<version>-x86.exe), run silently as
// a script would: install, upgrade over running copies, uninstall with and
// without the settings, and the cases where it must stop.
#include "fixture.h"
#include "version.h"
#include "../doubles/double_common.h"

#include <shlobj.h>

#include <cstdio>

namespace {

const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Springdeck";
const std::string Installer = "\\springdeck-" SD_VERSION_TEXT "-x86.exe";

std::string Folder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, csidl, NULL, 0, path);
    return path;
}
std::string InstallDir() { return Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Springdeck"; }
std::string Shortcut() { return Folder(CSIDL_PROGRAMS) + "\\Springdeck.lnk"; }
bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string RunValue(HKEY root) { return driver::ReadString(root, driver::RunKeyPath, "Springdeck"); }

// The product version of a file's version resource, as major * 100 + minor.
DWORD ProductVersionOf(const std::string &file)
{
    std::vector<BYTE> info(GetFileVersionInfoSizeA(file.c_str(), NULL) + 1);
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    return GetFileVersionInfoA(file.c_str(), 0, (DWORD)info.size(), info.data()) &&
                   VerQueryValueA(info.data(), "\\", (void **)&fixed, &length)
               ? HIWORD(fixed->dwProductVersionMS) * 100 + LOWORD(fixed->dwProductVersionMS)
               : 0;
}

class InstallerTest : public SpringdeckTest {
protected:
    void TearDown() override
    {
        driver::StopSpringdeck();
        driver::RemoveFolder(InstallDir());
        DeleteFileA(Shortcut().c_str());
        driver::DeleteTree(HKEY_CURRENT_USER, UninstallKey);
        driver::DeleteValue(HKEY_CURRENT_USER, driver::RunKeyPath, "Springdeck");
        SpringdeckTest::TearDown();
    }

    // Runs the installer silently to its end; its exit code.
    static DWORD Install()
    {
        DWORD start = GetTickCount();
        driver::Process process = driver::StartProgram(driver::BuildDir() + Installer, "/S");
        DWORD code = driver::WaitExit(process, 60000);
        driver::CloseProcess(process);
        printf("install: %lu ms\n", GetTickCount() - start);
        return code;
    }

    // The uninstaller hands its work to a copy of itself and returns at once;
    // the install folder goes last.
    static bool Uninstall(const std::string &args = "/S")
    {
        DWORD start = GetTickCount();
        driver::Process process = driver::StartProgram(InstallDir() + "\\uninstall.exe", args);
        driver::CloseProcess(process);
        bool done = driver::WaitUntil([] { return !Exists(InstallDir()); }, 60000);
        printf("uninstall %s: %lu ms\n", args.c_str(), GetTickCount() - start);
        return done;
    }
};

TEST_F(InstallerTest, SilentInstallStartsSpringdeckAndUninstallRemovesItButTheSettings)
{
    driver::ClearSettings();  // the user's first start
    ASSERT_EQ(Install(), 0u);
    for (const char *file : {"springdeck.exe", "springdeck.hlp", "uninstall.exe"})
        EXPECT_TRUE(Exists(InstallDir() + "\\" + file)) << file;
    EXPECT_TRUE(Exists(Shortcut()));
    const std::string exe = InstallDir() + "\\springdeck.exe";
    for (auto [name, value] : {std::pair<const char *, std::string>{"DisplayName", "Springdeck"},
                               {"DisplayVersion", SD_VERSION_TEXT}, {"Publisher", "Tolvane Keyboards"},
                               {"DisplayIcon", exe}, {"InstallLocation", InstallDir()},
                               {"QuietUninstallString", "\"" + InstallDir() + "\\uninstall.exe\" /S"}})
        EXPECT_EQ(driver::ReadString(HKEY_CURRENT_USER, UninstallKey, name), value) << name;
    DWORD sizeKb = 0;
    EXPECT_TRUE(driver::ReadDword(HKEY_CURRENT_USER, UninstallKey, "EstimatedSize", &sizeKb) && sizeKb > 100);
    for (const std::string &file : {driver::BuildDir() + Installer, InstallDir() + "\\uninstall.exe"})
        EXPECT_EQ(ProductVersionOf(file), DWORD(SD_VERSION_MAJOR * 100 + SD_VERSION_MINOR)) << file;

    // The installed copy runs and does what a first start does.
    EXPECT_TRUE(driver::WaitUntil([&] { return RunValue(HKEY_LOCAL_MACHINE) == exe; }, 60000));
    EXPECT_NE(driver::WaitForWindow("#32770", "Springdeck from Tolvane Keyboards", 60000), (HWND)NULL);

    ASSERT_TRUE(Uninstall());
    EXPECT_EQ(driver::FindMainWindow(), (HWND)NULL);
    EXPECT_FALSE(Exists(Shortcut()));
    EXPECT_FALSE(driver::ValueExists(HKEY_CURRENT_USER, UninstallKey, "DisplayName"));
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), "");
    DWORD installed = 0;
    EXPECT_TRUE(driver::ReadDword(HKEY_CURRENT_USER, std::string(driver::SettingsPath) + "\\options", "installed",
                                  &installed) && installed == 1) << "settings kept";
}

TEST_F(InstallerTest, UpgradeEndsRunningCopiesKeepsSettingsAndRestarts)
{
    // A copy running from another folder, started with Windows from there.
    driver::AssignKey("F5", "http://example.com/", "", "Example");
    const std::string other = driver::SpringdeckExe();
    driver::WriteValue(HKEY_CURRENT_USER, driver::RunKeyPath, "Springdeck", REG_SZ, other.c_str(), other.size() + 1);
    Start();
    ASSERT_EQ(Install(), 0u);
    EXPECT_NE(driver::WaitExit(springdeck, 5000), (DWORD)STILL_ACTIVE) << "the other copy was not ended";
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER), InstallDir() + "\\springdeck.exe");

    // Again over the installed copy: replaced, restarted, one instance.
    auto runningId = [] { DWORD id = 0; GetWindowThreadProcessId(driver::FindMainWindow(), &id); return id; };
    ASSERT_TRUE(driver::WaitUntil([&] { return runningId() != 0; }));
    DWORD before = runningId();
    ASSERT_EQ(Install(), 0u);
    ASSERT_TRUE(driver::WaitUntil([&] { return runningId() != 0 && runningId() != before; }));
    EXPECT_EQ(driver::ProcessIdsNamed("springdeck.exe").size(), 1u);
    EXPECT_EQ(driver::Setting("title", "F5"), "Example");

    // Uninstalling with the settings: the store goes too.
    ASSERT_TRUE(Uninstall("/S /REMOVESETTINGS"));
    EXPECT_EQ(driver::FindMainWindow(), (HWND)NULL);
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER), "");
    HKEY key = NULL;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, driver::SettingsPath, 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(InstallerTest, StopsForACopyThatWillNotCloseAndForASecondInstaller)
{
    // A window of Springdeck's class and title that ignores "close".
    RegisterDoubleClass("Springdeck", DefWindowProcA);
    HWND hung = CreateWindowExA(0, "Springdeck", "Springdeck", WS_OVERLAPPED, 0, 0, 0, 0, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    DWORD start = GetTickCount();
    EXPECT_EQ(Install(), 2u) << "cancelled";
    EXPECT_GE(GetTickCount() - start, 5000u);
    EXPECT_TRUE(IsWindow(hung));
    EXPECT_FALSE(Exists(InstallDir()));
    DestroyWindow(hung);

    HANDLE otherInstaller = CreateMutexA(NULL, FALSE, "Springdeck Installer");
    EXPECT_EQ(Install(), 2u) << "refused";
    EXPECT_FALSE(Exists(InstallDir()));
    CloseHandle(otherInstaller);
}

}  // namespace
