// Driver: a stand-in help viewer. WinHelpA hands its request to the window of
// class "MS_WINHELP" (starting winhlp32 only when there is none) as a
// WM_COPYDATA block; a window of that class in the test process records the
// requests instead of showing help.
#include "driver.h"

#include "../doubles/double_common.h"

namespace driver {

// The request block as WinHelpA sends it.
#pragma pack(push, 1)
struct WinHelpBlock {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD fileOffset;
    WORD dataOffset;
};
#pragma pack(pop)

static HWND HelpWindow = nullptr;
static std::vector<HelpRequest> Requests;

static LRESULT CALLBACK HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT *copy = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
        if (copy && copy->lpData && copy->cbData >= sizeof(WinHelpBlock)) {
            const WinHelpBlock *block = static_cast<const WinHelpBlock *>(copy->lpData);
            HelpRequest request = {block->command, static_cast<DWORD>(block->data), ""};
            if (block->fileOffset && block->fileOffset < copy->cbData)
                request.file = std::string(static_cast<const char *>(copy->lpData) + block->fileOffset,
                                           strnlen(static_cast<const char *>(copy->lpData) + block->fileOffset,
                                                   copy->cbData - block->fileOffset));
            Requests.push_back(request);
        }
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool StartHelpCapture()
{
    Requests.clear();
    if (HelpWindow)
        return true;
    RegisterDoubleClass("MS_WINHELP", HelpWindowProc, nullptr);
    HelpWindow = CreateWindowExA(0, "MS_WINHELP", "help capture", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    return HelpWindow != nullptr;
}

void StopHelpCapture()
{
    if (HelpWindow)
        DestroyWindow(HelpWindow);
    HelpWindow = nullptr;
    Requests.clear();
}

std::vector<HelpRequest> HelpRequests() { return Requests; }

} // namespace driver
