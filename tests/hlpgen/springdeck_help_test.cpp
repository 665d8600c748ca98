// The springdeck.hlp the build produced, read back: every context number the
// program opens leads to its topic, and the topics say what they should.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "hlpgen.h"

struct SpringdeckHelp {
  std::vector<HelpInternalFile> files;
  std::vector<ReadTopicInfo> topics;
};

static bool LoadSpringdeckHelp(SpringdeckHelp* help, std::string* error) {
  std::ifstream in(SD_HELP_FILE, std::ios::binary);
  if (!in) {
    *error = std::string("cannot open ") + SD_HELP_FILE;
    return false;
  }
  HlpBytes image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ReadHelpImage(image, &help->files, error) && ReadTopics(help->files, &help->topics, error);
}

static const ReadTopicInfo* TopicOfContext(const SpringdeckHelp& help, uint32_t context) {
  uint32_t offset;
  if (!FindMapId(help.files, context, &offset)) return nullptr;
  return TopicAtOffset(help.topics, offset);
}

TEST(HlpSpringdeckHelp, EachContextOpensItsTopic) {
  SpringdeckHelp help;
  std::string error;
  ASSERT_TRUE(LoadSpringdeckHelp(&help, &error)) << error;
  // 100 from every Help button; 106 to 111 from the buttons of the CD-ROM
  // dialog, titled as those buttons name the programs.
  const struct {
    uint32_t context;
    const char* title;
  } expected[] = {
      {100, "Using Springdeck"},
      {106, "EarthLink Network (with Netscape Navigator)"},
      {107, "Symantec Act! (trial version)"},
      {108, "Eudora Light"},
      {109, "Delrina WinFax Pro (trial version)"},
      {110, "Microsoft Internet Explorer"},
      {111, "America Online"},
  };
  for (const auto& e : expected) {
    const ReadTopicInfo* topic = TopicOfContext(help, e.context);
    ASSERT_NE(topic, nullptr) << e.context;
    EXPECT_EQ(topic->title, e.title) << e.context;
    // The title is also the first line shown, followed by real text.
    EXPECT_EQ(topic->text.rfind(std::string(e.title) + "\n", 0), 0u) << e.context;
    EXPECT_GT(topic->text.size(), std::string(e.title).size() + 200) << e.context;
  }
  uint32_t offset;
  EXPECT_FALSE(FindMapId(help.files, 101, &offset));
}

TEST(HlpSpringdeckHelp, GuideCoversEverythingAUserSetsUp) {
  SpringdeckHelp help;
  std::string error;
  ASSERT_TRUE(LoadSpringdeckHelp(&help, &error)) << error;
  const ReadTopicInfo* guide = TopicOfContext(help, 100);
  ASSERT_NE(guide, nullptr);
  const char* subjects[] = {
      "Springpads",     "Launch a software program",  "Go to a WebSite", "Custom WebSite",
      "Browse your Bookmarks", "Shift", "Select Local Alias", "Dial-Up Networking",
      "Ctrl+Alt",       "Which browser do you use?", "Start Springdeck when computer starts",
      "Turn off Springdeck Software", "used by another application",
  };
  for (const char* subject : subjects) EXPECT_NE(guide->text.find(subject), std::string::npos) << subject;
}

TEST(HlpSpringdeckHelp, EveryJumpLeadsToATopic) {
  SpringdeckHelp help;
  std::string error;
  ASSERT_TRUE(LoadSpringdeckHelp(&help, &error)) << error;
  size_t jumps = 0;
  for (const ReadTopicInfo& topic : help.topics) {
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
