// America Online as the browser: a web key types its address into AOL's open
// web window, or goes through AOL's launcher library. Springdeck runs from a
// scratch folder that holds a copy of the program and, where the test wants
// one, the fake LAUNCH32.dll with its results file.
#include "fixture.h"

#include <algorithm>

using namespace driver;

namespace {

constexpr char NotInstalledText[] = "AOL does not appeared to be installed on this computer";

class AolTest : public SpringdeckTest {
protected:
    void SetUp() override
    {
        SpringdeckTest::SetUp();
        folder = ScratchDir();
        ASSERT_TRUE(CopyFileTo(SpringdeckExe(), folder + "\\springdeck.exe"));
        aolLog = folder + "\\aol.log";
        SetSettingDword("options", "browser", 2);
    }

    void TearDown() override
    {
        KillProcess(aol);
        SpringdeckTest::TearDown();
        WriteProfileStringA("WAOL", nullptr, nullptr);
    }

    void InstallLibrary(int installed = 0, int goTo = 0, const char *name = "Tester")
    {
        ASSERT_TRUE(CopyFileTo(BuildDir() + "\\tests\\doubles\\LAUNCH32.dll", folder + "\\LAUNCH32.dll"));
        std::string ini = folder + "\\launch32.ini";
        WritePrivateProfileStringA("results", "installed", std::to_string(installed).c_str(), ini.c_str());
        WritePrivateProfileStringA("results", "goto", std::to_string(goTo).c_str(), ini.c_str());
        WritePrivateProfileStringA("results", "name", name, ini.c_str());
    }

    std::vector<std::string> LibraryCalls() { return ReadLines(folder + "\\launch32.log"); }

    // Starts the fake AOL client and waits until its windows are up.
    void StartAol(const std::string &options)
    {
        aol = StartProgram(DoublePath("fake_aol"), options + " --log \"" + aolLog + "\"");
        ASSERT_TRUE(aol.handle);
        ASSERT_TRUE(WaitUntil([&] { return !ReadLines(aolLog).empty(); }));
    }

    void StartFromFolder()
    {
        ASSERT_TRUE(StartSpringdeck(springdeck, "", SW_SHOWNORMAL, "", folder + "\\springdeck.exe"));
    }

    // Presses the key as the user would, with a window of ours focused.
    void Press(UINT vk)
    {
        ASSERT_TRUE(ShowFocusWindow());
        PressKey(vk);
    }

    // The text at the first Enter in the fake AOL's address field.
    std::string WaitForEnter(DWORD timeoutMs = 30000)
    {
        std::string entered;
        WaitUntil(
            [&] {
                for (const std::string &line : ReadLines(aolLog))
                    if (line.rfind("enter ", 0) == 0) {
                        entered = line.substr(6);
                        return true;
                    }
                return false;
            },
            timeoutMs);
        return entered;
    }

    // Waits for a message box with this caption; checks and closes it.
    void ExpectBox(const char *caption, const std::string &text, const char *screenName)
    {
        HWND box = WaitForWindow("#32770", caption);
        ASSERT_TRUE(box) << caption;
        EXPECT_EQ(MessageBoxText(box), text);
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
        // Paints the box now: it may not have drawn itself yet.
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        CaptureScreen(screenName);
        ClickButton(box, IDOK);
        EXPECT_TRUE(WaitWindowGone(box));
    }

    std::string folder;
    std::string aolLog;
    Process aol;
};

TEST_F(AolTest, OpenWebWindowGetsTheAddressTypedAndEnter)
{
    // Capitals, digits and punctuation: Shift goes on and off between them.
    const std::string address = "http://Ab9.EX/p?q=R&s_t~u";
    InstallLibrary();
    AssignKey("F6", address);
    StartAol("--web");
    StartFromFolder();
    Press(VK_F6);
    EXPECT_EQ(WaitForEnter(), address);
    // After start-up: the web window activated, the field focused and emptied
    // of its old address, then the typing.
    std::vector<std::string> log = ReadLines(aolLog);
    std::vector<std::string> expected = {"ready", "activate", "focus", "settext ", "enter " + address};
    auto ready = std::find(log.begin(), log.end(), "ready");
    EXPECT_EQ(std::vector<std::string>(ready, log.end()), expected);
    std::vector<std::string> calls = LibraryCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "AOLIsInstalled -> 0");
    EXPECT_FALSE(GetAsyncKeyState(VK_SHIFT) & 0x8000) << "no modifier is left held";
}

TEST_F(AolTest, SecondLaunchWhileTypingTypesNothing)
{
    const std::string first = "http://first.example/";
    InstallLibrary();
    AssignKey("F6", first);
    AssignKey("F7", "http://second.example/");
    StartAol("--web");
    StartFromFolder();
    Press(VK_F6);
    ASSERT_TRUE(WaitUntil([&] {
        std::vector<std::string> log = ReadLines(aolLog);
        return std::find(log.begin(), log.end(), "settext ") != log.end();
    }));
    PressKey(VK_F7); // AOL keeps the focus: the typing goes on into its field
    EXPECT_TRUE(WaitUntil([&] { return LibraryCalls().size() == 2; })) << "the second press was handled";
    EXPECT_EQ(WaitForEnter(), first) << "the first address is typed whole";
    int emptied = 0;
    for (const std::string &line : ReadLines(aolLog))
        emptied += line == "settext ";
    EXPECT_EQ(emptied, 1) << "the field was not emptied under the first address";
    for (const std::string &call : LibraryCalls())
        EXPECT_EQ(call.rfind("AOLIsInstalled", 0), 0u) << call;
}

TEST_F(AolTest, ClosedWhileTypingLeavesNoKeyHeld)
{
    InstallLibrary();
    AssignKey("F6", "http://example.com/ABCDEFGHIJKLMNOP");
    StartAol("--web --keys");
    StartFromFolder();
    Press(VK_F6);
    // Told to close while Shift is down for the run of capitals.
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const std::string &line : ReadLines(aolLog))
                if (line.find(" down 65") != std::string::npos)
                    return true;
            return false;
        },
        30000));
    PostMessageA(FindMainWindow(), CloseMessage(), 0, 0);
    EXPECT_EQ(WaitExit(springdeck), 0u) << "the program has ended";
    for (int vk = 1; vk < 256; ++vk)
        EXPECT_FALSE(GetAsyncKeyState(vk) & 0x8000) << "key " << vk << " is held";
    for (const std::string &line : ReadLines(aolLog))
        EXPECT_NE(line.rfind("enter ", 0), 0u) << "the typing was cut short";
}

TEST_F(AolTest, WithoutAWebWindowTheLibraryGoesThere)
{
    // Also: an alias sends its file address, and win.ini's AppPath is passed on.
    const std::string address = "http://www.example.com/news";
    InstallLibrary(0, 0, "LongScreenName12345");
    WriteProfileStringA("WAOL", "AppPath", "C:\\AOL30");
    AssignKey("F6", address);
    AssignKey("F7", "http://aliased.example/");
    SetSetting("alias", "http://aliased.example/", "C:\\Web\\news.htm");
    StartAol("");
    StartFromFolder();
    Press(VK_F6);
    ASSERT_TRUE(WaitUntil([&] { return LibraryCalls().size() >= 3; }));
    Press(VK_F7);
    ASSERT_TRUE(WaitUntil([&] { return LibraryCalls().size() >= 6; }));
    std::vector<std::string> calls = LibraryCalls();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0], "AOLIsInstalled -> 0");
    EXPECT_EQ(calls[1], "AOLGetScreenName path=C:\\AOL30");
    // The library filled the name buffer to the brim: only what fits is passed.
    EXPECT_EQ(calls[2], "AOLGoTo 1 name=LongScreenN a= b= address=" + address + " 0 -> 0");
    EXPECT_EQ(calls[5], "AOLGoTo 1 name=LongScreenN a= b= address=file://C|/Web/news.htm 0 -> 0");
    for (const std::string &line : ReadLines(aolLog))
        EXPECT_EQ(line, "ready") << "nothing was typed into AOL";
}

TEST_F(AolTest, AddressBoxWithoutFieldTakesTheLibraryRoute)
{
    InstallLibrary();
    AssignKey("F6", "http://www.example.com/");
    StartAol("--web --no-field");
    StartFromFolder();
    Press(VK_F6);
    ASSERT_TRUE(WaitUntil([&] { return LibraryCalls().size() >= 3; }));
    std::vector<std::string> calls = LibraryCalls();
    EXPECT_EQ(calls[1], "AOLGetScreenName path=");
    EXPECT_EQ(calls[2], "AOLGoTo 1 name=Tester a= b= address=http://www.example.com/ 0 -> 0");
}

TEST_F(AolTest, GoToErrorIsShown)
{
    InstallLibrary(0, 5);
    AssignKey("F6", "http://www.example.com/");
    StartFromFolder();
    Press(VK_F6);
    ExpectBox("Failed to Launch AOL", "error 5", "aol-error-5");
}

TEST_F(AolTest, NotInstalledWhenTheLibrarySaysSoOrIsMissing)
{
    InstallLibrary(1);
    AssignKey("F6", "http://www.example.com/");
    StartFromFolder();
    Press(VK_F6);
    ExpectBox("Springdeck", NotInstalledText, "aol-not-installed");
    std::vector<std::string> calls = LibraryCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "AOLIsInstalled -> 1");

    StopSpringdeck(&springdeck);
    ASSERT_TRUE(DeleteFileA((folder + "\\LAUNCH32.dll").c_str()));
    StartFromFolder();
    Press(VK_F6);
    ExpectBox("Springdeck", NotInstalledText, "aol-library-missing");
}

} // namespace
