/* Sending web addresses to the America Online client. */
#include "launch/launch.h"

int OpenUrlInAol(const char *)
{
    /* Filled in with the America Online route. */
    return 0;
}
