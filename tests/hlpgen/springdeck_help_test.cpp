// The springdeck.hlp the build produced, read back: every context number the
// program opens leads to its topic, and the topics say what they should.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "hlpgen.h"

struct SpringdeckHelp {
    std::vector<HelpInternalFile> files;
    std::vector<ReadTopicInfo> topics;
};

static bool LoadSpringdeckHelp(SpringdeckHelp *help, std::string *error)
{
    std::ifstream in(SD_HELP_FILE, std::ios::binary);
    if (!in) {
        *error = std::string("cannot open ") + SD_HELP_FILE;
        return false;
    }
    HlpBytes image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ReadHelpImage(image, &help->files, error) && ReadTopics(help->files, &help->topics, error);
}

static const ReadTopicInfo *TopicOfContext(const SpringdeckHelp &help, uint32_t context)
{
    uint32_t offset;
    if (!FindMapId(help.files, context, &offset))
        return nullptr;
    return TopicAtOffset(help.topics, offset);
}

TEST(HlpSpringdeckHelp, EachContextOpensItsTopic)
{
    SpringdeckHelp help;
    std::string error;
    ASSERT_TRUE(LoadSpringdeckHelp(&help, &error)) << error;
    // 100 from every Help button; 106 to 111 from the buttons of the CD-ROM
    // dialog, titled as those buttons name the programs.
    const struct {
        uint32_t context;
        const char *title;
    } expected[] = {
        {100, "Using Springdeck"},
        {106, "EarthLink Network (with Netscape Navigator)"},
        {107, "Symantec Act! (trial version)"},
        {108, "Eudora Light"},
        {109, "Delrina WinFax Pro (trial version)"},
        {110, "Microsoft Internet Explorer"},
        {111, "America Online"},
    };
    for (const auto &e : expected) {
        const ReadTopicInfo *topic = TopicOfContext(help, e.context);
        ASSERT_NE(topic, nullptr) << e.context;
        EXPECT_EQ(topic->title, e.title) << e.context;
        // The title is also the first line shown, followed by real text.
        EXPECT_EQ(topic->text.rfind(std::string(e.title) + "\n", 0), 0u) << e.context;
        EXPECT_GT(topic->text.size(), std::string(e.title).size() + 200) << e.context;
    }
    uint32_t offset;
    EXPECT_FALSE(FindMapId(help.files, 101, &offset));
}

TEST(HlpSpringdeckHelp, GuideCoversEverythingAUserSetsUp)
{
    SpringdeckHelp help;
    std::string error;
    ASSERT_TRUE(LoadSpringdeckHelp(&help, &error)) << error;
    const ReadTopicInfo *guide = TopicOfContext(help, 100);
    ASSERT_NE(guide, nullptr);
    const char *subjects[] = {
        "Springpads",
        "Launch a software program",
        "Go to a WebSite",
        "Custom WebSite",
        "Browse your Bookmarks",
        "Shift",
        "Select Local Alias",
        "Dial-Up Networking",
        "Ctrl+Alt",
        "Which browser do you use?",
        "Start Springdeck when computer starts",
        "Turn off Springdeck Software",
        "used by another application",
        "Mozilla Firefox",
        "From File...",
    };
    for (const char *subject : subjects)
        EXPECT_NE(guide->text.find(subject), std::string::npos) << subject;
}

TEST(HlpSpringdeckHelp, EveryJumpLeadsToATopic)
{
    SpringdeckHelp help;
    std::string error;
    ASSERT_TRUE(LoadSpringdeckHelp(&help, &error)) << error;
    size_t jumps = 0;
    for (const ReadTopicInfo &topic : help.topics) {
        for (uint32_t hash : topic.jumpHashes) {
            uint32_t offset;
            ASSERT_TRUE(FindContextHash(help.files, hash, &offset)) << topic.title;
            EXPECT_NE(TopicAtOffset(help.topics, offset), &topic) << topic.title;
            ++jumps;
        }
    }
    // The guide lists the six CD-ROM programs, and each of them leads back.
    EXPECT_EQ(TopicOfContext(help, 100)->jumpHashes.size(), 6u);
    EXPECT_GE(jumps, 12u);
}

// springdeck.chm as libchm-bin's extractor unpacked it: each context number
// (#IVB: a size, then pairs of context and #STRINGS offset of the page's path)
// leads to the page of its .hlp topic, and the contents hold every topic.
static std::string Extracted(const std::string &name)
{
    std::ifstream in(std::string(SD_CHM_EXTRACTED) + "/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

static std::string PageTitle(const std::string &page)
{
    size_t at = page.find("<title>");
    return at == std::string::npos ? "" : page.substr(at + 7, page.find("</title>") - at - 7);
}

TEST(HlpSpringdeckHelp, ChmHoldsTheSameTopicsUnderTheSameContexts)
{
    SpringdeckHelp help;
    std::string error;
    ASSERT_TRUE(LoadSpringdeckHelp(&help, &error)) << error;
    const std::string map = Extracted("#IVB"), strings = Extracted("#STRINGS");
    const uint8_t *entries = reinterpret_cast<const uint8_t *>(map.data());
    ASSERT_EQ(map.size(), 4u + 7 * 8);
    std::set<uint32_t> contexts;
    for (size_t at = 4; at < map.size(); at += 8) {
        uint32_t context = GetU32(entries + at), offset = GetU32(entries + at + 4);
        const ReadTopicInfo *topic = TopicOfContext(help, context);
        ASSERT_TRUE(topic && offset < strings.size()) << context;
        EXPECT_EQ(PageTitle(Extracted(strings.c_str() + offset)), topic->title) << context << strings.c_str() + offset;
        contexts.insert(context);
    }
    EXPECT_EQ(contexts, (std::set<uint32_t>{100, 106, 107, 108, 109, 110, 111}));

    const std::string contents = Extracted(std::string(HtmlHelpPageFolder) + "/springdeck.hhc");
    const std::string local = "name=\"Local\" value=\"";
    std::string titles;
    for (size_t at = contents.find(local); at != std::string::npos; at = contents.find(local, at + 1)) {
        size_t begin = at + local.size();
        titles += PageTitle(Extracted(contents.substr(begin, contents.find_first_of("#\"", begin) - begin))) + "|";
    }
    for (const ReadTopicInfo &topic : help.topics)
        EXPECT_NE(titles.find(topic.title + "|"), std::string::npos) << topic.title;
}
