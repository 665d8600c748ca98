/* Starting programs and documents through the shell, or bringing a running
 * copy of a program to the front. */
#include "launch/launch.h"

void LaunchProgram(HWND, const char *, const char *)
{
    /* Filled in with program launching. */
}
