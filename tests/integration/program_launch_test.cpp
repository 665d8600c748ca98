// Program and document keys: starting through the shell, bringing a running
// copy forward instead of starting it twice, and the failure message.
#include "fixture.h"

#include <algorithm>

using namespace driver;

namespace {

struct RecordedStart {
    DWORD pid = 0;
    std::string cwd;
    std::string args;
};

class ProgramLaunchTest : public SpringdeckTest {
protected:
    void SetUp() override
    {
        SpringdeckTest::SetUp();
        scratch = ScratchDir();
        log = scratch + "\\recorder.log";
        // Springdeck and everything it starts inherit this.
        SetEnvironmentVariableA("RECORDER_LOG", log.c_str());
        recorder = DoublePath("recorder");
    }

    void TearDown() override
    {
        for (Process &process : started)
            KillProcess(process);
        for (const char *name : {"schdpl32.exe", "EXCHNG32.com", "long program name.exe"})
            KillProcessesNamed(name);
        SpringdeckTest::TearDown();
        SetEnvironmentVariableA("RECORDER_LOG", nullptr);
    }

    std::vector<RecordedStart> Starts()
    {
        std::vector<RecordedStart> starts;
        for (const std::string &line : ReadLines(log)) {
            RecordedStart start;
            char cwd[MAX_PATH];
            if (sscanf(line.c_str(), "start %*s %*s %lu cwd=%259[^\n]", &start.pid, cwd) != 2)
                continue;
            std::string rest = cwd;
            size_t args = rest.find(" args=");
            start.cwd = rest.substr(0, args);
            start.args = args == std::string::npos ? "" : rest.substr(args + 6);
            starts.push_back(start);
        }
        return starts;
    }

    bool WaitStarts(size_t count)
    {
        return WaitUntil([&] { return Starts().size() >= count; });
    }

    // A copy of the recorder started by the test itself, with a visible
    // window when it has a title.
    HWND RunRecorder(const std::string &exe, const std::string &title, int show = SW_SHOWNORMAL)
    {
        size_t before = Starts().size();
        started.push_back(StartProgram(exe, title.empty() ? "" : "--title \"" + title + "\"", show));
        EXPECT_TRUE(WaitStarts(before + 1)) << exe << " did not start";
        return title.empty() ? nullptr : WaitForWindow("SpringdeckRecorder", title.c_str());
    }

    // Presses a key assigned to "recorder --exit <marker>" and waits for its
    // start: every press made before it has been carried out by then, since
    // the program handles presses one after another.
    void Settle(const char *marker)
    {
        ASSERT_TRUE(FocusOwnWindow());
        PressKey(VK_F12);
        ASSERT_TRUE(WaitUntil([&] {
            for (const RecordedStart &start : Starts())
                if (start.args == std::string("--exit ") + marker)
                    return true;
            return false;
        })) << "marker press "
            << marker << " was not carried out";
    }

    // Copies still running besides the ones the test started.
    size_t ExtraCopiesRunning(const char *exeName)
    {
        std::vector<DWORD> ids = ProcessIdsNamed(exeName);
        size_t extra = 0;
        for (DWORD id : ids) {
            bool ours = false;
            for (const Process &process : started)
                ours = ours || process.id == id;
            for (const RecordedStart &start : Starts()) // markers end by themselves
                ours = ours || (start.pid == id && start.args.rfind("--exit", 0) == 0);
            HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, id);
            bool alive = handle && WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
            if (handle)
                CloseHandle(handle);
            extra += !ours && alive;
        }
        return extra;
    }

    std::string scratch, log, recorder;
    std::vector<Process> started;
};

TEST_F(ProgramLaunchTest, ProgramStartsWithItsArgumentsInTheProgramFolder)
{
    AssignKey("F5", recorder, "--exit one \"two words\"");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F5);
    ASSERT_TRUE(WaitStarts(1));
    RecordedStart start = Starts()[0];
    EXPECT_EQ(start.args, "--exit one \"two words\"");
    EXPECT_EQ(lstrcmpiA(start.cwd.c_str(), BuildDir().c_str()), 0) << start.cwd;
}

TEST_F(ProgramLaunchTest, RunningCopyIsRestoredAndBroughtForwardInsteadOfStarted)
{
    HWND running = RunRecorder(recorder, "Running recorder", SW_SHOWMINIMIZED);
    ASSERT_TRUE(running);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(running) != FALSE; }));
    AssignKey("F5", recorder);
    AssignKey("F12", recorder, "--exit first");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());

    PressKey(VK_F5);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(running) && GetForegroundWindow() == running; }))
        << "the running copy was not restored and brought to the front";
    Settle("first");
    EXPECT_EQ(ExtraCopiesRunning("recorder.exe"), 0u) << "a second copy was started";

    // With arguments a second copy is always started.
    AssignKey("F5", recorder, "--title \"Second copy\"");
    ASSERT_TRUE(FocusOwnWindow());
    PressKey(VK_F5);
    EXPECT_TRUE(WaitForWindow("SpringdeckRecorder", "Second copy")) << "no second copy with arguments";
}

TEST_F(ProgramLaunchTest, CopyWithHiddenWindowsOnlyIsStartedAgain)
{
    RunRecorder(recorder, ""); // its only window stays hidden
    AssignKey("F5", recorder);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F5);
    ASSERT_TRUE(WaitStarts(2)) << "the hidden copy counted as running";
    EXPECT_EQ(Starts()[1].args, "");
}

TEST_F(ProgramLaunchTest, LongAndShortSpellingsOfOnePathMatch)
{
    std::string folder = scratch + "\\Long Folder Name";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string longExe = folder + "\\long program name.exe";
    ASSERT_TRUE(CopyFileTo(recorder, longExe));
    std::string shortExe = ShortPath(longExe);
    ASSERT_NE(shortExe, "");
    ASSERT_NE(lstrcmpiA(shortExe.c_str(), longExe.c_str()), 0) << "no distinct short form here";

    AssignKey("F5", longExe);
    AssignKey("F6", shortExe);
    AssignKey("F12", recorder, "--exit settled");
    ASSERT_TRUE(Start());

    // Started in its short form, found from the long one...
    HWND running = RunRecorder(shortExe, "Started short");
    ASSERT_TRUE(running);
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F5);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == running; }));
    KillProcess(started.back());
    started.pop_back();

    // ...and the reverse.
    running = RunRecorder(longExe, "Started long");
    ASSERT_TRUE(running);
    ASSERT_TRUE(FocusOwnWindow());
    PressKey(VK_F6);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == running; }));
    Settle("settled");
    EXPECT_EQ(ExtraCopiesRunning("long program name.exe"), 0u);
}

TEST_F(ProgramLaunchTest, SchedulerAndExchangeAreAlwaysStartedAnew)
{
    // The names count in any case and with any extension.
    std::string scheduler = scratch + "\\schdpl32.exe";
    std::string exchange = scratch + "\\EXCHNG32.com";
    ASSERT_TRUE(CopyFileTo(recorder, scheduler));
    ASSERT_TRUE(CopyFileTo(recorder, exchange));
    ASSERT_TRUE(RunRecorder(scheduler, "Scheduler"));
    ASSERT_TRUE(RunRecorder(exchange, "Exchange"));
    AssignKey("F5", scheduler);
    AssignKey("F6", exchange);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F5);
    ASSERT_TRUE(WaitStarts(3));
    ASSERT_TRUE(FocusOwnWindow());
    PressKey(VK_F6);
    ASSERT_TRUE(WaitStarts(4));
    EXPECT_EQ(ExtraCopiesRunning("schdpl32.exe"), 1u);
    EXPECT_EQ(ExtraCopiesRunning("EXCHNG32.com"), 1u);
}

TEST_F(ProgramLaunchTest, DocumentOpensInItsAssociatedProgram)
{
    const std::string classes = "Software\\Classes\\";
    const std::string type = "Springdeck.TestDocument";
    std::string command = "\"" + recorder + "\" --exit --document \"%1\"";
    WriteString(HKEY_LOCAL_MACHINE, classes + ".sdtestdoc", nullptr, type);
    WriteString(HKEY_LOCAL_MACHINE, classes + type + "\\shell\\open\\command", nullptr, command);
    std::string document = scratch + "\\notes.sdtestdoc";
    HANDLE file = CreateFileA(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);

    AssignKey("F7", document);
    Start();
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F7);
    bool opened = WaitStarts(1);
    DeleteTree(HKEY_LOCAL_MACHINE, classes + ".sdtestdoc");
    DeleteTree(HKEY_LOCAL_MACHINE, classes + type);
    ASSERT_TRUE(opened) << "the document's program did not start";
    EXPECT_EQ(Starts()[0].args, "--exit --document \"" + document + "\"");
}

TEST_F(ProgramLaunchTest, FailedLaunchIsReportedAndKeysKeepWorking)
{
    AssignKey("F5", "C:\\nowhere\\missing.exe");
    // Longer than the program reads: it is cut, never overruns.
    std::string overlong = "C:\\nowhere\\" + std::string(300, 'x') + ".exe";
    AssignKey("F6", overlong);
    AssignKey("F12", recorder, "--exit after");
    HWND window = Start();
    ASSERT_TRUE(window);
    ASSERT_TRUE(ShowFocusWindow());

    PressKey(VK_F5);
    HWND box = WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), "Unable to launch C:\\nowhere\\missing.exe");
    EXPECT_EQ(GetWindow(box, GW_OWNER), window);
    CaptureWindowShown(box, "unable-to-launch");
    // Keys are served while the message is open.
    Settle("after");
    ClickButton(box, IDOK);
    ASSERT_TRUE(WaitWindowGone(box));

    ASSERT_TRUE(FocusOwnWindow());
    PressKey(VK_F6);
    box = WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), "Unable to launch " + overlong.substr(0, 259));
    ClickButton(box, IDOK);
    ASSERT_TRUE(WaitWindowGone(box));
    EXPECT_TRUE(IsResponsive(window));
}

TEST_F(ProgramLaunchTest, ChangedAssignmentRulesTheNextPress)
{
    AssignKey("F5", recorder, "--exit first");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F5);
    ASSERT_TRUE(WaitStarts(1));
    SetSetting("args", "F5", "--exit second");
    ASSERT_TRUE(FocusOwnWindow());
    PressKey(VK_F5);
    ASSERT_TRUE(WaitStarts(2));
    EXPECT_EQ(Starts()[1].args, "--exit second");

    SetSetting("command line", "F5", "C:\\nowhere\\changed.exe");
    ASSERT_TRUE(FocusOwnWindow());
    PressKey(VK_F5);
    HWND box = WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), "Unable to launch C:\\nowhere\\changed.exe");
    ClickButton(box, IDOK);
    WaitWindowGone(box);
}

} // namespace
