// Opens every context of springdeck.hlp through WinHelpA, as Springdeck's
// Help buttons do, and checks in the help viewer's own window that each topic
// shows its title and its text, and that no error box came up. The expected
// text is read from the same file with the generator's reader. The same
// contexts of springdeck.chm go through HtmlHelpA at the end.
#include <windows.h>
#include <htmlhelp.h>

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <string>

#include "core/core.h"
#include "hlpgen.h"

constexpr char ViewerClass[] = "MS_WINHELP";
constexpr DWORD DEADLINE_MS = 30000;

static std::string HelpPath()
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(SD_HELP_FILE, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full) : std::string();
}

// Whitespace runs become one space, so that line ends of any kind compare equal.
static std::string Squeeze(const std::string &text)
{
    std::string out;
    for (char c : text) {
        bool space = std::isspace(static_cast<unsigned char>(c)) != 0;
        if (space && (out.empty() || out.back() == ' '))
            continue;
        out += space ? ' ' : c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

static std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The text of a window in another process, through WM_GETTEXT.
static std::string RemoteText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return "";
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                             2000, &copied))
        return "";
    text.resize(copied < length ? copied : length);
    return text;
}

// Everything the viewer's rich-text panes show, in window order.
static BOOL CALLBACK CollectPaneText(HWND child, LPARAM param)
{
    std::string name = ClassOf(child);
    for (char &c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.rfind("richedit", 0) == 0)
        *reinterpret_cast<std::string *>(param) += RemoteText(child) + "\n";
    return TRUE;
}

static std::string ShownText()
{
    HWND viewer = FindWindowA(ViewerClass, nullptr);
    std::string text;
    if (viewer)
        EnumChildWindows(viewer, CollectPaneText, reinterpret_cast<LPARAM>(&text));
    return Squeeze(text);
}

// Visible dialog boxes of other processes: the viewer reports load errors in
// one. Each box found is described and then dismissed.
static BOOL CALLBACK CollectErrorBox(HWND window, LPARAM param)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId() && IsWindowVisible(window) && ClassOf(window) == "#32770") {
        std::string &boxes = *reinterpret_cast<std::string *>(param);
        char caption[256] = "";
        GetWindowTextA(window, caption, sizeof caption);
        boxes += std::string("[") + caption + "]";
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char text[256] = "";
            GetWindowTextA(child, text, sizeof text);
            boxes += std::string(" ") + text;
        }
        // Answer with the box's own way out: Cancel, No (as in "find this file
        // yourself?") or OK.
        int answer = GetDlgItem(window, IDCANCEL) ? IDCANCEL : GetDlgItem(window, IDNO) ? IDNO : IDOK;
        PostMessageA(window, WM_COMMAND, answer, 0);
    }
    return TRUE;
}

static std::string TakeErrorBoxes()
{
    std::string boxes;
    EnumWindows(CollectErrorBox, reinterpret_cast<LPARAM>(&boxes));
    return boxes;
}

struct HelpCall {
    HWND owner;
    std::string path;
    UINT command;
    DWORD data;
    bool result;
};

static DWORD WINAPI CallWinHelp(LPVOID param)
{
    HelpCall *call = static_cast<HelpCall *>(param);
    call->result = WinHelpA(call->owner, call->path.c_str(), call->command, call->data) != FALSE;
    return 0;
}

// Calls WinHelpA as Springdeck does. WinHelpA returns only when the viewer
// has handled the request, which it does not while its error box is up, so
// the call runs on a thread of its own and the test watches for such a box.
static void RunWinHelp(HWND owner, const std::string &path, UINT command, DWORD data)
{
    HelpCall *call = new HelpCall{owner, path, command, data, false};
    HANDLE thread = CreateThread(nullptr, 0, CallWinHelp, call, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    std::string boxes;
    DWORD start = GetTickCount();
    bool finished = false;
    while (!finished && GetTickCount() - start < DEADLINE_MS) {
        finished = WaitForSingleObject(thread, 100) == WAIT_OBJECT_0;
        boxes += TakeErrorBoxes();
    }
    CloseHandle(thread);
    EXPECT_EQ(boxes, "") << "WinHelpA command " << command << " " << data;
    EXPECT_TRUE(finished) << "WinHelpA command " << command << " " << data << " did not return";
    if (!finished)
        return; // the thread still uses the call: leave it
    EXPECT_TRUE(call->result);
    delete call;
}

struct ExpectedTopic {
    uint32_t context;
    std::string title;
    std::string text; // squeezed
};

static bool ExpectedTopics(std::vector<ExpectedTopic> *expected, std::string *error)
{
    std::ifstream in(SD_HELP_FILE, std::ios::binary);
    HlpBytes image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<HelpInternalFile> files;
    std::vector<ReadTopicInfo> topics;
    if (!ReadHelpImage(image, &files, error) || !ReadTopics(files, &topics, error))
        return false;
    for (uint32_t context : {100u, 106u, 107u, 108u, 109u, 110u, 111u}) {
        uint32_t offset;
        const ReadTopicInfo *topic = FindMapId(files, context, &offset) ? TopicAtOffset(topics, offset) : nullptr;
        if (!topic) {
            *error = "no topic for context " + std::to_string(context);
            return false;
        }
        expected->push_back({context, topic->title, Squeeze(topic->text)});
    }
    return true;
}

// Waits until the viewer shows the topic, or an error box appears, or time runs out.
static void WaitForTopic(const ExpectedTopic &topic)
{
    DWORD start = GetTickCount();
    std::string shown, boxes;
    while (GetTickCount() - start < DEADLINE_MS) {
        shown = ShownText();
        boxes += TakeErrorBoxes();
        if (!boxes.empty() || shown.rfind(topic.title, 0) == 0)
            break;
        Sleep(100);
    }
    EXPECT_EQ(boxes, "") << "context " << topic.context;
    ASSERT_EQ(shown.rfind(topic.title, 0), 0u) << "context " << topic.context << " shows: " << shown.substr(0, 200);
    EXPECT_NE(shown.find(topic.text), std::string::npos) << "context " << topic.context << " shows: " << shown;
}

static void WaitForViewerToClose()
{
    DWORD start = GetTickCount();
    while (FindWindowA(ViewerClass, nullptr) && GetTickCount() - start < DEADLINE_MS)
        Sleep(100);
    EXPECT_EQ(FindWindowA(ViewerClass, nullptr), nullptr);
}

TEST(HlpViewer, WinHelpShowsEveryContextTopic)
{
    std::vector<ExpectedTopic> expected;
    std::string error;
    ASSERT_TRUE(ExpectedTopics(&expected, &error)) << error;
    const std::string path = HelpPath();
    ASSERT_FALSE(path.empty());

    HWND owner = CreateWindowExA(0, "STATIC", "hlpgen viewer test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    // In the order a user might press them; the viewer window is reused.
    for (const ExpectedTopic &topic : expected) {
        RunWinHelp(owner, path, HELP_CONTEXT, topic.context);
        WaitForTopic(topic);
    }
    RunWinHelp(owner, path, HELP_CONTEXT, 100);
    WaitForTopic(expected[0]);

    RunWinHelp(owner, path, HELP_QUIT, 0);
    WaitForViewerToClose();
    DestroyWindow(owner);
}

// springdeck.chm in Wine's HTML Help viewer (hhctrl.ocx), called as Springdeck
// calls it. Without Wine's Gecko no page is drawn, but the window, titled from
// the file, opens only for a context number the file maps.
static bool HtmlHelpWindowOpen()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    return FindWindowA("HH Parent", nullptr) != nullptr;
}

TEST(HlpViewer, HtmlHelpOpensTheChmAtEveryContext)
{
    char chm[MAX_PATH];
    ASSERT_GT(GetFullPathNameA(SD_CHM_FILE, MAX_PATH, chm, nullptr), 0u);
    using HtmlHelpFunction = HWND(WINAPI *)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
    auto htmlHelp = ProcAddress<HtmlHelpFunction>(LoadLibraryA("hhctrl.ocx"), "HtmlHelpA");
    ASSERT_NE(htmlHelp, nullptr);
    EXPECT_EQ(htmlHelp(nullptr, chm, HH_HELP_CONTEXT, 101), nullptr);
    EXPECT_FALSE(HtmlHelpWindowOpen());
    for (DWORD context : {100u, 106u, 107u, 108u, 109u, 110u, 111u}) {
        HWND window = htmlHelp(nullptr, chm, HH_HELP_CONTEXT, context);
        ASSERT_NE(window, nullptr) << context;
        EXPECT_EQ(ClassOf(window), "HH Parent");
        EXPECT_EQ(RemoteText(window), "Springdeck Help") << context;
        EXPECT_TRUE(IsWindowVisible(window)) << context;
    }
    htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    DWORD start = GetTickCount();
    while (HtmlHelpWindowOpen() && GetTickCount() - start < DEADLINE_MS)
        Sleep(50);
    EXPECT_FALSE(HtmlHelpWindowOpen());
}
