/* Key action dispatch: decodes a pressed key's stored assignment and hands
 * it to its launcher. */
#include "core/core.h"
#include "launch/launch.h"

void RunKeyAction(HWND, UINT)
{
    /* Launchers arrive with key dispatch; until then a press does nothing. */
}
