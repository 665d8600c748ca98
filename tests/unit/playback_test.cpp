// Keystroke playback: the advance rule and the journal hook's answers driven
// directly, and whole playbacks through PlayKeys into a recording sink (so
// that no key reaches the desktop the other tests share).
#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "driver.h"
#include "launch/launch_internal.h"

namespace {

// ---- the list and the hook, step by step --------------------------------------

struct Played {
    UINT message;
    UINT vk;
};

// Plays the request through the advance rule alone: the event of each step.
std::vector<Played> Walk(const std::vector<WORD> &request)
{
    static PlaybackState state;
    BeginPlaybackState(&state, request.data(), 0, 0);
    std::vector<Played> played;
    for (bool end = AdvancePlayback(&state, 0); !end; end = AdvancePlayback(&state, 0)) {
        EVENTMSG event;
        CurrentPlaybackEvent(&state, &event);
        played.push_back({event.message, event.paramL});
    }
    return played;
}

TEST(PlaybackList, StrokesPlayDownThenUpFlaggedEntriesOneEvent)
{
    std::vector<Played> played = Walk({4, VK_F5, VK_SHIFT | PLAYBACK_KEY_DOWN, 'A', VK_SHIFT | PLAYBACK_KEY_UP});
    std::vector<Played> expected = {{WM_KEYDOWN, VK_F5}, {WM_KEYUP, VK_F5}, {WM_KEYDOWN, VK_SHIFT},
                                    {WM_KEYDOWN, 'A'},   {WM_KEYUP, 'A'},   {WM_KEYUP, VK_SHIFT}};
    ASSERT_EQ(played.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(played[i].message, expected[i].message) << i;
        EXPECT_EQ(played[i].vk, expected[i].vk) << i;
    }
}

TEST(PlaybackList, SystemKeyBitAndIgnoredBits)
{
    std::vector<Played> played = Walk({2, VK_F10 | PLAYBACK_SYSTEM_KEY, 'X' | 0x8000 | 0x0100 | PLAYBACK_KEY_DOWN});
    ASSERT_EQ(played.size(), 3u);
    EXPECT_EQ(played[0].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(played[1].message, static_cast<UINT>(WM_SYSKEYUP));
    EXPECT_EQ(played[0].vk, static_cast<UINT>(VK_F10));
    EXPECT_EQ(played[2].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(played[2].vk, static_cast<UINT>('X'));
}

TEST(PlaybackList, EmptyRequestEndsAtOnceAndLongOneIsCut)
{
    EXPECT_TRUE(Walk({0}).empty());
    std::vector<WORD> request(1 + 1100, static_cast<WORD>('K' | PLAYBACK_KEY_DOWN));
    request[0] = 1100;
    request[1 + 1024] = VK_F1 | PLAYBACK_KEY_DOWN; // the first entry past the cap
    std::vector<Played> played = Walk(request);
    EXPECT_EQ(played.size(), 1024u);
    for (const Played &event : played)
        ASSERT_EQ(event.vk, static_cast<UINT>('K'));
}

TEST(PlaybackList, EveryEventIsDueOneDelayAfterTheStep)
{
    static PlaybackState state;
    WORD request[] = {1, VK_F5};
    BeginPlaybackState(&state, request, 100, 1000);
    EVENTMSG event;
    AdvancePlayback(&state, 1000);
    CurrentPlaybackEvent(&state, &event);
    EXPECT_EQ(event.time, 1100u);
    EXPECT_EQ(event.paramH, 0x3Fu) << "F5's scan code";
    EXPECT_EQ(event.hwnd, nullptr);
    AdvancePlayback(&state, 1105);
    CurrentPlaybackEvent(&state, &event);
    EXPECT_EQ(event.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(event.time, 1205u);
}

bool QuitPosted()
{
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

TEST(JournalHook, GetNextRepeatsSkipAdvancesOthersPassOn)
{
    static PlaybackState state;
    WORD request[] = {2, VK_F5, VK_SHIFT | PLAYBACK_KEY_UP};
    BeginPlaybackState(&state, request, 50, 1000);
    AdvancePlayback(&state, 1000); // as the playback thread does before installing the hook

    EVENTMSG first, again;
    EXPECT_EQ(JournalPlaybackStep(&state, HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&first), 1010), 40);
    EXPECT_EQ(JournalPlaybackStep(&state, HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&again), 1060), 0)
        << "overdue: at once";
    EXPECT_EQ(first.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(again.message, first.message);
    EXPECT_EQ(again.paramL, static_cast<UINT>(VK_F5));
    EXPECT_EQ(again.time, 1050u);
    EXPECT_EQ(state.index, 0);
    EXPECT_TRUE(state.asked);

    // Other codes change nothing.
    PlaybackState before = state;
    JournalPlaybackStep(&state, HC_SYSMODALON, 0, 0, 1070);
    JournalPlaybackStep(&state, HC_SYSMODALOFF, 0, 0, 1070);
    JournalPlaybackStep(&state, -1, 0, 0, 1070);
    EXPECT_EQ(memcmp(&before, &state, sizeof state), 0);

    EXPECT_EQ(JournalPlaybackStep(&state, HC_SKIP, 0, 0, 1100), 0);
    JournalPlaybackStep(&state, HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&first), 1100);
    EXPECT_EQ(first.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(first.paramL, static_cast<UINT>(VK_F5));
    JournalPlaybackStep(&state, HC_SKIP, 0, 0, 1150);
    JournalPlaybackStep(&state, HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&first), 1150);
    EXPECT_EQ(first.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(first.paramL, static_cast<UINT>(VK_SHIFT));
    EXPECT_FALSE(QuitPosted());
    JournalPlaybackStep(&state, HC_SKIP, 0, 0, 1200);
    EXPECT_TRUE(QuitPosted()) << "the end of the list ends the thread's loop";
    EXPECT_EQ(state.hook, nullptr);
}

TEST(JournalHook, NoActivePlaybackAnswersZero)
{
    EVENTMSG event = {};
    EXPECT_EQ(JournalPlaybackStep(nullptr, HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&event), 0), 0);
    EXPECT_EQ(JournalPlaybackStep(nullptr, HC_SKIP, 0, 0, 0), 0);
    EXPECT_EQ(event.message, 0u);
}

// Rows: lifted, still held, pressed again, released just before that, hook caught up.
TEST(LiftedModifiers, PressedAgainOnlyWhileTheWatchKnowsTheUserHoldsThem)
{
    const struct {
        bool lifted, holds, again, releasedFirst, caughtUp;
        LiftedKeyStep step;
    } rows[] = {{1, 1, 0, 0, 1, LIFTED_KEY_PRESS},
                {1, 1, 0, 0, 0, LIFTED_KEY_LEAVE},
                {1, 1, 1, 0, 1, LIFTED_KEY_LEAVE},
                {1, 0, 1, 1, 1, LIFTED_KEY_RELEASE},
                {1, 1, 1, 0, 0, LIFTED_KEY_RELEASE}};
    for (const auto &row : rows) {
        ModifierWatch watch = {};
        watch.lifted[2] = row.lifted, watch.userHolds[2] = row.holds, watch.pressedAgain[2] = row.again;
        watch.releasedFirst[2] = row.releasedFirst;
        EXPECT_EQ(SettleLiftedKey(&watch, 2, row.caughtUp), row.step) << "row " << &row - rows;
    }
}

// ---- whole playbacks into a recording sink ---------------------------------------

struct SinkEvent {
    UINT message;
    UINT vk;
    UINT scan;
    DWORD tick;
};

std::mutex SinkLock;
std::vector<SinkEvent> SinkEvents;
bool SinkFails = false;

bool RecordEvent(const EVENTMSG *event)
{
    std::lock_guard<std::mutex> guard(SinkLock);
    if (SinkFails)
        return false;
    SinkEvents.push_back({event->message, event->paramL, event->paramH, GetTickCount()});
    return true;
}

std::vector<SinkEvent> Recorded()
{
    std::lock_guard<std::mutex> guard(SinkLock);
    return SinkEvents;
}

bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs = 10000)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > driver::ScaledWait(timeoutMs))
            return false;
        Sleep(5);
    }
    return true;
}

class PlayKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SinkEvents.clear();
        SinkFails = false;
        SetKeyEventSink(RecordEvent);
    }
    void TearDown() override
    {
        CancelPlayback(5000);
        EXPECT_FALSE(IsPlayingKeys());
        SetKeyEventSink(nullptr);
    }
};

TEST_F(PlayKeysTest, NoDelayPlaysEverythingBeforeReturning)
{
    // Ctrl+Alt's normal function: the caller registers its hotkeys again right
    // after PlayKeys, so the key must be out by then.
    WORD request[] = {1, VK_F5};
    EXPECT_EQ(PlayKeys(request, 0), 1);
    std::vector<SinkEvent> events = Recorded();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(events[1].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(events[0].scan, 0x3Fu) << "F5's scan code";
    EXPECT_TRUE(WaitUntil([] { return !IsPlayingKeys(); }));
}

TEST_F(PlayKeysTest, EmptyRequestIsRefused)
{
    WORD request[] = {0, VK_F5};
    EXPECT_EQ(PlayKeys(request, 0), 0);
    EXPECT_FALSE(IsPlayingKeys());
    EXPECT_TRUE(Recorded().empty());
    // Nothing was injected either when the system's input is the target.
    SetKeyEventSink(nullptr);
    EXPECT_EQ(PlayKeys(request, 0), 0);
}

TEST_F(PlayKeysTest, OnlyTheFirst1024EntriesPlay)
{
    std::vector<WORD> request(1 + 1100, static_cast<WORD>('K' | PLAYBACK_KEY_DOWN));
    request[0] = 1100;
    EXPECT_EQ(PlayKeys(request.data(), 0), 1);
    EXPECT_TRUE(WaitUntil([] { return !IsPlayingKeys(); }));
    EXPECT_EQ(Recorded().size(), 1024u);
}

TEST_F(PlayKeysTest, StrokeAtHundredMillisecondsTakesTwoSteps)
{
    WORD request[] = {1, VK_F5};
    DWORD start = GetTickCount();
    EXPECT_EQ(PlayKeys(request, 100), 1);
    DWORD returned = GetTickCount();
    ASSERT_TRUE(WaitUntil([] { return !IsPlayingKeys(); }));
    std::vector<SinkEvent> events = Recorded();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_LE(static_cast<int>(returned - events[0].tick), 0) << "the requester goes on before the first event is due";
    // The tick count moves in steps of up to 16 ms; a loaded machine adds delay.
    EXPECT_GE(events[0].tick - start, 84u);
    EXPECT_LE(events[0].tick - start, driver::ScaledWait(600));
    EXPECT_GE(events[1].tick - events[0].tick, 84u);
    EXPECT_LE(events[1].tick - events[0].tick, driver::ScaledWait(600));
}

TEST_F(PlayKeysTest, SecondRequestWhileOneRunsIsRefusedAtOnce)
{
    WORD typing[] = {3, 'A', 'B', 'C'};
    ASSERT_EQ(PlayKeys(typing, 100), 1);
    WORD key[] = {1, VK_F5};
    EXPECT_EQ(PlayKeys(key, 0), 0);
    DWORD refused = GetTickCount();
    ASSERT_TRUE(WaitUntil([] { return !IsPlayingKeys(); }));
    std::vector<SinkEvent> events = Recorded();
    ASSERT_EQ(events.size(), 6u);
    EXPECT_LT(static_cast<int>(refused - events.back().tick), 0) << "refused without waiting for the running playback";
    for (const SinkEvent &event : events)
        EXPECT_NE(event.vk, static_cast<UINT>(VK_F5));
}

TEST_F(PlayKeysTest, CancelledPlaybackReleasesItsKeysAndAcceptsTheNext)
{
    WORD typing[] = {
        6,   VK_SHIFT | PLAYBACK_KEY_DOWN, VK_CONTROL | PLAYBACK_KEY_DOWN, VK_RETURN | PLAYBACK_KEY_DOWN, 'A',
        'B', VK_SHIFT | PLAYBACK_KEY_UP};
    ASSERT_EQ(PlayKeys(typing, 100), 1);
    ASSERT_TRUE(WaitUntil([] { return Recorded().size() >= 3; })); // Shift, Ctrl, Enter down
    CancelPlayback(5000);
    EXPECT_FALSE(IsPlayingKeys());
    std::vector<SinkEvent> events = Recorded();
    // Whatever went down comes up again, the modifiers last (after Enter).
    ASSERT_GE(events.size(), 5u);
    size_t n = events.size();
    EXPECT_EQ(events[n - 1].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(events[n - 1].vk, static_cast<UINT>(VK_SHIFT));
    EXPECT_EQ(events[n - 2].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(events[n - 2].vk, static_cast<UINT>(VK_CONTROL));
    int downs = 0, ups = 0;
    for (const SinkEvent &event : events)
        (event.message == WM_KEYDOWN ? downs : ups)++;
    EXPECT_EQ(downs, ups);
    Sleep(250);
    EXPECT_EQ(Recorded().size(), n) << "nothing is played after the cancellation";

    WORD key[] = {1, VK_F5};
    EXPECT_EQ(PlayKeys(key, 0), 1);
    EXPECT_EQ(Recorded().size(), n + 2);
}

TEST_F(PlayKeysTest, UndeliverableFirstEventIsARefusal)
{
    SinkFails = true;
    WORD key[] = {1, VK_F5};
    EXPECT_EQ(PlayKeys(key, 0), 0);
    EXPECT_TRUE(WaitUntil([] { return !IsPlayingKeys(); }));
    SinkFails = false;
    EXPECT_EQ(PlayKeys(key, 0), 1);
}

} // namespace
