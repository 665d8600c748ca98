/* The whole .hlp image: a 16-byte header and a small file system of internal
 * files, each a 9-byte FILEHEADER and its data, placed back to back in name
 * order from offset 16, with the internal directory (a B+ tree of names and
 * offsets) last. The internal files written:
 *   |CONTEXT   context hash -> topic (jumps; viewers refuse a file without it)
 *   |CTXOMAP   map number -> topic (HELP_CONTEXT)
 *   |FONT      one face and the descriptors the text selects
 *   |SYSTEM    version, help title, copyright, contents topic
 *   |TOPIC     the text
 *   |TTLBTREE  topic -> title (search lists)
 */
#include <algorithm>
#include <map>

#include "hlpgen.h"

constexpr uint8_t FILE_FLAGS = 4;

constexpr uint16_t SYSTEM_MINOR = 21; /* Windows 3.1 help file */
constexpr uint16_t SYSTEM_MAJOR = 1;
constexpr uint16_t SYSTEM_UNCOMPRESSED = 0;
constexpr uint16_t SYSTEM_TITLE = 1;
constexpr uint16_t SYSTEM_COPYRIGHT = 2;
constexpr uint16_t SYSTEM_CONTENTS = 3;

constexpr size_t FACE_SLOT_SIZE = 32;
constexpr size_t MAX_FACE_LENGTH = 31;
constexpr uint8_t FAMILY_SWISS = 3;

static HlpBytes Key32(uint32_t value)
{
    HlpBytes key;
    PutU32(key, value);
    return key;
}

static HlpBytes StringZ(const std::string &text)
{
    HlpBytes bytes;
    PutStringZ(bytes, text);
    return bytes;
}

static void PutSystemRecord(HlpBytes &out, uint16_t type, const HlpBytes &data)
{
    PutU16(out, type);
    PutU16(out, static_cast<unsigned>(data.size()));
    PutBytes(out, data);
}

static HlpBytes BuildSystemFile(const HelpBook &book, uint32_t contentsOffset)
{
    HlpBytes out;
    PutU16(out, SYSTEM_MAGIC);
    PutU16(out, SYSTEM_MINOR);
    PutU16(out, SYSTEM_MAJOR);
    PutU32(out, 0); /* generation date: none, so that builds are reproducible */
    PutU16(out, SYSTEM_UNCOMPRESSED);
    PutSystemRecord(out, SYSTEM_TITLE, StringZ(book.title));
    if (!book.copyright.empty())
        PutSystemRecord(out, SYSTEM_COPYRIGHT, StringZ(book.copyright));
    PutSystemRecord(out, SYSTEM_CONTENTS, Key32(contentsOffset));
    return out;
}

static HlpBytes BuildFontFile(const HelpBook &book)
{
    HlpBytes out;
    PutU16(out, 1); /* face names */
    PutU16(out, static_cast<unsigned>(book.fonts.size()));
    PutU16(out, 8); /* face names start here: the Windows 3.1 layout */
    PutU16(out, static_cast<unsigned>(8 + FACE_SLOT_SIZE));
    PutFixedString(out, book.face, FACE_SLOT_SIZE);
    for (const HelpFontStyle &style : book.fonts) {
        PutU8(out, style.attributes);
        PutU8(out, style.halfPoints);
        PutU8(out, FAMILY_SWISS);
        PutU16(out, 0);              /* the one face */
        out.insert(out.end(), 6, 0); /* black on no background */
    }
    return out;
}

static HlpBytes BuildContextMapFile(const HelpBook &book, const std::vector<uint32_t> &offsets)
{
    std::map<uint32_t, uint32_t> byMapId;
    for (size_t i = 0; i < book.topics.size(); ++i)
        if (book.topics[i].hasMapId)
            byMapId[book.topics[i].mapId] = offsets[i];
    HlpBytes out;
    PutU16(out, static_cast<unsigned>(byMapId.size()));
    for (const auto &[mapId, offset] : byMapId) {
        PutU32(out, mapId);
        PutU32(out, offset);
    }
    return out;
}

static bool CheckBook(const HelpBook &book, std::string *error)
{
    if (book.topics.empty())
        return Fail(error, "a help file needs at least one topic");
    if (book.fonts.size() <= FONT_TITLE || book.fonts.size() > 255 || book.face.empty() ||
        book.face.size() > MAX_FACE_LENGTH)
        return Fail(error, "the font table needs a face of 1 to 31 characters and body and title styles");
    if (book.title.find('\0') != std::string::npos || book.copyright.find('\0') != std::string::npos)
        return Fail(error, "the help title and copyright may not contain NUL");
    std::map<uint32_t, std::string> hashes;
    std::map<uint32_t, std::string> mapIds;
    for (const HelpTopic &topic : book.topics) {
        if (!IsContextName(topic.name))
            return Fail(error, "\"" + topic.name + "\" is not a context name (letters, digits, '.' and '_' only)");
        auto [hashAt, newHash] = hashes.emplace(HashContextName(topic.name), topic.name);
        if (!newHash)
            return Fail(error, "context names " + hashAt->second + " and " + topic.name + " have the same hash");
        if (topic.hasMapId && !mapIds.emplace(topic.mapId, topic.name).second)
            return Fail(error, "topics " + mapIds[topic.mapId] + " and " + topic.name + " have the same map number");
    }
    for (const HelpTopic &topic : book.topics)
        for (const HelpParagraph &paragraph : topic.paragraphs) {
            for (const HelpRun &run : paragraph.runs) {
                if ((paragraph.heading || run.bold) && book.fonts.size() <= FONT_BOLD)
                    return Fail(error, "topic " + topic.name + " uses bold text but the font table has no bold style");
                if (!run.jumpTo.empty() && (!IsContextName(run.jumpTo) || !hashes.count(HashContextName(run.jumpTo))))
                    return Fail(error, "topic " + topic.name + " jumps to unknown context " + run.jumpTo);
            }
        }
    if (!book.contentsTopic.empty() && !hashes.count(HashContextName(book.contentsTopic)))
        return Fail(error, "the contents topic " + book.contentsTopic + " does not exist");
    return true;
}

/* Lays out the internal files and their directory into one image. */
static bool AssembleImage(std::vector<HelpInternalFile> files, HlpBytes *image, std::string *error)
{
    std::sort(files.begin(), files.end(),
              [](const HelpInternalFile &a, const HelpInternalFile &b) { return a.name < b.name; });
    std::vector<BtreeEntry> directory;
    size_t offset = HELP_HEADER_SIZE;
    for (const HelpInternalFile &file : files) {
        directory.push_back({StringZ(file.name), Key32(static_cast<uint32_t>(offset))});
        offset += FILE_HEADER_SIZE + file.data.size();
    }
    HelpInternalFile directoryFile;
    if (!BuildBtree(DirectoryTree, directory, &directoryFile.data, error))
        return false;
    size_t directoryStart = offset;
    files.push_back(directoryFile);
    size_t total = directoryStart + FILE_HEADER_SIZE + directoryFile.data.size();

    image->clear();
    PutU32(*image, HELP_MAGIC);
    PutU32(*image, static_cast<uint32_t>(directoryStart));
    PutU32(*image, NO_LINK); /* no free blocks */
    PutU32(*image, static_cast<uint32_t>(total));
    for (const HelpInternalFile &file : files) {
        PutU32(*image, static_cast<uint32_t>(FILE_HEADER_SIZE + file.data.size()));
        PutU32(*image, static_cast<uint32_t>(file.data.size()));
        PutU8(*image, FILE_FLAGS);
        PutBytes(*image, file.data);
    }
    return true;
}

bool BuildHelpFile(const HelpBook &book, HlpBytes *image, std::string *error)
{
    if (!CheckBook(book, error))
        return false;

    HlpBytes topicFile;
    std::vector<uint32_t> offsets;
    if (!BuildTopicFile(book, &topicFile, &offsets, error))
        return false;

    uint32_t contentsOffset = offsets[0];
    std::vector<BtreeEntry> contexts, titles;
    for (size_t i = 0; i < book.topics.size(); ++i) {
        const HelpTopic &topic = book.topics[i];
        if (!book.contentsTopic.empty() && HashContextName(topic.name) == HashContextName(book.contentsTopic))
            contentsOffset = offsets[i];
        contexts.push_back({Key32(HashContextName(topic.name)), Key32(offsets[i])});
        titles.push_back({Key32(offsets[i]), StringZ(topic.title)});
    }

    HlpBytes contextTree, titleTree;
    if (!BuildBtree(ContextTree, contexts, &contextTree, error) || !BuildBtree(TitleTree, titles, &titleTree, error))
        return false;
    return AssembleImage({{"|CONTEXT", contextTree},
                          {"|CTXOMAP", BuildContextMapFile(book, offsets)},
                          {"|FONT", BuildFontFile(book)},
                          {"|SYSTEM", BuildSystemFile(book, contentsOffset)},
                          {"|TOPIC", topicFile},
                          {"|TTLBTREE", titleTree}},
                         image, error);
}
