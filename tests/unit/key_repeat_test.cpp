// The repeat rule of a held Springpad, over scripts: D and U the user's
// key-down and key-up, d and u the same played by Springdeck itself; hT a
// hotkey at time T that is acted on, rT one taken for a repeat.
#include <gtest/gtest.h>

#include <sstream>

#include "core/core_internal.h"
#include "launch/launch.h"

TEST(KeyRepeat, HeldKeyIsOnePress)
{
    for (const char *script :
         {"D h1000 D r1030 D r1060 U", "D h1000 U D h1040", "D h1000 r1300 h1800", "h1000 h1010", "D h4294967200 D r40",
          "D h1000 d u D r1030 D r1060", "D h1000 d D r1030 u D r1060", "D h1000 U d u D h1200"}) {
        KeyPressState key = {};
        std::istringstream words(script);
        for (std::string word; words >> word;) {
            char kind = word[0];
            if (kind == 'h' || kind == 'r')
                EXPECT_EQ(IsRepeatOfActedPress(&key, static_cast<DWORD>(std::stoul(word.substr(1))), 400), kind == 'r')
                    << script << ": " << word;
            else
                NoteRawKeyEvent(&key, kind == 'U' || kind == 'u' ? RI_KEY_BREAK : RI_KEY_MAKE,
                                kind == 'd' || kind == 'u' ? INJECTED_BY_PLAYBACK : 0);
        }
    }
}
