// The setup dialog as a user meets it: its layout, the faces and tips of the
// key buttons, keys held by another program, the browser and start-up
// options, the About box and help. The key chooser has its own file.
#include "setup_dialog_fixture.h"

using namespace driver;

namespace {

class SetupDialogTest : public SetupDialogFixture {};

constexpr ControlRow SetupControls[] = {
    {-1, "Static", "Click on the key you would like to customize:", 14, 4, 208, 12},
    // each key button beside its label
    // clang-format off
    {101, "Button", "", 14, 19, 35, 30},  {-1, "Static", "F1", 17, 51, 28, 8},
    {102, "Button", "", 55, 19, 35, 30},  {-1, "Static", "F2", 58, 51, 28, 8},
    {103, "Button", "", 96, 19, 35, 30},  {-1, "Static", "F3", 98, 51, 28, 8},
    {104, "Button", "", 136, 19, 35, 30}, {-1, "Static", "F4", 139, 51, 28, 8},
    {105, "Button", "", 193, 19, 35, 30}, {-1, "Static", "F5", 196, 51, 28, 8},
    {106, "Button", "", 233, 19, 35, 30}, {-1, "Static", "F6", 236, 51, 28, 8},
    {107, "Button", "", 273, 19, 35, 30}, {-1, "Static", "F7", 275, 51, 28, 8},
    {108, "Button", "", 313, 19, 35, 30}, {-1, "Static", "F8", 316, 51, 28, 8},
    {109, "Button", "", 15, 65, 35, 30},  {-1, "Static", "F9", 18, 98, 28, 8},
    {110, "Button", "", 55, 65, 35, 30},  {-1, "Static", "F10", 58, 98, 28, 8},
    {111, "Button", "", 96, 65, 35, 30},  {-1, "Static", "F11", 100, 98, 28, 8},
    {112, "Button", "", 136, 65, 35, 30}, {-1, "Static", "F12", 139, 98, 28, 8},
    {113, "Button", "", 214, 65, 35, 30}, {-1, "Static", "Print Screen", 218, 96, 28, 17},
    {114, "Button", "", 253, 65, 35, 30}, {-1, "Static", "Scroll Lock", 256, 96, 28, 17},
    {115, "Button", "", 293, 65, 35, 30}, {-1, "Static", "Pause\r\nBreak", 295, 96, 28, 17},
    // clang-format on
    {116, "Button", "Start Springdeck when computer starts (highly recommended)", 16, 112, 224, 12},
    {118, "Button", "Which browser do you use?", 15, 127, 141, 62},
    {119, "Button", "&Netscape Navigator 2.0 or later", 19, 139, 125, 12},
    {120, "Button", "&Microsoft Internet Explorer 3.0 or later", 19, 155, 133, 12},
    {-1, "Static", "Note: Press Ctrl+Alt+Springpad to cause a Springpad to perform its normal function key function. ",
     184, 129, 176, 20},
    {117, "Button", "About", 193, 154, 50, 14},
    {9, "Button", "Help", 249, 154, 50, 14},
    {2, "Button", "OK", 305, 154, 50, 14},
    {508, "Button", "&America Online 3.0 or later", 19, 170, 133, 12},
};

LONG Style(HWND window) { return GetWindowLongA(window, GWL_STYLE); }

TEST_F(SetupDialogTest, OpensFromTheTrayLaidOutLikeTheKeyRow)
{
    ASSERT_TRUE(Start());
    PostTray(mainWindow, WM_LBUTTONDBLCLK);
    HWND dialog = WaitForWindow("#32770", SetupTitle);
    ASSERT_TRUE(dialog);

    LONG style = Style(dialog);
    EXPECT_EQ(style & (DS_MODALFRAME | DS_SETFOREGROUND | DS_CENTER), DS_MODALFRAME | DS_SETFOREGROUND | DS_CENTER);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
    ExpectLayout(dialog, 367, 194, SetupControls, sizeof SetupControls / sizeof SetupControls[0]);

    for (int id = 101; id <= 115; ++id) {
        LONG keyStyle = Style(GetDlgItem(dialog, id));
        EXPECT_EQ(keyStyle & (BS_ICON | BS_CENTER | WS_TABSTOP | BS_TYPEMASK), BS_ICON | BS_CENTER | WS_TABSTOP)
            << "key " << id;
    }
    EXPECT_EQ(Style(GetDlgItem(dialog, 116)) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    for (int id : {119, 120, 508})
        EXPECT_EQ(Style(GetDlgItem(dialog, id)) & BS_TYPEMASK, BS_AUTORADIOBUTTON) << id;
    // One group from the group box to the end, so the three radios work as one.
    EXPECT_TRUE(Style(GetDlgItem(dialog, 118)) & WS_GROUP);
    for (HWND c = GetWindow(GetDlgItem(dialog, 118), GW_HWNDNEXT); c; c = GetWindow(c, GW_HWNDNEXT))
        EXPECT_FALSE(Style(c) & WS_GROUP) << "control " << static_cast<short>(GetDlgCtrlID(c)) << " starts a group";

    // With nothing stored, Netscape Navigator is the browser.
    EXPECT_EQ(SendDlgItemMessageA(dialog, 119, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageA(dialog, 120, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendDlgItemMessageA(dialog, 508, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendDlgItemMessageA(dialog, 116, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    ClickButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitWindowGone(dialog));
    EXPECT_TRUE(IsResponsive(mainWindow));
}

TEST_F(SetupDialogTest, OpensByItselfAtTheFirstStart)
{
    ClearSettings();
    ASSERT_TRUE(Start());
    HWND dialog = WaitForWindow("#32770", SetupTitle);
    ASSERT_TRUE(dialog);
    // The first start stored the Run value before the dialog read it.
    EXPECT_EQ(SendDlgItemMessageA(dialog, 116, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(SetupDialogTest, WhileOpenSetupAndTurnOffChangeNothingAndSpringpadsWork)
{
    AssignKey("F5", DoublePath("recorder"), "--exit");
    HWND dialog = OpenSetup();
    ASSERT_TRUE(dialog);

    // Sent, not posted: a command that opened something modal would not
    // return within the time.
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(mainWindow, WM_COMMAND, IDM_SETUP, 0, SMTO_NORMAL, ScaledWait(5000), &result));
    EXPECT_TRUE(SendMessageTimeoutA(mainWindow, WM_COMMAND, IDM_TURNOFF, 0, SMTO_NORMAL, ScaledWait(5000), &result));
    int setups = 0;
    for (HWND window : TopWindowsOfProcess(springdeck.id))
        setups += WindowText(window) == SetupTitle;
    EXPECT_EQ(setups, 1);
    EXPECT_FALSE(FindTopWindow("#32770", "Springdeck")) << "Turn off asked its question";
    EXPECT_EQ(WaitExit(springdeck, 200), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_TRUE(IsWindowVisible(dialog));

    // The refresh put Springdeck's hotkeys back: F5 is caught, F6 is not.
    HWND own = ShowFocusWindow();
    EXPECT_FALSE(RegisterHotKey(own, 1, 0, VK_F5));
    EXPECT_FALSE(RegisterHotKey(own, 2, MOD_CONTROL | MOD_ALT, VK_F5));
    ClearReceivedKeys();
    PressKey(VK_F5);
    PressKey(VK_F6);
    EXPECT_TRUE(WaitUntil([] { return ReceivedKeyDown(VK_F6); }, 5000));
    EXPECT_FALSE(ReceivedKeyDown(VK_F5)) << "F5 reached the window although it is a Springpad";
}

TEST_F(SetupDialogTest, KeyFacesShowTheAssignmentsAndTipsTheirTitles)
{
    const std::string exe = SpringdeckExe();
    AssignKey("F1", exe, "", "Springdeck itself", exe, 0);      // stored icon, index 0
    AssignKey("F2", ":connection", "My ISP", "My ISP");         // connection
    AssignKey("F3", "http://www.cnet.com/");                    // a preset with '/' added
    AssignKey("F4", "file:///c|/docs/page.htm", "", "My page"); // other web address
    AssignKey("F5", exe);                                       // no stored icon
    AssignKey("F6", exe, "", "", exe, 3);                       // stored icon, index 3
    AssignKey("F8", "http://www.CNET.com");                     // a preset in other case
    AssignKey("F9", "http://my.yahoo.com", "", "My Yahoo!");    // a Yahoo! preset
    HWND dialog = OpenSetup();
    ASSERT_TRUE(dialog);

    struct IconFace {
        int key;
        int icon;
    } icons[] = {{101, ICO_SPRINGDECK}, {102, ICO_CONNECT}, {105, ICO_SPRINGDECK}, {106, ICO_F3},
                 {107, ICO_F7},         {109, ICO_YAHOO},   {110, ICO_F10},        {115, ICO_PAUSE}};
    for (const IconFace &face : icons) {
        HWND button = GetDlgItem(dialog, face.key);
        EXPECT_TRUE(Style(button) & BS_ICON) << "key " << face.key;
        EXPECT_TRUE(ShowsFaceIcon(button, face.icon)) << "key " << face.key << " does not show icon " << face.icon;
    }
    for (int key : {103, 104, 108}) {
        HWND button = GetDlgItem(dialog, key);
        EXPECT_TRUE(Style(button) & BS_BITMAP) << "key " << key << " has no text face";
        EXPECT_FALSE(Style(button) & BS_ICON);
        EXPECT_TRUE(SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0)) << "key " << key;
    }
    EXPECT_TRUE(CaptureWindowShown(dialog, "setup-dialog"));

    // The tip: the title, else the command line, else none.
    EXPECT_EQ(HoverTip(GetDlgItem(dialog, 101)), "Springdeck itself");
    EXPECT_EQ(HoverTip(GetDlgItem(dialog, 104)), "My page");
    EXPECT_EQ(HoverTip(GetDlgItem(dialog, 103)), "http://www.cnet.com/");
    EXPECT_TRUE(CaptureWindowShown(dialog, "setup-dialog-tip"));
    EXPECT_EQ(HoverTip(GetDlgItem(dialog, 107), 1500), "");
    MoveMouseAway();
}

TEST_F(SetupDialogTest, EachPresetAddressShowsItsPicture)
{
    // Every preset: its button (a Yahoo! choice by its radio button), the
    // title and address it is stored with, and the picture of its keys.
    const struct {
        int button;
        bool yahoo;
        const char *title, *address;
        int icon;
    } presets[] = {
        {IDC_SITE_SOD, false, "Site of the Day", "http://www.tolvane.com/cgi-bin/sod.cgi", ICO_SOD},
        {IDC_SITE_CNET, false, "CNET", "http://www.cnet.com", ICO_CNET},
        {IDC_SITE_PATHFINDER, false, "Time-Warner's Pathfinder", "http://www.pathfinder.com", ICO_PATHFINDER},
        {IDC_SITE_ESPNET, false, "ESPNET Sports Zone", "http://espnet.sportszone.com", ICO_ESPNET},
        {IDC_SITE_E, false, "E! Online", "http://www.eonline.com", ICO_E},
        {IDC_SITE_FAMILYPLANET, false, "Family Planet", "http://www.familyplanet.com", ICO_FAMILYPLANET},
        {IDC_SITE_USATODAY, false, "USA Today", "http://www.usatoday.com", ICO_USATODAY},
        {IDC_YAHOO_MAIN, true, "Yahoo!", "http://www.yahoo.com", ICO_YAHOO},
        {IDC_YAHOO_MY, true, "My Yahoo!", "http://my.yahoo.com", ICO_YAHOO},
        {IDC_YAHOO_SFBAY, true, "SF Yahoo", "http://sfbay.yahoo.com", ICO_YAHOO},
        {IDC_YAHOO_KIDS, true, "Yahooligans", "http://www.yahooligans.com", ICO_YAHOO},
    };
    const size_t count = sizeof presets / sizeof presets[0];
    EXPECT_EQ(PresetSiteCount, count);
    for (size_t i = 0; i < count; ++i)
        AssignKey(KeyName(101 + static_cast<UINT>(i)), presets[i].address);
    HWND dialog = OpenSetup();
    ASSERT_TRUE(dialog);
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(presets[i].address);
        HWND button = GetDlgItem(dialog, 101 + static_cast<int>(i));
        EXPECT_TRUE(Style(button) & BS_ICON);
        EXPECT_TRUE(ShowsFaceIcon(button, presets[i].icon));
        const PresetSite *site = FindPresetSite(presets[i].address);
        EXPECT_TRUE(site);
        if (!site)
            continue;
        EXPECT_EQ(site->button, presets[i].button);
        EXPECT_EQ(site->yahoo, presets[i].yahoo);
        EXPECT_STREQ(site->title, presets[i].title);
    }
}

TEST_F(SetupDialogTest, KeyHeldByAnotherProgramShowsItsOwnIconAndRefusesTheChooser)
{
    // The driver's thread holds Print Screen, as a screen-capture tool would.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, 0, VK_SNAPSHOT));
    AssignKey("Print Screen", "http://www.cnet.com", "", "CNET");
    HWND dialog = OpenSetup();
    ASSERT_TRUE(dialog);
    HWND button = GetDlgItem(dialog, 113);
    EXPECT_TRUE(ShowsFaceIcon(button, ICO_PS)) << "an assigned key that is held shows its own icon";
    EXPECT_EQ(HoverTip(button), "CNET") << "the tip still shows the stored title";
    MoveMouseAway();

    ClickButton(dialog, 113);
    HWND box = WaitForWindow("#32770", "Springdeck");
    ASSERT_TRUE(box);
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
    EXPECT_EQ(MessageBoxText(box),
              "This hotkey is being used by another application or Explorer.  To use this key with Springdeck, "
              "disable it in the application that is using it.");
    EXPECT_FALSE(FindTopWindow("#32770", ChooserTitle));
    EXPECT_TRUE(CaptureWindowShown(box, "setup-key-in-use"));
    ClickButton(box, IDOK);
    EXPECT_TRUE(WaitWindowGone(box));
    EXPECT_FALSE(FindTopWindow("#32770", ChooserTitle));
    UnregisterHotKey(nullptr, 1);
}

TEST_F(SetupDialogTest, BrowserChoiceIsStoredAtOnceAndShownAgain)
{
    HWND dialog = OpenSetup();
    ASSERT_TRUE(dialog);
    struct Click {
        int id;
        DWORD stored;
    } clicks[] = {{508, 2}, {120, 1}, {119, 0}, {508, 2}};
    for (const Click &click : clicks) {
        ClickButton(dialog, click.id);
        DWORD value = 99;
        EXPECT_TRUE(WaitUntil(
            [&] {
                return ReadDword(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\options", "browser", &value) &&
                       value == click.stored;
            },
            5000))
            << "after clicking " << click.id << " the store holds " << value;
        for (int id : {119, 120, 508})
            EXPECT_EQ(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0), id == click.id ? BST_CHECKED : BST_UNCHECKED);
    }
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitWindowGone(dialog));

    struct Stored {
        DWORD value;
        int checked;
    } stored[] = {{2, 508}, {1, 120}, {0, 119}, {7, 119}};
    for (const Stored &s : stored) {
        SetSettingDword("options", "browser", s.value);
        dialog = OpenSetup();
        ASSERT_TRUE(dialog);
        for (int id : {119, 120, 508})
            EXPECT_EQ(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0), id == s.checked ? BST_CHECKED : BST_UNCHECKED)
                << "stored " << s.value << ", button " << id;
        ClickButton(dialog, IDCANCEL);
        ASSERT_TRUE(WaitWindowGone(dialog));
    }
}

TEST_F(SetupDialogTest, StartWithWindowsWritesAndDeletesTheRunValueAtOnce)
{
    WriteRunValue(HKEY_LOCAL_MACHINE, "C:\\elsewhere\\springdeck.exe");
    HWND dialog = OpenSetup();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SendDlgItemMessageA(dialog, 116, BM_GETCHECK, 0, 0), BST_CHECKED) << "any path counts, unquoted too";

    ClickButton(dialog, 116);
    EXPECT_TRUE(WaitUntil([] { return !ValueExists(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck"); }, 5000));
    ClickButton(dialog, 116);
    EXPECT_TRUE(WaitUntil([] { return ValueExists(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck"); }, 5000));
    ExpectRunValueIsThisProgram(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, RunKeyPath, "Springdeck"));
}

TEST_F(SetupDialogTest, StartWithWindowsUsesTheUserRunKeyWhenTheMachineKeyCannotBeOpened)
{
    // Without the machine's Run key nothing can be written there, as for a
    // user without the right to write under HKEY_LOCAL_MACHINE.
    TakeAwayMachineRunKey();

    WriteRunValue(HKEY_CURRENT_USER, "\"C:\\else where\\springdeck.exe\"");
    HWND dialog = OpenSetup();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SendDlgItemMessageA(dialog, 116, BM_GETCHECK, 0, 0), BST_CHECKED);
    ClickButton(dialog, 116);
    EXPECT_TRUE(WaitUntil([] { return !ValueExists(HKEY_CURRENT_USER, RunKeyPath, "Springdeck"); }, 5000));
    EXPECT_EQ(SendDlgItemMessageA(dialog, 116, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ClickButton(dialog, 116);
    EXPECT_TRUE(WaitUntil([] { return ValueExists(HKEY_CURRENT_USER, RunKeyPath, "Springdeck"); }, 5000));
    ExpectRunValueIsThisProgram(HKEY_CURRENT_USER);
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitWindowGone(dialog));

    // Reopened, the box shows what the user key holds.
    dialog = OpenSetup();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SendDlgItemMessageA(dialog, 116, BM_GETCHECK, 0, 0), BST_CHECKED);
}

// A change the registry refuses is not shown as done: the box shows what
// the next log-on will do, and a message says why.
TEST_F(SetupDialogTest, StartWithWindowsShowsWhatARefusedChangeLeaves)
{
    auto expectRefusal = [](HWND dialog, const char *text, LRESULT check) {
        HWND box = WaitForMessageBox("Springdeck");
        ASSERT_TRUE(box);
        EXPECT_EQ(MessageBoxText(box), text);
        EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
        EXPECT_EQ(SendDlgItemMessageA(dialog, 116, BM_GETCHECK, 0, 0), check);
        CaptureWindowShown(box, check == BST_CHECKED ? "run-value-stays" : "run-value-not-stored");
        ClickButton(box, IDOK);
        ASSERT_TRUE(WaitWindowGone(box));
    };
    // A machine value that this user may not remove.
    TakeAwayMachineRunKey();
    WriteRunValue(HKEY_LOCAL_MACHINE, "C:\\elsewhere\\springdeck.exe");
    ASSERT_TRUE(DenyWrites(HKEY_LOCAL_MACHINE, RunKeyPath));
    HWND dialog = OpenSetup();
    ASSERT_TRUE(dialog);
    ClickButton(dialog, 116);
    expectRefusal(dialog,
                  "Springdeck will still start when the computer starts.\r\n\r\nIt is set to start for every user "
                  "of this computer, and you may not change that. An administrator can turn this option off.",
                  BST_CHECKED);
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck"));

    // Neither Run key may be written: unchecking finds nothing to remove,
    // checking stores nothing.
    DenyWrites(HKEY_LOCAL_MACHINE, RunKeyPath, false);
    DeleteValue(HKEY_LOCAL_MACHINE, RunKeyPath, "Springdeck");
    DenyWrites(HKEY_LOCAL_MACHINE, RunKeyPath);
    userRunKeyLocked = DenyWrites(HKEY_CURRENT_USER, RunKeyPath);
    ASSERT_TRUE(userRunKeyLocked);
    ClickButton(dialog, 116);
    ASSERT_TRUE(WaitUntil([&] { return SendDlgItemMessageA(dialog, 116, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
    ClickButton(dialog, 116);
    expectRefusal(dialog,
                  "Springdeck could not be set to start when the computer starts.\r\n\r\nNeither the programs that "
                  "start for every user of this computer nor your own could be changed.",
                  BST_UNCHECKED);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, RunKeyPath, "Springdeck"));
}

TEST_F(SetupDialogTest, AboutBoxOpensOverTheDialogAndClosesEveryWay)
{
    HWND dialog = OpenSetup();
    ASSERT_TRUE(dialog);
    const char *const ways[] = {"OK", "Esc", "close box"};
    for (const char *way : ways) {
        SCOPED_TRACE(way);
        ClickButton(dialog, 117);
        HWND about = WaitForWindow("#32770", "About Springdeck");
        ASSERT_TRUE(about);
        EXPECT_EQ(GetWindow(about, GW_OWNER), dialog);
        if (std::string(way) == "OK") {
            DialogUnits units = MeasureDialogUnits(about, 241, 182);
            EXPECT_TRUE(units.x && units.y) << "not 241 x 182 dialog units";
            EXPECT_EQ(ItemText(about, IDOK), "OK");
            RECT want = DialogUnitsToPixels(units, 95, 163, 50, 14);
            RECT have = ClientRectOfChild(about, GetDlgItem(about, IDOK));
            EXPECT_TRUE(EqualRect(&want, &have));
            HWND notice = GetDlgItem(about, 101);
            ASSERT_TRUE(notice);
            want = DialogUnitsToPixels(units, 44, 137, 188, 22);
            have = ClientRectOfChild(about, notice);
            EXPECT_TRUE(EqualRect(&want, &have));
            EXPECT_FALSE(WindowText(notice).empty());
            std::string texts;
            for (HWND c = GetWindow(about, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                texts += WindowText(c) + "|";
            EXPECT_NE(texts.find("Springdeck Software for Windows\nVersion 1.5|"), std::string::npos) << texts;
            HWND icon = GetWindow(GetDlgItem(about, IDOK), GW_HWNDNEXT);
            EXPECT_TRUE(ShowsFaceIcon(icon, ICO_SPRINGDECK, GetSysColor(COLOR_3DFACE)));
            EXPECT_TRUE(CaptureWindowShown(about, "about-box"));
            ClickButton(about, IDOK);
        } else if (std::string(way) == "Esc") {
            EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == about; }, 5000));
            PressKey(VK_ESCAPE);
        } else {
            PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        EXPECT_TRUE(WaitWindowGone(about));
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the setup dialog stays open";
    }
}

TEST_F(SetupDialogTest, HelpOpensTheHelpFileNamedAfterTheProgram)
{
    // springdeck.chm beside the program: the HTML Help viewer, inside
    // Springdeck, outlives the dialog and closes when Springdeck ends.
    HWND dialog = OpenSetup();
    ASSERT_TRUE(dialog);
    ClickButton(dialog, IDC_HELPBUTTON);
    HWND help = WaitForHtmlHelp();
    ASSERT_TRUE(help) << "no HTML Help window of Springdeck";
    EXPECT_TRUE(CaptureWindowShown(help, "setup-html-help"));
    EXPECT_TRUE(IsWindowVisible(dialog));
    ClickButton(dialog, IDCANCEL); // its "OK"
    ASSERT_TRUE(WaitWindowGone(dialog));
    EXPECT_TRUE(IsWindow(help));
    PostMessageA(mainWindow, driver::CloseMessage(), 0, 0);
    EXPECT_EQ(WaitExit(springdeck), 0u) << "Springdeck did not end with its help window open";
    EXPECT_FALSE(IsWindow(help));
    StopSpringdeck(&springdeck);

    // Without it, a copy named springpad.exe opens springpad.hlp in WinHelp.
    ASSERT_TRUE(UseProgramWithoutChm("springpad"));
    mainWindow = nullptr;
    dialog = OpenSetup();
    ASSERT_TRUE(dialog);
    ClickButton(dialog, IDC_HELPBUTTON);
    help = WaitForWindowOfProgram("winhlp32.exe");
    ASSERT_TRUE(help) << "the help viewer did not start";
    // The general topic (context 100).
    EXPECT_TRUE(WaitForHelpTopic("Using Springdeck")) << HelpViewerText().substr(0, 200);
    EXPECT_NE(ClassName(help), "#32770") << "the viewer reported: " << MessageBoxText(help);
    EXPECT_TRUE(CaptureWindowShown(help, "setup-help"));
    EXPECT_TRUE(IsWindowVisible(dialog));
    KillProcessesNamed("winhlp32.exe");
}

} // namespace
