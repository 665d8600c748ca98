// The hotkeys of the main window mirror the keys assigned in the store.
#include "fixture.h"

using namespace driver;

namespace {

class HotkeysTest : public SpringdeckTest {};

TEST_F(HotkeysTest, AssignedKeysOwnTheirTwoHotkeysOthersNone)
{
    AssignKey("F5", DoublePath("recorder"), "--exit");
    AssignKey("Pause", DoublePath("recorder"), "--exit");
    AssignKey("F7", ""); // stored but empty: the normal function
    ASSERT_TRUE(Start());

    HWND own = ShowFocusWindow();
    EXPECT_FALSE(RegisterHotKey(own, 1, 0, VK_F5));
    EXPECT_FALSE(RegisterHotKey(own, 2, MOD_CONTROL | MOD_ALT, VK_F5));
    EXPECT_FALSE(RegisterHotKey(own, 3, 0, VK_PAUSE));
    EXPECT_FALSE(RegisterHotKey(own, 4, MOD_CONTROL | MOD_ALT, VK_PAUSE));
    EXPECT_TRUE(RegisterHotKey(own, 5, 0, VK_F6));
    EXPECT_TRUE(RegisterHotKey(own, 6, MOD_CONTROL | MOD_ALT, VK_F6));
    EXPECT_TRUE(RegisterHotKey(own, 7, 0, VK_F7));
    EXPECT_TRUE(RegisterHotKey(own, 8, 0, VK_SNAPSHOT));
    for (int id = 5; id <= 8; ++id)
        UnregisterHotKey(own, id);
}

TEST_F(HotkeysTest, SpringpadPressIsCaughtModifiedPressIsNot)
{
    AssignKey("F5", DoublePath("recorder"), "--exit");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());

    ClearReceivedKeys();
    PressKey(VK_F6);
    EXPECT_TRUE(WaitUntil([] { return ReceivedKeyDown(VK_F6); }, 5000)) << "unassigned F6 reaches the window";
    PressKey(VK_F5);
    PressKey(VK_F5, false, false, true); // Shift+F5 is not a Springpad press
    EXPECT_TRUE(WaitUntil([] { return ReceivedKeyDown(VK_F5); }, 5000)) << "Shift+F5 reaches the window";
    int f5Downs = 0;
    for (const KeyMessage &key : ReceivedKeys())
        f5Downs += (key.message == WM_KEYDOWN && key.vk == VK_F5);
    EXPECT_EQ(f5Downs, 1) << "only Shift+F5 arrived, the plain F5 was caught";
}

TEST_F(HotkeysTest, HotkeysFollowTheStoreAtStartOnly)
{
    ASSERT_TRUE(Start());
    HWND own = ShowFocusWindow();
    EXPECT_TRUE(RegisterHotKey(own, 1, 0, VK_F9));
    UnregisterHotKey(own, 1);
    // A later change of the store alone does not claim the key.
    AssignKey("F9", DoublePath("recorder"), "--exit");
    Pump(200);
    EXPECT_TRUE(RegisterHotKey(own, 1, 0, VK_F9));
    UnregisterHotKey(own, 1);
}

} // namespace

namespace {

// Holding a Springpad down repeats it; one press must still be one action.
TEST_F(HotkeysTest, HeldKeyActsOnce)
{
    std::string log = ScratchDir() + "\\held.log";
    SetEnvironmentVariableA("RECORDER_LOG", log.c_str());
    AssignKey("F8", DoublePath("recorder"), "--exit held");
    ASSERT_TRUE(Start());
    HWND own = ShowFocusWindow();
    ASSERT_TRUE(own);
    for (int i = 0; i < 5; ++i) {
        KeyDown(VK_F8); // auto-repeat: key-downs without a key-up
        Pump(30);
    }
    KeyUp(VK_F8);
    ASSERT_TRUE(WaitUntil([&] { return ReadLines(log).size() >= 1; }));
    Pump(1500); // any further starts would have been logged by now
    EXPECT_EQ(ReadLines(log).size(), 1u);
    // Released and pressed again at once: a new press, a new action.
    PressKey(VK_F8);
    PressKey(VK_F8);
    EXPECT_TRUE(WaitUntil([&] { return ReadLines(log).size() >= 3; }))
        << ReadLines(log).size() << " starts, own window in front: " << (GetForegroundWindow() == own);
    SetEnvironmentVariableA("RECORDER_LOG", nullptr);
}

} // namespace
