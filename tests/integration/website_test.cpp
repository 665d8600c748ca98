// Giving a key a web site: "Assign a WebSite" with its preset sites, the
// Yahoo! chooser, a custom address, the bookmark picker, and the local alias
// of an address.
#include "setup_dialog_fixture.h"

#include <shlobj.h>

#include <cstdio>
#include <map>

using namespace driver;

namespace {

constexpr char NetscapeKey[] = "Software\\Netscape\\Netscape Navigator\\Bookmark List";
constexpr char ShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct Preset {
    int button;
    const char *title;
    int icon; // beside the button and on the keys that open the site
};
// The preset buttons and the titles their sites are stored with.
constexpr Preset Presets[] = {
    {IDC_SITE_SOD, "Site of the Day", ICO_SOD},
    {IDC_SITE_CNET, "CNET", ICO_CNET},
    {IDC_SITE_PATHFINDER, "Time-Warner's Pathfinder", ICO_PATHFINDER},
    {IDC_SITE_ESPNET, "ESPNET Sports Zone", ICO_ESPNET},
    {IDC_SITE_E, "E! Online", ICO_E},
    {IDC_SITE_FAMILYPLANET, "Family Planet", ICO_FAMILYPLANET},
    {IDC_SITE_USATODAY, "USA Today", ICO_USATODAY},
};

struct YahooSite {
    int radio;
    const char *name;  // as the radio button names it
    const char *title; // as it is stored
};
constexpr YahooSite YahooSites[] = {
    {IDC_YAHOO_MAIN, "Yahoo!", "Yahoo!"},
    {IDC_YAHOO_MY, "My Yahoo!", "My Yahoo!"},
    {IDC_YAHOO_SFBAY, "Yahoo! SF Bay", "SF Yahoo"},
    {IDC_YAHOO_KIDS, "Yahooligans", "Yahooligans"},
};

void WriteText(const std::string &path, const std::string &text)
{
    FILE *file = fopen(path.c_str(), "wb");
    ASSERT_TRUE(file) << path;
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
}

// A home page: "http://" and a host name, no path, no trailing '/'.
bool IsHomePage(const std::string &address)
{
    return address.compare(0, 7, "http://") == 0 && address.size() > 7 && address.find('/', 7) == std::string::npos &&
           address.find('.', 7) != std::string::npos;
}

class WebsiteTest : public SetupDialogFixture {
protected:
    void SetUp() override
    {
        SetupDialogFixture::SetUp();
        // Pause shows an icon taken from a program file, taken anew each time
        // the setup dialog redraws its keys: its handle tells whether a flow
        // reported a change.
        AssignKey("Pause", SpringdeckExe(), "", "", SpringdeckExe(), 3);
    }

    void TearDown() override
    {
        if (GetAsyncKeyState(VK_SHIFT) & 0x8000)
            KeyUp(VK_SHIFT);
        KillProcessesNamed("fakebrowser.exe");
        SetupDialogFixture::TearDown();
        if (!scratch.empty())
            RemoveFolder(scratch);
        for (const std::string &folder : browserFolders)
            RemoveFolder(folder);
    }

    std::string BrowserFolder(int csidl, const std::string &path)
    {
        std::string folder = MakeAppDataFolder(csidl, path, &browserFolders);
        EXPECT_NE(folder, "") << path;
        return folder;
    }

    // The setup dialog, opened from the tray menu the first time.
    HWND OpenedSetup()
    {
        if (!setup) {
            setup = OpenSetup();
            if (setup) {
                GetWindowRect(setup, &setupPlace);
                face = SentinelFace();
            }
        }
        return setup;
    }

    LRESULT SentinelFace() { return SendDlgItemMessageA(setup, 115, BM_GETIMAGE, IMAGE_ICON, 0); }

    // Opens "Assign a WebSite" for the key: a click on the key in the setup
    // dialog, then "Go to a WebSite" in the chooser.
    HWND OpenWebsite(UINT keyId)
    {
        if (!OpenedSetup())
            return nullptr;
        ClickButton(setup, keyId);
        HWND chooser = WaitForWindow("#32770", ChooserTitle);
        EXPECT_TRUE(chooser) << "the chooser did not open";
        if (!chooser)
            return nullptr;
        ClickButton(chooser, IDC_GO_TO_WEBSITE);
        HWND dialog = WaitForWindow("#32770", "Assign a WebSite");
        EXPECT_TRUE(dialog) << "Assign a WebSite did not open";
        if (dialog)
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), setup);
        return dialog;
    }

    // "Select Local Alias" for the key's address: a click on the key with
    // Shift held.
    HWND OpenLocalAlias(UINT keyId)
    {
        if (!OpenedSetup() || !ShowFocusWindow())
            return nullptr;
        EXPECT_TRUE(HoldKey(VK_SHIFT));
        ClickButton(setup, keyId);
        HWND dialog = WaitForWindow("#32770", "Select Local Alias");
        KeyUp(VK_SHIFT);
        EXPECT_TRUE(dialog) << "Select Local Alias did not open";
        if (dialog)
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), setup);
        return dialog;
    }

    // Waits until the flow has ended and the setup dialog is back in its
    // place. 1 when the setup dialog redrew its keys (the flow reported that
    // the key may have changed), 2 when it did not.
    DWORD FlowResult()
    {
        EXPECT_TRUE(WaitUntil([&] {
            RECT now;
            GetWindowRect(setup, &now);
            return IsWindowEnabled(setup) && EqualRect(&now, &setupPlace);
        })) << "the setup dialog did not come back";
        LRESULT now = SentinelFace();
        DWORD result = now != face ? 1 : 2;
        face = now;
        return result;
    }

    std::string Scratch()
    {
        if (scratch.empty())
            scratch = ScratchDir();
        return scratch;
    }

    static void ExpectAssignment(const char *key, const std::string &commandLine, const std::string &args,
                                 const std::string &title)
    {
        EXPECT_EQ(Setting("command line", key), commandLine) << key;
        EXPECT_EQ(Setting("args", key), args) << key;
        EXPECT_EQ(Setting("title", key), title) << key;
        EXPECT_EQ(Setting("icon", key), "") << key;
        DWORD index = 99;
        EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\icon index", key, &index)) << key;
        EXPECT_EQ(index, 0u) << key;
    }

    // The decoration icon beside a button of "Assign a WebSite".
    static HWND DecorationOf(HWND dialog, int button)
    {
        RECT rect;
        GetWindowRect(GetDlgItem(dialog, button), &rect);
        POINT point = {rect.left - 24, (rect.top + rect.bottom) / 2};
        ScreenToClient(dialog, &point);
        return ChildWindowFromPointEx(dialog, point, CWP_SKIPINVISIBLE);
    }

    // True once "You have assigned:" shows the icon of the button's site.
    static bool WaitShowsChosen(HWND dialog, int button)
    {
        HWND decoration = DecorationOf(dialog, button);
        HWND chosen = GetDlgItem(dialog, IDC_WEB_SITEICON);
        return WaitUntil([&] {
            std::vector<DWORD> shown = WindowPixels(chosen);
            return IsWindowVisible(GetDlgItem(dialog, IDC_WEB_ASSIGNED)) && !shown.empty() &&
                   shown == WindowPixels(decoration);
        });
    }

    // "Assign a WebSite" for the key with the preset's site chosen.
    HWND OpenWithPreset(UINT keyId, int button)
    {
        HWND dialog = OpenWebsite(keyId);
        if (!dialog)
            return nullptr;
        ClickButton(dialog, button);
        EXPECT_TRUE(WaitShowsChosen(dialog, button)) << "preset " << button;
        return dialog;
    }

    static bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

    // Opens the Yahoo! chooser, picks the radio button (0 keeps the default)
    // and ends it with OK or Cancel.
    static void ChooseYahoo(HWND dialog, int radio, int ending, std::string *label = nullptr)
    {
        ClickButton(dialog, IDC_SITE_YAHOO);
        HWND yahoo = WaitForWindow("#32770", "Choose your Yahoo! site");
        ASSERT_TRUE(yahoo);
        EXPECT_EQ(GetWindow(yahoo, GW_OWNER), dialog);
        EXPECT_EQ(IsDlgButtonChecked(yahoo, IDC_YAHOO_MAIN), static_cast<UINT>(BST_CHECKED)) << "the default";
        if (radio) {
            ClickButton(yahoo, radio);
            EXPECT_TRUE(WaitUntil([&] { return IsDlgButtonChecked(yahoo, radio) == BST_CHECKED; }));
        }
        if (label)
            *label = ItemText(yahoo, radio ? radio : IDC_YAHOO_MAIN);
        ClickButton(yahoo, ending);
        EXPECT_TRUE(WaitWindowGone(yahoo));
    }

    // Sets an edit's text as typing would, with its change notification.
    static void SetEditText(HWND edit, const std::string &text)
    {
        SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, ScaledWait(5000),
                            nullptr);
    }

    static HWND WaitForCustomDialog()
    {
        HWND found = nullptr;
        WaitUntil([&] {
            found = FindTopWindow("#32770", "Custom WebSite");
            return found && GetDlgItem(found, IDC_CUSTOM_ADDRESS);
        });
        return found;
    }

    static HWND WaitForQuestion()
    {
        HWND found = nullptr;
        WaitUntil([&] {
            found = FindTopWindow("#32770", "Custom WebSite");
            return found && GetDlgItem(found, 0xFFFF) && !GetDlgItem(found, IDC_CUSTOM_ADDRESS);
        });
        return found;
    }

    HWND OpenBookmarks(UINT keyId)
    {
        HWND dialog = OpenWebsite(keyId);
        if (!dialog)
            return nullptr;
        ClickButton(dialog, IDC_WEB_BOOKMARKS);
        HWND picker = WaitForWindow("#32770", "Select a BookMark");
        EXPECT_TRUE(picker) << "the bookmark picker did not open";
        return picker;
    }

    // The tree as "name/" for folders and "name" for bookmarks, two spaces
    // per level, checking each item's images and data on the way.
    static std::string TreeOutline(const std::vector<TreeItem> &items)
    {
        std::string outline;
        for (const TreeItem &item : items) {
            bool folder = item.param == 0;
            EXPECT_EQ(item.image, folder ? 2 : 0) << item.text;
            EXPECT_EQ(item.selectedImage, folder ? 1 : 0) << item.text;
            outline += std::string(item.depth * 2, ' ') + item.text + (folder ? "/" : "") + "\n";
        }
        return outline;
    }

    static const TreeItem *FindItem(const std::vector<TreeItem> &items, const std::string &text)
    {
        for (const TreeItem &item : items)
            if (item.text == text)
                return &item;
        ADD_FAILURE() << "no tree item " << text;
        return nullptr;
    }

    HWND setup = nullptr;
    RECT setupPlace = {};
    LRESULT face = 0; // Pause's face when the last flow ended
    std::string scratch;
    std::vector<std::string> browserFolders;
};

// ---- presets -----------------------------------------------------------------------

TEST_F(WebsiteTest, EachPresetStoresItsSiteAndOnlyTheLastChoiceCounts)
{
    const size_t count = sizeof Presets / sizeof Presets[0];
    for (size_t i = 0; i < count; ++i) {
        const Preset &preset = Presets[i], &before = Presets[(i + 1) % count];
        SCOPED_TRACE(preset.title);
        HWND dialog = OpenWebsite(105);
        ASSERT_TRUE(dialog);
        EXPECT_FALSE(IsEnabled(dialog, IDOK)) << "OK before a choice";
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_WEB_ASSIGNED)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_WEB_SITEICON)));
        ClickButton(dialog, before.button);
        EXPECT_TRUE(WaitShowsChosen(dialog, before.button));
        ClickButton(dialog, preset.button);
        EXPECT_TRUE(WaitShowsChosen(dialog, preset.button)) << "the chosen site's icon";
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        if (preset.button == IDC_SITE_PATHFINDER) {
            WaitPainted(dialog);
            CaptureScreen("website-chosen");
        }
        ClickButton(dialog, IDOK);
        EXPECT_EQ(FlowResult(), 1u);
        EXPECT_TRUE(ShowsFaceIcon(GetDlgItem(setup, 105), preset.icon)) << "the key shows the site's icon";

        std::string address = Setting("command line", "F5");
        ExpectAssignment("F5", address, "", preset.title);
        if (preset.button == IDC_SITE_SOD)
            EXPECT_TRUE(address.size() > 23 && IsHomePage(address.substr(0, address.size() - 16)) &&
                        address.substr(address.size() - 16) == "/cgi-bin/sod.cgi")
                << address;
        else
            EXPECT_TRUE(IsHomePage(address)) << address;
    }
}

TEST_F(WebsiteTest, CancelAndCloseBoxLeaveTheKeyAsItWas)
{
    AssignKey("F3", "http://before.example", "", "Before");
    HWND dialog = OpenWithPreset(103, IDC_SITE_CNET);
    ASSERT_TRUE(dialog);
    ClickButton(dialog, IDCANCEL);
    EXPECT_EQ(FlowResult(), 2u);

    dialog = OpenWithPreset(103, IDC_SITE_E);
    ASSERT_TRUE(dialog);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(FlowResult(), 2u);
    EXPECT_EQ(Setting("command line", "F3"), "http://before.example");
    EXPECT_EQ(Setting("title", "F3"), "Before");
}

constexpr ControlRow WebsiteControls[] = {
    {-1, "Static", "Click on a website to assign it to", 4, 8, 108, 8},
    {IDC_WEB_KEYICON, "Static", "", 110, 3, 0, 0}, // icons take their own size
    {IDC_WEB_ASSIGNED, "Static", "You have assigned:", 144, 9, 68, 8},
    {IDC_WEB_SITEICON, "Static", "", 216, 3, 0, 0},
    {-1, "Static", nullptr, 16, 28, 0, 0},
    {IDC_SITE_YAHOO, "Button", "&Yahoo!", 44, 32, 88, 14},
    {IDC_WEB_CNETICON, "Static", nullptr, 16, 56, 0, 0},
    {IDC_SITE_CNET, "Button", "C|NET", 44, 60, 88, 14},
    {-1, "Static", nullptr, 16, 84, 0, 0},
    {IDC_SITE_PATHFINDER, "Button", "Time Warner's Pathfinder", 44, 88, 88, 14},
    {-1, "Static", nullptr, 16, 116, 0, 0},
    {IDC_SITE_ESPNET, "Button", "ESPNET SportsZone", 44, 120, 88, 14},
    {-1, "Static", nullptr, 164, 28, 0, 0},
    {IDC_SITE_E, "Button", "E! Online", 193, 32, 88, 14},
    {-1, "Static", nullptr, 164, 56, 0, 0},
    {IDC_SITE_FAMILYPLANET, "Button", "Family Planet", 193, 60, 88, 14},
    {-1, "Static", nullptr, 164, 84, 0, 0},
    {IDC_SITE_USATODAY, "Button", "USA Today", 193, 88, 88, 14},
    {IDC_WEB_CUSTOM, "Button", "Custom WebSite", 134, 152, 64, 20},
    {IDC_HELPBUTTON, "Button", "Help", 127, 187, 50, 14},
    {IDCANCEL, "Button", "Cancel", 183, 187, 50, 14},
    {IDOK, "Button", "OK", 239, 187, 50, 14},
    {-1, "Static", "Note: you must be connected to the Internet for your WebSite Springpads to function properly.", 4,
     144, 100, 32},
    {IDC_WEB_BOOKMARKS, "Button", "Browse your Bookmarks", 202, 152, 88, 20},
    {-1, "Static", nullptr, 164, 117, 0, 0},
    {IDC_SITE_SOD, "Button", "Site of the Day", 193, 120, 88, 14},
};

TEST_F(WebsiteTest, DialogLayoutAndNoBookmarksWithAmericaOnline)
{
    HWND dialog = OpenWebsite(101);
    ASSERT_TRUE(dialog);
    ExpectLayout(dialog, 310, 207, WebsiteControls, sizeof WebsiteControls / sizeof WebsiteControls[0]);
    const int decorations[][2] = {
        {IDC_SITE_YAHOO, ICO_YAHOO},       {IDC_SITE_CNET, ICO_CNET}, {IDC_SITE_PATHFINDER, ICO_PATHFINDER},
        {IDC_SITE_ESPNET, ICO_ESPNET},     {IDC_SITE_E, ICO_E},       {IDC_SITE_FAMILYPLANET, ICO_FAMILYPLANET},
        {IDC_SITE_USATODAY, ICO_USATODAY}, {IDC_SITE_SOD, ICO_SOD}};
    for (const auto &decoration : decorations)
        EXPECT_TRUE(ShowsFaceIcon(DecorationOf(dialog, decoration[0]), decoration[1])) << decoration[1];
    EXPECT_TRUE(ShowsFaceIcon(GetDlgItem(dialog, IDC_WEB_KEYICON), ICO_F1));
    EXPECT_TRUE(IsEnabled(dialog, IDC_WEB_BOOKMARKS)) << "Netscape Navigator";
    ClickButton(dialog, IDCANCEL);
    EXPECT_EQ(FlowResult(), 2u);

    ClickButton(setup, IDC_BROWSER_AOL);
    ASSERT_TRUE(WaitUntil([&] { return IsDlgButtonChecked(setup, IDC_BROWSER_AOL) == BST_CHECKED; }));
    dialog = OpenWebsite(101);
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsEnabled(dialog, IDC_WEB_BOOKMARKS)) << "America Online";
    EXPECT_TRUE(IsEnabled(dialog, IDC_WEB_CUSTOM));
    ClickButton(dialog, IDCANCEL);
    EXPECT_EQ(FlowResult(), 2u);
}

// ---- Yahoo! ------------------------------------------------------------------------

TEST_F(WebsiteTest, EachYahooSiteStoresItsAddressAndTitle)
{
    for (const YahooSite &site : YahooSites) {
        SCOPED_TRACE(site.title);
        HWND dialog = OpenWebsite(110);
        ASSERT_TRUE(dialog);
        std::string label;
        ChooseYahoo(dialog, site.radio == IDC_YAHOO_MAIN ? 0 : site.radio, IDOK, &label);
        EXPECT_TRUE(WaitShowsChosen(dialog, IDC_SITE_YAHOO));
        ClickButton(dialog, IDOK);
        EXPECT_EQ(FlowResult(), 1u);
        EXPECT_TRUE(ShowsFaceIcon(GetDlgItem(setup, 110), ICO_YAHOO));

        std::string address = Setting("command line", "F10");
        ExpectAssignment("F10", address, "", site.title);
        EXPECT_TRUE(IsHomePage(address)) << address;
        // The radio button reads: name - host.
        EXPECT_EQ(label, std::string(site.name) + " - " + address.substr(7));
    }
}

constexpr ControlRow YahooControls[] = {
    {IDC_YAHOO_GROUP, "Button", "Which Yahoo! site?", 4, 8, 216, 152},
    {IDC_YAHOO_MAIN, "Button", "Yahoo! - www.yahoo.com", 12, 20, 124, 12},
    {IDC_YAHOO_MY, "Button", "My Yahoo! - my.yahoo.com", 12, 52, 136, 12},
    {IDC_YAHOO_SFBAY, "Button", "Yahoo! SF Bay - sfbay.yahoo.com", 12, 84, 124, 12},
    {IDC_YAHOO_KIDS, "Button", "Yahooligans - www.yahooligans.com", 12, 123, 136, 12},
    {-1, "Static", "The ultimate online guide to information and entertainment on the Web.", 23, 32, 192, 20},
    {-1, "Static",
     "A customizable Yahoo! that delivers specific information selected by an  individual to his My Yahoo site.", 23,
     64, 188, 20},
    {-1, "Static",
     "A comprehensive online guide of the SF Bay Area, providing information and free communications services to "
     "users.",
     23, 96, 184, 24},
    {-1, "Static", "An online guide to the Web designed especially for kids from ages 8 to 14.", 23, 136, 189, 16},
    {IDOK, "Button", "OK", 228, 12, 50, 14},
    {IDCANCEL, "Button", "Cancel", 228, 32, 50, 14},
};

TEST_F(WebsiteTest, YahooCancelKeepsTheEarlierChoice)
{
    HWND dialog = OpenWithPreset(102, IDC_SITE_PATHFINDER);
    ASSERT_TRUE(dialog);

    ClickButton(dialog, IDC_SITE_YAHOO);
    HWND yahoo = WaitForWindow("#32770", "Choose your Yahoo! site");
    ASSERT_TRUE(yahoo);
    ExpectLayout(yahoo, 287, 166, YahooControls, sizeof YahooControls / sizeof YahooControls[0]);
    ClickButton(yahoo, IDC_YAHOO_SFBAY);
    WaitUntil([&] { return IsDlgButtonChecked(yahoo, IDC_YAHOO_SFBAY) == BST_CHECKED; });
    WaitPainted(yahoo);
    CaptureScreen("website-yahoo");
    ClickButton(yahoo, IDCANCEL);
    ASSERT_TRUE(WaitWindowGone(yahoo));

    EXPECT_TRUE(WaitShowsChosen(dialog, IDC_SITE_PATHFINDER)) << "the earlier choice's icon";
    EXPECT_TRUE(IsEnabled(dialog, IDOK));
    ClickButton(dialog, IDOK);
    EXPECT_EQ(FlowResult(), 1u);
    ExpectAssignment("F2", Setting("command line", "F2"), "", "Time-Warner's Pathfinder");
}

// ---- custom address ------------------------------------------------------------------

constexpr ControlRow CustomControls[] = {
    {-1, "Static", "Please enter the URL of your custom WebSite:", 4, 4, 164, 8},
    {IDC_CUSTOM_ADDRESS, "Edit", "http://", 4, 20, 164, 12},
    {IDOK, "Button", "OK", 118, 37, 50, 14},
    {IDCANCEL, "Button", "Cancel", 60, 37, 50, 14},
};

TEST_F(WebsiteTest, CustomAddressAskedAgainAfterNoAndStoredAfterYes)
{
    HWND dialog = OpenWebsite(107);
    ASSERT_TRUE(dialog);
    ClickButton(dialog, IDC_WEB_CUSTOM);
    HWND custom = WaitForCustomDialog();
    ASSERT_TRUE(custom);
    EXPECT_FALSE(IsWindow(dialog) && IsWindowVisible(dialog)) << "Assign a WebSite closes first";
    ExpectLayout(custom, 175, 58, CustomControls, sizeof CustomControls / sizeof CustomControls[0]);
    HWND edit = GetDlgItem(custom, IDC_CUSTOM_ADDRESS);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(edit, EM_GETSEL, 0, 0) == MAKELONG(7, 7); }))
        << "the caret stands after http://";
    EXPECT_FALSE(IsEnabled(custom, IDOK));

    // OK is enabled exactly when the text differs from "http://".
    SetEditText(edit, "");
    EXPECT_TRUE(WaitUntil([&] { return IsEnabled(custom, IDOK); })) << "empty";
    SetEditText(edit, "http://");
    EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(custom, IDOK); })) << "http:// again";
    SetEditText(edit, "HTTP://");
    EXPECT_TRUE(WaitUntil([&] { return IsEnabled(custom, IDOK); })) << "the compare is case-sensitive";
    SetEditText(edit, "http://wrong.example");
    WaitPainted(custom);
    CaptureScreen("website-custom");
    ClickButton(custom, IDOK);

    HWND question = WaitForQuestion();
    ASSERT_TRUE(question);
    EXPECT_EQ(MessageBoxText(question), "Is this the correct WebSite?\r\nhttp://wrong.example");
    EXPECT_TRUE(GetDlgItem(question, IDYES) && GetDlgItem(question, IDNO));
    WaitPainted(question);
    CaptureScreen("website-custom-question");
    ClickButton(question, IDNO);
    ASSERT_TRUE(WaitWindowGone(question));

    custom = WaitForCustomDialog();
    ASSERT_TRUE(custom);
    edit = GetDlgItem(custom, IDC_CUSTOM_ADDRESS);
    EXPECT_EQ(WindowText(edit), "http://") << "opens afresh";
    EXPECT_FALSE(IsEnabled(custom, IDOK));
    SetEditText(edit, "HTTP://right.example/page.html");
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(custom, IDOK); }));
    ClickButton(custom, IDOK);
    question = WaitForQuestion();
    ASSERT_TRUE(question);
    EXPECT_EQ(Setting("command line", "F7"), "") << "nothing is stored before Yes";
    ClickButton(question, IDYES);
    EXPECT_EQ(FlowResult(), 1u);
    ExpectAssignment("F7", "http://right.example/page.html", "", "");
}

TEST_F(WebsiteTest, CustomAddressCancelReturnsNothingChanged)
{
    AssignKey("F8", "http://kept.example", "", "Kept");
    HWND dialog = OpenWebsite(108);
    ASSERT_TRUE(dialog);
    ClickButton(dialog, IDC_WEB_CUSTOM);
    HWND custom = WaitForCustomDialog();
    ASSERT_TRUE(custom);
    SetEditText(GetDlgItem(custom, IDC_CUSTOM_ADDRESS), "http://typed.example");
    ClickButton(custom, IDCANCEL);
    EXPECT_EQ(FlowResult(), 2u);
    EXPECT_EQ(Setting("command line", "F8"), "http://kept.example");
}

// ---- local alias -------------------------------------------------------------------------

TEST_F(WebsiteTest, LocalAliasIsStoredByAddressAndOfferedForEveryKeyWithIt)
{
    const std::string address = "http://www.alias.example";
    AssignKey("F5", address, "", "Alias");
    AssignKey("F6", address, "", "Same site");
    std::string page = Scratch() + "\\offline page.htm";
    WriteText(page, "<html><body>offline</body></html>");

    HWND box = OpenLocalAlias(105);
    ASSERT_TRUE(box);
    EXPECT_EQ(FileDialogName(box), "");
    EXPECT_NE(ItemText(box, 0x470).find("HTML Files (*.htm;*.html)"), std::string::npos)
        << "file type: " << ItemText(box, 0x470);
    WaitPainted(box);
    CaptureScreen("website-alias");
    ChooseFileInDialog(box, page);
    EXPECT_EQ(FlowResult(), 1u);
    EXPECT_EQ(Setting("alias", address.c_str()), page);

    // The other key with that address finds the alias in place; cancelling
    // keeps it (and still counts as a change).
    box = OpenLocalAlias(106);
    ASSERT_TRUE(box);
    EXPECT_NE(FileDialogName(box).find("offline page.htm"), std::string::npos) << FileDialogName(box);
    ClickButton(box, IDCANCEL);
    EXPECT_EQ(FlowResult(), 1u);
    EXPECT_EQ(Setting("alias", address.c_str()), page);
    EXPECT_EQ(Setting("command line", "F6"), address);
}

// ---- bookmarks ---------------------------------------------------------------------------

// As current browsers export it: in UTF-8, with icons, a bookmarklet and an
// address too long to store, which are left out.
const std::string BookmarkFile =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
    "<TITLE>Bookmarks</TITLE>\n"
    "<H1>Bookmarks</H1>\n"
    "<DL><p>\n"
    "    <DT><H3 ADD_DATE=\"870000000\">Work</H3>\n"
    "    <DL><p>\n"
    "        <DT><A HREF=\"http://mail.example.com/\" ADD_DATE=\"870000001\" ICON=\"data:image/png;base64," +
    std::string(2048, 'A') +
    "\">Mail</A>\n"
    "        <DT><A HREF=\"http://wiki.example.com/?a=1&b=2\" ADD_DATE=\"870000002\">Wiki & Notes \xE2\x80\x93 "
    "Caf\xC3\xA9</A>\n"
    "        <DT><A HREF=\"javascript:void(document.title)\">Bookmarklet</A>\n"
    "        <DT><A HREF=\"http://long.example.com/" +
    std::string(300, 'p') +
    "\">Long</A>\n"
    "    </DL><p>\n"
    "    <DT><H3>Nothing Inside</H3>\n"
    "    <DT><A HREF=\"HTTP://news.example.com/\">News</A>\n"
    "</DL><p>\n";

const std::string WikiName = Ansi(L"Wiki & Notes \u2013 Caf\u00e9");
const std::string BookmarkOutline = "Work/\n  Mail\n  " + WikiName + "\nNothing Inside/\nNews\n";

constexpr ControlRow BookmarkControls[] = {
    {IDOK, "Button", "OK", 256, 16, 50, 14},
    {IDCANCEL, "Button", "Cancel", 256, 36, 50, 14},
    {IDC_HELPBUTTON, "Button", "Help", 256, 56, 50, 14},
    {IDC_BOOKMARK_FROM_FILE, "Button", "From File...", 256, 76, 50, 14},
    {IDC_BOOKMARK_TREE, "SysTreeView32", "", 8, 16, 236, 172},
    {-1, "Static", "Select a bookmark:", 8, 4, 64, 8},
    {IDC_BOOKMARK_ADDRESS, "Static", "", 72, 4, 244, 8},
};

TEST_F(WebsiteTest, NetscapeBookmarksFromTheRegistry)
{
    std::string file = Scratch() + "\\bookmark.htm";
    WriteText(file, BookmarkFile);
    WriteString(HKEY_CURRENT_USER, NetscapeKey, "File Location", file);

    HWND picker = OpenBookmarks(104);
    DeleteTree(HKEY_CURRENT_USER, "Software\\Netscape");
    ASSERT_TRUE(picker);
    EXPECT_EQ(GetWindow(picker, GW_OWNER), setup);
    ExpectLayout(picker, 317, 197, BookmarkControls, sizeof BookmarkControls / sizeof BookmarkControls[0]);
    HWND tree = GetDlgItem(picker, IDC_BOOKMARK_TREE);
    std::vector<TreeItem> items = TreeItems(tree);
    EXPECT_EQ(TreeOutline(items), BookmarkOutline);
    EXPECT_FALSE(IsEnabled(picker, IDOK)) << "nothing selected";

    // OK only on a bookmark; the address line follows the selection.
    const TreeItem *work = FindItem(items, "Work"), *wiki = FindItem(items, WikiName), *news = FindItem(items, "News");
    ASSERT_TRUE(work && wiki && news);
    SelectTreeItem(tree, news->handle);
    EXPECT_TRUE(WaitUntil([&] { return ItemText(picker, IDC_BOOKMARK_ADDRESS) == "http://news.example.com/"; }));
    SelectTreeItem(tree, wiki->handle);
    EXPECT_TRUE(WaitUntil([&] { return IsEnabled(picker, IDOK); }));
    EXPECT_EQ(ItemText(picker, IDC_BOOKMARK_ADDRESS), "http://wiki.example.com/?a=1&b=2");
    SelectTreeItem(tree, work->handle);
    EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(picker, IDOK); }));
    EXPECT_EQ(ItemText(picker, IDC_BOOKMARK_ADDRESS), "");

    // "From File..." adds an exported file as a top folder named by the file,
    // open and selected, with what it holds up to a cut; a file without
    // bookmarks adds nothing and says so.
    const struct {
        const char *name;
        std::string text, added;
    } files[] = {
        {"export.html", BookmarkFile,
         "export.html/\n  Work/\n    Mail\n    " + WikiName + "\n  Nothing Inside/\n  News\n"},
        {"damaged.htm", BookmarkFile.substr(0, BookmarkFile.find("Wiki &") + 4),
         "damaged.htm/\n  Work/\n    Mail\n    Wiki\n"},
        {"empty.htm", "<html><body>no list</body></html>\n", ""},
    };
    std::string outline = BookmarkOutline;
    for (const auto &added : files) {
        SCOPED_TRACE(added.name);
        WriteText(Scratch() + "\\" + added.name, added.text);
        ClickButton(picker, IDC_BOOKMARK_FROM_FILE);
        HWND box = WaitForWindow("#32770", "Add Bookmarks From File");
        ASSERT_TRUE(box);
        EXPECT_NE(ItemText(box, 0x470).find("Bookmark files (*.htm;*.html)"), std::string::npos);
        ChooseFileInDialog(box, Scratch() + "\\" + added.name);
        ASSERT_TRUE(WaitWindowGone(box));
        if (added.added.empty()) {
            HWND message = WaitForMessageBox("Springdeck");
            ASSERT_TRUE(message);
            EXPECT_NE(MessageBoxText(message).find("no bookmarks"), std::string::npos) << MessageBoxText(message);
            ClickButton(message, IDOK);
            ASSERT_TRUE(WaitWindowGone(message));
        }
        outline += added.added;
        std::vector<TreeItem> now = TreeItems(tree);
        EXPECT_EQ(TreeOutline(now), outline);
        const TreeItem *folder = added.added.empty() ? nullptr : FindItem(now, added.name);
        if (folder) {
            EXPECT_EQ(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0), reinterpret_cast<LRESULT>(folder->handle));
            EXPECT_TRUE(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(folder->handle), TVIS_EXPANDED) &
                        TVIS_EXPANDED);
        }
    }
    SelectTreeItem(tree, wiki->handle);
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(picker, IDOK); }));
    WaitPainted(picker);
    CaptureScreen("website-bookmarks");
    ClickButton(picker, IDOK);
    EXPECT_EQ(FlowResult(), 1u);
    ExpectAssignment("F4", "http://wiki.example.com/?a=1&b=2", "http://wiki.example.com/?a=1&b=2", WikiName);
}

TEST_F(WebsiteTest, NetscapeBookmarksThroughWinIniAndAnEmptyTreeWithout)
{
    std::string file = Scratch() + "\\bookmark.htm", ini = Scratch() + "\\netscape.ini";
    WriteText(file, BookmarkFile);
    WriteText(ini, "[Bookmark List]\r\nFile Location=" + file + "\r\n");
    WriteProfileStringA("Netscape", "ini", ini.c_str());
    SetSettingDword("options", "browser", 7); // any browser but 1 reads Navigator's file

    HWND picker = OpenBookmarks(109);
    WriteProfileStringA("Netscape", nullptr, nullptr);
    ASSERT_TRUE(picker);
    EXPECT_EQ(TreeOutline(TreeItems(GetDlgItem(picker, IDC_BOOKMARK_TREE))), BookmarkOutline);
    ClickButton(picker, IDCANCEL);
    EXPECT_EQ(FlowResult(), 2u);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, std::string(SettingsPath) + "\\command line", "F9"));

    // An entry too long to read whole: cut to what is read, it would name a
    // copy of the ini file above.
    std::string cut = Scratch() + "\\" + std::string(255 - Scratch().size() - 1, 'n');
    ASSERT_TRUE(CopyFileA(ini.c_str(), cut.c_str(), FALSE));
    WriteProfileStringA("Netscape", "ini", (cut + "\\netscape.ini").c_str());
    picker = OpenBookmarks(109);
    WriteProfileStringA("Netscape", nullptr, nullptr);
    ASSERT_TRUE(picker);
    EXPECT_TRUE(TreeItems(GetDlgItem(picker, IDC_BOOKMARK_TREE)).empty()) << "a cut ini entry was read";
    ClickButton(picker, IDCANCEL);
    EXPECT_EQ(FlowResult(), 2u);

    picker = OpenBookmarks(109);
    ASSERT_TRUE(picker);
    EXPECT_TRUE(TreeItems(GetDlgItem(picker, IDC_BOOKMARK_TREE)).empty()) << "no bookmark file";
    EXPECT_FALSE(IsEnabled(picker, IDOK));
    ClickButton(picker, IDCANCEL);
    EXPECT_EQ(FlowResult(), 2u);
}

TEST_F(WebsiteTest, InternetExplorerFavorites)
{
    std::string favorites = Scratch() + "\\Favorites";
    CreateDirectoryA(favorites.c_str(), nullptr);
    CreateDirectoryA((favorites + "\\Links").c_str(), nullptr);
    CreateDirectoryA((favorites + "\\Empty").c_str(), nullptr);
    WriteText(favorites + "\\Links\\Inner.url", "[InternetShortcut]\r\nURL=http://inner.example/\r\n");
    WriteText(favorites + "\\Top.url", "[DEFAULT]\r\nBASEURL=x\r\n[InternetShortcut]\r\nURL=HTTP://top.example/\r\n");
    WriteText(favorites + "\\Script.url", "[InternetShortcut]\r\nURL=javascript:alert(1)\r\n");
    // Links back to ancestors: the walk does not follow them.
    ASSERT_TRUE(MakeFolderLink(favorites + "\\Links\\Up", ".."));
    ASSERT_TRUE(MakeFolderLink(favorites + "\\Links\\Here", "."));
    WriteText(favorites + "\\Broken.url", "[InternetShortcut]\r\nIconIndex=0\r\n");
    std::string saved = ReadString(HKEY_CURRENT_USER, ShellFoldersKey, "Favorites");
    bool hadValue = ValueExists(HKEY_CURRENT_USER, ShellFoldersKey, "Favorites");
    WriteString(HKEY_CURRENT_USER, ShellFoldersKey, "Favorites", favorites);
    ASSERT_TRUE(OpenedSetup());
    ClickButton(setup, IDC_BROWSER_EXPLORER);
    ASSERT_TRUE(WaitUntil([&] { return IsDlgButtonChecked(setup, IDC_BROWSER_EXPLORER) == BST_CHECKED; }));

    HWND picker = OpenBookmarks(112);
    if (hadValue)
        WriteString(HKEY_CURRENT_USER, ShellFoldersKey, "Favorites", saved);
    else
        DeleteValue(HKEY_CURRENT_USER, ShellFoldersKey, "Favorites");
    ASSERT_TRUE(picker);
    HWND tree = GetDlgItem(picker, IDC_BOOKMARK_TREE);
    std::vector<TreeItem> items = TreeItems(tree);
    // Shortcut names show with or without ".url" as Explorer is set.
    std::string outline = TreeOutline(items);
    for (size_t at; (at = outline.find(".url\n")) != std::string::npos;)
        outline.erase(at, 4);
    // Folders first (in the file system's order), each with its contents,
    // the empty one too; a shortcut without a web address is left out.
    EXPECT_TRUE(outline == "Links/\n  Inner\nEmpty/\nTop\n" || outline == "Empty/\nLinks/\n  Inner\nTop\n") << outline;

    ASSERT_FALSE(items.empty());
    const TreeItem &top = items.back();
    SelectTreeItem(tree, top.handle);
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(picker, IDOK); }));
    EXPECT_EQ(ItemText(picker, IDC_BOOKMARK_ADDRESS), "http://top.example/");
    ClickButton(picker, IDOK);
    EXPECT_EQ(FlowResult(), 1u);
    ExpectAssignment("F12", "http://top.example/", "http://top.example/", top.text);
}

// ---- bookmarks of current browsers -------------------------------------------------------

// A Chromium-family "Bookmarks" file whose bookmarks bar holds the items.
std::string ChromiumFile(const std::string &items)
{
    return "{\"checksum\":\"0f\",\"roots\":{\"bookmark_bar\":{\"children\":[" + items +
           "],\"date_added\":\"13300000000000000\",\"id\":\"1\",\"name\":\"Bookmarks bar\",\"type\":\"folder\"},"
           "\"other\":{\"children\":[],\"id\":\"2\",\"name\":\"Other bookmarks\",\"type\":\"folder\"},"
           "\"synced\":{\"children\":[],\"id\":\"3\",\"name\":\"Mobile bookmarks\",\"type\":\"folder\"}},"
           "\"version\":1}";
}

std::string ChromiumUrl(const std::string &name, const std::string &url)
{
    return "{\"date_added\":\"13300000000000001\",\"id\":\"7\",\"name\":\"" + name + "\",\"type\":\"url\",\"url\":\"" +
           url + "\"}";
}

// A Firefox bookmarks backup whose menu holds one bookmark.
std::string FirefoxBackup(const std::string &title, const std::string &uri)
{
    std::string json =
        "{\"guid\":\"root________\",\"title\":\"\",\"index\":0,\"id\":1,\"typeCode\":2,"
        "\"type\":\"text/x-moz-place-container\",\"root\":\"placesRoot\",\"children\":["
        "{\"guid\":\"menu________\",\"title\":\"menu\",\"index\":0,\"id\":2,\"typeCode\":2,"
        "\"type\":\"text/x-moz-place-container\",\"root\":\"bookmarksMenuFolder\",\"children\":["
        "{\"guid\":\"bookmark0001\",\"title\":\"" +
        title +
        "\",\"index\":0,\"id\":9,\"typeCode\":1,"
        "\"type\":\"text/x-moz-place\",\"uri\":\"" +
        uri + "\"}]}]}";
    return MozLz4Literals(json);
}

// Two Chrome profiles listed in "Local State" (in an order that is not the
// folders'), a third one empty; an Edge profile found without "Local State";
// a Firefox profile of two (the other one gone) with a
// backup of each of two days. With Navigator chosen, its file comes first,
// then a folder per browser profile that holds a bookmark.
TEST_F(WebsiteTest, BookmarksOfCurrentBrowsersFollowTheChosenBrowsers)
{
    std::string file = Scratch() + "\\bookmark.htm";
    WriteText(file, BookmarkFile);
    WriteString(HKEY_CURRENT_USER, NetscapeKey, "File Location", file);
    std::string chrome = BrowserFolder(CSIDL_LOCAL_APPDATA, "Google\\Chrome\\User Data");
    WriteText(chrome + "\\Local State",
              "{\"profile\":{\"info_cache\":{\"Profile 1\":{\"name\":\"Work\"},"
              "\"Default\":{\"name\":\"Person 1\"},\"Profile 2\":{\"name\":\"Empty\"}}}}");
    const char *profiles[][3] = {{"Default", "Home Page", "https://home.example/"},
                                 {"Profile 1", "Work Mail", "https://mail.work.example/"},
                                 {"Profile 2"}};
    for (const auto &profile : profiles)
        WriteText(BrowserFolder(CSIDL_LOCAL_APPDATA, std::string("Google\\Chrome\\User Data\\") + profile[0]) +
                      "\\Bookmarks",
                  ChromiumFile(profile[1] ? ChromiumUrl(profile[1], profile[2]) : ""));
    WriteText(BrowserFolder(CSIDL_LOCAL_APPDATA, "Microsoft\\Edge\\User Data\\Default") + "\\Bookmarks",
              ChromiumFile(ChromiumUrl("Edge Page", "https://edge.example/")));
    std::string firefox = BrowserFolder(CSIDL_APPDATA, "Mozilla\\Firefox");
    WriteText(firefox + "\\profiles.ini",
              "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile1]\r\nName=gone\r\nIsRelative=1\r\n"
              "Path=Profiles/gone\r\n\r\n[Profile0]\r\nName=default-release\r\nIsRelative=1\r\n"
              "Path=Profiles/x1y2.default-release\r\nDefault=1\r\n");
    std::string backups =
        BrowserFolder(CSIDL_APPDATA, "Mozilla\\Firefox\\Profiles\\x1y2.default-release\\bookmarkbackups");
    // The older day's backup is written last.
    WriteText(backups + "\\bookmarks-2026-12-01_1_Qm9va2.jsonlz4", FirefoxBackup("Fox Page", "https://fox.example/"));
    WriteText(backups + "\\bookmarks-2026-11-30_1_T2xkZX.jsonlz4", FirefoxBackup("Old Fox", "https://old.example/"));

    HWND picker = OpenBookmarks(104);
    DeleteTree(HKEY_CURRENT_USER, "Software\\Netscape");
    ASSERT_TRUE(picker);
    HWND tree = GetDlgItem(picker, IDC_BOOKMARK_TREE);
    std::vector<TreeItem> items = TreeItems(tree);
    std::string tops, top;
    std::map<std::string, std::string> topOf; // each bookmark's top-level folder
    for (const TreeItem &item : items) {
        if (item.depth == 0) {
            top = item.text;
            tops += top + (item.param ? "\n" : "/\n");
        } else if (item.param) {
            topOf[item.text] = top;
        }
    }
    const std::string dash = Ansi(L" \u2013 ");
    EXPECT_EQ(tops, "Work/\nNothing Inside/\nNews\nGoogle Chrome" + dash + "Work/\nGoogle Chrome" + dash +
                        "Person 1/\nMicrosoft Edge/\nMozilla Firefox" + dash + "default-release/\n");
    EXPECT_EQ(topOf["Work Mail"], "Google Chrome" + dash + "Work");
    EXPECT_EQ(topOf["Home Page"], "Google Chrome" + dash + "Person 1");
    EXPECT_EQ(topOf["Edge Page"], "Microsoft Edge");
    EXPECT_EQ(topOf["Fox Page"], "Mozilla Firefox" + dash + "default-release");
    EXPECT_EQ(topOf.count("Old Fox"), 0u) << "an older day's backup";
    const TreeItem *fox = FindItem(items, "Fox Page");
    ASSERT_TRUE(fox);
    SelectTreeItem(tree, fox->handle);
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(picker, IDOK); }));
    WaitPainted(picker);
    CaptureScreen("website-bookmarks-browsers");
    ClickButton(picker, IDOK);
    EXPECT_EQ(FlowResult(), 1u);
    ExpectAssignment("F4", "https://fox.example/", "https://fox.example/", "Fox Page");
}

// ---- end to end ----------------------------------------------------------------------------

// The address Navigator is asked to open: the local alias of a key's address
// goes as a file:// address with '|' for ':' and '/' for '\'.
std::string FileAddress(const std::string &path)
{
    std::string address = "file://" + path;
    for (size_t i = 7; i < address.size(); ++i)
        address[i] = address[i] == ':' ? '|' : address[i] == '\\' ? '/' : address[i];
    return address;
}

TEST_F(WebsiteTest, AssignedSitesOpenOnTheirKeysAndTheAliasStandsInForItsAddress)
{
    std::string log = Scratch() + "\\navigator.log";
    StartProgram(DoublePath("fakebrowser"), "--service NETSCAPE --log \"" + log + "\"");
    const std::pair<UINT, int> keys[] = {{105, IDC_SITE_PATHFINDER}, {106, IDC_SITE_PATHFINDER}, {107, IDC_SITE_CNET}};
    for (const auto &key : keys) {
        HWND dialog = OpenWithPreset(key.first, key.second);
        ASSERT_TRUE(dialog);
        ClickButton(dialog, IDOK);
        ASSERT_EQ(FlowResult(), 1u);
    }
    std::string page = Scratch() + "\\offline.htm";
    WriteText(page, "<html><body>offline</body></html>");
    HWND box = OpenLocalAlias(105);
    ASSERT_TRUE(box);
    ChooseFileInDialog(box, page);
    ASSERT_EQ(FlowResult(), 1u);
    PostMessageA(setup, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitWindowGone(setup));

    auto requested = [&](const std::string &address) {
        return WaitUntil([&] {
            for (const std::string &line : ReadLines(log))
                if (line.rfind("request ", 0) == 0 && line.find(" item=" + address + ",,") != std::string::npos)
                    return true;
            return false;
        });
    };
    ASSERT_TRUE(ShowFocusWindow());
    PressKey(VK_F7);
    const std::string cnet = Setting("command line", "F7");
    EXPECT_TRUE(requested(cnet)) << cnet;
    ASSERT_TRUE(FocusOwnWindow());
    PressKey(VK_F6);
    EXPECT_TRUE(requested(FileAddress(page))) << "the other key with the aliased address";
}

} // namespace
