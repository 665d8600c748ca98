// Where the browser's executable is looked up, and how an address is written
// into the open request and the command line.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

#include "launch/launch_internal.h"

#include <shellapi.h>

namespace {

constexpr char AppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

class BrowserPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The prefix may register a browser of its own: keep it aside.
        for (const char *program : {"Netscape.exe", "iexplore.exe"}) {
            std::string key = std::string(AppPaths) + program;
            std::string saved = std::string(AppPaths) + "sdtest-saved-" + program;
            SHDeleteKeyA(HKEY_LOCAL_MACHINE, saved.c_str());
            SHCopyKeyA(HKEY_LOCAL_MACHINE, key.c_str(), OpenOrCreate(saved), 0);
            savedExisted.push_back(Exists(key));
            SHDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
        }
        WriteProfileStringA("Netscape", "ini", nullptr);
    }

    void TearDown() override
    {
        const char *programs[] = {"Netscape.exe", "iexplore.exe"};
        for (int i = 0; i < 2; ++i) {
            std::string key = std::string(AppPaths) + programs[i];
            std::string saved = std::string(AppPaths) + "sdtest-saved-" + programs[i];
            SHDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
            if (savedExisted[i])
                SHCopyKeyA(HKEY_LOCAL_MACHINE, saved.c_str(), OpenOrCreate(key), 0);
            SHDeleteKeyA(HKEY_LOCAL_MACHINE, saved.c_str());
        }
        for (HKEY key : opened)
            RegCloseKey(key);
        WriteProfileStringA("Netscape", "ini", nullptr);
    }

    HKEY OpenOrCreate(const std::string &path)
    {
        HKEY key = nullptr;
        RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key);
        opened.push_back(key);
        return key;
    }

    static bool Exists(const std::string &path)
    {
        HKEY key;
        if (RegOpenKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    static void SetAppPath(const char *program, const std::string &path)
    {
        RegSetValueA(HKEY_LOCAL_MACHINE, (std::string(AppPaths) + program).c_str(), REG_SZ, path.c_str(),
                     static_cast<DWORD>(path.size()));
    }

    static std::string OwnPath()
    {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, sizeof path);
        return path;
    }

    std::vector<bool> savedExisted;
    std::vector<HKEY> opened;
};

TEST_F(BrowserPathTest, NavigatorFromAppPathsWhenTheFileExistsElseFromItsIniFile)
{
    EXPECT_STREQ(FindBrowserPath(BROWSER_NETSCAPE), "") << "nothing installed";

    SetAppPath("Netscape.exe", OwnPath());
    EXPECT_EQ(FindBrowserPath(BROWSER_NETSCAPE), OwnPath());

    SetAppPath("Netscape.exe", "C:\\gone\\netscape.exe");
    EXPECT_STREQ(FindBrowserPath(BROWSER_NETSCAPE), "") << "a missing file and no ini entry";

    // The executable lies beside the ini file; names of 3 characters or
    // fewer are taken as they are.
    const struct {
        const char *ini;
        const char *path;
    } cases[] = {
        {"C:\\NAV\\NETSCAPE.INI", "C:\\NAV\\NETSCAPE.exe"},
        {"x.ini", "x.exe"},
        {"abc", "abc"},
    };
    for (const auto &c : cases) {
        WriteProfileStringA("Netscape", "ini", c.ini);
        EXPECT_STREQ(FindBrowserPath(BROWSER_NETSCAPE), c.path) << c.ini;
    }
}

TEST_F(BrowserPathTest, ExplorerFromAppPathsAsItStands)
{
    SetAppPath("Netscape.exe", OwnPath());
    WriteProfileStringA("Netscape", "ini", "C:\\NAV\\NETSCAPE.INI");
    EXPECT_STREQ(FindBrowserPath(BROWSER_EXPLORER), "") << "Navigator's entries do not count for Explorer";
    SetAppPath("iexplore.exe", "C:\\gone\\iexplore.exe");
    EXPECT_STREQ(FindBrowserPath(BROWSER_EXPLORER), "C:\\gone\\iexplore.exe");
}

TEST_F(BrowserPathTest, OverlongEntriesGiveNoPath)
{
    SetAppPath("iexplore.exe", "C:\\" + std::string(400, 'i') + ".exe");
    EXPECT_STREQ(FindBrowserPath(BROWSER_EXPLORER), "");

    // Cut short to the buffer, the entry would name some other file.
    WriteProfileStringA("Netscape", "ini", ("C:\\" + std::string(400, 'n') + ".ini").c_str());
    EXPECT_STREQ(FindBrowserPath(BROWSER_NETSCAPE), "");
}

TEST(BrowserAddressTest, RequestItemFitsDdeAndCommandLineSplitsIntoPathAndWholeAddress)
{
    const std::string longest(239, 'a'); // with ",,0xFFFFFFFF,0x0", the 255 characters of a DDE string
    char item[600];
    EXPECT_TRUE(FormatOpenRequestItem(longest.c_str(), item, sizeof item));
    EXPECT_FALSE(FormatOpenRequestItem((longest + "a").c_str(), item, sizeof item));
    EXPECT_FALSE(FormatOpenRequestItem((longest.substr(2) + ",").c_str(), item, sizeof item)) << "quotes count";

    // Already quoted paths stay as they are; quotes and backslashes before them are escaped.
    char command[600];
    const std::string address = "http://host/say\"hi\" \\\\\"x\\\\";
    ASSERT_TRUE(FormatBrowserCommand("\"C:\\b c.exe\"", address.c_str(), command, sizeof command));
    int count = 0;
    std::string text(command);
    LPWSTR *args = CommandLineToArgvW(std::wstring(text.begin(), text.end()).c_str(), &count);
    std::wstring parsed(count == 2 ? args[1] : L"");
    LocalFree(args);
    EXPECT_EQ(std::string(parsed.begin(), parsed.end()), address) << command;
    EXPECT_EQ(text.rfind("\"C:\\b c.exe\" \"", 0), 0u) << command;
}

} // namespace
