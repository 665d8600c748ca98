// Telling web addresses from other command lines, and the file form of local
// aliases.
#include <gtest/gtest.h>

#include <string>

#include "launch/launch_internal.h"

namespace {

TEST(IsWebAddress, OnlyTheNineLowerCaseSchemes)
{
    const struct {
        const char *text;
        bool web;
    } cases[] = {
        {"http://example.com", true},
        {"https://example.com", true},
        {"ftp://ftp.example.com", true},
        {"gopher://g.example.com", true},
        {"telnet://host", true},
        {"mailto:someone@example.com", true},
        {"news:comp.lang.c", true},
        {"snews:secure.group", true},
        {"file://C|/a.htm", true},
        {"http:", true}, // the scheme alone counts
        {"HTTP://example.com", false},
        {"Http://example.com", false},
        {"www.example.com", false},
        {"http", false},
        {"", false},
        {" http://x", false},
        {":connection", false},
        {"C:\\Program Files\\app.exe", false},
        {"https//x", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsWebAddress(c.text), c.web) << c.text;
    EXPECT_FALSE(IsWebAddress(nullptr));
}

TEST(MakeFileAddress, ColonsBecomeBarsAndBackslashesSlashes)
{
    char address[263];
    MakeFileAddress("C:\\Web\\news.htm", address, sizeof address);
    EXPECT_STREQ(address, "file://C|/Web/news.htm");
    MakeFileAddress("D:\\Pages\\a.htm", address, sizeof address);
    EXPECT_STREQ(address, "file://D|/Pages/a.htm");
    MakeFileAddress("\\\\server\\share\\x:y.htm", address, sizeof address);
    EXPECT_STREQ(address, "file:////server/share/x|y.htm");
}

TEST(MakeFileAddress, LongPathIsCutNotOverrun)
{
    std::string path(400, 'a');
    char address[40 + 4];
    memset(address, '#', sizeof address);
    MakeFileAddress(path.c_str(), address, 40);
    EXPECT_EQ(strlen(address), 39u);
    EXPECT_EQ(std::string(address, 7), "file://");
    EXPECT_EQ(address[41], '#');
}

// Only a drive path is a local file, whatever the escapes spell.
TEST(FileAddressToPath, LocalDrivePathsOnly)
{
    const std::pair<const char *, const char *> cases[] = {
        // address, path (null: none)
        {"FILE://localhost/d|\\a.htm", "d:\\a.htm"},
        {"file:///C:/x%2eexe%20y%zz%4", "C:\\x.exe y%zz%4"},
        {"file://%43%3A/x.htm", "C:\\x.htm"},
        {"file://server/share/x.htm", nullptr},
        {"file:////server/share/x.htm", nullptr},
        {"file://%5C%5Cserver/share/x.htm", nullptr},
        {"file://localhost/share/x.htm", nullptr},
        {"file://c:80/x.htm", nullptr},
        {"file:///C:", nullptr},
        {"file:///x.htm", nullptr},
        {"file:///C:/a%00.exe", nullptr},
        {"http://C:/x.htm", nullptr},
    };
    char path[263];
    for (const auto &c : cases) {
        bool local = FileAddressToPath(c.first, path, sizeof path);
        EXPECT_EQ(local ? std::string(path) : "(none)", c.second ? c.second : "(none)") << c.first;
    }
    EXPECT_FALSE(FileAddressToPath("file:///C:/abcdef", path, 6));
}

} // namespace
