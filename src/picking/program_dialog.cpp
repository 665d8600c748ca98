/* "Assign a software program". */
#include "picking/picking.h"

INT_PTR PickProgram(HWND, UINT)
{
    /* Filled in with the program assignment dialog; until then nothing changes. */
    return IDCANCEL;
}
