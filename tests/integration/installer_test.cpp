// The Windows installer (build\springdeck-<version>-x86.exe), run silently as
// a script would: install, upgrade over running copies, uninstall with and
// without the settings, and the cases where it must stop.
#include "core/core.h"
#include "fixture.h"
#include "version.h"
#include "../doubles/double_common.h"

#include <shlobj.h>

namespace {

constexpr char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Springdeck";
const std::string Installer = "\\springdeck-" SD_VERSION_TEXT "-x86.exe";
const std::string Uninstaller = "\\Uninstall Springdeck.exe";

std::string Folder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}
std::string InstallDir() { return Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Springdeck"; }
std::string Shortcut() { return Folder(CSIDL_PROGRAMS) + "\\Springdeck.lnk"; }
bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string RunValue(HKEY root) { return driver::ReadString(root, driver::RunKeyPath, "Springdeck"); }
const std::vector<std::string> Others = {"another program's"}; // a file of another program, as lines

// The product version of a file's version resource, as major * 100 + minor.
DWORD ProductVersionOf(const std::string &file)
{
    std::vector<BYTE> info(GetFileVersionInfoSizeA(file.c_str(), nullptr) + 1);
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    return GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(info.size()), info.data()) &&
                   VerQueryValueA(info.data(), "\\", reinterpret_cast<void **>(&fixed), &length)
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

    // Runs the installer silently into the folder given (any characters) or the default one; its exit code.
    static DWORD Install(const std::wstring &folder = L"")
    {
        std::wstring line = L"\"" + driver::Wide(driver::BuildDir() + Installer) + L"\" /S";
        line += folder.empty() ? L"" : L" /D=" + folder;
        STARTUPINFOW startup = {sizeof startup};
        PROCESS_INFORMATION info = {};
        EXPECT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
        CloseHandle(info.hThread);
        driver::Process process{info.hProcess, info.dwProcessId};
        DWORD code = driver::WaitExit(process, 60000);
        driver::CloseProcess(process);
        return code;
    }

    // Runs the registered quiet uninstall (options after its "/S") to its end; its exit code.
    static DWORD Uninstall(const std::string &options = "")
    {
        std::string quiet = driver::ReadString(HKEY_CURRENT_USER, UninstallKey, "QuietUninstallString");
        size_t exeEnd = quiet.find('"', 1);
        std::string args = quiet.substr(exeEnd + 2).insert(2, options);
        driver::Process process = driver::StartProgram(quiet.substr(1, exeEnd - 1), args);
        DWORD code = driver::WaitExit(process, 60000);
        driver::CloseProcess(process);
        return code;
    }
};

TEST_F(InstallerTest, SilentInstallStartsSpringdeckAndUninstallRemovesItButTheSettings)
{
    driver::ClearSettings();                                      // the user's first start
    SHCreateDirectoryExA(nullptr, InstallDir().c_str(), nullptr); // the user's own empty folder: it stays
    ASSERT_EQ(Install(), 0u);
    for (const char *file : {"springdeck.exe", "springdeck.hlp", Uninstaller.c_str() + 1})
        EXPECT_TRUE(Exists(InstallDir() + "\\" + file)) << file;
    EXPECT_TRUE(Exists(Shortcut()));
    const std::string exe = InstallDir() + "\\springdeck.exe";
    for (auto [name, value] :
         {std::pair<const char *, std::string>{"DisplayName", "Springdeck"},
          {"DisplayVersion", SD_VERSION_TEXT},
          {"Publisher", "Tolvane Keyboards"},
          {"DisplayIcon", exe},
          {"InstallLocation", InstallDir()},
          {"QuietUninstallString", "\"" + InstallDir() + Uninstaller + "\" /S _?=" + InstallDir()}})
        EXPECT_EQ(driver::ReadString(HKEY_CURRENT_USER, UninstallKey, name), value) << name;
    DWORD sizeKb = 0;
    EXPECT_TRUE(driver::ReadDword(HKEY_CURRENT_USER, UninstallKey, "EstimatedSize", &sizeKb) && sizeKb > 100);
    for (const std::string &file : {driver::BuildDir() + Installer, InstallDir() + Uninstaller})
        EXPECT_EQ(ProductVersionOf(file), static_cast<DWORD>(SD_VERSION_MAJOR * 100 + SD_VERSION_MINOR)) << file;

    // The installed copy runs and does what a first start does.
    EXPECT_TRUE(driver::WaitUntil([&] { return RunValue(HKEY_LOCAL_MACHINE).find(exe) != std::string::npos; }, 60000));
    EXPECT_NE(driver::WaitForWindow("#32770", "Springdeck from Tolvane Keyboards", 60000), nullptr);

    // Uninstalled while a portable copy runs, with a quoted Run value: the
    // quiet uninstall is done when it returns, and leaves that copy alone.
    driver::StopSpringdeck();
    Start();
    const std::string quoted = "\"" + exe + "\"";
    driver::WriteValue(HKEY_CURRENT_USER, driver::RunKeyPath, "Springdeck", REG_SZ, quoted.c_str(), quoted.size() + 1);
    ASSERT_EQ(Uninstall(), 0u);
    EXPECT_FALSE(Exists(exe));
    EXPECT_TRUE(driver::WaitUntil([] { return !Exists(InstallDir() + Uninstaller); }) && Exists(InstallDir()));
    EXPECT_NE(driver::FindMainWindow(), nullptr);
    EXPECT_FALSE(Exists(Shortcut()));
    EXPECT_FALSE(driver::ValueExists(HKEY_CURRENT_USER, UninstallKey, "DisplayName"));
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), "");
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER), "");
    DWORD installed = 0;
    EXPECT_TRUE(driver::ReadDword(HKEY_CURRENT_USER, std::string(driver::SettingsPath) + "\\options", "installed",
                                  &installed) &&
                installed == 1)
        << "settings kept";
}

TEST_F(InstallerTest, UpgradeEndsRunningCopiesKeepsSettingsAndRestarts)
{
    // A copy running from another folder, started with Windows from there.
    driver::AssignKey("F5", "http://example.com/", "", "Example");
    const std::string other = driver::SpringdeckExe();
    driver::WriteValue(HKEY_CURRENT_USER, driver::RunKeyPath, "Springdeck", REG_SZ, other.c_str(), other.size() + 1);
    Start();
    ASSERT_EQ(Install(), 0u);
    EXPECT_NE(driver::WaitExit(springdeck, 5000), static_cast<DWORD>(STILL_ACTIVE)) << "the other copy was not ended";
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER), "\"" + InstallDir() + "\\springdeck.exe\"");

    // Again over the installed copy, whose entry is one of an earlier version
    // (uninstall.exe, no word on the folder): replaced, restarted, one
    // instance, that uninstaller gone.
    MoveFileA((InstallDir() + Uninstaller).c_str(), (InstallDir() + "\\uninstall.exe").c_str());
    const std::string old = "\"" + InstallDir() + "\\uninstall.exe\"";
    driver::WriteValue(HKEY_CURRENT_USER, UninstallKey, "UninstallString", REG_SZ, old.c_str(), old.size() + 1);
    driver::DeleteValue(HKEY_CURRENT_USER, UninstallKey, "CreatedInstallLocation");
    auto runningId = [] {
        DWORD id = 0;
        GetWindowThreadProcessId(driver::FindMainWindow(), &id);
        return id;
    };
    ASSERT_TRUE(driver::WaitUntil([&] { return runningId() != 0; }));
    DWORD before = runningId();
    ASSERT_EQ(Install(), 0u);
    ASSERT_TRUE(driver::WaitUntil([&] { return runningId() != 0 && runningId() != before; }));
    EXPECT_EQ(driver::ProcessIdsNamed("springdeck.exe").size(), 1u);
    EXPECT_EQ(driver::Setting("title", "F5"), "Example");
    EXPECT_FALSE(Exists(InstallDir() + "\\uninstall.exe"));

    // Into a folder of another program's uninstaller and data: the first
    // install and its folder go, the copy runs from there, only its own files count.
    const std::string moved = driver::ScratchDir();
    AppendLogLine(moved + "\\uninstall.exe", Others[0] + "\n");
    AppendLogLine(moved + "\\big.dat", std::string(4 << 20, 'x'));
    ASSERT_EQ(Install(driver::Wide(moved)), 0u);
    EXPECT_FALSE(Exists(InstallDir()));
    DWORD sizeKb = 0;
    EXPECT_TRUE(driver::ReadDword(HKEY_CURRENT_USER, UninstallKey, "EstimatedSize", &sizeKb) && sizeKb < 2048);
    EXPECT_TRUE(driver::WaitUntil([&] { return runningId() != 0; }));

    // Uninstalling with the settings: the store goes too, the other files stay.
    ASSERT_EQ(Uninstall(" /REMOVESETTINGS"), 0u);
    EXPECT_FALSE(Exists(moved + "\\springdeck.exe"));
    EXPECT_EQ(driver::ReadLines(moved + "\\uninstall.exe"), Others);
    EXPECT_EQ(driver::FindMainWindow(), nullptr);
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER), "");
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, driver::SettingsPath, 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(InstallerTest, StopsBeforeDoingHarmWithANonZeroExitCode)
{
    // A window of Springdeck's class and title that ignores "close".
    RegisterDoubleClass("Springdeck", DefWindowProcA);
    HWND hung = CreateWindowExA(0, "Springdeck", "Springdeck", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    DWORD start = GetTickCount();
    EXPECT_EQ(Install(), 2u) << "cancelled";
    EXPECT_GE(GetTickCount() - start, 5000u);
    EXPECT_TRUE(IsWindow(hung));
    EXPECT_FALSE(Exists(InstallDir()));
    DestroyWindow(hung);

    HANDLE otherInstaller = CreateMutexA(nullptr, FALSE, "Springdeck Installer");
    EXPECT_EQ(Install(), 2u) << "refused";
    EXPECT_FALSE(Exists(InstallDir()));
    CloseHandle(otherInstaller);

    // Folders refused: a drive root, a name no ANSI code page spells (Georgian:
    // Springdeck could not find its own path), another program's file.
    const std::string foreign = driver::ScratchDir();
    AppendLogLine(foreign + "\\springdeck.hlp", Others[0] + "\n");
    for (const std::wstring &folder :
         {std::wstring(L"C:\\"), driver::Wide(driver::ScratchDir()) + L"\\\x10D0\x10D1", driver::Wide(foreign)}) {
        EXPECT_EQ(Install(folder), 2u);
        EXPECT_FALSE(driver::ValueExists(HKEY_CURRENT_USER, UninstallKey, "DisplayName"));
    }
    EXPECT_EQ(driver::ReadLines(foreign + "\\springdeck.hlp"), Others);

    // A file held open stops the quiet uninstall before the entry goes, and
    // an upgrade before anything is replaced.
    DWORD id = 0; // of the installed copy, once it answers
    auto answers = [&] {
        HWND main = driver::FindMainWindow();
        return main && driver::IsResponsive(main) && GetWindowThreadProcessId(main, &id);
    };
    ASSERT_EQ(Install(), 0u);
    ASSERT_TRUE(driver::WaitUntil(answers));
    const std::string exe = InstallDir() + "\\springdeck.exe";
    HANDLE held = CreateFileA((InstallDir() + "\\springdeck.hlp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(Uninstall(), 2u);
    EXPECT_EQ(Install(), 2u);
    EXPECT_FALSE(Exists(exe));
    CloseHandle(held);

    // The installed copy hangs: the quiet uninstall stops with nothing removed.
    ASSERT_EQ(Install(), 0u);
    ASSERT_TRUE(driver::WaitUntil(answers));
    springdeck.handle = OpenProcess(PROCESS_ALL_ACCESS, FALSE, id);
    ProcAddress<LONG(WINAPI *)(HANDLE process)>(GetModuleHandleA("ntdll.dll"), "NtSuspendProcess")(springdeck.handle);
    EXPECT_EQ(Uninstall(), 2u);
    EXPECT_TRUE(Exists(exe));
    EXPECT_TRUE(driver::ValueExists(HKEY_CURRENT_USER, UninstallKey, "DisplayName"));
    driver::KillProcess(springdeck);
}

} // namespace
