// Driver: what the Windows Help viewer (winhlp32) shows.
#include "driver.h"

#include <cctype>

namespace driver {

static BOOL CALLBACK CollectPaneText(HWND child, LPARAM param)
{
    std::string name = ClassName(child);
    for (char &c : name)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    if (name.rfind("richedit", 0) == 0)
        *reinterpret_cast<std::string *>(param) += WindowText(child) + "\n";
    return TRUE;
}

std::string HelpViewerText()
{
    HWND viewer = FindWindowA("MS_WINHELP", nullptr);
    std::string text;
    if (viewer)
        EnumChildWindows(viewer, CollectPaneText, reinterpret_cast<LPARAM>(&text));
    // Runs of white space fold to one blank.
    std::string out;
    for (char c : text) {
        bool space = isspace(static_cast<unsigned char>(c)) != 0;
        if (space && (out.empty() || out.back() == ' '))
            continue;
        out += space ? ' ' : c;
    }
    return out;
}

bool WaitForHelpTopic(const std::string &title, DWORD timeoutMs)
{
    return WaitUntil([&] { return HelpViewerText().rfind(title, 0) == 0; }, timeoutMs);
}

} // namespace driver
