/* |TOPIC: the text of the help file as a chain of TOPICLINK records in
 * 4096-byte blocks (12-byte block header, 4084 data bytes; stored without
 * compression). Each topic is a topic-header record (type 0x02, carrying the
 * title) followed by one text record (type 0x20) holding the title as its
 * first paragraph and then the body. The chain ends with an empty topic
 * header, which viewers that stop before the last record expect.
 *
 * Two addresses are computed for every record:
 *   TOPICPOS    = block * 0x4000 + byte position inside the block
 *   TOPICOFFSET = block * 0x8000 + characters of the text records that
 *                 started earlier in the same block
 * TOPICOFFSETs are what |CONTEXT, |CTXOMAP and |TTLBTREE point at. */
#include "hlpgen.h"

constexpr size_t TOPIC_HEADER_DATA_SIZE = 28;

/* Format commands of a text record. */
constexpr uint8_t CMD_FONT = 0x80;
constexpr uint8_t CMD_END_PARAGRAPH = 0x82;
constexpr uint8_t CMD_END_HOTSPOT = 0x89;
constexpr uint8_t CMD_JUMP = 0xE3;
constexpr uint8_t CMD_END = 0xFF;

/* Paragraph settings shared by every paragraph of a record: none but 6 points
 * of space below (bit 0x0004, compressed signed 12 half-points). */
constexpr unsigned PARA_SPACE_BELOW = 0x0004;
constexpr int SPACE_BELOW_HALF_POINTS = 12;

/* Text and commands of a record pair up: each command follows one
 * NUL-terminated string, possibly empty. */
struct TextBuilder {
    std::string pending;
    HlpBytes strings;
    HlpBytes commands;
};

static void Emit(TextBuilder &tb, std::initializer_list<uint8_t> command)
{
    PutStringZ(tb.strings, tb.pending);
    tb.pending.clear();
    tb.commands.insert(tb.commands.end(), command);
}

static void EmitFont(TextBuilder &tb, unsigned font)
{
    Emit(tb, {CMD_FONT, static_cast<uint8_t>(font), static_cast<uint8_t>(font >> 8)});
}

static void EmitParagraph(TextBuilder &tb, const HelpParagraph &paragraph)
{
    if (paragraph.heading)
        EmitFont(tb, FONT_BOLD);
    for (const HelpRun &run : paragraph.runs) {
        if (!run.jumpTo.empty()) {
            uint32_t hash = HashContextName(run.jumpTo);
            Emit(tb, {CMD_JUMP, static_cast<uint8_t>(hash), static_cast<uint8_t>(hash >> 8),
                      static_cast<uint8_t>(hash >> 16), static_cast<uint8_t>(hash >> 24)});
            tb.pending = run.text;
            Emit(tb, {CMD_END_HOTSPOT});
        } else if (run.bold) {
            EmitFont(tb, FONT_BOLD);
            tb.pending = run.text;
            EmitFont(tb, FONT_BODY);
        } else {
            tb.pending += run.text;
        }
    }
    Emit(tb, {CMD_END_PARAGRAPH});
    if (paragraph.heading)
        EmitFont(tb, FONT_BODY);
}

bool BuildTextRecord(const HelpTopic &topic, TopicRecord *record, std::string *error)
{
    if (topic.title.empty() || topic.title.find('\0') != std::string::npos)
        return Fail(error, "topic " + topic.name + " needs a title");
    TextBuilder tb;
    EmitFont(tb, FONT_TITLE);
    tb.pending = topic.title;
    Emit(tb, {CMD_END_PARAGRAPH});
    EmitFont(tb, FONT_BODY);
    for (const HelpParagraph &paragraph : topic.paragraphs) {
        for (const HelpRun &run : paragraph.runs)
            if (run.text.find('\0') != std::string::npos)
                return Fail(error, "topic " + topic.name + " has a NUL in its text");
        EmitParagraph(tb, paragraph);
    }
    Emit(tb, {CMD_END});

    HlpBytes afterLength;
    PutU8(afterLength, 0x00); /* unknown */
    PutU8(afterLength, 0x80); /* 0, biased by 0x80 */
    PutU16(afterLength, 0);   /* id */
    PutU16(afterLength, PARA_SPACE_BELOW);
    PutCompressedSShort(afterLength, SPACE_BELOW_HALF_POINTS);
    PutBytes(afterLength, tb.commands);

    if (tb.strings.size() > MAX_COMPRESSED_USHORT || afterLength.size() > MAX_COMPRESSED_SLONG)
        return Fail(error, "topic " + topic.name + " is too long for one record");
    record->type = RECORD_TEXT;
    record->linkData1.clear();
    PutCompressedSLong(record->linkData1, static_cast<long>(afterLength.size()));
    PutCompressedUShort(record->linkData1, static_cast<unsigned>(tb.strings.size()));
    PutBytes(record->linkData1, afterLength);
    if (TOPIC_LINK_SIZE + record->linkData1.size() > TOPIC_BLOCK_DATA_SIZE)
        return Fail(error, "topic " + topic.name + " has too many paragraphs and jumps for one record");
    record->linkData2 = tb.strings;
    record->topicLength = static_cast<uint32_t>(tb.strings.size());
    return true;
}

void LayoutTopicRecords(std::vector<TopicRecord> &records)
{
    uint32_t block = 0;
    size_t pos = TOPIC_BLOCK_HEADER_SIZE;
    uint32_t chars = 0;
    for (TopicRecord &record : records) {
        if (TOPIC_BLOCK_SIZE - pos < TOPIC_LINK_SIZE + record.linkData1.size()) {
            ++block;
            pos = TOPIC_BLOCK_HEADER_SIZE;
            chars = 0;
        }
        record.topicPos = block * TOPIC_POS_PER_BLOCK + static_cast<uint32_t>(pos);
        record.topicOffset = block * TOPIC_OFFSET_PER_BLOCK + chars;
        pos += TOPIC_LINK_SIZE + record.linkData1.size() + record.linkData2.size();
        if (record.type == RECORD_TEXT)
            chars += record.topicLength;
        while (pos > TOPIC_BLOCK_SIZE) { /* LinkData2 ran on into the next block */
            ++block;
            chars = 0;
            pos -= TOPIC_BLOCK_DATA_SIZE;
        }
    }
}

static uint32_t RecordSize(const TopicRecord &record)
{
    return static_cast<uint32_t>(TOPIC_LINK_SIZE + record.linkData1.size() + record.linkData2.size());
}

static HlpBytes TopicHeaderData(uint32_t blockSize, uint32_t topicNumber, uint32_t scroll, uint32_t nextTopic)
{
    HlpBytes data;
    PutU32(data, blockSize);
    PutU32(data, NO_LINK); /* no browse sequence, backwards */
    PutU32(data, NO_LINK); /* ... or forwards */
    PutU32(data, topicNumber);
    PutU32(data, NO_LINK); /* no non-scrolling region */
    PutU32(data, scroll);
    PutU32(data, nextTopic);
    return data;
}

/* Writes bytes from a TOPICPOS on, skipping the header of each block the
 * bytes run into. */
static void WriteAtTopicPos(HlpBytes &file, uint32_t topicPos, const HlpBytes &bytes)
{
    size_t at = (topicPos / TOPIC_POS_PER_BLOCK) * TOPIC_BLOCK_SIZE + topicPos % TOPIC_POS_PER_BLOCK;
    for (uint8_t byte : bytes) {
        if (at % TOPIC_BLOCK_SIZE == 0)
            at += TOPIC_BLOCK_HEADER_SIZE;
        if (file.size() <= at)
            file.resize((at / TOPIC_BLOCK_SIZE + 1) * TOPIC_BLOCK_SIZE, 0);
        file[at++] = byte;
    }
}

static void WriteBlockHeaders(HlpBytes &file, const std::vector<TopicRecord> &records)
{
    size_t blocks = file.size() / TOPIC_BLOCK_SIZE;
    for (size_t block = 0; block < blocks; ++block) {
        uint32_t lastLink = NO_LINK, firstLink = NO_LINK, lastHeader = 0;
        for (const TopicRecord &record : records) {
            size_t recordBlock = record.topicPos / TOPIC_POS_PER_BLOCK;
            if (recordBlock < block) {
                lastLink = record.topicPos;
                if (record.type == RECORD_TOPIC_HEADER)
                    lastHeader = record.topicPos;
            } else if (firstLink == NO_LINK) {
                firstLink = record.topicPos;
            }
        }
        SetU32(file, block * TOPIC_BLOCK_SIZE + 0, lastLink);
        SetU32(file, block * TOPIC_BLOCK_SIZE + 4, firstLink);
        SetU32(file, block * TOPIC_BLOCK_SIZE + 8, lastHeader);
    }
}

bool BuildTopicFile(const HelpBook &book, HlpBytes *topicFile, std::vector<uint32_t> *topicOffsets, std::string *error)
{
    /* Topic headers get their data once the layout is known; the last one
     * (no title) ends the chain. */
    TopicRecord header;
    header.type = RECORD_TOPIC_HEADER;
    header.linkData1.assign(TOPIC_HEADER_DATA_SIZE, 0);
    std::vector<TopicRecord> records;
    for (const HelpTopic &topic : book.topics) {
        header.linkData2.assign(topic.title.begin(), topic.title.end());
        records.push_back(header);
        records.emplace_back();
        if (!BuildTextRecord(topic, &records.back(), error))
            return false;
    }
    header.linkData2.clear();
    records.push_back(header);

    LayoutTopicRecords(records);

    topicOffsets->clear();
    for (size_t i = 0; i + 1 < records.size(); i += 2) {
        records[i].linkData1 = TopicHeaderData(RecordSize(records[i + 1]), static_cast<uint32_t>(i / 2),
                                               records[i + 1].topicPos, records[i + 2].topicPos);
        topicOffsets->push_back(records[i].topicOffset);
    }
    records.back().linkData1 = TopicHeaderData(0, static_cast<uint32_t>(book.topics.size()), NO_LINK, NO_LINK);

    topicFile->clear();
    for (size_t i = 0; i < records.size(); ++i) {
        const TopicRecord &record = records[i];
        HlpBytes bytes;
        PutU32(bytes, RecordSize(record));
        PutU32(bytes, static_cast<uint32_t>(record.linkData2.size()));
        PutU32(bytes, i == 0 ? NO_LINK : records[i - 1].topicPos);
        PutU32(bytes, i + 1 == records.size() ? NO_LINK : records[i + 1].topicPos);
        PutU32(bytes, static_cast<uint32_t>(TOPIC_LINK_SIZE + record.linkData1.size()));
        PutU8(bytes, record.type);
        PutBytes(bytes, record.linkData1);
        PutBytes(bytes, record.linkData2);
        WriteAtTopicPos(*topicFile, record.topicPos, bytes);
    }
    WriteBlockHeaders(*topicFile, records);
    return true;
}
