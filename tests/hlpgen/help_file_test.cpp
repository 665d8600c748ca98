// Whole help files: a three-topic reference file known to open in WinHelp and
// winhlp32 must come out byte for byte, lookups must reach each topic, and
// books the viewers would misread must be refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "hlpgen.h"

// SHA-256, to compare a whole image with a known check value.
static std::string Sha256Hex(const HlpBytes &data)
{
    constexpr uint32_t k[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
        0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
        0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
        0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
        0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
        0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
        0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
    uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    HlpBytes m = data;
    uint64_t bits = static_cast<uint64_t>(data.size()) * 8;
    m.push_back(0x80);
    while (m.size() % 64 != 56)
        m.push_back(0);
    for (int i = 7; i >= 0; --i)
        m.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    auto rotr = [](uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
    for (size_t chunk = 0; chunk < m.size(); chunk += 64) {
        uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = (static_cast<uint32_t>(m[chunk + 4 * i]) << 24) |
                   (static_cast<uint32_t>(m[chunk + 4 * i + 1]) << 16) |
                   (static_cast<uint32_t>(m[chunk + 4 * i + 2]) << 8) | m[chunk + 4 * i + 3];
        for (int i = 16; i < 64; ++i) {
            uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
        for (int i = 0; i < 64; ++i) {
            uint32_t t1 = hh + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
            uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            hh = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
        h[5] += f;
        h[6] += g;
        h[7] += hh;
    }
    std::string hex;
    for (uint32_t word : h) {
        char part[9];
        snprintf(part, sizeof part, "%08x", static_cast<unsigned>(word));
        hex += part;
    }
    return hex;
}

static HelpParagraph Plain(const std::string &text) { return HelpParagraph{false, {{text, "", false}}}; }

static HelpTopic Topic(const std::string &name, uint32_t mapId, const std::string &title,
                       std::vector<HelpParagraph> paragraphs)
{
    HelpTopic topic;
    topic.name = name;
    topic.hasMapId = true;
    topic.mapId = mapId;
    topic.title = title;
    topic.paragraphs = paragraphs;
    return topic;
}

static HelpBook SampleBook()
{
    HelpBook book;
    book.title = "Sample Help";
    book.fonts = {{0, 20}, {1, 24}};
    book.topics = {
        Topic("overview", 10, "Overview",
              {Plain("First paragraph of the overview."), Plain("Second paragraph."),
               HelpParagraph{false, {{"See also: ", "", false}, {"Using the program", "using", false}}}}),
        Topic("using", 20, "Using the program", {Plain("How to use it.")}),
        Topic("about", 30, "About", {Plain("Version 1.0.")}),
    };
    return book;
}

TEST(HlpHelpFile, SampleBookMatchesTheReferenceFile)
{
    HlpBytes image;
    std::string error;
    ASSERT_TRUE(BuildHelpFile(SampleBook(), &image, &error)) << error;
    ASSERT_EQ(image.size(), 9533u);
    EXPECT_EQ(GetU32(image.data()), 0x00035F3Fu);
    EXPECT_EQ(GetU32(image.data() + 4), 0x210Eu); // the directory comes last
    EXPECT_EQ(GetU32(image.data() + 12), 9533u);
    EXPECT_EQ(Sha256Hex(image), "28777e00285b6fdbbb499ca834ad2c7f4369f2a348cf30ab676f8cbe0b0e2a42");
    EXPECT_TRUE(VerifyHelpImage(image, SampleBook(), &error)) << error;
}

TEST(HlpHelpFile, MapNumbersContextsAndTitlesLeadToTheirTopics)
{
    HlpBytes image;
    std::string error;
    ASSERT_TRUE(BuildHelpFile(SampleBook(), &image, &error)) << error;
    std::vector<HelpInternalFile> files;
    std::vector<ReadTopicInfo> topics;
    ASSERT_TRUE(ReadHelpImage(image, &files, &error)) << error;
    ASSERT_TRUE(ReadTopics(files, &topics, &error)) << error;
    ASSERT_EQ(topics.size(), 3u);

    const struct {
        uint32_t mapId;
        const char *name;
        uint32_t offset;
        const char *title;
    } expected[] = {
        {10, "overview", 0x00, "Overview"}, {20, "using", 0x5D, "Using the program"}, {30, "about", 0x81, "About"}};
    for (const auto &e : expected) {
        uint32_t offset = 0;
        ASSERT_TRUE(FindMapId(files, e.mapId, &offset)) << e.mapId;
        EXPECT_EQ(offset, e.offset);
        ASSERT_TRUE(FindContextHash(files, HashContextName(e.name), &offset)) << e.name;
        EXPECT_EQ(offset, e.offset);
        ASSERT_NE(TopicAtOffset(topics, offset), nullptr);
        EXPECT_EQ(TopicAtOffset(topics, offset)->title, e.title);
    }
    uint32_t offset;
    EXPECT_FALSE(FindMapId(files, 40, &offset));
    EXPECT_FALSE(FindContextHash(files, HashContextName("missing"), &offset));
    EXPECT_EQ(topics[0].jumpHashes, std::vector<uint32_t>{HashContextName("using")});

    std::vector<BtreeEntry> titles;
    ASSERT_TRUE(ReadBtreeEntries(*FindInternalFile(files, "|TTLBTREE"), &titles, &error)) << error;
    ASSERT_EQ(titles.size(), 3u);
    EXPECT_EQ(GetU32(titles[1].key.data()), 0x5Du);
    EXPECT_EQ(std::string(titles[1].value.begin(), titles[1].value.end() - 1), "Using the program");
}

TEST(HlpHelpFile, SystemRecordsNameTheTitleCopyrightAndContentsTopic)
{
    HelpBook book = SampleBook();
    book.copyright = "(c) Tolvane Keyboards";
    book.contentsTopic = "about";
    HlpBytes image;
    std::string error;
    ASSERT_TRUE(BuildHelpFile(book, &image, &error)) << error;
    std::vector<HelpInternalFile> files;
    ASSERT_TRUE(ReadHelpImage(image, &files, &error)) << error;
    const HlpBytes &system = *FindInternalFile(files, "|SYSTEM");
    std::string records(system.begin() + 12, system.end());
    EXPECT_EQ(records, std::string("\x01\x00\x0C\x00Sample Help\0"
                                   "\x02\x00\x16\x00(c) Tolvane Keyboards\0"
                                   "\x03\x00\x04\x00\x81\x00\x00\x00",
                                   16 + 26 + 8));
}

TEST(HlpHelpFile, RefusesBooksTheViewerWouldMisread)
{
    struct Case {
        const char *why;
        void (*spoil)(HelpBook &);
    };
    const Case cases[] = {
        {"no topics", [](HelpBook &b) { b.topics.clear(); }},
        {"bad context name", [](HelpBook &b) { b.topics[1].name = "using it"; }},
        {"same context in other case", [](HelpBook &b) { b.topics[2].name = "Using"; }},
        {"same map number", [](HelpBook &b) { b.topics[2].mapId = 10; }},
        {"jump to nowhere", [](HelpBook &b) { b.topics[0].paragraphs[2].runs[1].jumpTo = "nowhere"; }},
        {"unknown contents topic", [](HelpBook &b) { b.contentsTopic = "index"; }},
        {"heading without a bold font", [](HelpBook &b) { b.topics[1].paragraphs[0].heading = true; }},
        {"face name too long", [](HelpBook &b) { b.face = std::string(40, 'f'); }},
        {"no title", [](HelpBook &b) { b.topics[2].title.clear(); }},
    };
    for (const Case &c : cases) {
        HelpBook book = SampleBook();
        c.spoil(book);
        HlpBytes image;
        std::string error;
        EXPECT_FALSE(BuildHelpFile(book, &image, &error)) << c.why;
        EXPECT_FALSE(error.empty()) << c.why;
    }
}

TEST(HlpHelpReader, RefusesDamagedImages)
{
    HlpBytes image;
    std::string error;
    ASSERT_TRUE(BuildHelpFile(SampleBook(), &image, &error)) << error;
    std::vector<HelpInternalFile> files;

    HlpBytes damaged = image;
    damaged.pop_back(); // size field no longer matches
    EXPECT_FALSE(ReadHelpImage(damaged, &files, &error));
    damaged = image;
    damaged[1] = 0; // magic
    EXPECT_FALSE(ReadHelpImage(damaged, &files, &error));
    damaged = image;
    SetU32(damaged, 4, 0x7FFFFFF0); // directory outside the file
    EXPECT_FALSE(ReadHelpImage(damaged, &files, &error));
    damaged = image;
    SetU32(damaged, 16, GetU32(damaged.data() + 16) + 1); // slack after |CONTEXT
    EXPECT_FALSE(ReadHelpImage(damaged, &files, &error));

    // A text record whose string count no longer matches its commands.
    ASSERT_TRUE(ReadHelpImage(image, &files, &error)) << error;
    std::vector<ReadTopicInfo> topics;
    for (HelpInternalFile &file : files)
        if (file.name == "|TOPIC")
            file.data[0x45 + 21 + 26] = 0x82; // the final 0xFF of topic 0
    EXPECT_FALSE(ReadTopics(files, &topics, &error));
}
