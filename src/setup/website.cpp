/* "Assign a WebSite". */
#include "setup/setup.h"

INT_PTR AssignWebsite(HWND, UINT)
{
    /* Filled in with web site assignment; until then nothing changes. */
    return IDCANCEL;
}
