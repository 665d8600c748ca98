// Compressed integers and context-name hashing of the help generator.
#include <gtest/gtest.h>

#include "hlpgen.h"

TEST(HlpBytes, CompressedIntegersUseTheShortForms)
{
    struct Case {
        int kind; // 0 unsigned short, 1 signed short, 2 signed long
        long value;
        HlpBytes bytes;
    };
    const Case cases[] = {
        {0, 0, {0x00}},
        {0, 93, {0xBA}},
        {0, 127, {0xFE}},
        {0, 128, {0x01, 0x01}},
        {0, 32767, {0xFF, 0xFF}},
        {1, 12, {0x98}},
        {1, -64, {0x00}},
        {1, 63, {0xFE}},
        {1, 64, {0x81, 0x80}},
        {2, 24, {0x30, 0x80}},
        {2, 0, {0x00, 0x80}},
        {2, 16383, {0xFE, 0xFF}},
        {2, -16384, {0x00, 0x00}},
    };
    for (const Case &c : cases) {
        HlpBytes out;
        if (c.kind == 0)
            PutCompressedUShort(out, static_cast<unsigned>(c.value));
        if (c.kind == 1)
            PutCompressedSShort(out, static_cast<int>(c.value));
        if (c.kind == 2)
            PutCompressedSLong(out, c.value);
        EXPECT_EQ(out, c.bytes) << "kind " << c.kind << " value " << c.value;

        size_t at = 0;
        long back = 0;
        bool ok = false;
        if (c.kind == 0) {
            unsigned v;
            ok = GetCompressedUShort(out.data(), out.size(), &at, &v);
            back = static_cast<long>(v);
        } else if (c.kind == 1) {
            int v;
            ok = GetCompressedSShort(out.data(), out.size(), &at, &v);
            back = v;
        } else {
            ok = GetCompressedSLong(out.data(), out.size(), &at, &back);
        }
        EXPECT_TRUE(ok);
        EXPECT_EQ(back, c.value);
        EXPECT_EQ(at, out.size());
    }
}

TEST(HlpBytes, CompressedReadersStopAtTheEndOfTheData)
{
    const uint8_t longForm[] = {0x01}; // announces two bytes, has one
    size_t at = 0;
    unsigned u;
    long l;
    EXPECT_FALSE(GetCompressedUShort(longForm, 1, &at, &u));
    EXPECT_FALSE(GetCompressedSLong(longForm, 1, &at, &l));
    EXPECT_FALSE(GetCompressedUShort(longForm, 0, &at, &u));
}

TEST(HlpContextHash, MatchesTheViewersHash)
{
    EXPECT_EQ(HashContextName("about"), 0x038D9259u);
    EXPECT_EQ(HashContextName("using"), 0x07B55B60u);
    EXPECT_EQ(HashContextName("overview"), 0x98108E3Du); // wraps around 2^32
    EXPECT_EQ(HashContextName("a"), 17u);
    EXPECT_EQ(HashContextName("z"), 42u);
    EXPECT_EQ(HashContextName("1"), 1u);
    EXPECT_EQ(HashContextName("0"), 10u);
    EXPECT_EQ(HashContextName("."), 12u);
    EXPECT_EQ(HashContextName("_"), 13u);
    EXPECT_EQ(HashContextName("a0"), 17u * 43 + 10);
}

TEST(HlpContextHash, IgnoresCaseAndAcceptsOnlyTheCommonCharacters)
{
    EXPECT_EQ(HashContextName("Using_Springdeck"), HashContextName("using_springdeck"));
    EXPECT_TRUE(IsContextName("cd_aol"));
    EXPECT_TRUE(IsContextName("Topic.2"));
    EXPECT_FALSE(IsContextName(""));
    EXPECT_FALSE(IsContextName("two words"));
    EXPECT_FALSE(IsContextName("caf\xE9"));
    EXPECT_FALSE(IsContextName("a-b"));
}
