// Baseline for the footprint benchmark: the smallest resident Win32 program,
// a hidden window and a message loop, ended by WM_CLOSE.
#include <windows.h>

static LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MinimalProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "SpringdeckBenchMinimal";
    RegisterClassA(&windowClass);
    CreateWindowExA(0, "SpringdeckBenchMinimal", "SpringdeckBenchMinimal", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr,
                    nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
