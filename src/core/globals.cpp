/* Process-wide state of the resident program; see core.h for who sets what. */
#include "core/core_internal.h"

HINSTANCE AppInstance = NULL;
HWND MainWindow = NULL;
UINT CloseMessage = 0;
HANDLE InstanceMutex = NULL;
DWORD DdeInstance = 0;
HCONV BrowserConversation = NULL;

HDDEDATA CALLBACK DdeCallback(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    if (type == XTYP_DISCONNECT)
        BrowserConversation = NULL;
    return 0;
}
