/* Process-wide state of the resident program; see core.h for who sets what. */
#include "core/core_internal.h"

HINSTANCE AppInstance = nullptr;
HWND MainWindow = nullptr;
DWORD DdeInstance = 0;
HCONV BrowserConversation = nullptr;

HDDEDATA CALLBACK DdeCallback(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    if (type == XTYP_DISCONNECT)
        BrowserConversation = nullptr;
    return nullptr;
}
