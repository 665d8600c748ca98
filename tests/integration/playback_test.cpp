// Ctrl+Alt with an assigned Springpad plays the plain key into the focused
// window, and the key is a Springpad again afterwards. Wine accepts the
// journal hook but never plays it, so this goes through the input fallback.
#include "fixture.h"

#include <algorithm>

using namespace driver;

namespace {

class PlaybackTest : public SpringdeckTest {
protected:
    // Springdeck runs from a scratch folder with the fake AOL launcher library,
    // and the keys are assigned a web address for America Online: every plain
    // Springpad press then shows as a call in the library's log.
    void SetUp() override
    {
        SpringdeckTest::SetUp();
        folder = ScratchDir();
        ASSERT_TRUE(CopyFileTo(SpringdeckExe(), folder + "\\springdeck.exe"));
        ASSERT_TRUE(CopyFileTo(BuildDir() + "\\tests\\doubles\\LAUNCH32.dll", folder + "\\LAUNCH32.dll"));
        SetSettingDword("options", "browser", 2);
    }

    HWND StartFromFolder() { return StartSpringdeck(springdeck, "", SW_SHOWNORMAL, "", folder + "\\springdeck.exe"); }

    size_t Presses()
    {
        size_t presses = 0;
        for (const std::string &line : ReadLines(folder + "\\launch32.log"))
            presses += line.rfind("AOLIsInstalled", 0) == 0;
        return presses;
    }

    // Index of the first message for the key at or after from, or -1.
    static int FindKey(const std::vector<KeyMessage> &keys, size_t from, UINT message, UINT vk)
    {
        for (size_t i = from; i < keys.size(); ++i)
            if (keys[i].message == message && keys[i].vk == vk)
                return static_cast<int>(i);
        return -1;
    }

    std::string folder;
};

TEST_F(PlaybackTest, CtrlAltPlaysThePlainKeyAndTheKeyStaysASpringpad)
{
    const struct {
        const char *name;
        UINT vk;
    } keys[] = {{"F5", VK_F5}, {"Print Screen", VK_SNAPSHOT}, {"Scroll Lock", VK_SCROLL}, {"Pause", VK_PAUSE}};
    for (const auto &key : keys)
        AssignKey(key.name, "http://www.example.com/");
    ASSERT_TRUE(StartFromFolder());
    HWND own = ShowFocusWindow();
    ASSERT_TRUE(own);

    size_t presses = 0;
    for (const auto &key : keys) {
        SCOPED_TRACE(key.name);
        ClearReceivedKeys();
        // The user holds Ctrl and Alt across the press and lets go a second
        // later: the window still gets the plain key, with Ctrl and Alt up.
        ASSERT_TRUE(HoldKey(VK_CONTROL));
        ASSERT_TRUE(HoldKey(VK_MENU));
        DWORD held = GetTickCount();
        PressKey(key.vk);
        int down = -1, up = -1;
        std::vector<KeyMessage> received;
        EXPECT_TRUE(WaitUntil(
            [&] {
                received = ReceivedKeys();
                down = FindKey(received, 0, WM_KEYDOWN, key.vk);
                up = down < 0 ? -1 : FindKey(received, down + 1, WM_KEYUP, key.vk);
                return up >= 0;
            },
            10000))
            << "the played key-down and key-up reach the focused window";
        if (up >= 0) {
            UINT scan = MapVirtualKeyA(key.vk, 0);
            EXPECT_EQ(received[down].scanCode, scan);
            EXPECT_EQ(received[up].scanCode, scan);
            EXPECT_EQ(received[down].modifiers, 0u) << "Ctrl and Alt are up for the played key";
            EXPECT_EQ(received[up].modifiers, 0u);
        }
        Pump(1000 - std::min<DWORD>(GetTickCount() - held, 1000));
        KeyUp(VK_MENU);
        KeyUp(VK_CONTROL);
        EXPECT_TRUE(WaitUntil(
            [] {
                for (int vk : {VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU})
                    if (GetAsyncKeyState(vk) & 0x8000)
                        return false;
                return true;
            },
            5000))
            << "nothing stays held";
        EXPECT_EQ(MenuActivations(), 0) << "no lone Alt opened the menu";

        // The hotkeys are back: the driver cannot take the key, and the key
        // alone is caught once more (the played key was not).
        EXPECT_TRUE(WaitUntil(
            [&] {
                bool taken = RegisterHotKey(own, 1, 0, key.vk) != FALSE;
                if (taken)
                    UnregisterHotKey(own, 1);
                return !taken;
            },
            5000));
        EXPECT_FALSE(RegisterHotKey(own, 2, MOD_CONTROL | MOD_ALT, key.vk));
        EXPECT_EQ(Presses(), presses) << "the played key was not caught as a Springpad press";
        PressKey(key.vk);
        EXPECT_TRUE(WaitUntil([&] { return Presses() == presses + 1; }, 10000)) << "the key alone is a Springpad again";
        ++presses;
    }
    Pump(300);
    EXPECT_EQ(Presses(), presses);
}

TEST_F(PlaybackTest, CtrlAltOnAnUnassignedKeyIsLeftToWindows)
{
    AssignKey("F5", "http://www.example.com/");
    ASSERT_TRUE(StartFromFolder());
    HWND own = ShowFocusWindow();
    ASSERT_TRUE(own);
    ClearReceivedKeys();
    PressKey(VK_F6, true, true);
    EXPECT_TRUE(WaitUntil([] { return ReceivedKeyDown(VK_F6); }, 5000));
    // Only the one real press arrives: nothing was played for F6.
    Pump(500);
    int downs = 0;
    for (const KeyMessage &key : ReceivedKeys())
        downs += key.vk == VK_F6 && (key.message == WM_KEYDOWN || key.message == WM_SYSKEYDOWN);
    EXPECT_EQ(downs, 1);
}

} // namespace
