// The key action chooser, reached by clicking a free key in the setup dialog:
// the setup dialog waits out of sight, the standard function clears the key,
// Cancel changes nothing, and Shift with a web key picks a local alias.
#include "setup_dialog_fixture.h"

using namespace driver;

namespace {

class KeyChooserTest : public SetupDialogFixture {
protected:
    void TearDown() override
    {
        if (GetAsyncKeyState(VK_SHIFT) & 0x8000)
            KeyUp(VK_SHIFT);
        SetupDialogFixture::TearDown();
    }

    static HWND ClickKey(HWND dialog, int key)
    {
        ClickButton(dialog, key);
        HWND chooser = WaitForWindow("#32770", ChooserTitle);
        EXPECT_TRUE(chooser) << "no chooser for key " << key;
        return chooser;
    }

    static bool BackAt(HWND dialog, const RECT &rect)
    {
        return WaitUntil(
            [&] {
                RECT now;
                GetWindowRect(dialog, &now);
                return EqualRect(&now, &rect) != FALSE;
            },
            5000);
    }

    static LRESULT FaceImage(HWND dialog, int key)
    {
        return SendDlgItemMessageA(dialog, key, BM_GETIMAGE, IMAGE_ICON, 0);
    }
};

constexpr ControlRow ChooserControls[] = {
    {-1, "Static", "What would you like", 14, 13, 68, 8},
    {400, "Static", "", 82, 8, 0, 0}, // 21 x 20 in the template; takes the icon's size
    {-1, "Static", "to do?", 106, 13, 33, 8},
    {102, "Button", "Launch a software program", 16, 36, 120, 14},
    {103, "Button", "Go to a WebSite", 16, 59, 120, 14},
    {104, "Button", "Normal F5 key function", 16, 80, 120, 14},
    {9, "Button", "Help", 16, 148, 56, 14},
    {2, "Button", "Cancel", 80, 148, 56, 14},
};

TEST_F(KeyChooserTest, StandardFunctionClearsTheKeyAndItsHotkeys)
{
    const std::string exe = SpringdeckExe();
    AssignKey("F5", exe, "/x", "Springdeck", exe, 2);
    HWND dialog = OpenSetup();
    ASSERT_TRUE(dialog);
    RECT before;
    GetWindowRect(dialog, &before);
    HWND own = ShowFocusWindow();
    EXPECT_FALSE(RegisterHotKey(own, 1, 0, VK_F5)) << "Springdeck holds the assigned key";

    HWND chooser = ClickKey(dialog, 105);
    ASSERT_TRUE(chooser);
    RECT hidden;
    GetWindowRect(dialog, &hidden);
    EXPECT_EQ(hidden.left, 0);
    EXPECT_EQ(hidden.top, 0);
    EXPECT_EQ(hidden.right - hidden.left, 0);
    EXPECT_EQ(hidden.bottom - hidden.top, 0);
    EXPECT_EQ(GetWindow(chooser, GW_OWNER), dialog);

    ExpectLayout(chooser, 153, 170, ChooserControls, sizeof ChooserControls / sizeof ChooserControls[0]);
    EXPECT_TRUE(ShowsFaceIcon(GetDlgItem(chooser, 400), ICO_F5, GetSysColor(COLOR_3DFACE)));
    EXPECT_TRUE(CaptureWindowShown(chooser, "key-chooser"));

    ClickButton(chooser, 104);
    EXPECT_TRUE(WaitWindowGone(chooser));
    EXPECT_TRUE(BackAt(dialog, before)) << "the setup dialog did not come back to its place";
    for (const char *field : {"command line", "args", "title", "icon"}) {
        EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\" + field, "F5")) << field;
        EXPECT_EQ(Setting(field, "F5"), "") << field;
    }
    DWORD index = 99;
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\icon index", "F5", &index));
    EXPECT_EQ(index, 0u);
    EXPECT_TRUE(ShowsFaceIcon(GetDlgItem(dialog, 105), ICO_F5));
    EXPECT_TRUE(WaitUntil([&] { return RegisterHotKey(own, 1, 0, VK_F5) != FALSE; }, 5000))
        << "the plain hotkey is still held";
    EXPECT_TRUE(RegisterHotKey(own, 2, MOD_CONTROL | MOD_ALT, VK_F5)) << "the Ctrl+Alt hotkey is still held";
    UnregisterHotKey(own, 1);
    UnregisterHotKey(own, 2);
}

TEST_F(KeyChooserTest, CancelOrTheCloseBoxKeepsTheKeyAndRedrawsNothing)
{
    const std::string exe = SpringdeckExe();
    AssignKey("F6", exe, "", "Springdeck", exe, 3);
    HWND dialog = OpenSetup();
    ASSERT_TRUE(dialog);
    RECT before;
    GetWindowRect(dialog, &before);
    LRESULT face = FaceImage(dialog, 106);
    ASSERT_TRUE(face);

    HWND chooser = ClickKey(dialog, 106);
    ASSERT_TRUE(chooser);
    EXPECT_EQ(ItemText(chooser, 104), "Normal F6 key function");
    ClickButton(chooser, IDCANCEL);
    EXPECT_TRUE(WaitWindowGone(chooser));
    EXPECT_TRUE(BackAt(dialog, before));
    EXPECT_EQ(FaceImage(dialog, 106), face) << "the faces were redrawn";
    EXPECT_EQ(Setting("command line", "F6"), exe);

    chooser = ClickKey(dialog, 113);
    ASSERT_TRUE(chooser);
    EXPECT_EQ(ItemText(chooser, 104), "Normal Print Screen key function");
    // Help opens the help viewer and leaves the chooser open.
    ClickButton(chooser, IDC_HELPBUTTON);
    HWND help = WaitForHtmlHelp();
    EXPECT_TRUE(help);
    EXPECT_TRUE(IsWindowVisible(chooser));
    PostMessageA(help, WM_CLOSE, 0, 0);
    PostMessageA(chooser, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitWindowGone(chooser));
    EXPECT_TRUE(BackAt(dialog, before));
    EXPECT_EQ(FaceImage(dialog, 106), face);
}

TEST_F(KeyChooserTest, ShiftClickOnAWebKeyPicksALocalAliasInsteadOfTheChooser)
{
    const std::string exe = SpringdeckExe();
    AssignKey("F3", "http://www.example.com/");
    AssignKey("F6", exe, "", "", exe, 3);
    HWND dialog = OpenSetup();
    ASSERT_TRUE(dialog);
    RECT before;
    GetWindowRect(dialog, &before);
    LRESULT face = FaceImage(dialog, 106);

    ASSERT_TRUE(ShowFocusWindow());
    EXPECT_TRUE(HoldKey(VK_SHIFT));
    ClickButton(dialog, 103);
    // Whatever happens in the alias picker counts as a change: the faces are
    // redrawn (a new icon is extracted for F6). A file dialog it opens is
    // cancelled.
    bool redrawn = WaitUntil(
        [&] {
            HWND picker = FindTopWindow("#32770", "Select Local Alias");
            if (picker)
                PostMessageA(picker, WM_COMMAND, IDCANCEL, 0);
            return FaceImage(dialog, 106) != face && FaceImage(dialog, 106) != 0;
        },
        10000);
    EXPECT_TRUE(redrawn);
    EXPECT_FALSE(FindTopWindow("#32770", ChooserTitle)) << "the chooser opened for a Shift-click on a web key";
    EXPECT_TRUE(BackAt(dialog, before));

    // On a program key Shift changes nothing: the chooser opens.
    HWND chooser = ClickKey(dialog, 106);
    KeyUp(VK_SHIFT);
    ASSERT_TRUE(chooser);
    ClickButton(chooser, IDCANCEL);
    EXPECT_TRUE(WaitWindowGone(chooser));
}

} // namespace
