/* Keystroke playback into the focused window. */
#include "launch/launch.h"

BOOL PlayKeys(const WORD *, DWORD)
{
    /* Filled in with keystroke playback; until then every request is refused. */
    return 0;
}
