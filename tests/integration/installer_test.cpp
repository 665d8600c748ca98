// The Windows installer (build\springdeck-<version>-x86.exe), run silently as
// a user would from a script: install, upgrade over running copies, uninstall
// with and without the settings, and the cases where it must stop.
#include "fixture.h"
#include "version.h"
#include "../doubles/double_common.h"

#include <shlobj.h>

#include <cstdio>

namespace {

const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Springdeck";

std::string Folder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, csidl, NULL, 0, path);
    return path;
}

std::string InstallDir() { return Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Springdeck"; }
std::string InstalledExe() { return InstallDir() + "\\springdeck.exe"; }
std::string Shortcut() { return Folder(CSIDL_PROGRAMS) + "\\Springdeck.lnk"; }
bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

DWORD MainWindowProcessId()
{
    DWORD id = 0;
    GetWindowThreadProcessId(driver::FindMainWindow(), &id);
    return id;
}

// The "ProductVersion" text of a file's version resource, "" when none.
std::string ProductVersionOf(const std::string &file)
{
    DWORD ignored = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeA(file.c_str(), &ignored));
    if (info.empty() || !GetFileVersionInfoA(file.c_str(), 0, (DWORD)info.size(), info.data()))
        return "";
    WORD *translation = nullptr;
    char *text = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", (void **)&translation, &length) || length < 4)
        return "";
    char path[64];
    snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\ProductVersion", translation[0], translation[1]);
    return VerQueryValueA(info.data(), path, (void **)&text, &length) ? text : "";
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

    // Runs the installer (or the uninstaller) to its end and reports how long
    // it took; the exit code, STILL_ACTIVE when it did not end in time.
    static DWORD Run(const std::string &exe, const std::string &args)
    {
        DWORD start = GetTickCount();
        driver::Process process = driver::StartProgram(exe, args);
        DWORD code = driver::WaitExit(process, 60000);
        driver::CloseProcess(process);
        printf("%s %s: %lu ms\n", exe.substr(exe.rfind('\\') + 1).c_str(), args.c_str(), GetTickCount() - start);
        return code;
    }
    static DWORD Install() { return Run(driver::BuildDir() + "\\springdeck-" SD_VERSION_TEXT "-x86.exe", "/S"); }

    // The uninstaller hands its work to a copy of itself and returns at once:
    // done when the install folder is gone.
    static bool Uninstall(const std::string &args = "/S")
    {
        DWORD start = GetTickCount();
        driver::Process process = driver::StartProgram(InstallDir() + "\\uninstall.exe", args);
        driver::CloseProcess(process);
        bool gone = driver::WaitUntil([] { return !Exists(InstallDir()); }, 60000);
        printf("uninstall.exe %s: %lu ms\n", args.c_str(), GetTickCount() - start);
        return gone;
    }

    static std::string RunValue(HKEY root) { return driver::ReadString(root, driver::RunKeyPath, "Springdeck"); }
};

TEST_F(InstallerTest, SilentInstallStartsSpringdeckAndUninstallRemovesItButTheSettings)
{
    driver::ClearSettings();  // a user's first start
    ASSERT_EQ(Install(), 0u);
    for (const char *file : {"springdeck.exe", "springdeck.hlp", "uninstall.exe"})
        EXPECT_TRUE(Exists(InstallDir() + "\\" + file)) << file;
    EXPECT_TRUE(Exists(Shortcut()));
    EXPECT_EQ(driver::ReadString(HKEY_CURRENT_USER, UninstallKey, "DisplayName"), "Springdeck");
    EXPECT_EQ(driver::ReadString(HKEY_CURRENT_USER, UninstallKey, "DisplayVersion"), SD_VERSION_TEXT);
    EXPECT_EQ(driver::ReadString(HKEY_CURRENT_USER, UninstallKey, "Publisher"), "Tolvane Keyboards");
    EXPECT_EQ(driver::ReadString(HKEY_CURRENT_USER, UninstallKey, "DisplayIcon"), InstalledExe());
    EXPECT_EQ(driver::ReadString(HKEY_CURRENT_USER, UninstallKey, "InstallLocation"), InstallDir());
    EXPECT_EQ(driver::ReadString(HKEY_CURRENT_USER, UninstallKey, "QuietUninstallString"),
              "\"" + InstallDir() + "\\uninstall.exe\" /S");
    DWORD sizeKb = 0;
    EXPECT_TRUE(driver::ReadDword(HKEY_CURRENT_USER, UninstallKey, "EstimatedSize", &sizeKb) && sizeKb > 100);
    EXPECT_EQ(ProductVersionOf(driver::BuildDir() + "\\springdeck-" SD_VERSION_TEXT "-x86.exe"), SD_VERSION_TEXT);
    EXPECT_EQ(ProductVersionOf(InstallDir() + "\\uninstall.exe"), SD_VERSION_TEXT);

    // The installed copy runs and does what a first start does.
    EXPECT_NE(driver::WaitForWindow("#32770", "Springdeck from Tolvane Keyboards"), (HWND)NULL);
    EXPECT_NE(driver::FindMainWindow(), (HWND)NULL);
    EXPECT_TRUE(driver::WaitUntil([] { return RunValue(HKEY_LOCAL_MACHINE) == InstalledExe(); }));

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
    driver::WriteValue(HKEY_CURRENT_USER, driver::RunKeyPath, "Springdeck", REG_SZ,
                       driver::SpringdeckExe().c_str(), (DWORD)driver::SpringdeckExe().size() + 1);
    Start();
    ASSERT_EQ(Install(), 0u);
    EXPECT_NE(driver::WaitExit(springdeck, 5000), (DWORD)STILL_ACTIVE) << "the other copy was not ended";
    ASSERT_TRUE(driver::WaitUntil([] { return driver::FindMainWindow() != NULL; }));
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER), InstalledExe());

    // Again over the installed copy: replaced, restarted, one instance.
    DWORD before = MainWindowProcessId();
    ASSERT_EQ(Install(), 0u);
    ASSERT_TRUE(driver::WaitUntil([&] { DWORD now = MainWindowProcessId(); return now && now != before; }));
    EXPECT_EQ(driver::ProcessIdsNamed("springdeck.exe").size(), 1u);
    EXPECT_EQ(driver::Setting("title", "F5"), "Example");
    EXPECT_EQ(driver::WaitForWindow("#32770", "Springdeck from Tolvane Keyboards", 500), (HWND)NULL);

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

    HANDLE other = CreateMutexA(NULL, FALSE, "Springdeck Installer");
    EXPECT_EQ(Install(), 2u) << "refused";
    EXPECT_FALSE(Exists(InstallDir()));
    CloseHandle(other);
}

}  // namespace
