// The settings store against the registry of the test prefix.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

#include "core/core.h"
#include "settings/settings.h"

namespace {

constexpr char Base[] = "Software\\Tolvane Keyboards\\Springdeck";

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tolvane Keyboards"); }
    void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tolvane Keyboards"); }

    static void Raw(const char *subkey, const char *name, DWORD type, const void *data, DWORD size)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (std::string(Base) + "\\" + subkey).c_str(), &key), ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size);
        RegCloseKey(key);
    }

    static bool RawType(const char *subkey, const char *name, DWORD *type, DWORD *size)
    {
        HKEY key;
        *size = 0;
        if (RegOpenKeyA(HKEY_CURRENT_USER, (std::string(Base) + "\\" + subkey).c_str(), &key) != ERROR_SUCCESS)
            return false;
        bool ok = RegQueryValueExA(key, name, nullptr, type, nullptr, size) == ERROR_SUCCESS;
        RegCloseKey(key);
        return ok;
    }

    static std::string Read(const char *subkey, const char *name, DWORD capacity = 260)
    {
        std::string buffer(capacity + 8, '#'); // guard bytes after the capacity
        ReadSettingString(subkey, name, "", &buffer[0], capacity);
        EXPECT_EQ(buffer.substr(capacity), std::string(8, '#')) << "wrote past its capacity";
        return buffer.c_str();
    }
};

TEST_F(SettingsStoreTest, FreshProfileReadsDefaults)
{
    EXPECT_EQ(Read("command line", "F1"), "");
    EXPECT_EQ(ReadSettingDword("options", "browser", 0), 0u);
    EXPECT_EQ(ReadSettingDword("options", "installed", 0), 0u);
    EXPECT_EQ(ReadSettingDword("options", "browser", 7), 7u);
    char buffer[16];
    ReadSettingString("title", "F1", "fallback", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "fallback");
}

TEST_F(SettingsStoreTest, AssignmentsAreStoredByFieldWithOneValuePerKey)
{
    WriteKeyAssignment(105, "C:\\PROGRA~1\\APP.EXE", "-x", "App", "C:\\app.ico", 3);
    WriteKeyAssignment(115, "http://example.com/", "", "Example", "", 0);

    EXPECT_EQ(Read("command line", "F5"), "C:\\PROGRA~1\\APP.EXE");
    EXPECT_EQ(Read("args", "F5"), "-x");
    EXPECT_EQ(Read("title", "F5"), "App");
    EXPECT_EQ(Read("icon", "F5"), "C:\\app.ico");
    EXPECT_EQ(ReadSettingDword("icon index", "F5", 99), 3u);
    EXPECT_EQ(Read("command line", "Pause"), "http://example.com/");

    for (const char *subkey : {"command line", "args", "title", "icon"}) {
        DWORD type = 0, size = 0;
        ASSERT_TRUE(RawType(subkey, "F5", &type, &size)) << subkey;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << subkey;
        ASSERT_TRUE(RawType(subkey, "Pause", &type, &size)) << subkey;
    }
    DWORD type = 0, size = 0;
    ASSERT_TRUE(RawType("icon index", "F5", &type, &size));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    // Strings are stored with their terminating zero.
    ASSERT_TRUE(RawType("args", "F5", &type, &size));
    EXPECT_EQ(size, 3u);
}

TEST_F(SettingsStoreTest, NormalFunctionOverwritesWithEmptyValues)
{
    WriteKeyAssignment(113, "notepad.exe", "a.txt", "Notes", "notepad.exe", 2);
    WriteKeyAssignment(113, "", "", "", "", 0);
    for (const char *subkey : {"command line", "args", "title", "icon"}) {
        DWORD type = 0, size = 0;
        ASSERT_TRUE(RawType(subkey, "Print Screen", &type, &size)) << "values stay in place";
        EXPECT_EQ(size, 1u);
        EXPECT_EQ(Read(subkey, "Print Screen"), "");
    }
    EXPECT_EQ(ReadSettingDword("icon index", "Print Screen", 99), 0u);
}

TEST_F(SettingsStoreTest, KeyOutsideTheTableWritesNothing)
{
    WriteKeyAssignment(100, "x", "", "", "", 0);
    WriteKeyAssignment(116, "x", "", "", "", 0);
    DWORD type, size;
    EXPECT_FALSE(RawType("command line", "", &type, &size));
}

TEST_F(SettingsStoreTest, OversizedStringsAreCutToTheReadersCapacity)
{
    std::string longText(600, 'a');
    longText += "END";
    WriteSettingString("title", "F2", longText.c_str());
    EXPECT_EQ(Read("title", "F2", 80), std::string(79, 'a'));
    EXPECT_EQ(Read("title", "F2", 260), std::string(259, 'a'));
    EXPECT_EQ(Read("title", "F2", 1), "");
    // Exactly filling the buffer is not oversized.
    WriteSettingString("title", "F3", std::string(79, 'b').c_str());
    EXPECT_EQ(Read("title", "F3", 80), std::string(79, 'b'));
    // Up to 64 KB a value is cut; a bigger one (on a key and on an option)
    // is not read at all and gives the default.
    WriteSettingString("args", "F1", std::string(64 * 1024 - 1, 'c').c_str());
    EXPECT_EQ(Read("args", "F1"), std::string(259, 'c'));
    std::string huge(10 * 1024 * 1024, 'd');
    WriteSettingString("command line", "F5", huge.c_str());
    Raw("options", "browser", REG_SZ, huge.c_str(), static_cast<DWORD>(huge.size() + 1));
    EXPECT_EQ(Read("command line", "F5"), "");
    EXPECT_EQ(ReadSettingDword("options", "browser", 0), 0u);
    char buffer[16];
    ReadSettingString("options", "browser", "fallback", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "fallback");
}

TEST_F(SettingsStoreTest, StringWithoutTerminatorIsStillTerminated)
{
    Raw("args", "F4", REG_SZ, "abcdef", 6); // stored without its zero
    EXPECT_EQ(Read("args", "F4", 260), "abcdef");
    EXPECT_EQ(Read("args", "F4", 4), "abc");
}

TEST_F(SettingsStoreTest, WrongTypesYieldTheDefault)
{
    DWORD number = 0x41414141;
    Raw("command line", "F6", REG_DWORD, &number, 4);
    Raw("title", "F6", REG_BINARY, "XYZXYZXYZ", 9);
    EXPECT_EQ(Read("command line", "F6"), "");
    EXPECT_EQ(Read("title", "F6"), "");
    char text[16] = "stale";
    EXPECT_FALSE(
        ReadRegistryString(HKEY_CURRENT_USER, (std::string(Base) + "\\title").c_str(), "F6", text, sizeof text));
    EXPECT_STREQ(text, "") << "a value that is not a string reads as none";

    Raw("icon index", "F6", REG_SZ, "12", 3);
    EXPECT_EQ(ReadSettingDword("icon index", "F6", 0), 0u);
    const BYTE wide[8] = {1, 0, 0, 0, 2, 0, 0, 0};
    Raw("options", "browser", REG_BINARY, wide, 8);
    EXPECT_EQ(ReadSettingDword("options", "browser", 0), 0u);
    Raw("options", "installed", REG_DWORD, wide, 2); // too short for a DWORD
    EXPECT_EQ(ReadSettingDword("options", "installed", 0), 0u);
}

TEST_F(SettingsStoreTest, DwordsRoundTrip)
{
    WriteSettingDword("options", "browser", 2);
    EXPECT_EQ(ReadSettingDword("options", "browser", 0), 2u);
    WriteSettingDword("options", "browser", 0xFFFFFFFFu);
    EXPECT_EQ(ReadSettingDword("options", "browser", 0), 0xFFFFFFFFu);
}

TEST_F(SettingsStoreTest, AliasValueIsNamedByTheWholeAddress)
{
    WriteSettingString("alias", "http://a.example/x?y=1", "C:\\Web\\a.htm");
    EXPECT_EQ(Read("alias", "http://a.example/x?y=1", 256), "C:\\Web\\a.htm");
    EXPECT_EQ(Read("alias", "http://a.example/x", 256), "");
}

} // namespace
