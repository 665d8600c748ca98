// The program's own path in the ANSI code page (Wine's prefixes use code page
// 1252, which has no Cyrillic letters).
#include <gtest/gtest.h>

#include "core/core_internal.h"
#include "driver.h"

namespace {

// A file without a short form, as every file has on a volume without short
// names: no path rather than one that names nothing.
TEST(AnsiPathOf, NoPathWhenNeitherFormCanBeSpelt)
{
    char ansi[MAX_PATH] = "x";
    std::wstring missing = driver::Wide(driver::BuildDir()) + L"\\\x041a.exe";
    EXPECT_EQ(AnsiPathOf(missing.c_str(), ansi, sizeof ansi), 0u);
    EXPECT_STREQ(ansi, "");
}

}  // namespace
