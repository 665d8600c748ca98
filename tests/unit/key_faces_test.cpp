// Key button faces: how an address is split into the lines of its face, and
// who frees the icons and bitmaps of the faces. The setup dialog is made
// here in-process from springdeck.exe's own template, so that the handles it
// frees can be checked directly.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <shlwapi.h>

#include <string>

#include "core/core.h"
#include "resource.h"
#include "settings/settings.h"
#include "setup/setup_internal.h"

namespace {

// ---- line splitting -----------------------------------------------------------

class AddressLinesTest : public ::testing::Test {
protected:
    void SetUp() override { dc = CreateCompatibleDC(nullptr); }
    void TearDown() override { DeleteDC(dc); }

    std::string Split(const char *address, int width)
    {
        std::string out;
        for (const AddressFaceLine &line : SplitAddressLines(dc, address, width))
            out += line.text + (line.leftover ? "*" : "") + "|";
        return out;
    }

    int Width(const std::string &text)
    {
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

    HDC dc = nullptr;
};

TEST_F(AddressLinesTest, BreaksAfterDotsAndSlashesAndSkipsTheScheme)
{
    // "*" marks the leftover line drawn at the end.
    struct Case {
        const char *address;
        const char *lines;
    } cases[] = {
        {"file:///c|/docs/page.htm", "c|/|docs/|page.|htm*|"},
        {"http://www.cnet.com", "www.|cnet.|com*|"},
        {"http://www.cnet.com/", "www.|cnet.|com/|"},
        {"mailto:someone", "someone*|"},
        {"news:", ""},
        {"no scheme at all", ""},
        {"http://a.b/\\", "a.|b/|"}, // a lone backslash left over is not drawn
        {"http://a/b\\c", "a/|b\\c*|"},
        {"ftp:x:/y", "x:/|y*|"}, // only the first ':' ends the scheme
    };
    for (const Case &c : cases)
        EXPECT_EQ(Split(c.address, 10000), c.lines) << c.address;
    EXPECT_TRUE(SplitAddressLines(dc, nullptr, 100).empty());
}

TEST_F(AddressLinesTest, BreaksALineOnceItIsAsWideAsTheFace)
{
    const char address[] = "http://averyveryverylongwordwithoutanybreak";
    const int width = Width("averyv");
    std::vector<AddressFaceLine> lines = SplitAddressLines(dc, address, width);
    ASSERT_GT(lines.size(), 2u);
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string &text = lines[i].text;
        joined += text;
        if (i + 1 < lines.size()) {
            EXPECT_FALSE(lines[i].leftover);
            EXPECT_GE(Width(text), width) << text;
            EXPECT_LT(Width(text.substr(0, text.size() - 1)), width) << text;
        } else {
            EXPECT_TRUE(lines[i].leftover);
        }
    }
    EXPECT_EQ(joined, "averyveryverylongwordwithoutanybreak");
}

// ---- ownership of the faces ---------------------------------------------------

class KeyFacesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tolvane Keyboards");
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        PathRemoveFileSpecA(self); // build\tests
        PathRemoveFileSpecA(self); // build
        exe = std::string(self) + "\\springdeck.exe";
        module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module) << exe;
        AppInstance = module;
        MainWindow = CreateWindowExA(0, "Static", "hotkeys", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }

    void TearDown() override
    {
        if (dialog)
            DestroyWindow(dialog);
        UnregisterKeyHotkeys(MainWindow);
        DestroyWindow(MainWindow);
        MainWindow = nullptr;
        AppInstance = nullptr;
        if (module)
            FreeLibrary(module);
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tolvane Keyboards");
    }

    // Every key: odd keys a web address (a drawn face), even keys a program
    // with an icon of its own (an extracted icon).
    void AssignEveryKey()
    {
        for (UINT key = KEY_FIRST; key <= KEY_LAST; ++key) {
            if (key % 2) {
                std::string address = "http://www.site" + std::to_string(key) + ".example/page.htm";
                WriteKeyAssignment(key, address.c_str(), "", "", "", 0);
            } else {
                WriteKeyAssignment(key, exe.c_str(), "", "", exe.c_str(), key % 5);
            }
        }
    }

    HWND OpenDialog()
    {
        dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(DLG_SETUP), nullptr, SetupDialog, 0);
        return dialog;
    }

    struct Owned {
        std::vector<HBITMAP> bitmaps;
        std::vector<HICON> icons;
    };

    Owned Faces()
    {
        Owned owned;
        for (UINT key = KEY_FIRST; key <= KEY_LAST; ++key) {
            HWND button = GetDlgItem(dialog, static_cast<int>(key));
            if (HANDLE bitmap = GetPropA(button, FACE_BITMAP_PROP))
                owned.bitmaps.push_back(static_cast<HBITMAP>(bitmap));
            if (HANDLE icon = GetPropA(button, FACE_ICON_PROP))
                owned.icons.push_back(static_cast<HICON>(icon));
        }
        return owned;
    }

    static bool IconAlive(HICON icon)
    {
        ICONINFO info;
        if (!GetIconInfo(icon, &info))
            return false;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        return true;
    }

    void ExpectFreed(const Owned &owned)
    {
        for (HBITMAP bitmap : owned.bitmaps)
            EXPECT_EQ(GetObjectType(bitmap), 0u) << "a drawn face was not deleted";
        for (HICON icon : owned.icons)
            EXPECT_FALSE(IconAlive(icon)) << "an extracted icon was not destroyed";
    }

    std::string exe;
    HMODULE module = nullptr;
    HWND dialog = nullptr;
};

TEST_F(KeyFacesTest, EachFaceIsOwnedOnceAndFreedWhenReplacedAndAtTheEnd)
{
    AssignEveryKey();
    ASSERT_TRUE(OpenDialog());
    EXPECT_TRUE(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0)) << "no large icon";
    Owned first = Faces();
    ASSERT_EQ(first.bitmaps.size(), 8u);
    ASSERT_EQ(first.icons.size(), 7u);
    for (HBITMAP bitmap : first.bitmaps)
        EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    for (UINT key = KEY_FIRST; key <= KEY_LAST; ++key) {
        HWND button = GetDlgItem(dialog, static_cast<int>(key));
        LONG style = GetWindowLongA(button, GWL_STYLE);
        if (key % 2) {
            EXPECT_TRUE(style & BS_BITMAP);
            EXPECT_EQ(reinterpret_cast<HANDLE>(SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0)),
                      GetPropA(button, FACE_BITMAP_PROP));
        } else {
            EXPECT_TRUE(style & BS_ICON);
            EXPECT_EQ(reinterpret_cast<HANDLE>(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)),
                      GetPropA(button, FACE_ICON_PROP));
        }
    }

    // A refresh replaces every face and frees the old ones.
    RefreshKeyButtons(dialog);
    ExpectFreed(first);
    Owned second = Faces();
    EXPECT_EQ(second.bitmaps.size(), 8u);
    EXPECT_EQ(second.icons.size(), 7u);

    // Keys given back their normal function own nothing any more.
    for (UINT key = KEY_FIRST; key <= KEY_LAST; ++key)
        WriteKeyAssignment(key, "", "", "", "", 0);
    RefreshKeyButtons(dialog);
    ExpectFreed(second);
    EXPECT_TRUE(Faces().bitmaps.empty());
    EXPECT_TRUE(Faces().icons.empty());

    // Closing frees what the last refresh made; shared icons stay alive.
    AssignEveryKey();
    RefreshKeyButtons(dialog);
    Owned last = Faces();
    HWND tooltip = static_cast<HWND>(GetPropA(dialog, SETUP_TOOLTIP_PROP));
    ASSERT_TRUE(tooltip);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 15) << "each button is one tool, however often refreshed";
    DestroyWindow(dialog);
    ExpectFreed(last);
    EXPECT_FALSE(IsWindow(tooltip)) << "the tooltip went with the dialog";
    dialog = nullptr;
    EXPECT_TRUE(IconAlive(LoadKeyIcon(101)));
    EXPECT_TRUE(IconAlive(LoadIconA(module, MAKEINTRESOURCEA(ICO_SPRINGDECK))));
}

TEST_F(KeyFacesTest, ManyRefreshesDoNotGrowTheWorkingSet)
{
    // Icons loaded from a module loaded as data are not shared under Wine
    // (each load makes a new one), which would swamp the measurement; the
    // program itself loads them from its own module.
    AppInstance = GetModuleHandleA(nullptr);
    AssignEveryKey();
    ASSERT_TRUE(OpenDialog());
    for (int i = 0; i < 20; ++i)
        RefreshKeyButtons(dialog);
    PROCESS_MEMORY_COUNTERS before, after;
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before));
    for (int i = 0; i < 200; ++i)
        RefreshKeyButtons(dialog);
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after));
    // Leaking the faces of 200 refreshes would cost tens of megabytes.
    EXPECT_LT(static_cast<long long>(after.WorkingSetSize) - static_cast<long long>(before.WorkingSetSize), 3ll << 20);
}

TEST_F(KeyFacesTest, HotkeysAreBackAfterARefreshAndHeldKeysAreFound)
{
    WriteKeyAssignment(105, exe.c_str(), "", "", "", 0);
    HWND other = CreateWindowExA(0, "Static", "other program", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 1, 0, VK_F7));
    ASSERT_TRUE(OpenDialog());
    for (UINT key = KEY_FIRST; key <= KEY_LAST; ++key)
        EXPECT_EQ(KeyInUse(key), key == 107) << "key " << key;
    // F5 is MainWindow's again, both hotkeys; the probe left nothing behind.
    EXPECT_FALSE(RegisterHotKey(other, 2, 0, VK_F5));
    EXPECT_FALSE(RegisterHotKey(other, 3, MOD_CONTROL | MOD_ALT, VK_F5));
    EXPECT_TRUE(RegisterHotKey(other, 4, 0, VK_F6));
    UnregisterHotKey(other, 4);
    UnregisterHotKey(other, 1);
    DestroyWindow(other);
}

} // namespace
