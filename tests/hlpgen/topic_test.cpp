// Topic records of the help generator: the bytes of a text record, the block
// layout that gives TOPICPOS and TOPICOFFSET, and |TOPIC files spanning many
// blocks read back as a viewer walks them.
#include <gtest/gtest.h>

#include <string>

#include "hlpgen.h"

static HelpParagraph Plain(const std::string &text) { return HelpParagraph{false, {{text, "", false}}}; }

static std::string Strings(const HlpBytes &bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(HlpTopicRecord, TextRecordCarriesTitleParagraphsAndJump)
{
    HelpTopic topic;
    topic.name = "overview";
    topic.title = "Overview";
    topic.paragraphs = {Plain("First paragraph of the overview."), Plain("Second paragraph."),
                        HelpParagraph{false, {{"See also: ", "", false}, {"Using the program", "using", false}}}};
    TopicRecord record;
    std::string error;
    ASSERT_TRUE(BuildTextRecord(topic, &record, &error)) << error;
    const HlpBytes linkData1 = {0x30, 0x80, 0xBA, 0x00, 0x80, 0x00, 0x00, 0x04, 0x00, 0x98, 0x80, 0x01, 0x00, 0x82,
                                0x80, 0x00, 0x00, 0x82, 0x82, 0xE3, 0x60, 0x5B, 0xB5, 0x07, 0x89, 0x82, 0xFF};
    EXPECT_EQ(record.linkData1, linkData1);
    EXPECT_EQ(Strings(record.linkData2), std::string("\0Overview\0\0First paragraph of the overview.\0"
                                                     "Second paragraph.\0See also: \0Using the program\0\0\0",
                                                     93));
    EXPECT_EQ(record.topicLength, 93u);
    EXPECT_EQ(record.type, RECORD_TEXT);
}

TEST(HlpTopicRecord, HeadingsAndBoldWordsSwitchFonts)
{
    HelpTopic topic;
    topic.name = "t";
    topic.title = "T";
    topic.paragraphs = {HelpParagraph{true, {{"Head", "", false}}},
                        HelpParagraph{false, {{"Click ", "", false}, {"OK", "", true}, {" now.", "", false}}}};
    TopicRecord record;
    std::string error;
    ASSERT_TRUE(BuildTextRecord(topic, &record, &error)) << error;
    const HlpBytes commands(record.linkData1.begin() + 10, record.linkData1.end());
    const HlpBytes expected = {0x80, 0x01, 0x00, 0x82, 0x80, 0x00, 0x00, // title
                               0x80, 0x02, 0x00, 0x82, 0x80, 0x00, 0x00, // heading
                               0x80, 0x02, 0x00, 0x80, 0x00, 0x00, 0x82, // Click **OK** now.
                               0xFF};
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(Strings(record.linkData2), std::string("\0T\0\0\0Head\0\0Click \0OK\0 now.\0\0", 28));
}

TEST(HlpTopicRecord, RefusesTopicsThatDoNotFitOneRecord)
{
    HelpTopic topic;
    topic.name = "big";
    topic.title = "Big";
    std::string error;
    TopicRecord record;
    topic.paragraphs = {Plain(std::string(32800, 'x'))};
    EXPECT_FALSE(BuildTextRecord(topic, &record, &error));
    topic.paragraphs.assign(5000, Plain("p")); // one command byte each: too many for a block
    EXPECT_FALSE(BuildTextRecord(topic, &record, &error));
    topic.paragraphs = {Plain("fine")};
    topic.title.clear();
    EXPECT_FALSE(BuildTextRecord(topic, &record, &error));
}

static TopicRecord Sized(uint8_t type, size_t data1, size_t data2)
{
    TopicRecord record;
    record.type = type;
    record.linkData1.assign(data1, 0);
    record.linkData2.assign(data2, 'x');
    record.topicLength = static_cast<uint32_t>(data2);
    return record;
}

TEST(HlpTopicLayout, RecordsRunOnButHeadersNeverStraddleBlocks)
{
    std::vector<TopicRecord> records = {
        Sized(RECORD_TOPIC_HEADER, 28, 10), // block 0 at 12
        Sized(RECORD_TEXT, 10, 4000),       // at 71; its text runs on into block 1
        Sized(RECORD_TOPIC_HEADER, 28, 5),  // block 1 right after that text
        Sized(RECORD_TEXT, 10, 3990),       // ends 3 bytes before the end of block 1
        Sized(RECORD_TOPIC_HEADER, 28, 0),  // no room for its header: block 2
    };
    LayoutTopicRecords(records);
    const uint32_t pos[] = {12, 71, 0x4000 + 18, 0x4000 + 72, 0x8000 + 12};
    const uint32_t offset[] = {0, 0, 0x8000, 0x8000, 0x10000};
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].topicPos, pos[i]) << i;
        EXPECT_EQ(records[i].topicOffset, offset[i]) << i;
    }
}

static HelpBook ManyTopics(int count)
{
    HelpBook book;
    book.title = "Many";
    for (int i = 0; i < count; ++i) {
        HelpTopic topic;
        topic.name = "topic" + std::to_string(i);
        topic.hasMapId = true;
        topic.mapId = static_cast<uint32_t>(1000 - i);
        topic.title = "Topic number " + std::to_string(i);
        topic.paragraphs = {
            Plain(std::string(150 + 37 * i, static_cast<char>('a' + i % 26))),
            HelpParagraph{false, {{"Next: ", "", false}, {"jump", "topic" + std::to_string((i + 1) % count), false}}}};
        book.topics.push_back(topic);
    }
    return book;
}

TEST(HlpTopicFile, ManyBlocksReadBackWithTheSameOffsets)
{
    HelpBook book = ManyTopics(40);
    HlpBytes topicFile;
    std::vector<uint32_t> offsets;
    std::string error;
    ASSERT_TRUE(BuildTopicFile(book, &topicFile, &offsets, &error)) << error;
    ASSERT_EQ(topicFile.size() % TOPIC_BLOCK_SIZE, 0u);
    const size_t blocks = topicFile.size() / TOPIC_BLOCK_SIZE;
    ASSERT_GT(blocks, 8u);

    HlpBytes image;
    ASSERT_TRUE(BuildHelpFile(book, &image, &error)) << error;
    std::vector<HelpInternalFile> files;
    std::vector<ReadTopicInfo> topics;
    ASSERT_TRUE(ReadHelpImage(image, &files, &error)) << error;
    ASSERT_TRUE(ReadTopics(files, &topics, &error)) << error;
    ASSERT_EQ(topics.size(), book.topics.size());
    for (size_t i = 0; i < topics.size(); ++i) {
        EXPECT_EQ(topics[i].topicOffset, offsets[i]) << i;
        EXPECT_EQ(topics[i].title, book.topics[i].title);
        EXPECT_EQ(topics[i].text,
                  book.topics[i].title + "\n" + book.topics[i].paragraphs[0].runs[0].text + "\nNext: jump\n");
        ASSERT_EQ(topics[i].jumpHashes.size(), 1u);
        EXPECT_EQ(topics[i].jumpHashes[0], HashContextName("topic" + std::to_string((i + 1) % 40)));
    }

    // Block headers: where the first record of each block starts, and which
    // records started before it.
    EXPECT_EQ(GetU32(topicFile.data()), 0xFFFFFFFFu);
    EXPECT_EQ(GetU32(topicFile.data() + 4), 12u);
    EXPECT_EQ(GetU32(topicFile.data() + 8), 0u);
    for (size_t block = 1; block < blocks; ++block) {
        const uint8_t *header = topicFile.data() + block * TOPIC_BLOCK_SIZE;
        uint32_t lastLink = GetU32(header), firstLink = GetU32(header + 4), lastTopic = GetU32(header + 8);
        EXPECT_LT(lastLink / 0x4000, block);
        EXPECT_LT(lastTopic / 0x4000, block);
        EXPECT_LE(lastTopic, lastLink);
        if (firstLink != 0xFFFFFFFFu)
            EXPECT_GE(firstLink / 0x4000, block);
    }
}
