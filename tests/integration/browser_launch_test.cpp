// Web keys: a running browser is told over DDE, one that does not run is
// started with the address, a missing one leaves the address to the system's
// handler of its scheme or is reported, and a hung one holds the keys no
// longer than its open request's time-out. The browsers are played by the
// fake browser double.
#include "fixture.h"

#include <algorithm>
#include <deque>

using namespace driver;

namespace {

constexpr char AppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
constexpr char HttpHandler[] = "http\\shell\\open\\command";
constexpr char PageCommand[] = "SpringdeckTest.Page\\shell\\open\\command";

using Args = std::vector<std::string>;

struct LoggedRequest {
    std::string service, topic, foreground, item;
};

struct FakeBrowser {
    Process process;
    std::string log;
    HWND window = nullptr;
};

// Value of "key=" in a log line, up to the next blank (the item runs to the end).
std::string Field(const std::string &line, const std::string &key, bool toEnd = false)
{
    size_t start = line.find(" " + key + "=");
    if (start == std::string::npos)
        return "";
    start += key.size() + 2;
    size_t end = toEnd ? std::string::npos : line.find(' ', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

class BrowserLaunchTest : public SpringdeckTest {
protected:
    void SetUp() override
    {
        SpringdeckTest::SetUp();
        scratch = ScratchDir();
        startLog = scratch + "\\started.log";
        SetEnvironmentVariableA("FAKEBROWSER_LOG", startLog.c_str());
        // The prefix may have browsers of its own registered.
        for (const char *program : {"Netscape.exe", "iexplore.exe"}) {
            savedPaths.push_back(SaveKey(HKEY_LOCAL_MACHINE, std::string(AppPaths) + program));
            DeleteTree(HKEY_LOCAL_MACHINE, std::string(AppPaths) + program);
        }
        WriteProfileStringA("Netscape", "ini", nullptr);
        savedHandler = SaveKey(HKEY_CLASSES_ROOT, HttpHandler);
        DeleteTree(HKEY_CLASSES_ROOT, HttpHandler);
        savedPage = SaveKey(HKEY_CLASSES_ROOT, ".htm");
    }

    void TearDown() override
    {
        for (FakeBrowser &browser : browsers)
            KillProcess(browser.process);
        for (const char *name : {"fakebrowser.exe", "htmview.exe", "x.exe"})
            KillProcessesNamed(name);
        SpringdeckTest::TearDown();
        const char *programs[] = {"Netscape.exe", "iexplore.exe"};
        for (int i = 0; i < 2; ++i)
            RestoreKey(HKEY_LOCAL_MACHINE, std::string(AppPaths) + programs[i], savedPaths[i]);
        WriteProfileStringA("Netscape", "ini", nullptr);
        RestoreKey(HKEY_CLASSES_ROOT, HttpHandler, savedHandler);
        RestoreKey(HKEY_CLASSES_ROOT, ".htm", savedPage);
        DeleteTree(HKEY_CLASSES_ROOT, "SpringdeckTest.Page");
        SetEnvironmentVariableA("FAKEBROWSER_LOG", nullptr);
        SetEnvironmentVariableA("RECORDER_LOG", nullptr);
    }

    // A running fake browser serving DDE as the service, with a visible
    // window when it has a title; returns once its service is registered.
    FakeBrowser &RunBrowser(const char *service, const char *title = "", const char *options = "")
    {
        FakeBrowser browser;
        browser.log = scratch + "\\" + service + ".log";
        std::string args = std::string("--service ") + service + " --log \"" + browser.log + "\" " + options;
        if (*title)
            args += std::string(" --title \"") + title + "\"";
        browser.process = StartProgram(DoublePath("fakebrowser"), args);
        EXPECT_TRUE(WaitUntil([&] {
            for (const std::string &line : ReadLines(browser.log))
                if (line.rfind("ready ", 0) == 0)
                    return true;
            return false;
        })) << service
            << " did not come up";
        if (*title)
            browser.window = WaitForWindow("FakeBrowser", title);
        browsers.push_back(browser);
        return browsers.back();
    }

    static std::vector<LoggedRequest> Requests(const FakeBrowser &browser)
    {
        std::vector<LoggedRequest> requests;
        for (const std::string &line : ReadLines(browser.log))
            if (line.rfind("request ", 0) == 0)
                requests.push_back({Field(line, "service"), Field(line, "topic"), Field(line, "foreground"),
                                    Field(line, "item", true)});
        return requests;
    }

    // The two requests of one press, in their order.
    static void ExpectOpenThenActivate(const std::vector<LoggedRequest> &requests, const std::string &address)
    {
        ASSERT_GE(requests.size(), 2u);
        EXPECT_EQ(requests[0].topic, "WWW_OpenURL");
        EXPECT_EQ(requests[0].item, address + ",,0xFFFFFFFF,0x0");
        EXPECT_EQ(requests[1].topic, "WWW_Activate");
        EXPECT_EQ(requests[1].item, "0xFFFFFFFF");
    }

    static size_t CountLines(const FakeBrowser &browser, const char *event)
    {
        size_t count = 0;
        for (const std::string &line : ReadLines(browser.log))
            count += line.rfind(std::string(event) + " ", 0) == 0;
        return count;
    }

    static bool WaitRequests(const FakeBrowser &browser, size_t count)
    {
        return WaitUntil([&] { return Requests(browser).size() >= count; });
    }

    // The arguments of each start of the browser's executable, as it split them.
    std::vector<Args> ExecutableStarts()
    {
        std::vector<Args> starts;
        Args arguments;
        for (const std::string &line : ReadLines(startLog))
            if (line.rfind("argument ", 0) == 0)
                arguments.push_back(Field(line, "text", true));
            else if (line.rfind("start ", 0) == 0)
                starts.push_back(std::move(arguments)), arguments.clear();
        return starts;
    }

    // A recorder log for the programs the test starts.
    std::string RecordStarts(const char *name)
    {
        std::string log = scratch + "\\" + name + ".log";
        SetEnvironmentVariableA("RECORDER_LOG", log.c_str());
        return log;
    }

    static void SetAppPath(const char *program, const std::string &path)
    {
        WriteString(HKEY_LOCAL_MACHINE, std::string(AppPaths) + program, nullptr, path);
    }

    void Press(UINT vk)
    {
        ASSERT_TRUE(FocusOwnWindow());
        PressKey(vk);
    }

    // Reads the message box the press brought up, and closes it.
    static std::string TakeMessage()
    {
        HWND box = WaitForMessageBox();
        if (!box)
            return "(no message box)";
        std::string text = MessageBoxText(box);
        ClickButton(box, IDOK);
        WaitWindowGone(box);
        return text;
    }

    std::string scratch, startLog;
    std::vector<SavedKey> savedPaths;
    SavedKey savedHandler, savedPage;
    std::deque<FakeBrowser> browsers; // references stay valid as it grows
};

TEST_F(BrowserLaunchTest, RunningNavigatorOpensTheAddressComesForwardAndIsActivated)
{
    FakeBrowser &navigator = RunBrowser("NETSCAPE", "Netscape - [fake]");
    ASSERT_TRUE(navigator.window);
    AssignKey("F6", "http://www.example.com/news");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F6);
    ASSERT_TRUE(WaitRequests(navigator, 2));
    std::vector<LoggedRequest> requests = Requests(navigator);
    ExpectOpenThenActivate(requests, "http://www.example.com/news");
    EXPECT_EQ(requests[0].foreground, "no");
    EXPECT_EQ(requests[1].foreground, "yes") << "the window search comes between open and activate";
    EXPECT_EQ(GetForegroundWindow(), navigator.window);
    EXPECT_TRUE(ExecutableStarts().empty()) << "a running browser is not started again";

    // A second press: the activate conversation of the first one is ended, so
    // conversations do not pile up in the browser.
    Press(VK_F6);
    ASSERT_TRUE(WaitRequests(navigator, 4));
    EXPECT_TRUE(WaitUntil([&] { return CountLines(navigator, "disconnect") >= 3; }))
        << CountLines(navigator, "connect") << " conversations, " << CountLines(navigator, "disconnect") << " ended";
}

TEST_F(BrowserLaunchTest, ExplorerIsAskedAsIExploreWithoutTheWindowSearch)
{
    SetSettingDword("options", "browser", 1);
    FakeBrowser &navigator = RunBrowser("NETSCAPE");
    // A title that the search for Navigator's window would pick.
    FakeBrowser &explorer = RunBrowser("IExplore", "Netscape lookalike");
    ASSERT_TRUE(explorer.window);
    AssignKey("F6", "https://secure.example.com/");
    ASSERT_TRUE(Start());
    HWND own = ShowFocusWindow();
    PressKey(VK_F6);
    ASSERT_TRUE(WaitRequests(explorer, 2));
    std::vector<LoggedRequest> requests = Requests(explorer);
    ExpectOpenThenActivate(requests, "https://secure.example.com/");
    EXPECT_EQ(requests[1].foreground, "no");
    EXPECT_EQ(GetForegroundWindow(), own);
    EXPECT_TRUE(Requests(navigator).empty()) << "Navigator was asked";
}

TEST_F(BrowserLaunchTest, BrowserThatDoesNotRunIsStartedWithTheAddress)
{
    // Explorer where current Windows keeps it, unquoted in App Paths; a
    // program at the first space of that path must not run instead.
    std::string folder = scratch + "\\Program Files";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileTo(DoublePath("fakebrowser"), folder + "\\IEXPLORE.EXE"));
    ASSERT_TRUE(CopyFileTo(DoublePath("recorder"), scratch + "\\Program.exe"));
    std::string decoyLog = RecordStarts("decoy");
    SetAppPath("Netscape.exe", DoublePath("fakebrowser"));
    SetAppPath("iexplore.exe", folder + "\\IEXPLORE.EXE");
    AssignKey("F6", "http://www.example.com/a,b");
    AssignKey("F7", "mailto:someone@example.com");
    AssignKey("F8", "http://www.example.org/");
    SetSetting("alias", "http://www.example.org/", "C:\\My Documents\\page.htm");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F6);
    ASSERT_TRUE(WaitUntil([&] { return ExecutableStarts().size() >= 1; }));
    EXPECT_EQ(ExecutableStarts()[0], Args{"http://www.example.com/a,b"});

    // The choice is read at each press.
    SetSettingDword("options", "browser", 1);
    Press(VK_F7);
    ASSERT_TRUE(WaitUntil([&] { return ExecutableStarts().size() >= 2; }));
    EXPECT_EQ(ExecutableStarts()[1], Args{"mailto:someone@example.com"});
    Press(VK_F8);
    ASSERT_TRUE(WaitUntil([&] { return ExecutableStarts().size() >= 3; }));
    EXPECT_EQ(ExecutableStarts()[2], Args{"file://C|/My Documents/page.htm"});
    EXPECT_TRUE(ReadLines(decoyLog).empty()) << "Program.exe ran";
}

TEST_F(BrowserLaunchTest, NavigatorFoundThroughItsIniFileInWinIni)
{
    // App Paths names a file that is gone; win.ini names the ini file that
    // lies beside the executable.
    SetAppPath("Netscape.exe", "C:\\nowhere\\netscape.exe");
    std::string exe = scratch + "\\fakebrowser.exe";
    ASSERT_TRUE(CopyFileTo(DoublePath("fakebrowser"), exe));
    WriteProfileStringA("Netscape", "ini", (scratch + "\\fakebrowser.ini").c_str());
    AssignKey("F6", "http://www.example.com/");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F6);
    ASSERT_TRUE(WaitUntil([&] { return ExecutableStarts().size() >= 1; }));
    EXPECT_EQ(ExecutableStarts()[0], Args{"http://www.example.com/"});
}

TEST_F(BrowserLaunchTest, MissingBrowserLeavesTheAddressToTheSystemOrIsReported)
{
    std::string handlerLog = RecordStarts("handler");
    std::string handler = "\"" + DoublePath("recorder") + "\" --exit \"%1\"";
    WriteString(HKEY_CLASSES_ROOT, HttpHandler, nullptr, handler);
    AssignKey("F6", "http://www.example.com/");
    HWND window = Start();
    ASSERT_TRUE(window);
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F6);
    ASSERT_TRUE(WaitUntil([&] { return ReadLines(handlerLog).size() >= 1; }));
    EXPECT_NE(ReadLines(handlerLog)[0].find("http://www.example.com/"), std::string::npos);
    EXPECT_TRUE(IsResponsive(window));
    EXPECT_FALSE(FindTopWindow("#32770", "Springdeck"));

    // Without the system's handler either.
    DeleteTree(HKEY_CLASSES_ROOT, HttpHandler);
    Press(VK_F6);
    HWND box = WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    CaptureWindowShown(box, "browser-not-installed");
    EXPECT_EQ(TakeMessage(), "Netscape Navigator does not appear to be installed on your computer");

    SetSettingDword("options", "browser", 1);
    Press(VK_F6);
    EXPECT_EQ(TakeMessage(), "Microsoft Internet Explorer does not appear to be installed on your computer");

    // Explorer's path is taken as it stands; a file that is not there cannot start.
    SetAppPath("iexplore.exe", "C:\\nowhere\\iexplore.exe");
    Press(VK_F6);
    box = WaitForMessageBox();
    ASSERT_TRUE(box);
    CaptureWindowShown(box, "unable-to-launch-browser");
    EXPECT_EQ(TakeMessage(), "Unable to launch browser");
    EXPECT_TRUE(IsResponsive(window));
}

// Without the browser, a local file goes only to the program that opens web
// pages; the file's own association would run a program.
TEST_F(BrowserLaunchTest, MissingBrowserShowsLocalFilesOnlyInThePageProgram)
{
    std::string shownLog = RecordStarts("shown");
    ASSERT_TRUE(CreateDirectoryA((scratch + "\\dir").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((scratch + "\\dir\\my dir").c_str(), nullptr));
    for (const char *copy : {"\\dir\\x.exe", "\\dir\\my dir\\x.exe", "\\htmview.exe"})
        ASSERT_TRUE(CopyFileTo(DoublePath("recorder"), scratch + copy));
    std::string command = "\"" + scratch + "\\htmview.exe\" \"%1\"";
    WriteValue(HKEY_CLASSES_ROOT, ".htm", nullptr, REG_SZ, "SpringdeckTest.Page", 20);
    WriteString(HKEY_CLASSES_ROOT, PageCommand, nullptr, command);
    std::string url = scratch;
    std::replace(url.begin(), url.end(), '\\', '/');
    std::string bar = url.substr(0, 1) + "|" + url.substr(2);
    const std::pair<std::string, std::string> shown[] = {
        // address, the file shown
        {"file:///" + url + "/dir/x.exe", "\\dir\\x.exe"},
        {"file://" + url + "/dir/x.exe", "\\dir\\x.exe"},
        {"file://" + bar + "/dir/x.exe", "\\dir\\x.exe"},
        {"file://" + bar + "/dir/my dir/x.exe", "\\dir\\my dir\\x.exe"},
        {"http://www.example.com/", "\\page.htm"}};
    for (UINT i = 0; i < 5; ++i)
        AssignKey(("F" + std::to_string(i + 1)).c_str(), shown[i].first);
    SetSetting("alias", "http://www.example.com/", scratch + "\\page.htm");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());
    for (UINT i = 0; i < 5; ++i) {
        Press(VK_F1 + i);
        ASSERT_TRUE(WaitUntil([&] { return ReadLines(shownLog).size() > i; })) << shown[i].first;
        EXPECT_EQ(Field(ReadLines(shownLog)[i], "args", true), "\"" + scratch + shown[i].second + "\"");
    }
    DeleteTree(HKEY_CLASSES_ROOT, PageCommand);
    Press(VK_F5);
    EXPECT_EQ(TakeMessage(), "Netscape Navigator does not appear to be installed on your computer");
    EXPECT_EQ(ReadLines(shownLog).size(), 5u) << "something else was started";
}

TEST_F(BrowserLaunchTest, LocalAliasAndUnusualAddressesTravelWhole)
{
    FakeBrowser &navigator = RunBrowser("NETSCAPE", "Netscape - [fake]");
    SetAppPath("Netscape.exe", DoublePath("fakebrowser"));
    AssignKey("F6", "http://www.example.com/");
    AssignKey("F7", "http://www.example.org/");
    SetSetting("alias", "http://www.example.com/", "C:\\Web\\news.htm");
    SetSetting("alias", "http://www.example.org/", ""); // counts as none
    // Addresses that must stay one argument of the request, and one whose
    // request is too long for DDE.
    AssignKey("F8", "http://host/a.exe,C:\\x\\a.exe");
    AssignKey("F9", "http://host/say\"hi\"\\");
    const std::string longAddress = "http://www.example.com/" + std::string(230, 'a');
    AssignKey("F10", longAddress);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F6);
    ASSERT_TRUE(WaitRequests(navigator, 2));
    for (UINT key : {VK_F7, VK_F8, VK_F9}) {
        Press(key);
        ASSERT_TRUE(WaitRequests(navigator, 2 * (key - VK_F6 + 1)));
    }
    std::vector<LoggedRequest> requests = Requests(navigator);
    EXPECT_EQ(requests[0].item, "file://C|/Web/news.htm,,0xFFFFFFFF,0x0");
    EXPECT_EQ(requests[2].item, "http://www.example.org/,,0xFFFFFFFF,0x0");
    EXPECT_EQ(requests[4].item, "\"http://host/a.exe,C:\\x\\a.exe\",,0xFFFFFFFF,0x0");
    EXPECT_EQ(requests[6].item, "\"http://host/say\\\"hi\\\"\\\\\",,0xFFFFFFFF,0x0");
    Press(VK_F10);
    ASSERT_TRUE(WaitUntil([&] { return ExecutableStarts().size() >= 1; }));
    EXPECT_EQ(ExecutableStarts()[0], Args{longAddress});
}

TEST_F(BrowserLaunchTest, HungBrowserHoldsTheKeysNoLongerThanItsOpenRequest)
{
    FakeBrowser &navigator = RunBrowser("NETSCAPE", "", "--hang");
    std::string recorderLog = RecordStarts("recorder");
    AssignKey("F6", "http://www.example.com/");
    AssignKey("F7", DoublePath("recorder"), "--exit");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    // Seconds from a press (now) to the recorder's start logged in line n.
    auto pressToStart = [&](size_t n, LARGE_INTEGER pressed) {
        if (!WaitUntil([&] { return ReadLines(recorderLog).size() > n; }, 25000))
            return -1.0;
        LONGLONG started = _atoi64(ReadLines(recorderLog)[n].c_str() + 6);
        return (started - pressed.QuadPart) / static_cast<double>(frequency.QuadPart);
    };
    // The baseline: a plain launch on this machine, under its present load.
    LARGE_INTEGER pressed;
    QueryPerformanceCounter(&pressed);
    Press(VK_F7);
    double plain = pressToStart(0, pressed);
    ASSERT_GE(plain, 0.0) << "the recorder did not start";

    QueryPerformanceCounter(&pressed);
    PressKey(VK_F6);
    ASSERT_TRUE(WaitRequests(navigator, 1));
    Press(VK_F7); // waits while the press of F6 is held
    double held = pressToStart(1, pressed);
    ASSERT_GE(held, 0.0) << "the recorder did not start after the hung request";
    // The open request's 10.5 s, a launch as slow as the plain one twice
    // over, and a second for the key messages in between.
    EXPECT_LE(held, 10.5 + 2 * plain + 1.0) << "plain launch " << plain << " s";
    EXPECT_EQ(Requests(navigator).size(), 1u) << "a hung browser is not asked to come forward";
}

TEST_F(BrowserLaunchTest, WebAssignmentChangedWhileRunningRulesTheNextPress)
{
    FakeBrowser &navigator = RunBrowser("NETSCAPE", "Netscape - [fake]");
    std::string recorderLog = RecordStarts("recorder");
    AssignKey("F6", DoublePath("recorder"), "--exit");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F6);
    EXPECT_TRUE(WaitUntil([&] { return ReadLines(recorderLog).size() >= 1; }));

    SetSetting("command line", "F6", "news:comp.lang.c");
    Press(VK_F6);
    EXPECT_TRUE(WaitRequests(navigator, 2));
    EXPECT_EQ(Requests(navigator)[0].item, "news:comp.lang.c,,0xFFFFFFFF,0x0");
}

} // namespace
