// The plain topic source format of the help generator.
#include <gtest/gtest.h>

#include <string>

#include "hlpgen.h"

static bool Parse(const std::string &text, HelpBook *book, std::string *error)
{
    return ParseTopicSource(text, "t.txt", book, error) && FinishTopicSources(book, error);
}

TEST(HlpTopicSource, ReadsTopicsParagraphsHeadingsBoldAndJumps)
{
    const std::string text =
        "; comment\r\n"
        "#helptitle Springdeck Help\r\n"
        "#topic main\r\n"
        "#context 100\r\n"
        "#title Using it\r\n"
        "\r\n"
        "First line\r\n"
        "\tcontinues here.\r\n"
        "\r\n"
        "#heading A heading\r\n"
        "Click **OK** or see [[the other topic|106]] and [[back|main]].\r\n"
        "#topic other\n"
        "#context 106\n"
        "#contents\n"
        "#title Other\n"
        "Text";
    HelpBook book;
    std::string error;
    ASSERT_TRUE(Parse(text, &book, &error)) << error;
    EXPECT_EQ(book.title, "Springdeck Help");
    EXPECT_EQ(book.contentsTopic, "other");
    ASSERT_EQ(book.topics.size(), 2u);
    const HelpTopic &main = book.topics[0];
    EXPECT_EQ(main.name, "main");
    EXPECT_TRUE(main.hasMapId);
    EXPECT_EQ(main.mapId, 100u);
    EXPECT_EQ(main.title, "Using it");
    ASSERT_EQ(main.paragraphs.size(), 3u);
    ASSERT_EQ(main.paragraphs[0].runs.size(), 1u);
    EXPECT_EQ(main.paragraphs[0].runs[0].text, "First line continues here.");
    EXPECT_TRUE(main.paragraphs[1].heading);
    EXPECT_EQ(main.paragraphs[1].runs[0].text, "A heading");

    const std::vector<HelpRun> &runs = main.paragraphs[2].runs;
    ASSERT_EQ(runs.size(), 7u);
    EXPECT_EQ(runs[0].text, "Click ");
    EXPECT_FALSE(runs[0].bold);
    EXPECT_EQ(runs[1].text, "OK");
    EXPECT_TRUE(runs[1].bold);
    EXPECT_EQ(runs[2].text, " or see ");
    EXPECT_EQ(runs[3].text, "the other topic");
    EXPECT_EQ(runs[3].jumpTo, "other"); // map number resolved to the topic's name
    EXPECT_EQ(runs[4].text, " and ");
    EXPECT_EQ(runs[5].jumpTo, "main");
    EXPECT_EQ(runs[6].text, ".");
    EXPECT_EQ(book.topics[1].paragraphs[0].runs[0].text, "Text");

    HlpBytes image;
    ASSERT_TRUE(BuildHelpFile(book, &image, &error)) << error;
    EXPECT_TRUE(VerifyHelpImage(image, book, &error)) << error;
}

TEST(HlpTopicSource, ReportsMistakesWithTheirLine)
{
    const struct {
        const char *text;
        const char *message; // the start of the expected error
    } cases[] = {
        {"#helptitle H\nText before any topic\n", "t.txt:2:"},
        {"#helptitle H\n#topic a b\n", "t.txt:2:"},
        {"#helptitle H\n#topic a\n#title A\n#context ten\n", "t.txt:4:"},
        {"#helptitle H\n#topic a\n#title A\n#context 1\n#context 2\n", "t.txt:5:"},
        {"#helptitle H\n#topic a\n#title A\n#title B\n", "t.txt:4:"},
        {"#helptitle H\n#topic a\n#title A\n#bogus\n", "t.txt:4:"},
        {"#helptitle H\n#topic a\n#title A\n\nsee [[x\ncontinued\n", "t.txt:5:"},
        {"#helptitle H\n#topic a\n#title A\nsee [[text]]\n", "t.txt:4:"},
        {"#helptitle H\n#topic a\n#title A\nsee [[text|bad target]]\n", "t.txt:4:"},
        {"#helptitle H\n#topic a\n#title A\nstray ]] here\n", "t.txt:4:"},
        {"#helptitle H\n#topic a\n#title A\n\n\n**never closed\n", "t.txt:6:"},
        {"#helptitle H\n#topic a\n#title A\ncaf\xC3\xA9\n", "t.txt:4:"},
        {"#helptitle H\n#topic a\n#title A\nsee [[x|99]]\n", "topic a jumps to map number 99"},
        {"#topic a\n#title A\n", "the sources give no #helptitle"},
        {"#helptitle H\n#topic a\n", "topic a has no #title"},
    };
    for (const auto &c : cases) {
        HelpBook book;
        std::string error;
        EXPECT_FALSE(Parse(c.text, &book, &error)) << c.text;
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << c.text << " gave: " << error;
    }
}

TEST(HlpTopicSource, SeveralSourcesMakeOneBook)
{
    HelpBook book;
    std::string error;
    ASSERT_TRUE(ParseTopicSource("#helptitle H\n#topic a\n#title A\nsee [[b|b]]\n", "one", &book, &error));
    ASSERT_TRUE(ParseTopicSource("#topic b\n#title B\nback [[a|a]]\n", "two", &book, &error));
    ASSERT_TRUE(FinishTopicSources(&book, &error)) << error;
    EXPECT_EQ(book.topics.size(), 2u);
    // Text in a second source still needs its own #topic.
    EXPECT_FALSE(ParseTopicSource("stray text\n", "three", &book, &error));
    EXPECT_EQ(error.rfind("three:1:", 0), 0u);
    EXPECT_FALSE(ParseTopicSource("#helptitle Again\n", "four", &book, &error));
}

TEST(HlpTopicSource, TheSameBookBecomesAnHtmlHelpProject)
{
    HelpBook book;
    std::string error;
    ASSERT_TRUE(
        Parse("#helptitle H\n#topic Main\n#context 100\n#title A <b>\n#heading Keys\n"
              "Press **F1** & see [[more|7]].\n"
              "#topic other\n#context 7\n#contents\n#title Other\nText\n",
              &book, &error))
        << error;
    std::vector<HtmlHelpFile> files;
    ASSERT_TRUE(BuildHtmlHelpProject(book, "/out/h.chm", &files, &error)) << error;
    const std::string folder = std::string(HtmlHelpPageFolder) + "/";
    ASSERT_EQ(files.size(), 5u); // the contents topic first, then contents, index, project
    EXPECT_EQ(files[1].name, folder + "main.htm");
    const std::string &page = files[1].text;
    EXPECT_NE(page.find("<title>A &lt;b&gt;</title>"), std::string::npos) << page;
    EXPECT_NE(page.find("<p>Press <b>F1</b> &amp; see <a href=\"other.htm\">more</a>.</p>"), std::string::npos) << page;
    EXPECT_NE(files[2].text.find("value=\"" + folder + "main.htm#s1\""), std::string::npos) << files[2].text;
    EXPECT_LT(files[3].text.find("\"Keys\""), files[3].text.find("\"Other\"")); // the index is alphabetical
    EXPECT_EQ(files[4].name, "h.hhp");
    EXPECT_NE(files[4].text.find("[ALIAS]\nIDH_7=" + folder + "other.htm\nIDH_100=" + folder +
                                 "main.htm\n\n"
                                 "[MAP]\n#define IDH_7 7\n#define IDH_100 100\n"),
              std::string::npos)
        << files[4].text;
    book.topics[1].mapId = 100; // two topics under one number
    EXPECT_FALSE(BuildHtmlHelpProject(book, "h.chm", &files, &error));
}
