// Start-up: one copy per desktop, the first-start steps, the hidden window and
// the program folder as the current directory.
#include "fixture.h"

using namespace driver;

namespace {

class StartupTest : public SpringdeckTest {};

std::string RunValue()
{
    return ReadString(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck");
}

TEST_F(StartupTest, SecondCopyOnlyBeepsAndExits)
{
    AssignKey("F5", DoublePath("recorder"), "--exit");
    HWND first = Start();
    ASSERT_TRUE(first);

    Process second = StartProgram(SpringdeckExe(), "/s");
    EXPECT_EQ(WaitExit(second, 10000), 0u);
    CloseProcess(second);

    EXPECT_EQ(FindMainWindow(), first);
    EXPECT_TRUE(IsResponsive(first));
    // "/s" of the second copy did nothing: the first copy keeps its hotkeys
    // and nothing was written.
    HWND own = ShowFocusWindow();
    EXPECT_FALSE(RegisterHotKey(own, 1, 0, VK_F5));
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck"));
}

TEST_F(StartupTest, CopiesStartedTogetherLeaveExactlyOne)
{
    std::vector<Process> copies;
    for (int i = 0; i < 5; ++i)
        copies.push_back(StartProgram(SpringdeckExe(), ""));
    auto ended = [&] {
        int count = 0;
        for (Process &copy : copies)
            count += WaitForSingleObject(copy.handle, 0) == WAIT_OBJECT_0;
        return count;
    };
    WaitUntil([&] { return ended() >= 4 && FindMainWindow(); });
    EXPECT_EQ(ended(), 4);
    for (Process &copy : copies) {
        if (WaitExit(copy, 0) == STILL_ACTIVE)
            springdeck = copy;  // the fixture ends it
        else
            EXPECT_EQ(WaitExit(copy, 0), 0u);
    }
    int windows = 0;
    for (HWND other = NULL; (other = FindWindowExA(NULL, other, "Springdeck", "Springdeck")) != NULL;)
        ++windows;
    EXPECT_EQ(windows, 1);
    HWND window = FindMainWindow();
    ASSERT_TRUE(window);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, springdeck.id);
    for (Process &copy : copies)
        if (copy.handle != springdeck.handle)
            CloseProcess(copy);
}

TEST_F(StartupTest, FirstStartRegistersRunValueAndMarksInstalled)
{
    ClearSettings();  // a fresh profile
    ASSERT_TRUE(Start());
    DWORD installed = 0;
    ASSERT_TRUE(WaitUntil([&] {
        return ReadDword(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\options", "installed", &installed);
    }));
    EXPECT_EQ(installed, 1u);

    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck", &type, &data));
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_EQ(data.size(), 260u);
    std::string path(data.begin(), data.end());
    path = path.substr(0, path.find('\0'));
    EXPECT_EQ(lstrcmpiA(path.c_str(), SpringdeckExe().c_str()), 0) << path;
    for (size_t i = path.size(); i < data.size(); ++i)
        ASSERT_EQ(data[i], 0) << "padding byte " << i;

    // The next start finds "installed" and writes nothing.
    StopSpringdeck(&springdeck);
    DeleteValue(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck"));
}

TEST_F(StartupTest, OnlyAnExactSlashSForcesTheFirstStartSteps)
{
    struct Case {
        const char *args;
        bool forces;
    } cases[] = {{"/s", true}, {"   /s", true}, {"/S", false}, {"/s x", false}, {"/s ", false}, {"-s", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string("args \"") + c.args + "\"");
        DeleteValue(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck");
        ASSERT_TRUE(Start(c.args));
        EXPECT_EQ(!RunValue().empty(), c.forces);
        StopSpringdeck(&springdeck);
    }
}

TEST_F(StartupTest, MainWindowStaysHiddenWhateverTheShowCommand)
{
    HWND window = Start("", SW_SHOWMAXIMIZED);
    ASSERT_TRUE(window);
    Pump(300);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(WindowText(window), "Springdeck");
    // Restoring it from outside is refused too.
    PostMessageA(window, WM_QUERYOPEN, 0, 0);
    EXPECT_TRUE(IsResponsive(window));
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(StartupTest, ProgramFolderBecomesCurrent)
{
    std::string elsewhere = ScratchDir();
    ASSERT_TRUE(Start("", SW_SHOWNORMAL, elsewhere));
    std::string cwd = ProcessCurrentDirectory(springdeck.handle);
    while (!cwd.empty() && cwd.back() == '\\')
        cwd.pop_back();
    EXPECT_EQ(lstrcmpiA(cwd.c_str(), BuildDir().c_str()), 0) << cwd;
    RemoveDirectoryA(elsewhere.c_str());
}

}  // namespace

namespace {

// The manifest in springdeck.exe: how current Windows runs the program.
TEST(Manifest, AsInvokerOnVistaToElevenWithClassicControlsAndNoDpiAwareness)
{
    HMODULE exe = LoadLibraryExA(SpringdeckExe().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(exe);
    HRSRC found = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_TRUE(found);
    std::string text((const char *)LockResource(LoadResource(exe, found)), SizeofResource(exe, found));
    FreeLibrary(exe);
    const struct {
        const char *part;
        bool present;
    } rows[] = {
        {"<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>", true},
        {"<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>", true},  // Vista
        {"<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>", true},  // 7
        {"<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>", true},  // 8
        {"<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>", true},  // 8.1
        {"<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>", true},  // 10 and 11
        {"dpiAware", false},
        {"Microsoft.Windows.Common-Controls", false},  // the classic controls, as ever
    };
    for (const auto &row : rows)
        EXPECT_EQ(text.find(row.part) != std::string::npos, row.present) << row.part;
}

}  // namespace
