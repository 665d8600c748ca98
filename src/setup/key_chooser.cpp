/* The key action chooser. */
#include "setup/setup.h"

INT_PTR ConfigureKey(HWND, UINT)
{
    /* Filled in with the setup dialog. */
    return IDCANCEL;
}
