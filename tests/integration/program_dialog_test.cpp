// "Assign a software program": the Start Menu list, walking folders,
// assigning programs and connections, browsing and the CD-ROM programs.
//
// The dialog is reached as a user reaches it: the tray's Setup command, the
// key's button in the setup dialog, then "Launch a software program" in the
// key chooser; the Start Menu is the one Springdeck read while starting. The
// test of freed objects runs the dialog in the picker double instead
// (tests/doubles/picker), which watches the dialog from inside its process.
#include "setup_dialog_fixture.h"

#include "picking/picking_internal.h"

#include <algorithm>

using namespace driver;

namespace {

constexpr char ProgramDialogTitle[] = "Assign a software program";
constexpr char ConfirmTitle[] = "Springdeck - Setup Application";
constexpr char PickerWineSettings[] = "Software\\Wine\\AppDefaults\\picker.exe\\X11 Driver";
constexpr char TopLevelHeader[] =
    "Program and Folders on your Start Menu\r\n(double-click a folder to see its contents):";

// What the test sees of one list entry, read from the dialog's process.
struct Entry {
    std::string name;
    std::string path;
    std::string iconPath;
    bool folder, goBack, connection;
    int depth;
};

class ProgramPickerTest : public SetupDialogFixture {
protected:
    void SetUp() override
    {
        SetupDialogFixture::SetUp();
        KillProcessesNamed("picker.exe");
        startMenu = ScratchDir();
        programs = startMenu + "\\Programs";
        CreateDirectoryA(programs.c_str(), nullptr);
        recorder = DoublePath("recorder");
    }

    void TearDown() override
    {
        if (picker.handle)
            KillProcess(picker);
        KillProcessesNamed("picker.exe");
        DeleteTree(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\picker.exe");
        RestoreStartMenuFolder();
        UnregisterDialUpFolder();
        SetupDialogFixture::TearDown();
    }

    // The example Start Menu: programs B and A, folders Games and Accessories.
    void MakeExampleMenu()
    {
        ASSERT_TRUE(CreateShortcut(programs + "\\B.lnk", recorder, "--title Bee"));
        ASSERT_TRUE(CreateShortcut(programs + "\\A.lnk", recorder, "--title Ay", recorder, 0));
        CreateDirectoryA((programs + "\\Games").c_str(), nullptr);
        CreateDirectoryA((programs + "\\Accessories").c_str(), nullptr);
    }

    // Starts Springdeck on the test's Start Menu (once), opens the setup
    // dialog (once) and goes from the key's button to the program dialog.
    HWND OpenPicker(int key = 105)
    {
        owner = &springdeck;
        if (!mainWindow)
            PointStartMenuAt(startMenu, allUsersMenu);
        if (!setup && !(setup = OpenSetup()))
            return nullptr;
        ClickButton(setup, key);
        HWND chooser = WaitForWindow("#32770", ChooserTitle);
        if (!chooser)
            return nullptr;
        ClickButton(chooser, IDC_LAUNCH_PROGRAM);
        return WaitForWindow("#32770", ProgramDialogTitle);
    }

    // The program dialog (and browsing) ended and the setup dialog is back.
    bool BackInSetup(HWND dialog)
    {
        return WaitWindowGone(dialog) &&
               WaitUntil([&] { return !FindTopWindow("#32770", ConfirmTitle) && IsWindowEnabled(setup); });
    }

    bool NothingWritten(const char *key)
    {
        return !ValueExists(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\command line", key);
    }

    // The dialog in the picker double instead, which ends with PickProgram's
    // result (args: the key id and how many times to open the dialog).
    HWND OpenInPicker(const std::string &args)
    {
        owner = &picker;
        // Drawn by Wine itself, as Springdeck's windows are on the virtual
        // display (no window manager to wait for).
        if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
            WriteValue(HKEY_CURRENT_USER, PickerWineSettings, "Managed", REG_SZ, "N", 2);
        PointStartMenuAt(startMenu, allUsersMenu);
        picker = StartProgram(DoublePath("picker"), args);
        if (!picker.handle)
            return nullptr;
        return WaitForWindow("#32770", ProgramDialogTitle);
    }

    std::vector<Entry> Entries(HWND dialog)
    {
        std::vector<Entry> entries;
        HWND list = GetDlgItem(dialog, IDC_PROGRAM_LIST);
        int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            LRESULT data = SendMessageA(list, LB_GETITEMDATA, i, 0);
            ProgramListItem item;
            SIZE_T got = 0;
            if (!ReadProcessMemory(owner->handle, reinterpret_cast<LPCVOID>(data), &item, sizeof item, &got) ||
                got != sizeof item) {
                ADD_FAILURE() << "cannot read entry " << i;
                continue;
            }
            entries.push_back({item.displayName, item.path, item.iconPath, item.isFolder != 0, item.isGoBack != 0,
                               item.isConnection != 0, item.depth});
        }
        return entries;
    }

    std::vector<std::string> Names(HWND dialog)
    {
        std::vector<std::string> names;
        for (const Entry &entry : Entries(dialog))
            names.push_back(entry.name);
        return names;
    }

    int IndexOf(HWND dialog, const std::string &name)
    {
        std::vector<std::string> names = Names(dialog);
        auto found = std::find(names.begin(), names.end(), name);
        return found == names.end() ? -1 : static_cast<int>(found - names.begin());
    }

    // Waits until the list shows the entry and clicks (or double-clicks) it.
    bool Click(HWND dialog, const std::string &name, bool doubleClick = false)
    {
        int index = -1;
        if (!WaitUntil([&] { return (index = IndexOf(dialog, name)) >= 0; }, 5000))
            return false;
        ClickListItem(GetDlgItem(dialog, IDC_PROGRAM_LIST), index, doubleClick);
        return true;
    }

    bool WaitHeader(HWND dialog, const std::string &text)
    {
        return WaitUntil([&] { return ItemText(dialog, IDC_PROGRAM_HEADER) == text; }, 5000);
    }

    bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
    bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

    // Closes the setup dialog so that the keys work again.
    void CloseSetup()
    {
        ClickButton(setup, IDCANCEL); // its "OK" button
        EXPECT_TRUE(WaitWindowGone(setup));
        setup = nullptr;
    }

    std::string startMenu, programs, recorder;
    std::string allUsersMenu; // none unless a test makes one
    HWND setup = nullptr;
    Process picker;
    Process *owner = &springdeck;
};

TEST_F(ProgramPickerTest, TopLevelOrderFromTheCacheEveryTime)
{
    MakeExampleMenu();
    HWND dialog = OpenPicker();
    ASSERT_TRUE(dialog);
    std::vector<std::string> expected = {"A", "B", "Accessories", "Games", "Dial-Up Networking"};
    EXPECT_EQ(Names(dialog), expected);
    for (const Entry &entry : Entries(dialog))
        EXPECT_EQ(entry.depth, 0) << entry.name;
    EXPECT_EQ(ItemText(dialog, IDC_PROGRAM_HEADER), TopLevelHeader);
    EXPECT_EQ(ItemText(dialog, IDC_PROGRAM_INSTRUCTION), "Click on a program to assign it to");
    EXPECT_FALSE(Enabled(dialog, IDOK));
    EXPECT_FALSE(Visible(dialog, IDC_PROGRAM_ASSIGNED));
    EXPECT_NE(SendDlgItemMessageA(dialog, IDC_PROGRAM_KEYICON, STM_GETICON, 0, 0), 0);
    CaptureScreen("program-dialog-top");

    // The cache was read at start: a shortcut removed since is still offered.
    DeleteFileA((programs + "\\B.lnk").c_str());
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(BackInSetup(dialog));
    dialog = OpenPicker();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Names(dialog), expected);
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(BackInSetup(dialog));
    EXPECT_TRUE(NothingWritten("F5"));
}

TEST_F(ProgramPickerTest, OnlyProgramsAndFoldersAreListed)
{
    std::string docs = ScratchDir();
    std::string document = docs + "\\notes.txt";
    CloseHandle(CreateFileA(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(CreateShortcut(programs + "\\Document.lnk", document));
    ASSERT_TRUE(CreateShortcut(programs + "\\Missing.lnk", docs + "\\gone.exe"));
    ASSERT_TRUE(CreateShortcut(programs + "\\Hidden.lnk", recorder));
    ASSERT_TRUE(CreateShortcut(programs + "\\System.lnk", recorder));
    SetFileAttributesA((programs + "\\Hidden.lnk").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((programs + "\\System.lnk").c_str(), FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(CreateShortcut(programs + "\\CAPS.LNK", recorder, "--caps"));
    // An icon path too long to store: listed without it (the key shows the program's icon).
    ASSERT_TRUE(CreateShortcut(programs + "\\LongIcon.lnk", recorder, "", docs + "\\" + std::string(300, 'i'), 1));
    ASSERT_TRUE(CopyFileTo(recorder, programs + "\\Direct.exe"));
    ASSERT_TRUE(CopyFileTo(document, programs + "\\readme.txt"));
    HANDLE url = CreateFileA((programs + "\\Web.url").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const char urlText[] = "[InternetShortcut]\r\nURL=http://www.example.com/\r\n";
    DWORD written = 0;
    WriteFile(url, urlText, sizeof urlText - 1, &written, nullptr);
    CloseHandle(url);
    DeleteFileA(document.c_str()); // the shortcut to it now leads nowhere either way
    CloseHandle(CreateFileA(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    HWND dialog = OpenPicker();
    ASSERT_TRUE(dialog);
    std::vector<std::string> names = Names(dialog);
    ASSERT_EQ(names.size(), 4u) << ::testing::PrintToString(names);
    EXPECT_EQ(names[0], "CAPS");
    EXPECT_EQ(names[1].substr(0, 6), "Direct");
    EXPECT_EQ(names[2], "LongIcon");
    EXPECT_EQ(Entries(dialog)[2].iconPath, "");
    EXPECT_EQ(names[3], "Dial-Up Networking");

    // An executable placed directly: its full path, no arguments, no icon.
    ASSERT_TRUE(Click(dialog, names[1]));
    ASSERT_TRUE(WaitUntil([&] { return Enabled(dialog, IDOK); }));
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(BackInSetup(dialog));
    EXPECT_EQ(Setting("command line", "F5"), programs + "\\Direct.exe");
    EXPECT_EQ(Setting("args", "F5"), "");
    EXPECT_EQ(Setting("title", "F5"), names[1]);
    EXPECT_EQ(Setting("icon", "F5"), "");
    DWORD index = 99;
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\icon index", "F5", &index));
    EXPECT_EQ(index, 0u);
}

// With the all-users Start Menu (Windows 2000 and later) both are merged:
// a folder both have is one entry listing both, a name both have is the user's.
TEST_F(ProgramPickerTest, WalkingFoldersAndBack)
{
    MakeExampleMenu();
    std::string accessories = programs + "\\Accessories";
    ASSERT_TRUE(CreateShortcut(accessories + "\\Calculator.lnk", recorder, "--calc"));
    CreateDirectoryA((accessories + "\\System Tools").c_str(), nullptr);
    ASSERT_TRUE(CreateShortcut(accessories + "\\System Tools\\Cleaner.lnk", recorder));
    CreateDirectoryA((accessories + "\\Empty").c_str(), nullptr);
    allUsersMenu = ScratchDir();
    std::string common = allUsersMenu + "\\Programs";
    for (const char *folder : {"", "\\ACCESSORIES", "\\Accessories\\System Tools", "\\Accessories\\Paint", "\\Office"})
        CreateDirectoryA((common + folder).c_str(), nullptr);
    for (const char *link : {"\\B.lnk", "\\C.lnk", "\\Accessories\\calculator.lnk", "\\Accessories\\Notepad.lnk",
                             "\\Accessories\\System Tools\\Defrag.lnk", "\\Office\\Writer.lnk"})
        ASSERT_TRUE(CreateShortcut(common + link, recorder, "--all-users"));

    HWND dialog = OpenPicker();
    ASSERT_TRUE(dialog);
    std::vector<Entry> top = Entries(dialog);
    std::vector<std::string> expected = {"A", "B", "C", "Accessories", "Games", "Office", "Dial-Up Networking"};
    EXPECT_EQ(Names(dialog), expected);
    ASSERT_EQ(top.size(), expected.size());
    EXPECT_EQ(top[1].path, programs + "\\B.lnk");
    EXPECT_EQ(top[3].path, accessories);
    EXPECT_EQ(top[5].path, common + "\\Office");
    CaptureScreen("program-dialog-merged-top");
    ASSERT_TRUE(Click(dialog, "A"));
    ASSERT_TRUE(WaitUntil([&] { return Visible(dialog, IDC_PROGRAM_ASSIGNED); }));
    ASSERT_TRUE(Click(dialog, "Accessories", true));
    ASSERT_TRUE(WaitHeader(dialog, "\r\nPrograms in your Accessories folder:\r\n"));
    std::vector<Entry> entries = Entries(dialog);
    expected = {"Go Back", "Calculator", "Notepad", "Empty", "Paint", "System Tools"};
    EXPECT_EQ(Names(dialog), expected);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_TRUE(entries[0].goBack);
    EXPECT_EQ(entries[0].depth, 1);
    EXPECT_EQ(entries[0].path, programs);
    EXPECT_EQ(entries[1].path, accessories + "\\Calculator.lnk");
    EXPECT_EQ(entries[5].depth, 1);
    EXPECT_FALSE(Enabled(dialog, IDOK));
    EXPECT_FALSE(Visible(dialog, IDC_PROGRAM_ASSIGNED));
    EXPECT_FALSE(Visible(dialog, IDC_PROGRAM_PREVIEW));
    CaptureScreen("program-dialog-folder");

    // Two deep, and back to its parent.
    ASSERT_TRUE(Click(dialog, "System Tools", true));
    ASSERT_TRUE(WaitHeader(dialog, "\r\nPrograms in your System Tools folder:\r\n"));
    entries = Entries(dialog);
    EXPECT_EQ(Names(dialog), (std::vector<std::string>{"Go Back", "Cleaner", "Defrag"}));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].depth, 2);
    EXPECT_EQ(entries[0].path, accessories);
    ASSERT_TRUE(Click(dialog, "Go Back", true));
    ASSERT_TRUE(WaitHeader(dialog, "\r\nPrograms in your Accessories folder:\r\n"));
    EXPECT_EQ(Names(dialog), expected);

    // An empty folder lists only Go Back; so does one only the all-users
    // Start Menu has, and from either Go Back lists both Accessories again.
    for (const char *folder : {"Empty", "Paint"}) {
        ASSERT_TRUE(Click(dialog, folder, true));
        ASSERT_TRUE(WaitHeader(dialog, "\r\nPrograms in your " + std::string(folder) + " folder:\r\n"));
        EXPECT_EQ(Names(dialog), std::vector<std::string>{"Go Back"});
        ASSERT_TRUE(Click(dialog, "Go Back", true));
        ASSERT_TRUE(WaitHeader(dialog, "\r\nPrograms in your Accessories folder:\r\n"));
        EXPECT_EQ(Names(dialog), expected);
    }

    // Back at the top the cached entries return; nothing is read again.
    DeleteFileA((programs + "\\A.lnk").c_str());
    ASSERT_TRUE(Click(dialog, "Go Back"));
    ASSERT_TRUE(WaitUntil([&] { return Enabled(dialog, IDOK); }));
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitHeader(dialog, TopLevelHeader));
    expected = {"A", "B", "C", "Accessories", "Games", "Office", "Dial-Up Networking"};
    EXPECT_EQ(Names(dialog), expected);
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(BackInSetup(dialog));
    EXPECT_TRUE(NothingWritten("F5"));
}

TEST_F(ProgramPickerTest, ChosenShortcutIsWritten)
{
    std::string scratch = ScratchDir();
    // The icon: the fourth of Springdeck's own, the F3 key cap.
    std::string program = scratch + "\\Recorder Program.exe", icons = scratch + "\\icons.exe";
    ASSERT_TRUE(CopyFileTo(recorder, program));
    ASSERT_TRUE(CopyFileTo(SpringdeckExe(), icons));
    MakeExampleMenu();
    ASSERT_TRUE(CreateShortcut(programs + "\\Recorder With Icon.lnk", program, "--title \"Keyed\"", icons, 3));

    HWND dialog = OpenPicker();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(Click(dialog, "Recorder With Icon"));
    ASSERT_TRUE(WaitUntil([&] { return Visible(dialog, IDC_PROGRAM_ASSIGNED) && Enabled(dialog, IDOK); }));
    EXPECT_TRUE(Visible(dialog, IDC_PROGRAM_PREVIEW));
    EXPECT_NE(SendDlgItemMessageA(dialog, IDC_PROGRAM_PREVIEW, STM_GETICON, 0, 0), 0);
    CaptureScreen("program-dialog-selected");
    // A folder hides the preview again.
    ASSERT_TRUE(Click(dialog, "Games"));
    ASSERT_TRUE(WaitUntil([&] { return !Visible(dialog, IDC_PROGRAM_ASSIGNED); }));
    EXPECT_FALSE(Visible(dialog, IDC_PROGRAM_PREVIEW));
    EXPECT_TRUE(Enabled(dialog, IDOK));
    ASSERT_TRUE(Click(dialog, "Recorder With Icon", true));
    ASSERT_TRUE(BackInSetup(dialog));

    EXPECT_EQ(Setting("command line", "F5"), ShortPath(program));
    EXPECT_NE(Setting("command line", "F5").find('~'), std::string::npos) << "short form";
    EXPECT_EQ(Setting("args", "F5"), "--title \"Keyed\"");
    EXPECT_EQ(Setting("title", "F5"), "Recorder With Icon");
    EXPECT_EQ(Setting("icon", "F5"), icons);
    DWORD index = 0;
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\icon index", "F5", &index));
    EXPECT_EQ(index, 3u);

    // The setup dialog shows the program's icon on the key.
    EXPECT_TRUE(ShowsFaceIcon(GetDlgItem(setup, 105), ICO_F3));
    Pump(500); // the rest of the dialog repaints for the screenshot
    CaptureScreen("setup-after-program");
}

// End to end: a program chosen in the dialog is started by its key.
TEST_F(ProgramPickerTest, ChosenProgramStartsOnKeyPress)
{
    std::string log = ScratchDir() + "\\recorder.log";
    ASSERT_TRUE(CreateShortcut(programs + "\\Recorder.lnk", recorder, "--exit chosen"));
    SetEnvironmentVariableA("RECORDER_LOG", log.c_str());
    HWND dialog = OpenPicker(106);
    SetEnvironmentVariableA("RECORDER_LOG", nullptr);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(Click(dialog, "Recorder", true));
    ASSERT_TRUE(BackInSetup(dialog));
    CloseSetup();
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F6);
    ASSERT_TRUE(WaitUntil([&] { return !ReadLines(log).empty(); }));
    EXPECT_NE(ReadLines(log)[0].find("args=--exit chosen"), std::string::npos) << ReadLines(log)[0];
}

// ---- connections ---------------------------------------------------------------

TEST_F(ProgramPickerTest, ConnectionsAreListedAndAssigned)
{
    // The folder's first item (its wizard) is never offered.
    RegisterDialUpFolder({"Make New Connection", "Work", "Home"});
    MakeExampleMenu();
    HWND dialog = OpenPicker();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(Click(dialog, "Dial-Up Networking"));
    ASSERT_TRUE(WaitUntil([&] { return Enabled(dialog, IDOK); }));
    EXPECT_FALSE(Visible(dialog, IDC_PROGRAM_ASSIGNED)) << "the Dial-Up Networking entry has no preview";
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitHeader(dialog, "\r\nInternet connections on your computer:"));
    std::vector<std::string> expected = {"Go Back", "Dial Home", "Dial Work"};
    EXPECT_EQ(Names(dialog), expected);
    EXPECT_FALSE(Enabled(dialog, IDOK));
    CaptureScreen("program-dialog-connections");

    // Go Back returns to the cached top level, and in again.
    ASSERT_TRUE(Click(dialog, "Go Back", true));
    ASSERT_TRUE(WaitHeader(dialog, TopLevelHeader));
    EXPECT_EQ(Names(dialog).size(), 5u);
    ASSERT_TRUE(Click(dialog, "Dial-Up Networking", true));
    ASSERT_TRUE(WaitHeader(dialog, "\r\nInternet connections on your computer:"));

    ASSERT_TRUE(Click(dialog, "Dial Home"));
    ASSERT_TRUE(WaitUntil([&] { return Visible(dialog, IDC_PROGRAM_ASSIGNED); }));
    EXPECT_NE(SendDlgItemMessageA(dialog, IDC_PROGRAM_PREVIEW, STM_GETICON, 0, 0), 0);
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(BackInSetup(dialog));
    EXPECT_EQ(Setting("command line", "F5"), ":connection");
    EXPECT_EQ(Setting("args", "F5"), "Home");
    EXPECT_EQ(Setting("title", "F5"), "Dial Home");
    EXPECT_EQ(Setting("icon", "F5"), "");
    DWORD index = 99;
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\icon index", "F5", &index));
    EXPECT_EQ(index, 0u);

    // The key dials it.
    CloseSetup();
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F5);
    ASSERT_TRUE(WaitUntil([&] { return !ReadLines(DialUpLogPath()).empty(); }));
    EXPECT_EQ(ReadLines(DialUpLogPath()), std::vector<std::string>{"dialed Home"});
}

TEST_F(ProgramPickerTest, NamesThatCannotBeStoredWholeAreLeftOut)
{
    std::string longest(250, 'x'), tooLong(251, 'y');
    RegisterDialUpFolder({"Make New Connection", tooLong, longest, "Net"});
    HWND dialog = OpenPicker();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(Click(dialog, "Dial-Up Networking", true));
    ASSERT_TRUE(WaitHeader(dialog, "\r\nInternet connections on your computer:"));
    std::vector<std::string> expected = {"Go Back", "Dial Net", "Dial " + longest};
    EXPECT_EQ(Names(dialog), expected);
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(BackInSetup(dialog));
}

TEST_F(ProgramPickerTest, WithoutDialUpNetworkingOnlyGoBack)
{
    HWND dialog = OpenPicker();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Names(dialog), std::vector<std::string>{"Dial-Up Networking"});
    ASSERT_TRUE(Click(dialog, "Dial-Up Networking", true));
    ASSERT_TRUE(WaitHeader(dialog, "\r\nInternet connections on your computer:"));
    EXPECT_EQ(Names(dialog), std::vector<std::string>{"Go Back"});
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(BackInSetup(dialog));
    EXPECT_TRUE(NothingWritten("F5"));
}

// ---- resources -----------------------------------------------------------------

TEST_F(ProgramPickerTest, DialogObjectsAndEntriesAreFreed)
{
    MakeExampleMenu();
    std::string accessories = programs + "\\Accessories";
    for (const char *name : {"One", "Two", "Three", "Four", "Five"})
        ASSERT_TRUE(CreateShortcut(accessories + "\\" + name + ".lnk", recorder));
    std::string log = ScratchDir() + "\\picker.log";
    SetEnvironmentVariableA("PICKER_LOG", log.c_str());
    const int cycles = 6;
    HWND dialog = OpenInPicker("105 " + std::to_string(cycles));
    SetEnvironmentVariableA("PICKER_LOG", nullptr);
    for (int cycle = 0; cycle < cycles; ++cycle) {
        if (cycle > 0)
            dialog = WaitForWindow("#32770", ProgramDialogTitle);
        ASSERT_TRUE(dialog) << cycle;
        ASSERT_TRUE(Click(dialog, "A"));
        ASSERT_TRUE(WaitUntil([&] { return Visible(dialog, IDC_PROGRAM_PREVIEW); }));
        ASSERT_TRUE(Click(dialog, "Accessories", true));
        ASSERT_TRUE(WaitHeader(dialog, "\r\nPrograms in your Accessories folder:\r\n"));
        ClickButton(dialog, IDCANCEL);
        ASSERT_TRUE(WaitUntil([&] { return static_cast<int>(ReadLines(log).size()) == cycle + 1; }));
    }
    EXPECT_EQ(WaitExit(picker), 2u) << "PickProgram's result";

    // The bold font, both bitmaps and the preview icon die with each dialog,
    // and the heap holds no more after the last cycle than after the second.
    std::vector<std::string> lines = ReadLines(log);
    ASSERT_EQ(static_cast<int>(lines.size()), cycles);
    for (const std::string &line : lines)
        EXPECT_NE(line.find(" live 0/4"), std::string::npos) << line;
    auto heap = [](const std::string &line) { return strtoull(line.c_str() + line.find("heap ") + 5, nullptr, 10); };
    EXPECT_LT(heap(lines.back()), heap(lines[1]) + 4096) << lines[1] << " / " << lines.back();
}

// ---- browsing --------------------------------------------------------------------

constexpr char BrowserTitle[] = "Browse for other programs";

// Chooses a file in the Open File dialog by typing its path.
void ChooseFile(HWND browser, const std::string &path)
{
    SetDlgItemTextA(browser, 0x480 /* edt1 */, path.c_str());
    ClickButton(browser, IDOK);
}

TEST_F(ProgramPickerTest, BrowseShowsTheOpenFileDialogAsSet)
{
    ASSERT_TRUE(UseProgramWithoutChm()); // help goes to WinHelp, where the test sees its request
    HWND dialog = OpenPicker();
    ASSERT_TRUE(dialog);
    ClickButton(dialog, IDC_PROGRAM_BROWSE);
    HWND browser = WaitForWindow("#32770", BrowserTitle);
    ASSERT_TRUE(browser);
    EXPECT_EQ(ItemText(browser, IDOK), "OK");
    EXPECT_EQ(GetWindowLongA(browser, GWL_EXSTYLE) & WS_EX_CONTEXTHELP, 0);
    EXPECT_EQ(ItemText(browser, 0x470 /* cmb1 */), "Program Files");
    EXPECT_EQ(SendDlgItemMessageA(browser, 0x470, CB_GETCOUNT, 0, 0), 3);
    EXPECT_NE(ItemText(browser, 0x471 /* cmb2 */).find("(C:)"), std::string::npos);
    EXPECT_TRUE(WaitUntil(
        [&] {
            RECT rect;
            GetWindowRect(browser, &rect);
            return rect.left + rect.right ==
                       GetSystemMetrics(SM_CXSCREEN) - (GetSystemMetrics(SM_CXSCREEN) - rect.right + rect.left) % 2 &&
                   rect.top + rect.bottom ==
                       GetSystemMetrics(SM_CYSCREEN) - (GetSystemMetrics(SM_CYSCREEN) - rect.bottom + rect.top) % 2;
        },
        5000))
        << "centred";
    EXPECT_FALSE(FindTopWindow("#32770", ConfirmTitle)) << "the confirmation waits for a choice";
    CaptureScreen("browse-open-file");

    // Help opens the general topic. The Open File dialog asks its owner with
    // the registered "commdlg_help" message; Wine's dialog does not act on
    // its Help button, so the test sends that message itself.
    ASSERT_TRUE(StartHelpCapture());
    HWND owner = GetWindow(browser, GW_OWNER);
    ASSERT_TRUE(owner);
    EXPECT_EQ(WindowText(owner), ConfirmTitle);
    PostMessageA(owner, RegisterWindowMessageA("commdlg_help"), reinterpret_cast<WPARAM>(browser), 0);
    EXPECT_TRUE(WaitUntil([&] { return !HelpRequests().empty(); }, 5000));
    std::vector<HelpRequest> requests = HelpRequests();
    StopHelpCapture();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(requests[0].data, 100u);
    EXPECT_NE(requests[0].file.find("springdeck.hlp"), std::string::npos) << requests[0].file;

    // Cancel: nothing written, the confirmation never shown.
    ClickButton(browser, IDCANCEL);
    ASSERT_TRUE(BackInSetup(browser));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(NothingWritten("F5"));
}

TEST_F(ProgramPickerTest, BrowsedProgramIsConfirmedAndWritten)
{
    std::string folder = ScratchDir();
    std::string first = folder + "\\First.exe", second = folder + "\\Second Program.exe";
    ASSERT_TRUE(CopyFileTo(recorder, first));
    ASSERT_TRUE(CopyFileTo(recorder, second));
    HWND dialog = OpenPicker(107);
    ASSERT_TRUE(dialog);
    std::string currentFolder = ProcessCurrentDirectory(springdeck.handle);
    ClickButton(dialog, IDC_PROGRAM_BROWSE);
    HWND browser = WaitForWindow("#32770", BrowserTitle);
    ASSERT_TRUE(browser);
    ChooseFile(browser, first);
    HWND confirm = WaitForWindow("#32770", ConfirmTitle);
    ASSERT_TRUE(confirm);
    EXPECT_EQ(ItemText(confirm, IDC_SETUPAPP_PATH), first);
    EXPECT_NE(SendDlgItemMessageA(confirm, IDC_SETUPAPP_ICON, STM_GETICON, 0, 0), 0);
    EXPECT_EQ(ProcessCurrentDirectory(springdeck.handle), currentFolder) << "the Open File dialog kept the folder";
    CaptureScreen("browse-confirm");

    // Browse again replaces the choice.
    ClickButton(confirm, IDC_SETUPAPP_BROWSE);
    browser = WaitForWindow("#32770", BrowserTitle);
    ASSERT_TRUE(browser);
    ChooseFile(browser, second);
    ASSERT_TRUE(WaitUntil([&] { return ItemText(confirm, IDC_SETUPAPP_PATH) == second; }));
    ClickButton(confirm, IDOK);
    ASSERT_TRUE(BackInSetup(confirm));
    EXPECT_EQ(Setting("command line", "F7"), second);
    EXPECT_EQ(Setting("args", "F7"), "");
    EXPECT_EQ(Setting("title", "F7"), second);
    EXPECT_EQ(Setting("icon", "F7"), second);
    DWORD index = 99;
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\icon index", "F7", &index));
    EXPECT_EQ(index, 0u);
}

TEST_F(ProgramPickerTest, EditedPathIsWrittenAndBrowseAgainCancelWritesNothing)
{
    std::string program = ScratchDir() + "\\Tool.exe";
    ASSERT_TRUE(CopyFileTo(recorder, program));
    HWND dialog = OpenPicker();
    ASSERT_TRUE(dialog);

    // Choose, browse again, cancel: nothing written.
    ClickButton(dialog, IDC_PROGRAM_BROWSE);
    HWND browser = WaitForWindow("#32770", BrowserTitle);
    ASSERT_TRUE(browser);
    ChooseFile(browser, program);
    HWND confirm = WaitForWindow("#32770", ConfirmTitle);
    ASSERT_TRUE(confirm);
    ClickButton(confirm, IDC_SETUPAPP_BROWSE);
    ASSERT_TRUE(WaitUntil([&] { return (browser = FindTopWindow("#32770", BrowserTitle)) != nullptr; }));
    ClickButton(browser, IDCANCEL);
    ASSERT_TRUE(BackInSetup(confirm));
    EXPECT_TRUE(NothingWritten("F5"));

    // The second opening: the typed text is what is stored.
    dialog = OpenPicker();
    ASSERT_TRUE(dialog);
    ClickButton(dialog, IDC_PROGRAM_BROWSE);
    browser = WaitForWindow("#32770", BrowserTitle);
    ASSERT_TRUE(browser);
    ChooseFile(browser, program);
    confirm = WaitForWindow("#32770", ConfirmTitle);
    ASSERT_TRUE(confirm);
    SetDlgItemTextA(confirm, IDC_SETUPAPP_PATH, "C:\\Edited\\Path.exe");
    ClickButton(confirm, IDOK);
    ASSERT_TRUE(BackInSetup(confirm));
    EXPECT_EQ(Setting("command line", "F5"), "C:\\Edited\\Path.exe");
    EXPECT_EQ(Setting("title", "F5"), "C:\\Edited\\Path.exe");
    EXPECT_EQ(Setting("icon", "F5"), "C:\\Edited\\Path.exe");
}

// ---- the CD-ROM programs -----------------------------------------------------------

TEST_F(ProgramPickerTest, CdRomButtonsOpenTheirHelpTopics)
{
    const struct {
        int button;
        DWORD context;
    } topics[] = {{IDC_PGMINFO_EARTHLINK, 106}, {IDC_PGMINFO_ACT, 107}, {IDC_PGMINFO_EUDORA, 108},
                  {IDC_PGMINFO_WINFAX, 109},    {IDC_PGMINFO_IE, 110},  {IDC_PGMINFO_AOL, 111}};
    ASSERT_TRUE(UseProgramWithoutChm()); // help goes to WinHelp, where the test sees its requests
    HWND dialog = OpenPicker();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(StartHelpCapture());
    for (const auto &topic : topics) {
        ClickButton(dialog, IDC_PROGRAM_INFO);
        HWND info = WaitForWindow("#32770", "Programs on the Springdeck CD-ROM");
        ASSERT_TRUE(info);
        ClickButton(info, topic.button);
        ASSERT_TRUE(WaitWindowGone(info)) << topic.button;
        ASSERT_TRUE(WaitUntil([&] { return !HelpRequests().empty(); }, 5000)) << topic.button;
        std::vector<HelpRequest> requests = HelpRequests();
        EXPECT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].command, static_cast<UINT>(HELP_CONTEXT));
        EXPECT_EQ(requests[0].data, topic.context) << topic.button;
        StartHelpCapture(); // forget the request
    }
    // Cancel closes without help; the program dialog is as it was.
    ClickButton(dialog, IDC_PROGRAM_INFO);
    HWND info = WaitForWindow("#32770", "Programs on the Springdeck CD-ROM");
    ASSERT_TRUE(info);
    CaptureScreen("program-info");
    ClickButton(info, IDCANCEL);
    ASSERT_TRUE(WaitWindowGone(info));
    Pump(200);
    EXPECT_TRUE(HelpRequests().empty());
    StopHelpCapture();
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(Names(dialog), std::vector<std::string>{"Dial-Up Networking"});
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(BackInSetup(dialog));
}

TEST_F(ProgramPickerTest, CdRomButtonStartsTheHelpViewer)
{
    // With springdeck.chm: the HTML Help window, which stays open when the
    // chooser that asked for it closes.
    HWND dialog = OpenPicker();
    ASSERT_TRUE(dialog);
    ClickButton(dialog, IDC_PROGRAM_INFO);
    HWND info = WaitForWindow("#32770", "Programs on the Springdeck CD-ROM");
    ASSERT_TRUE(info);
    ClickButton(info, IDC_PGMINFO_EUDORA);
    ASSERT_TRUE(WaitWindowGone(info));
    EXPECT_TRUE(WaitForHtmlHelp());
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(BackInSetup(dialog));

    // Without it: WinHelp.
    StopSpringdeck(&springdeck);
    mainWindow = setup = nullptr;
    ASSERT_TRUE(UseProgramWithoutChm());
    dialog = OpenPicker();
    ASSERT_TRUE(dialog);
    ClickButton(dialog, IDC_PROGRAM_INFO);
    info = WaitForWindow("#32770", "Programs on the Springdeck CD-ROM");
    ASSERT_TRUE(info);
    ClickButton(info, IDC_PGMINFO_EUDORA);
    EXPECT_TRUE(WaitUntil([] { return FindWindowA("MS_WINHELP", nullptr) != nullptr; }));
    // springdeck.hlp at the program's own topic (context 108).
    EXPECT_TRUE(WaitForHelpTopic("Eudora Light")) << HelpViewerText().substr(0, 200);
    KillProcessesNamed("winhlp32.exe");
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(BackInSetup(dialog));
}

} // namespace
