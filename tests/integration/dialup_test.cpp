// Connection keys: ":connection" keys dial the Dial-Up Networking connection
// named in "args", found through the shell in the stand-in folder.
#include "fixture.h"

using namespace driver;

namespace {

class DialUpKeyTest : public SpringdeckTest {
protected:
    void TearDown() override
    {
        SpringdeckTest::TearDown();
        UnregisterDialUpFolder();
    }

    bool WaitDialed(size_t count)
    {
        return WaitUntil([&] { return ReadLines(DialUpLogPath()).size() >= count; }, 10000);
    }
};

TEST_F(DialUpKeyTest, KeysDialTheNamedConnectionInAnyCase)
{
    RegisterDialUpFolder({"Make New Connection", "Work", "Home"});
    AssignKey("F1", ":connection", "hOME", "Dial Home");
    AssignKey("F2", ":connection", "Nowhere", "Dial Nowhere");
    AssignKey("F3", ":Connection", "Work");  // not the exact marker: a program
    AssignKey("F4", ":connection ", "Work"); // nor is this
    AssignKey("F6", ":connection", "Make New Connection");
    AssignKey("F7", ":connection", "Work");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());

    PressKey(VK_F1);
    ASSERT_TRUE(WaitDialed(1));
    // An unknown name dials nothing and shows nothing; the two look-alikes
    // go to the program launcher, which cannot start them.
    PressKey(VK_F2);
    for (auto key : {std::make_pair(VK_F3, ":Connection"), std::make_pair(VK_F4, ":connection ")}) {
        ASSERT_TRUE(FocusOwnWindow());
        PressKey(key.first);
        HWND box = WaitForWindow("#32770", "Springdeck");
        ASSERT_TRUE(box);
        EXPECT_EQ(MessageBoxText(box), std::string("Unable to launch ") + key.second);
        ClickButton(box, IDOK);
        ASSERT_TRUE(WaitWindowGone(box));
    }
    ASSERT_TRUE(FocusOwnWindow());
    PressKey(VK_F7);
    ASSERT_TRUE(WaitDialed(2));
    // The folder's first item, never offered for choosing, still dials.
    ASSERT_TRUE(FocusOwnWindow());
    PressKey(VK_F6);
    ASSERT_TRUE(WaitDialed(3));
    std::vector<std::string> expected = {"dialed Home", "dialed Work", "dialed Make New Connection"};
    EXPECT_EQ(ReadLines(DialUpLogPath()), expected);
}

TEST_F(DialUpKeyTest, WithoutTheFolderNothingHappensAndNothingIsShown)
{
    AssignKey("F1", ":connection", "Home", "Dial Home");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F1);
    PressKey(VK_F1);
    Pump(100);
    EXPECT_EQ(WaitForInputIdle(springdeck.handle, ScaledWait(10000)), 0u);
    EXPECT_TRUE(IsResponsive(FindMainWindow()));
    EXPECT_TRUE(TopWindowsOfProcess(springdeck.id).empty()) << "nothing is shown";
}

} // namespace
