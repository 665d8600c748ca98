// Start-up: one copy per desktop, the first-start steps, the hidden window and
// the program folder as the current directory.
#include "fixture.h"

#include <algorithm>

using namespace driver;

namespace {

class StartupTest : public SpringdeckTest {};

std::string RunValue() { return ReadString(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck"); }

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
    std::vector<Process> copies(5);
    for (Process &copy : copies)
        copy = StartProgram(SpringdeckExe(), "");
    auto running = [&] {
        return std::count_if(copies.begin(), copies.end(),
                             [](Process &copy) { return WaitForSingleObject(copy.handle, 0) != WAIT_OBJECT_0; });
    };
    WaitUntil([&] { return running() <= 1 && FindMainWindow(); }, 60000); // five starts at once are slow
    EXPECT_EQ(running(), 1);
    for (Process &copy : copies) {
        if (WaitExit(copy, 0) == STILL_ACTIVE)
            std::swap(springdeck, copy); // the fixture ends it
        else
            EXPECT_EQ(WaitExit(copy, 0), 0u) << "a second copy only beeps";
        CloseProcess(copy);
    }
    DWORD owner = 0;
    GetWindowThreadProcessId(FindMainWindow(), &owner);
    EXPECT_EQ(owner, springdeck.id);
}

TEST_F(StartupTest, FirstStartRegistersRunValueAndMarksInstalled)
{
    ClearSettings(); // a fresh profile
    ASSERT_TRUE(Start());
    DWORD installed = 0;
    ASSERT_TRUE(WaitUntil([&] {
        return ReadDword(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\options", "installed", &installed);
    }));
    EXPECT_EQ(installed, 1u);

    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    std::string path(data.begin(), data.end());
    path = path.substr(0, path.find('\0'));
    // The whole 260-byte buffer; Windows 9x stores a string by its own length.
    EXPECT_EQ(data.size(), GetVersion() & 0x80000000 ? path.size() + 1 : 260u);
    EXPECT_EQ(lstrcmpiA(path.c_str(), ("\"" + SpringdeckExe() + "\"").c_str()), 0) << path;
    for (size_t i = path.size(); i < data.size(); ++i)
        ASSERT_EQ(data[i], 0) << "padding byte " << i;

    // The next start finds "installed" and writes nothing.
    StopSpringdeck(&springdeck);
    DeleteValue(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck"));
}

// A copy in a folder, or under a name, that the code page cannot spell, or
// with a path as long as paths go: the Run value, the help file and the
// current folder name the copy's own files.
TEST_F(StartupTest, FirstStartInAnUnusualFolderStoresAPathThatNamesTheProgram)
{
    if (GetVersion() & 0x80000000)
        GTEST_SKIP() << "Windows 9x names files in its code page only";
    std::string scratchDir = ScratchDir();
    std::wstring scratch = Wide(scratchDir), cyrillic = L"\x041a\x043b\x0430\x0432\x0438\x0448\x0438";
    struct Copy {
        std::wstring folder, name;
    } copies[] = {{scratch + L"\\Caf\x00e9 " + cyrillic, L"\\springdeck"},
                  {scratch + L"\\" + std::wstring(MAX_PATH - 17 - scratch.size(), L'x'), L"\\springdeck"}};
    for (const Copy &copy : copies) {
        ASSERT_TRUE(CreateDirectoryW(copy.folder.c_str(), nullptr));
        for (const wchar_t *type : {L".exe", L".hlp"})
            ASSERT_TRUE(CopyFileW((Wide(BuildDir()) + L"\\springdeck" + type).c_str(),
                                  (copy.folder + copy.name + type).c_str(), FALSE));
        springdeck = StartProgram(copy.folder + copy.name + L".exe", L"/s");
        HWND dialog = WaitForWindow("#32770", "Springdeck from Tolvane Keyboards");
        ASSERT_TRUE(dialog);
        std::string value = RunValue();
        ASSERT_GT(value.size(), 2u);
        std::string path = value.substr(1, value.size() - 2);
        EXPECT_EQ("\"" + path + "\"", value);
        EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << value;
        std::string cwd = ProcessCurrentDirectory(springdeck.handle);
        EXPECT_EQ(lstrcmpiA(cwd.c_str(), path.substr(0, path.rfind('\\') + 1).c_str()), 0) << cwd;
        ASSERT_TRUE(StartHelpCapture());
        ClickButton(dialog, IDC_HELPBUTTON);
        ASSERT_TRUE(WaitUntil([] { return !HelpRequests().empty(); }, 5000));
        std::string help = HelpRequests()[0].file;
        EXPECT_NE(GetFileAttributesA(help.c_str()), INVALID_FILE_ATTRIBUTES) << help;
        StopHelpCapture();
        StopSpringdeck(&springdeck);
        DeleteValue(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck");
    }
    RemoveFolder(scratchDir);
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
        // Start-up may still be at its last steps when the window answers.
        EXPECT_EQ(WaitUntil([] { return !RunValue().empty(); }, c.forces ? 5000 : 0), c.forces);
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
    // Restoring it from outside is refused too: minimised, it stays an icon.
    ShowWindow(window, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; }));
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(window, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_NORMAL, ScaledWait(5000), &result));
    EXPECT_TRUE(IsResponsive(window));
    EXPECT_TRUE(IsIconic(window));
}

TEST_F(StartupTest, ProgramFolderBecomesCurrent)
{
    std::string elsewhere = ScratchDir();
    ASSERT_TRUE(Start("", SW_SHOWNORMAL, elsewhere));
    std::string cwd;
    WaitUntil([&] {
        cwd = ProcessCurrentDirectory(springdeck.handle);
        while (!cwd.empty() && cwd.back() == '\\')
            cwd.pop_back();
        return lstrcmpiA(cwd.c_str(), BuildDir().c_str()) == 0;
    });
    EXPECT_EQ(lstrcmpiA(cwd.c_str(), BuildDir().c_str()), 0)
        << (cwd.empty() ? "the program's memory cannot be read" : cwd);
    RemoveDirectoryA(elsewhere.c_str());
}

} // namespace

namespace {

// The manifest in springdeck.exe: how current Windows runs the program.
TEST(Manifest, AsInvokerOnVistaToElevenWithClassicControlsAndNoDpiAwareness)
{
    HMODULE exe = LoadLibraryExA(SpringdeckExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(exe);
    HRSRC found = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)); // RT_MANIFEST
    ASSERT_TRUE(found);
    std::string text(static_cast<const char *>(LockResource(LoadResource(exe, found))), SizeofResource(exe, found));
    FreeLibrary(exe);
    EXPECT_NE(text.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos);
    // Vista, 7, 8, 8.1, 10 and 11
    for (const char *id : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                           "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_NE(text.find(std::string("<supportedOS Id=\"{") + id + "}\"/>"), std::string::npos) << id;
    EXPECT_EQ(text.find("dpiAware"), std::string::npos);
    EXPECT_EQ(text.find("Common-Controls"), std::string::npos) << "the classic controls, as ever";
}

} // namespace
