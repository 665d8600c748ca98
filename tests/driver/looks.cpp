// Driver: what a control shows on the screen (icons compared pixel by pixel),
// tooltips shown by hovering, dialog units, and windows of a named program.
#include "driver.h"

#include <cstdlib>

namespace driver {

HICON LoadModuleIcon(const std::string &module, int id)
{
    HMODULE data = LoadLibraryExA(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!data)
        return nullptr;
    HICON icon = static_cast<HICON>(LoadImageA(data, MAKEINTRESOURCEA(id), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                               GetSystemMetrics(SM_CYICON), 0));
    FreeLibrary(data);
    return icon;
}

std::vector<DWORD> GrabPixels(HDC source, int x, int y, int width, int height)
{
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<DWORD> pixels;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
        GdiFlush();
        pixels.assign(static_cast<DWORD *>(bits), static_cast<DWORD *>(bits) + static_cast<size_t>(width) * height);
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    return pixels;
}

static std::vector<DWORD> IconPixels(HICON icon, COLORREF background, int size)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(memory, canvas);
    RECT all = {0, 0, size, size};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    std::vector<DWORD> pixels = GrabPixels(memory, 0, 0, size, size);
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

static bool Near(DWORD a, DWORD b)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 24)
            return false;
    return true;
}

bool ShowsIcon(HWND window, HICON icon, COLORREF background)
{
    const int size = GetSystemMetrics(SM_CXICON);
    RECT rect;
    if (!icon || !GetWindowRect(window, &rect))
        return false;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width < size || height < size)
        return false;
    std::vector<DWORD> want = IconPixels(icon, background, size);
    HDC screen = GetDC(nullptr);
    std::vector<DWORD> have = GrabPixels(screen, rect.left, rect.top, width, height);
    ReleaseDC(nullptr, screen);
    if (want.empty() || have.empty())
        return false;
    for (int top = 0; top + size <= height; ++top) {
        for (int left = 0; left + size <= width; ++left) {
            bool same = true;
            for (int y = 0; y < size && same; ++y)
                for (int x = 0; x < size && same; ++x)
                    same = Near(want[static_cast<size_t>(y) * size + x],
                                have[static_cast<size_t>(top + y) * width + left + x]);
            if (same)
                return true;
        }
    }
    return false;
}

bool WaitShowsIcon(HWND window, HICON icon, DWORD timeoutMs)
{
    return WaitUntil([&] { return ShowsIcon(window, icon); }, timeoutMs);
}

// ---- tooltips ---------------------------------------------------------------

static void MoveMouseTo(int x, int y)
{
    SetCursorPos(x, y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (x * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = (y * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// A visible tooltip window of the process, with its text.
static HWND VisibleTip(DWORD processId)
{
    for (HWND window : TopWindowsOfProcess(processId, true))
        if (ClassName(window) == "tooltips_class32")
            return window;
    return nullptr;
}

void MoveMouseAway() { MoveMouseTo(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2); }

std::string HoverTip(HWND control, DWORD timeoutMs)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(control, &processId);
    MoveMouseAway();
    WaitUntil([&] { return VisibleTip(processId) == nullptr; }, 3000);
    RECT rect;
    GetWindowRect(control, &rect);
    int x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2;
    MoveMouseTo(x - 1, y);
    MoveMouseTo(x, y);
    std::string text;
    WaitUntil(
        [&] {
            HWND tip = VisibleTip(processId);
            if (!tip)
                return false;
            text = WindowText(tip);
            return !text.empty();
        },
        timeoutMs);
    return text;
}

// ---- dialog units -------------------------------------------------------------

DialogUnits MeasureDialogUnits(HWND dialog, int widthDu, int heightDu)
{
    RECT client;
    GetClientRect(dialog, &client);
    DialogUnits units = {0, 0};
    for (int base = 1; base < 64 && !units.x; ++base)
        if (MulDiv(widthDu, base, 4) == client.right)
            units.x = base;
    for (int base = 1; base < 64 && !units.y; ++base)
        if (MulDiv(heightDu, base, 8) == client.bottom)
            units.y = base;
    return units;
}

RECT DialogUnitsToPixels(const DialogUnits &units, int x, int y, int width, int height)
{
    RECT rect = {MulDiv(x, units.x, 4), MulDiv(y, units.y, 8), 0, 0};
    rect.right = rect.left + MulDiv(width, units.x, 4);
    rect.bottom = rect.top + MulDiv(height, units.y, 8);
    return rect;
}

RECT ClientRectOfChild(HWND dialog, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

// ---- programs by name -------------------------------------------------------

HWND WaitForWindowOfProgram(const char *exeName, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (DWORD id : ProcessIdsNamed(exeName)) {
                std::vector<HWND> windows = TopWindowsOfProcess(id, true);
                if (!windows.empty()) {
                    found = windows.front();
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

} // namespace driver
