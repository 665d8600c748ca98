/* "Select Local Alias": a local HTML file that opens instead of an address. */
#include "setup/setup.h"

void ChooseLocalAlias(HWND, const char *)
{
    /* Filled in with web site assignment. */
}
