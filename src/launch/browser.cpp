/* Opening web addresses in Netscape Navigator or Internet Explorer over DDE. */
#include "launch/launch.h"

int OpenUrlInBrowser(const char *)
{
    /* Filled in with browser launching. */
    return 0;
}
