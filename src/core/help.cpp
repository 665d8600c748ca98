/* Opening the help file: springdeck.hlp beside the program (named after the
 * program file, whatever it is called), at a topic's context number. */
#include "core/core.h"

void ShowHelp(HWND owner, DWORD context)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    if (length < 3 || length >= sizeof path)
        return;
    path[length] = '\0';
    lstrcpynA(path + length - 3, "hlp", 4);
    WinHelpA(owner, path, HELP_CONTEXT, context);
}
