// The request that types an address into AOL: modifiers change only between
// characters, are all released before Enter, and the request never overflows.
// The expectations assume the US keyboard layout of the test display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launch/launch_internal.h"

namespace {

constexpr WORD ShiftDown = VK_SHIFT | PLAYBACK_KEY_DOWN, ShiftUp = VK_SHIFT | PLAYBACK_KEY_UP;
constexpr WORD CtrlDown = VK_CONTROL | PLAYBACK_KEY_DOWN, CtrlUp = VK_CONTROL | PLAYBACK_KEY_UP;

std::vector<WORD> Build(const std::string &text, size_t capacity = 512)
{
    std::vector<WORD> request(capacity + 8, 0xBEEF);
    WORD count = BuildTypingRequest(text.c_str(), request.data(), capacity);
    EXPECT_EQ(request[0], count);
    for (size_t i = capacity; i < request.size(); ++i)
        EXPECT_EQ(request[i], 0xBEEF) << "written past the request at " << i;
    return std::vector<WORD>(request.begin() + 1, request.begin() + 1 + count);
}

TEST(TypingRequest, ModifiersOnlyOnChangeReleasedBeforeEnter)
{
    const struct {
        const char *text;
        std::vector<WORD> entries;
    } cases[] = {
        {"Ab", {ShiftDown, 'A', ShiftUp, 'B', VK_RETURN}},
        {"ABc", {ShiftDown, 'A', 'B', ShiftUp, 'C', VK_RETURN}},
        {"aB", {'A', ShiftDown, 'B', ShiftUp, VK_RETURN}},
        {"a:/", {'A', ShiftDown, VK_OEM_1, ShiftUp, VK_OEM_2, VK_RETURN}},
        {"\x01", {CtrlDown, 'A', CtrlUp, VK_RETURN}},
        // Within one character Shift changes first, then Ctrl.
        {"A\x01", {ShiftDown, 'A', ShiftUp, CtrlDown, 'A', CtrlUp, VK_RETURN}},
        {"\x01"
         "A",
         {CtrlDown, 'A', ShiftDown, CtrlUp, 'A', ShiftUp, VK_RETURN}},
        {"", {VK_RETURN}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Build(c.text), c.entries) << "text: " << c.text;
}

TEST(TypingRequest, CharacterWithoutKeyIsLeftOut)
{
    char missing = 0;
    for (int ch = 0x80; ch < 0x100 && !missing; ++ch)
        if (VkKeyScanA(static_cast<char>(ch)) == -1)
            missing = static_cast<char>(ch);
    if (!missing)
        GTEST_SKIP() << "every character has a key in this layout";
    std::vector<WORD> expected = {'A', 'B', VK_RETURN};
    EXPECT_EQ(Build(std::string("a") + missing + "b"), expected);
}

TEST(TypingRequest, LongTextIsCutSoThatReleasesAndEnterFit)
{
    // Shift changes at every character: about two entries each.
    std::string text;
    while (text.size() < 262)
        text += "a:";
    std::vector<WORD> entries = Build(text);
    ASSERT_LE(entries.size(), 511u);
    EXPECT_GE(entries.size(), 505u) << "the request is used up to its end";
    EXPECT_EQ(entries.back(), VK_RETURN);
    // Replaying the modifiers gives back a prefix of the text, Shift released.
    bool shift = false;
    std::string typed;
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
        if (entries[i] == ShiftDown || entries[i] == ShiftUp)
            shift = entries[i] == ShiftDown;
        else
            typed += entries[i] == 'A' && !shift ? 'a' : entries[i] == VK_OEM_1 && shift ? ':' : '?';
    }
    EXPECT_FALSE(shift);
    EXPECT_EQ(typed, text.substr(0, typed.size()));

    EXPECT_TRUE(Build("Abc", 4).empty()) << "no room for a character and the closing keys";
    std::vector<WORD> small = {ShiftDown, 'A', ShiftUp, VK_RETURN};
    EXPECT_EQ(Build("Abc", 8), small);
}

} // namespace
