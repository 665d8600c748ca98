// The fifteen Springpads: their value names and their keys.
#include <gtest/gtest.h>

#include "core/core.h"

namespace {

TEST(KeyTable, NamesAndKeysOfTheFifteenSpringpads)
{
    EXPECT_STREQ(KeyName(101), "F1");
    EXPECT_STREQ(KeyName(112), "F12");
    EXPECT_STREQ(KeyName(113), "Print Screen");
    EXPECT_STREQ(KeyName(114), "Scroll Lock");
    EXPECT_STREQ(KeyName(115), "Pause");
    EXPECT_STREQ(KeyName(100), "");
    EXPECT_STREQ(KeyName(116), "");
    EXPECT_STREQ(KeyName(0), "");
    EXPECT_EQ(KeyVirtualKey(101), static_cast<UINT>(VK_F1));
    EXPECT_EQ(KeyVirtualKey(113), static_cast<UINT>(VK_SNAPSHOT));
    EXPECT_EQ(KeyVirtualKey(114), static_cast<UINT>(VK_SCROLL));
    EXPECT_EQ(KeyVirtualKey(115), static_cast<UINT>(VK_PAUSE));
}

} // namespace
