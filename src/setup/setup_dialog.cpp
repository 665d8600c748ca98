/* The setup dialog (DLG_SETUP). */
#include "setup/setup.h"

INT_PTR CALLBACK SetupDialog(HWND, UINT, WPARAM, LPARAM)
{
    /* The dialog and its template arrive with the setup dialog itself. */
    return FALSE;
}
