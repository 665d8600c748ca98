// Driver: finding windows, dialogs and controls, and capturing the screen.
#include "driver.h"

#include <cstdio>

namespace driver {

struct FindRequest {
    const char *className;
    const char *title;
    HWND found;
};

static BOOL CALLBACK FindTopProc(HWND window, LPARAM lParam)
{
    FindRequest *request = reinterpret_cast<FindRequest *>(lParam);
    if (!IsWindowVisible(window))
        return TRUE;
    if (request->className && ClassName(window) != request->className)
        return TRUE;
    if (request->title && WindowText(window) != request->title)
        return TRUE;
    request->found = window;
    return FALSE;
}

HWND FindTopWindow(const char *className, const char *title)
{
    FindRequest request = {className, title, nullptr};
    EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

HWND WaitForWindow(const char *className, const char *title, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(className, title)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitWindowGone(HWND window, DWORD timeoutMs)
{
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

struct ProcessWindows {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

static BOOL CALLBACK ProcessWindowsProc(HWND window, LPARAM lParam)
{
    ProcessWindows *request = reinterpret_cast<ProcessWindows *>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == request->processId && (!request->visibleOnly || IsWindowVisible(window)))
        request->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopWindowsOfProcess(DWORD processId, bool visibleOnly)
{
    ProcessWindows request = {processId, visibleOnly, {}};
    EnumWindows(ProcessWindowsProc, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

std::string WindowText(HWND window)
{
    char text[1024];
    text[0] = '\0';
    // WM_GETTEXT works across processes for every window class we look at.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, ScaledWait(5000),
                        nullptr);
    text[sizeof text - 1] = '\0';
    return text;
}

std::string Ansi(const wchar_t *text)
{
    char bytes[1024];
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, bytes, sizeof bytes, "?", nullptr);
    return std::string(bytes, n > 0 ? n - 1 : 0);
}

std::wstring Wide(const std::string &text)
{
    std::wstring wide(text.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    return wide.substr(0, n > 0 ? n - 1 : 0);
}

std::string ClassName(HWND window)
{
    char name[256];
    if (!GetClassNameA(window, name, sizeof name))
        return "";
    return name;
}

std::string ItemText(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? WindowText(item) : "";
}

void ClickButton(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    if (item)
        PostMessageA(item, BM_CLICK, 0, 0);
}

std::string MessageBoxText(HWND box)
{
    // The message text is the static control with id 0xFFFF.
    return ItemText(box, 0xFFFF);
}

// ---- PNG writer --------------------------------------------------------------
// Stored (uncompressed) deflate blocks keep this small; screenshots are only
// for people to look at.

static DWORD Crc32(const BYTE *data, size_t size, DWORD crc = 0)
{
    static DWORD table[256];
    static bool ready = false;
    if (!ready) {
        for (DWORD n = 0; n < 256; ++n) {
            DWORD c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

static void PutBig32(std::vector<BYTE> &out, DWORD v)
{
    out.push_back(static_cast<BYTE>(v >> 24));
    out.push_back(static_cast<BYTE>(v >> 16));
    out.push_back(static_cast<BYTE>(v >> 8));
    out.push_back(static_cast<BYTE>(v));
}

static void PutChunk(std::vector<BYTE> &out, const char *type, const std::vector<BYTE> &data)
{
    PutBig32(out, static_cast<DWORD>(data.size()));
    std::vector<BYTE> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBig32(out, Crc32(body.data(), body.size()));
}

static bool WritePng(const std::string &path, int width, int height, const std::vector<BYTE> &rgbRows)
{
    std::vector<BYTE> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<BYTE> header;
    PutBig32(header, static_cast<DWORD>(width));
    PutBig32(header, static_cast<DWORD>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB
    PutChunk(png, "IHDR", header);

    std::vector<BYTE> zlib = {0x78, 0x01};
    DWORD a = 1, b = 0;
    for (BYTE byte : rgbRows) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    size_t pos = 0;
    do {
        size_t n = rgbRows.size() - pos;
        if (n > 65535)
            n = 65535;
        bool last = pos + n == rgbRows.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<BYTE>(n));
        zlib.push_back(static_cast<BYTE>(n >> 8));
        zlib.push_back(static_cast<BYTE>(~n));
        zlib.push_back(static_cast<BYTE>(~n >> 8));
        zlib.insert(zlib.end(), rgbRows.begin() + pos, rgbRows.begin() + pos + n);
        pos += n;
    } while (pos < rgbRows.size());
    PutBig32(zlib, (b << 16) | a);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});

    FILE *file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = fwrite(png.data(), 1, png.size(), file) == png.size();
    fclose(file);
    return ok;
}

bool CaptureScreen(const std::string &name)
{
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    std::vector<DWORD> pixels = GrabPixels(screen, 0, 0, width, height);
    ReleaseDC(nullptr, screen);
    if (pixels.empty())
        return false;

    std::vector<BYTE> rows;
    rows.reserve(static_cast<size_t>(height) * (width * 3 + 1));
    for (int y = 0; y < height; ++y) {
        rows.push_back(0); // no filter
        const DWORD *p = &pixels[static_cast<size_t>(y) * width];
        for (int x = 0; x < width; ++x, ++p) {
            rows.push_back(static_cast<BYTE>(*p >> 16));
            rows.push_back(static_cast<BYTE>(*p >> 8));
            rows.push_back(static_cast<BYTE>(*p));
        }
    }
    std::string dir = BuildDir() + "\\screens";
    CreateDirectoryA(dir.c_str(), nullptr);
    return WritePng(dir + "\\" + name + ".png", width, height, rows);
}

} // namespace driver
