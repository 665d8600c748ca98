// Runs one web site dialog of Springdeck on its own and exits with its result:
//   website_harness assign <key id>    AssignWebsite, exit code = its result
//   website_harness alias <address>    ChooseLocalAlias, exit code 0
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "core/core.h"
#include "setup/setup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    AppInstance = instance;
    InitCommonControls();
    int result = -1;
    if (strncmp(commandLine, "assign ", 7) == 0)
        result = (int)AssignWebsite(NULL, (UINT)atoi(commandLine + 7));
    else if (strncmp(commandLine, "alias ", 6) == 0) {
        ChooseLocalAlias(NULL, commandLine + 6);
        result = 0;
    }
    return result;
}
