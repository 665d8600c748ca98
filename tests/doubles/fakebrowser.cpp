// Fake web browser: a stand-in for Netscape Navigator or Internet Explorer.
// It serves DDE under the service a test chooses, answers the topics
// "WWW_OpenURL" and "WWW_Activate", and logs what happens, one line each:
//
//   argument <QPC ticks> <pid> text=<one argument, as the C runtime splits them>
//   start <QPC ticks> <pid> args=<arguments>   (after its argument lines)
//   ready <QPC ticks> <pid> service=<service>
//   connect <QPC ticks> <pid> service=<service> topic=<topic> conv=<handle>
//   request <QPC ticks> <pid> service=<service> topic=<topic> foreground=yes|no item=<item>
//   disconnect <QPC ticks> <pid> service=<service> conv=<handle>
//   foreground <QPC ticks> <pid> title=<title>
//
// Options:
//   --service NAME   serve DDE as NAME ("NETSCAPE", "IExplore")
//   --title "TEXT"   show a visible top-level window with this title
//   --log PATH       log file (else $FAKEBROWSER_LOG, else fakebrowser.log
//                    beside the exe)
//   --hang           accept conversations, but hang at the first open request
//                    (log it, then never answer anything again)
// Without --service and --title it only logs its start and ends: that is how
// it plays the browser's executable started with an address. Otherwise it
// stays until its window gets WM_CLOSE.
#include "double_common.h"

#include <ddeml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static std::string LogFile;
static std::string ServiceName;
static DWORD DdeId = 0;
static HWND Window = nullptr;
static bool WasForeground = false;
static bool Hang = false;

static void Log(const std::string &event, const std::string &details)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    AppendLogLine(LogFile, event + " " + std::to_string(now.QuadPart) + " " + std::to_string(GetCurrentProcessId()) +
                               " " + details + "\r\n");
}

static std::string Text(HSZ text)
{
    char buffer[1024];
    DWORD n = DdeQueryStringA(DdeId, text, buffer, sizeof buffer, CP_WINANSI);
    return std::string(buffer, n < sizeof buffer ? n : 0);
}

static std::string Handle(HCONV conversation)
{
    char buffer[32];
    snprintf(buffer, sizeof buffer, "%p", static_cast<void *>(conversation));
    return buffer;
}

static bool KnownTopic(const std::string &topic) { return topic == "WWW_OpenURL" || topic == "WWW_Activate"; }

static HDDEDATA CALLBACK DdeCallback(UINT type, UINT format, HCONV conversation, HSZ hsz1, HSZ hsz2, HDDEDATA,
                                     ULONG_PTR, ULONG_PTR)
{
    switch (type) {
    case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(static_cast<UINT_PTR>(KnownTopic(Text(hsz1)) ? TRUE : FALSE));
    case XTYP_CONNECT_CONFIRM:
        Log("connect", "service=" + ServiceName + " topic=" + Text(hsz1) + " conv=" + Handle(conversation));
        return nullptr;
    case XTYP_REQUEST: {
        // Whether our window is in front when the request arrives.
        const char *front = Window && GetForegroundWindow() == Window ? "yes" : "no";
        Log("request",
            "service=" + ServiceName + " topic=" + Text(hsz1) + " foreground=" + front + " item=" + Text(hsz2));
        if (Hang && Text(hsz1) == "WWW_OpenURL")
            Sleep(INFINITE);
        // Navigator answers with the id of the window it used.
        constexpr BYTE answer[] = "1";
        return DdeCreateDataHandle(DdeId, const_cast<BYTE *>(answer), sizeof answer, 0, hsz2, format, 0);
    }
    case XTYP_DISCONNECT:
        Log("disconnect", "service=" + ServiceName + " conv=" + Handle(conversation));
        return nullptr;
    }
    return nullptr;
}

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER: {
        bool foreground = GetForegroundWindow() == window;
        if (foreground && !WasForeground) {
            char title[256];
            GetWindowTextA(window, title, sizeof title);
            Log("foreground", std::string("title=") + title);
        }
        WasForeground = foreground;
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const char *args = ProgramArguments();
    LogFile = OptionValue(args, "--log");
    if (LogFile.empty())
        LogFile = LogPathFor("FAKEBROWSER_LOG", "fakebrowser.log");
    for (int i = 1; i < __argc; ++i)
        Log("argument", std::string("text=") + __argv[i]);
    Log("start", std::string("args=") + args);
    Hang = strstr(args, "--hang") != nullptr;

    ServiceName = OptionValue(args, "--service");
    std::string title = OptionValue(args, "--title");
    if (ServiceName.empty() && title.empty())
        return 0;

    RegisterDoubleClass("FakeBrowser", WindowProc);
    Window = CreateWindowExA(0, "FakeBrowser", title.empty() ? "fake browser" : title.c_str(), WS_OVERLAPPEDWINDOW, 80,
                             80, 360, 220, nullptr, nullptr, instance, nullptr);
    if (!title.empty()) {
        ShowWindow(Window, SW_SHOWNORMAL);
        SetTimer(Window, 1, 20, nullptr);
    }

    HSZ service = nullptr;
    if (!ServiceName.empty()) {
        if (DdeInitializeA(&DdeId, DdeCallback, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                           0) != DMLERR_NO_ERROR)
            return 1;
        service = DdeCreateStringHandleA(DdeId, ServiceName.c_str(), CP_WINANSI);
        if (!DdeNameService(DdeId, service, nullptr, DNS_REGISTER))
            return 1;
    }
    Log("ready", "service=" + ServiceName);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (service) {
        DdeNameService(DdeId, service, nullptr, DNS_UNREGISTER);
        DdeFreeStringHandle(DdeId, service);
    }
    if (DdeId)
        DdeUninitialize(DdeId);
    return 0;
}
