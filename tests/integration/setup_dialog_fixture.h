// Common ground of the setup dialog's tests: opening the dialog, checking
// key faces against the program's own icons, and the Run values.
#pragma once

#include "fixture.h"
#include "setup/setup_internal.h"

constexpr char SetupTitle[] = "Springdeck from Tolvane Keyboards";
constexpr char ChooserTitle[] = "Springdeck Setup";

// One control of a dialog template, in template order. A width of 0 checks
// the position only (an icon static takes the size of its icon); no text
// leaves the text unchecked (an icon static named by a resource number holds
// that number in a form of the system's own).
struct ControlRow {
    int id;
    const char *className;
    const char *text;
    int x, y, width, height;
};

class SetupDialogFixture : public SpringdeckTest {
protected:
    // The dialog's client area measures widthDu x heightDu dialog units and
    // its child windows are the rows, in this order, with these texts and
    // places.
    static void ExpectLayout(HWND dialog, int widthDu, int heightDu, const ControlRow *rows, size_t count)
    {
        driver::DialogUnits units = driver::MeasureDialogUnits(dialog, widthDu, heightDu);
        ASSERT_TRUE(units.x && units.y) << "client size is not " << widthDu << " x " << heightDu << " dialog units";
        HWND child = GetWindow(dialog, GW_CHILD);
        for (size_t i = 0; i < count; ++i) {
            const ControlRow &row = rows[i];
            SCOPED_TRACE(row.text);
            ASSERT_TRUE(child) << "fewer controls than the layout has";
            EXPECT_EQ(static_cast<short>(GetDlgCtrlID(child)), row.id);
            EXPECT_EQ(lstrcmpiA(driver::ClassName(child).c_str(), row.className), 0) << driver::ClassName(child);
            if (row.text)
                EXPECT_EQ(driver::WindowText(child), row.text);
            RECT want = driver::DialogUnitsToPixels(units, row.x, row.y, row.width, row.height);
            RECT have = driver::ClientRectOfChild(dialog, child);
            EXPECT_EQ(have.left, want.left);
            EXPECT_EQ(have.top, want.top);
            if (row.width) {
                EXPECT_EQ(have.right, want.right);
                EXPECT_EQ(have.bottom, want.bottom);
            }
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_FALSE(child) << "more controls than the layout has";
    }

    void SetUp() override { SpringdeckTest::SetUp(); }

    void TearDown() override
    {
        SpringdeckTest::TearDown();
        driver::KillProcessesNamed("winhlp32.exe");
        if (userRunKeyLocked)
            driver::DenyWrites(HKEY_CURRENT_USER, driver::RunKeyPath, false);
        driver::DeleteValue(HKEY_CURRENT_USER, driver::RunKeyPath, "Springdeck");
        if (runKeyTaken)
            driver::RestoreKey(HKEY_LOCAL_MACHINE, driver::RunKeyPath, savedRunKey);
    }

    // Removes the machine's Run key, as if the user could not write there;
    // the test's end puts it back.
    void TakeAwayMachineRunKey()
    {
        savedRunKey = driver::SaveKey(HKEY_LOCAL_MACHINE, driver::RunKeyPath);
        runKeyTaken = true;
        driver::DeleteTree(HKEY_LOCAL_MACHINE, driver::RunKeyPath);
    }

    // Starts Springdeck when needed and opens the setup dialog from the tray
    // menu's command.
    HWND OpenSetup()
    {
        if (!mainWindow)
            mainWindow = Start();
        if (!mainWindow)
            return nullptr;
        PostMessageA(mainWindow, WM_COMMAND, IDM_SETUP, 0);
        HWND dialog = driver::WaitForWindow("#32770", SetupTitle);
        EXPECT_TRUE(dialog) << "the setup dialog did not open";
        return dialog;
    }

    HWND Start()
    {
        mainWindow = SpringdeckTest::Start("", SW_SHOWNORMAL, "", program);
        return mainWindow;
    }

    // From now on Start runs a copy of the program, under this file name, in
    // a folder of its own with the Windows Help file and without the HTML
    // Help file: help then goes to WinHelp.
    bool UseProgramWithoutChm(const std::string &name = "springdeck")
    {
        std::string folder = driver::ScratchDir();
        program = folder + "\\" + name + ".exe";
        return driver::CopyFileTo(driver::SpringdeckExe(), program) &&
               driver::CopyFileTo(driver::BuildDir() + "\\springdeck.hlp", folder + "\\" + name + ".hlp");
    }

    // The HTML Help window that Springdeck opened, titled from springdeck.chm.
    HWND WaitForHtmlHelp()
    {
        HWND help = driver::WaitForWindow("HH Parent", "Springdeck Help");
        DWORD owner = 0;
        GetWindowThreadProcessId(help, &owner);
        return help && owner == springdeck.id ? help : nullptr;
    }

    // The window shows the program's icon resource.
    static bool ShowsFaceIcon(HWND window, int iconId, COLORREF background = GetSysColor(COLOR_BTNFACE))
    {
        HICON icon = driver::LoadModuleIcon(driver::SpringdeckExe(), iconId);
        bool shown = driver::WaitUntil([&] { return driver::ShowsIcon(window, icon, background); }, 3000);
        DestroyIcon(icon);
        return shown;
    }

    static void WriteRunValue(HKEY root, const std::string &path)
    {
        driver::WriteString(root, driver::RunKeyPath, "Springdeck", path);
    }

    // The value holds this program's path in quotes, padded with zeros to 260 bytes.
    static void ExpectRunValueIsThisProgram(HKEY root)
    {
        DWORD type = 0;
        std::vector<BYTE> data;
        ASSERT_TRUE(driver::ReadValue(root, driver::RunKeyPath, "Springdeck", &type, &data));
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(data.size(), 260u);
        std::string path(data.begin(), data.end());
        path = path.substr(0, path.find('\0'));
        EXPECT_EQ(lstrcmpiA(path.c_str(), ("\"" + driver::SpringdeckExe() + "\"").c_str()), 0) << path;
    }

    HWND mainWindow = nullptr;
    std::string program; // empty: build\springdeck.exe
    driver::SavedKey savedRunKey;
    bool runKeyTaken = false;
    bool userRunKeyLocked = false; // DenyWrites on the user's Run key, undone at the end
};
