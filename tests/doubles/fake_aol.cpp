// Fake America Online client: an "AOL Frame25" main window with an MDI client
// that holds a welcome window and, on request, a web window. The web window
// has a "_AOL_WWWView" page view and a "_AOL_Combobox" address box whose first
// child is the edit field that receives typed addresses.
//
//   fake_aol.exe [--web] [--no-field] [--keys] [--log FILE]
//     --web       open a web window
//     --keys      also log every key event in the field with its QPC time
//     --no-field  the web window's address box has no child window
//     --log FILE  where to log (default: aol.log beside the exe)
//
// Log lines: "ready", "activate" (the web window became the active MDI child),
// "focus" (the field got the focus), "settext <text>" (the field's text was
// set), "enter <text>" (Enter pressed in the field, with the field's text),
// with --keys "key <QPC ticks> <QPC frequency> down|up <vk>".
#include "double_common.h"

#include <string>

static std::string LogFile;
static WNDPROC EditProc = nullptr;
static HWND MdiClient = nullptr;
static bool LogKeys = false;

static void Log(const std::string &text) { AppendLogLine(LogFile, text + "\r\n"); }

static std::string TextOf(HWND window)
{
    char text[1024];
    GetWindowTextA(window, text, sizeof text);
    return text;
}

static void LogKey(UINT message, WPARAM vk)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    Log("key " + std::to_string(now.QuadPart) + " " + std::to_string(frequency.QuadPart) +
        (message == WM_KEYDOWN || message == WM_SYSKEYDOWN ? " down " : " up ") + std::to_string(vk));
}

static LRESULT CALLBACK FieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LogKeys && message >= WM_KEYDOWN && message <= WM_SYSKEYUP && message != WM_CHAR && message != WM_DEADCHAR &&
        message != WM_SYSCHAR)
        LogKey(message, wParam);
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            Log("enter " + TextOf(window));
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r')
            return 0; // no beep
        break;
    case WM_SETFOCUS:
        Log("focus");
        break;
    case WM_SETTEXT: {
        LRESULT result = CallWindowProcA(EditProc, window, message, wParam, lParam);
        Log(std::string("settext ") + (lParam ? reinterpret_cast<const char *>(lParam) : ""));
        return result;
    }
    }
    return CallWindowProcA(EditProc, window, message, wParam, lParam);
}

static LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

static LRESULT CALLBACK WebWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        auto *mdi = static_cast<MDICREATESTRUCTA *>(reinterpret_cast<CREATESTRUCTA *>(lParam)->lpCreateParams);
        bool field = mdi->lParam != 0;
        CreateWindowExA(0, "_AOL_Icon", "", WS_CHILD | WS_VISIBLE, 4, 4, 24, 24, window, nullptr, instance, nullptr);
        HWND box = CreateWindowExA(0, "_AOL_Combobox", "", WS_CHILD | WS_VISIBLE, 32, 4, 300, 24, window, nullptr,
                                   instance, nullptr);
        if (field) {
            HWND edit =
                CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "http://old.example/", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                                0, 0, 300, 24, box, nullptr, instance, nullptr);
            EditProc =
                reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProc)));
        }
        CreateWindowExA(0, "_AOL_WWWView", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 4, 32, 400, 200, window, nullptr,
                        instance, nullptr);
        break;
    }
    case WM_MDIACTIVATE:
        if (reinterpret_cast<HWND>(lParam) == window)
            Log("activate");
        break;
    }
    return DefMDIChildProcA(window, message, wParam, lParam);
}

static LRESULT CALLBACK WelcomeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefMDIChildProcA(window, message, wParam, lParam);
}

static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        CLIENTCREATESTRUCT client = {nullptr, 1000};
        MdiClient = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                    0, 0, 0, window, nullptr, GetModuleHandleA(nullptr), &client);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefFrameProcA(window, MdiClient, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int show)
{
    std::string args = commandLine;
    LogFile = OptionValue(commandLine, "--log");
    LogKeys = args.find("--keys") != std::string::npos;
    if (LogFile.empty())
        LogFile = LogPathFor("FAKE_AOL_LOG", "aol.log");

    HBRUSH face = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterDoubleClass("AOL Frame25", FrameProc, face);
    RegisterDoubleClass("AOL Child", WebWindowProc, face);
    RegisterDoubleClass("AOL Welcome", WelcomeProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    RegisterDoubleClass("_AOL_Icon", PlainProc, reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1));
    RegisterDoubleClass("_AOL_Combobox", PlainProc, face);
    RegisterDoubleClass("_AOL_WWWView", PlainProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));

    HWND frame = CreateWindowExA(0, "AOL Frame25", "America Online", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 560,
                                 400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    CreateMDIWindowA("AOL Welcome", "Welcome", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, 10, 10, 200, 120, MdiClient,
                     GetModuleHandleA(nullptr), 0);
    if (args.find("--web") != std::string::npos) {
        bool field = args.find("--no-field") == std::string::npos;
        CreateMDIWindowA("AOL Child", "Web", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, 60, 60, 440, 260, MdiClient,
                         GetModuleHandleA(nullptr), field);
        // Another window on top, so that activating the web window shows.
        CreateMDIWindowA("AOL Welcome", "Mail", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, 30, 30, 200, 120,
                         MdiClient, GetModuleHandleA(nullptr), 0);
    }
    ShowWindow(frame, show);
    UpdateWindow(frame);
    Log("ready");

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateMDISysAccel(MdiClient, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
