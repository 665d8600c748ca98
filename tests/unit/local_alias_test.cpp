// Choosing a local alias, with the Open File dialog played by the test.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <commdlg.h>

#include <string>
#include <vector>

#include "settings/settings.h"
#include "setup/setup_internal.h"

namespace {

std::vector<std::string> Shown; // the file name each dialog opened with

// Refuses a stored name as Windows does when it cannot show it; then takes a file.
bool RefuseStoredName(OPENFILENAMEA *open, DWORD *error)
{
    Shown.emplace_back(open->lpstrFile);
    *error = FNERR_INVALIDFILENAME;
    if (open->lpstrFile[0] == '\0')
        lstrcpynA(open->lpstrFile, "C:\\pages\\news.htm", static_cast<int>(open->nMaxFile));
    return Shown.back().empty();
}

TEST(LocalAlias, DialogThatRefusesTheStoredNameOpensAgainEmpty)
{
    WriteSettingString("alias", "http://news.example/", "C:\\gone\\<bad>.htm");
    SetOpenFileDialog(RefuseStoredName);
    ChooseLocalAlias(nullptr, "http://news.example/");
    SetOpenFileDialog(nullptr);
    char alias[MAX_PATH];
    ReadSettingString("alias", "http://news.example/", "", alias, sizeof alias);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tolvane Keyboards");

    EXPECT_EQ(Shown, (std::vector<std::string>{"C:\\gone\\<bad>.htm", ""}));
    EXPECT_STREQ(alias, "C:\\pages\\news.htm");
}

} // namespace
