// Closing the program and the tray icon's menu.
#include "fixture.h"

#include <shellapi.h>

using namespace driver;

namespace {

constexpr char QuitText[] =
    "Closing Springdeck will disable your Springpads.\r\n\r\nAre you sure that you want to quit Springdeck?";

class TrayTest : public SpringdeckTest {
protected:
    // The question box owned by the main window.
    HWND WaitForQuestion()
    {
        HWND box = WaitForWindow("#32770", "Springdeck");
        if (box)
            EXPECT_EQ(GetWindow(box, GW_OWNER), FindMainWindow());
        return box;
    }

    // Succeeds only while the program's icon is in the tray.
    static bool TrayIconPresent(HWND window)
    {
        NOTIFYICONDATAA data = {};
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        data.hWnd = window;
        data.uID = 1;
        data.uFlags = NIF_TIP;
        lstrcpyA(data.szTip, "Springdeck");
        return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
    }

    // The menu takes the keyboard once its owner is the foreground window.
    static bool WaitForMenuKeys(HWND window)
    {
        return WaitUntil([&] { return GetForegroundWindow() == window; }, 5000);
    }

    static HWND OpenSetup(HWND window)
    {
        PostMessageA(window, WM_COMMAND, IDM_SETUP, 0);
        return WaitForWindow("#32770", "Springdeck from Tolvane Keyboards");
    }

    void ExpectEndedCleanly()
    {
        EXPECT_EQ(WaitExit(springdeck), 0u);
        HWND own = ShowFocusWindow();
        EXPECT_TRUE(RegisterHotKey(own, 1, 0, VK_F5)) << "hotkeys were released";
        EXPECT_TRUE(RegisterHotKey(own, 2, MOD_CONTROL | MOD_ALT, VK_F5));
        UnregisterHotKey(own, 1);
        UnregisterHotKey(own, 2);
    }
};

TEST_F(TrayTest, CloseMessageEndsWithoutQuestion)
{
    AssignKey("F5", DoublePath("recorder"), "--exit");
    HWND window = Start();
    ASSERT_TRUE(window);
    EXPECT_TRUE(TrayIconPresent(window));
    PostMessageA(window, CloseMessage(), 0, 0);
    ExpectEndedCleanly();
    EXPECT_FALSE(TrayIconPresent(window));
}

TEST_F(TrayTest, TurnOffAsksAndYesEnds)
{
    AssignKey("F5", DoublePath("recorder"), "--exit");
    HWND window = Start();
    ASSERT_TRUE(window);
    PostMessageA(window, WM_COMMAND, IDM_TURNOFF, 0);
    HWND box = WaitForQuestion();
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), QuitText);
    CaptureScreen("quit-question");
    ClickButton(box, IDYES);
    ExpectEndedCleanly();
}

TEST_F(TrayTest, TurnOffAnsweredNoKeepsRunning)
{
    HWND window = Start();
    ASSERT_TRUE(window);
    PostMessageA(window, WM_COMMAND, IDM_TURNOFF, 0);
    HWND box = WaitForQuestion();
    ASSERT_TRUE(box);
    ClickButton(box, IDNO);
    ASSERT_TRUE(WaitWindowGone(box));
    EXPECT_TRUE(IsResponsive(window));
    EXPECT_EQ(WaitExit(springdeck, 500), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(TrayTest, ShiftSkipsTheQuestion)
{
    // As a user does it: the tray menu, Turn off chosen with Shift held.
    HWND window = Start();
    ASSERT_TRUE(window);
    PostTray(window, WM_RBUTTONDOWN);
    ASSERT_TRUE(WaitForWindow("#32768", nullptr));
    ASSERT_TRUE(WaitForMenuKeys(window));
    PressKey(VK_UP);
    EXPECT_TRUE(HoldKey(VK_SHIFT));
    PressKey(VK_RETURN);
    DWORD code = WaitExit(springdeck, 10000);
    KeyUp(VK_SHIFT);
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(FindTopWindow("#32770", "Springdeck")) << "no question was asked";
}

TEST_F(TrayTest, CloseMessageEndsEvenWithTheQuestionOpen)
{
    HWND window = Start();
    ASSERT_TRUE(window);
    PostMessageA(window, WM_COMMAND, IDM_TURNOFF, 0);
    ASSERT_TRUE(WaitForQuestion());
    PostMessageA(window, CloseMessage(), 0, 0);
    EXPECT_EQ(WaitExit(springdeck), 0u);
}

TEST_F(TrayTest, ClickShowsMenuWhoseItemsWork)
{
    HWND window = Start();
    ASSERT_TRUE(window);
    PostTray(window, WM_RBUTTONDOWN);
    HWND menuWindow = WaitForWindow("#32768", nullptr);
    ASSERT_TRUE(menuWindow);
    CaptureScreen("tray-menu");
    ASSERT_TRUE(WaitForMenuKeys(window));
    // The last item, chosen from the keyboard, is Turn off.
    PressKey(VK_UP);
    PressKey(VK_RETURN);
    HWND box = WaitForQuestion();
    ASSERT_TRUE(box);
    EXPECT_TRUE(WaitWindowGone(menuWindow));
    ClickButton(box, IDNO);
    EXPECT_TRUE(WaitWindowGone(box));
    EXPECT_TRUE(IsResponsive(window));
}

TEST_F(TrayTest, MenuResourceHasSetupAndTurnOff)
{
    HMODULE exe = LoadLibraryExA(SpringdeckExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(exe);
    HMENU menu = LoadMenuA(exe, MAKEINTRESOURCEA(MENU_SPRINGDECK));
    ASSERT_TRUE(menu);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_TRUE(popup);
    EXPECT_EQ(GetMenuItemCount(popup), 2);
    EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(IDM_SETUP));
    EXPECT_EQ(GetMenuItemID(popup, 1), static_cast<UINT>(IDM_TURNOFF));
    char text[64];
    GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Setup Springpads...");
    GetMenuStringA(popup, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Turn off Springdeck Software");
    DestroyMenu(menu);
    FreeLibrary(exe);
}

TEST_F(TrayTest, ClickWithQuestionOpenBringsItBackInsteadOfMenu)
{
    HWND window = Start();
    ASSERT_TRUE(window);
    PostMessageA(window, WM_COMMAND, IDM_TURNOFF, 0);
    HWND box = WaitForQuestion();
    ASSERT_TRUE(box);
    ShowFocusWindow();
    PostTray(window, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == box; }, 5000));
    EXPECT_FALSE(FindTopWindow("#32768", nullptr));
    ClickButton(box, IDNO);
    EXPECT_TRUE(WaitWindowGone(box));
}

TEST_F(TrayTest, IconComesBackWhenTheTaskbarIsRecreated)
{
    HWND window = Start();
    ASSERT_TRUE(window);
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = 1;
    Shell_NotifyIconA(NIM_DELETE, &data); // as if the shell had restarted
    ASSERT_FALSE(TrayIconPresent(window));
    PostMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconPresent(window); }, 5000));
}

// Setup chosen again while the setup dialog is open brings the dialog, or
// the pop-up it shows on top, forward.
TEST_F(TrayTest, SetupChosenAgainBringsTheOpenDialogForward)
{
    HWND window = Start();
    ASSERT_TRUE(window);
    HWND setup = OpenSetup(window);
    auto chooseSetup = [&](HWND front) {
        ASSERT_TRUE(front);
        ASSERT_EQ(GetForegroundWindow(), ShowFocusWindow());
        PostTray(window, WM_LBUTTONDBLCLK);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == front; }, 5000));
    };
    chooseSetup(setup);
    ClickButton(setup, 117);
    HWND about = WaitForWindow("#32770", "About Springdeck");
    chooseSetup(about);
    ClickButton(about, IDOK);
    ASSERT_TRUE(WaitWindowGone(about));
    ClickButton(setup, 105);
    chooseSetup(WaitForWindow("#32770", "Springdeck Setup"));
}

} // namespace

namespace {

// "close" also ends the program while the setup dialog and a dialog of its
// chain are open (they have no owner of ours, so they end with the loop).
TEST_F(TrayTest, CloseMessageEndsWithTheSetupChainOpen)
{
    HWND window = Start();
    ASSERT_TRUE(window);
    HWND setup = OpenSetup(window);
    ASSERT_TRUE(setup);
    ClickButton(setup, 105);
    ASSERT_TRUE(WaitForWindow("#32770", "Springdeck Setup"));
    PostMessageA(window, CloseMessage(), 0, 0);
    EXPECT_EQ(WaitExit(springdeck), 0u);
    EXPECT_FALSE(FindTopWindow("#32770", "Springdeck Setup"));
}

} // namespace
