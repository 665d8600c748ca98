/* Reads a .hlp image back the way a viewer does, for the generator's check of
 * its own output and for the tests. Strict about what this generator writes
 * (uncompressed text, exact internal file sizes): refuses the rest, never guesses. */
#include <cstring>

#include "hlpgen.h"

/* The data of the internal file whose FILEHEADER is at `at`. */
static bool ReadInternalFile(const HlpBytes &image, size_t at, HlpBytes *data, std::string *error)
{
    if (at < HELP_HEADER_SIZE || at > image.size() || image.size() - at < FILE_HEADER_SIZE)
        return Fail(error, "internal file header outside the file");
    uint32_t reserved = GetU32(image.data() + at);
    uint32_t used = GetU32(image.data() + at + 4);
    if (reserved != used + FILE_HEADER_SIZE)
        return Fail(error, "internal file with slack or overlap");
    if (image.size() - at < reserved)
        return Fail(error, "internal file runs past the end");
    data->assign(image.data() + at + FILE_HEADER_SIZE, image.data() + at + reserved);
    return true;
}

bool ReadHelpImage(const HlpBytes &image, std::vector<HelpInternalFile> *files, std::string *error)
{
    if (image.size() < HELP_HEADER_SIZE || GetU32(image.data()) != HELP_MAGIC)
        return Fail(error, "not a help file");
    if (GetU32(image.data() + 12) != image.size())
        return Fail(error, "file size field is wrong");
    HlpBytes directory;
    if (!ReadInternalFile(image, GetU32(image.data() + 4), &directory, error))
        return false;
    std::vector<BtreeEntry> entries;
    if (!ReadBtreeEntries(directory, &entries, error))
        return false;
    files->clear();
    for (const BtreeEntry &entry : entries) {
        if (entry.value.size() != 4)
            return Fail(error, "bad directory entry");
        /* Every name must also be found the way a viewer searches the tree. */
        HlpBytes found;
        if (!FindBtreeValue(directory, DirectoryTree.compare, entry.key, &found) || found != entry.value)
            return Fail(error, "directory is not in viewer order");
        HelpInternalFile file;
        file.name.assign(entry.key.begin(), entry.key.end() - 1);
        if (!ReadInternalFile(image, GetU32(entry.value.data()), &file.data, error))
            return false;
        files->push_back(file);
    }
    return true;
}

const HlpBytes *FindInternalFile(const std::vector<HelpInternalFile> &files, const std::string &name)
{
    for (const HelpInternalFile &file : files)
        if (file.name == name)
            return &file.data;
    return nullptr;
}

/* Skips the paragraph settings that follow ParaBits. */
static bool SkipParagraphSettings(const uint8_t *p, size_t size, size_t *at, unsigned bits)
{
    long skippedLong;
    int skipped;
    unsigned skippedUnsigned;
    if ((bits & 0x0001) && !GetCompressedSLong(p, size, at, &skippedLong))
        return false;
    for (unsigned bit = 0x0002; bit <= 0x0040; bit <<= 1)
        if ((bits & bit) && !GetCompressedSShort(p, size, at, &skipped))
            return false;
    if (bits & 0x0100) {
        if (*at + 3 > size)
            return false;
        *at += 3;
    }
    if (bits & 0x0200) {
        int stops;
        if (!GetCompressedSShort(p, size, at, &stops))
            return false;
        for (int i = 0; i < stops; ++i) {
            unsigned position;
            if (!GetCompressedUShort(p, size, at, &position))
                return false;
            if ((position & 0x4000) && !GetCompressedUShort(p, size, at, &skippedUnsigned))
                return false;
        }
    }
    return true;
}

/* The format commands read: the size of the argument and the character the
 * command stands for in the text (0 for none). 0xE2-0xE7 are jumps and
 * pop-ups; their argument is the target's context hash. */
struct FormatCommand {
    uint8_t code;
    uint8_t argument;
    char text;
};

constexpr FormatCommand FormatCommands[] = {
    {0x80, 2, 0},   {0x81, 0, '\n'}, {0x82, 0, '\n'}, {0x83, 0, '\t'}, {0x89, 0, 0}, {0x8B, 0, ' '},
    {0x8C, 0, '-'}, {0xE2, 4, 0},    {0xE3, 4, 0},    {0xE6, 4, 0},    {0xE7, 4, 0},
};

/* Decodes a text record: its strings, one per format command. */
static bool ReadTextRecord(const uint8_t *data1, size_t size1, const uint8_t *data2, size_t size2, ReadTopicInfo *topic,
                           std::string *error)
{
    size_t at = 0;
    long topicSize;
    unsigned topicLength;
    if (!GetCompressedSLong(data1, size1, &at, &topicSize) || !GetCompressedUShort(data1, size1, &at, &topicLength))
        return Fail(error, "text record too short");
    if (topicLength != size2)
        return Fail(error, "text record length differs from its text");
    if (at + 6 > size1)
        return Fail(error, "text record too short");
    at += 4;
    unsigned bits = GetU16(data1 + at);
    at += 2;
    if (!SkipParagraphSettings(data1, size1, &at, bits))
        return Fail(error, "bad paragraph settings");

    size_t text = 0;
    for (;;) {
        if (at >= size1)
            return Fail(error, "text record has no end command");
        const void *nul = text < size2 ? std::memchr(data2 + text, 0, size2 - text) : nullptr;
        if (!nul)
            return Fail(error, "fewer strings than format commands");
        size_t length = static_cast<size_t>(static_cast<const uint8_t *>(nul) - (data2 + text));
        topic->text.append(reinterpret_cast<const char *>(data2 + text), length);
        text += length + 1;
        uint8_t code = data1[at++];
        if (code == 0xFF)
            return text == size2 || Fail(error, "more strings than format commands");
        const FormatCommand *command = nullptr;
        for (const FormatCommand &known : FormatCommands)
            if (known.code == code)
                command = &known;
        if (!command)
            return Fail(error, "unknown format command");
        if (command->text)
            topic->text += command->text;
        if (at + command->argument > size1)
            return Fail(error, "format command cut short");
        if (command->argument == 4)
            topic->jumpHashes.push_back(GetU32(data1 + at));
        at += command->argument;
    }
}

/* The data areas of all blocks, joined: records run on across blocks. */
static bool JoinTopicBlocks(const std::vector<HelpInternalFile> &files, HlpBytes *stream, std::string *error)
{
    const HlpBytes *system = FindInternalFile(files, "|SYSTEM");
    const HlpBytes *topicFile = FindInternalFile(files, "|TOPIC");
    if (!system || !topicFile || !FindInternalFile(files, "|FONT") || !FindInternalFile(files, "|CONTEXT"))
        return Fail(error, "|SYSTEM, |TOPIC, |FONT or |CONTEXT is missing");
    if (system->size() < 12 || GetU16(system->data()) != SYSTEM_MAGIC || GetU16(system->data() + 4) != 1 ||
        GetU16(system->data() + 2) <= 16)
        return Fail(error, "bad |SYSTEM header");
    if (GetU16(system->data() + 10) != 0)
        return Fail(error, "compressed topics are not supported");
    if (topicFile->empty() || topicFile->size() % TOPIC_BLOCK_SIZE != 0)
        return Fail(error, "|TOPIC is not made of whole blocks");
    stream->clear();
    for (size_t block = 0; block < topicFile->size(); block += TOPIC_BLOCK_SIZE)
        stream->insert(stream->end(), topicFile->data() + block + TOPIC_BLOCK_HEADER_SIZE,
                       topicFile->data() + block + TOPIC_BLOCK_SIZE);
    return true;
}

bool ReadTopics(const std::vector<HelpInternalFile> &files, std::vector<ReadTopicInfo> *topics, std::string *error)
{
    HlpBytes stream;
    if (!JoinTopicBlocks(files, &stream, error))
        return false;
    topics->clear();
    uint32_t pos = TOPIC_BLOCK_HEADER_SIZE, previous = NO_LINK;
    uint32_t block = 0, chars = 0;
    bool lastWasHeader = false;
    for (;;) {
        uint32_t inBlock = pos % TOPIC_POS_PER_BLOCK;
        if (inBlock < TOPIC_BLOCK_HEADER_SIZE || inBlock >= TOPIC_BLOCK_SIZE)
            return Fail(error, "bad TOPICPOS");
        size_t at = (pos / TOPIC_POS_PER_BLOCK) * TOPIC_BLOCK_DATA_SIZE + inBlock - TOPIC_BLOCK_HEADER_SIZE;
        if (at + TOPIC_LINK_SIZE > stream.size())
            return Fail(error, "record outside |TOPIC");
        const uint8_t *link = stream.data() + at;
        uint32_t blockSize = GetU32(link), dataLen2 = GetU32(link + 4), prev = GetU32(link + 8);
        uint32_t next = GetU32(link + 12), dataLen1 = GetU32(link + 16);
        uint8_t type = link[20];
        if (dataLen1 < TOPIC_LINK_SIZE || blockSize < dataLen1 || blockSize - dataLen1 != dataLen2 ||
            blockSize > stream.size() - at)
            return Fail(error, "record sizes do not add up");
        if (inBlock + dataLen1 > TOPIC_BLOCK_SIZE)
            return Fail(error, "record header straddles a block");
        if (prev != previous)
            return Fail(error, "record links back to the wrong record");
        if (pos / TOPIC_POS_PER_BLOCK != block) {
            block = pos / TOPIC_POS_PER_BLOCK;
            chars = 0;
        }
        const uint8_t *data1 = link + TOPIC_LINK_SIZE;
        const uint8_t *data2 = link + dataLen1;
        if (type == RECORD_TOPIC_HEADER) {
            ReadTopicInfo topic;
            topic.topicOffset = block * TOPIC_OFFSET_PER_BLOCK + chars;
            const uint8_t *nul = static_cast<const uint8_t *>(std::memchr(data2, 0, dataLen2));
            topic.title.assign(data2, nul ? nul : data2 + dataLen2);
            topics->push_back(topic);
        } else if (type == RECORD_TEXT) {
            if (topics->empty())
                return Fail(error, "text before the first topic header");
            if (!ReadTextRecord(data1, dataLen1 - TOPIC_LINK_SIZE, data2, dataLen2, &topics->back(), error))
                return false;
            chars += dataLen2;
        } else {
            return Fail(error, "unknown record type");
        }
        lastWasHeader = type == RECORD_TOPIC_HEADER;
        if (next == NO_LINK)
            break;
        if (next <= pos)
            return Fail(error, "records do not move forward");
        previous = pos;
        pos = next;
    }
    /* The closing empty topic header is the chain's end mark, not a topic. */
    if (lastWasHeader && topics->back().title.empty())
        topics->pop_back();
    return true;
}

bool FindMapId(const std::vector<HelpInternalFile> &files, uint32_t mapId, uint32_t *topicOffset)
{
    const HlpBytes *map = FindInternalFile(files, "|CTXOMAP");
    if (!map || map->size() < 2)
        return false;
    size_t count = GetU16(map->data());
    if (map->size() < 2 + count * 8)
        return false;
    for (size_t i = 0; i < count; ++i) {
        if (GetU32(map->data() + 2 + i * 8) == mapId) {
            *topicOffset = GetU32(map->data() + 2 + i * 8 + 4);
            return true;
        }
    }
    return false;
}

bool FindContextHash(const std::vector<HelpInternalFile> &files, uint32_t hash, uint32_t *topicOffset)
{
    const HlpBytes *context = FindInternalFile(files, "|CONTEXT");
    if (!context)
        return false;
    HlpBytes key, value;
    PutU32(key, hash);
    if (!FindBtreeValue(*context, ContextTree.compare, key, &value) || value.size() != 4)
        return false;
    *topicOffset = GetU32(value.data());
    return true;
}

const ReadTopicInfo *TopicAtOffset(const std::vector<ReadTopicInfo> &topics, uint32_t topicOffset)
{
    const ReadTopicInfo *found = nullptr;
    for (const ReadTopicInfo &topic : topics)
        if (topic.topicOffset <= topicOffset && (!found || topic.topicOffset > found->topicOffset))
            found = &topic;
    return found;
}

bool VerifyHelpImage(const HlpBytes &image, const HelpBook &book, std::string *error)
{
    std::vector<HelpInternalFile> files;
    std::vector<ReadTopicInfo> topics;
    if (!ReadHelpImage(image, &files, error) || !ReadTopics(files, &topics, error))
        return false;
    if (topics.size() != book.topics.size())
        return Fail(error, "wrong number of topics read back");
    for (size_t i = 0; i < topics.size(); ++i) {
        const HelpTopic &topic = book.topics[i];
        if (topics[i].title != topic.title)
            return Fail(error, "topic \"" + topic.title + "\" read back differently");
        uint32_t offset;
        if (!FindContextHash(files, HashContextName(topic.name), &offset) ||
            TopicAtOffset(topics, offset) != &topics[i])
            return Fail(error, "context " + topic.name + " does not lead to its topic");
        if (topic.hasMapId && (!FindMapId(files, topic.mapId, &offset) || TopicAtOffset(topics, offset) != &topics[i]))
            return Fail(error, "map number " + std::to_string(topic.mapId) + " does not lead to " + topic.name);
        for (uint32_t hash : topics[i].jumpHashes)
            if (!FindContextHash(files, hash, &offset))
                return Fail(error, "a jump in " + topic.name + " leads nowhere");
    }
    return true;
}
