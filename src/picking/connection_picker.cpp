/* The connection listing of the program assignment dialog: "Go Back" and one
 * "Dial NAME" entry per Dial-Up Networking connection, read afresh each time
 * the Dial-Up Networking entry is opened. */
#include "core/core.h"
#include "launch/launch.h"
#include "picking/picking_internal.h"
#include "resource.h"

#include <cstdio>
#include <cstring>

constexpr char DialPrefix[] = "Dial ";

/* Adds the connection entry "Dial NAME". */
static void AddConnectionItem(HWND list, const char *name, int depth)
{
    /* The name is stored whole in "args" and shown whole after "Dial ";
     * a name that cannot be is left out rather than stored cut, since the
     * key press matches "args" against the folder's names. */
    if (strlen(name) + sizeof DialPrefix > PROGRAM_TEXT_CAPACITY)
        return;
    ProgramListItem *item = NewProgramListItem();
    if (!item)
        return;
    item->depth = depth;
    lstrcpynA(item->path, ConnectionCommandLine, sizeof item->path);
    lstrcpynA(item->arguments, name, sizeof item->arguments);
    snprintf(item->displayName, sizeof item->displayName, "%s%s", DialPrefix, name); // NOLINT(cert-err33-c): checked
    item->icon = LoadSmallIcon(ICO_CONNECT);
    item->isConnection = true;
    AddProgramListItem(list, item);
}

static int AddReportedConnection(const char *name, LPARAM list)
{
    AddConnectionItem(reinterpret_cast<HWND>(list), name, 1);
    return 1;
}

void ListConnections(HWND list)
{
    ClearProgramList(list);
    MakeProgramListItem(list, "..", 1);
    SetDlgItemTextA(GetParent(list), IDC_PROGRAM_HEADER, "\r\nInternet connections on your computer:");
    EnumConnections(AddReportedConnection, reinterpret_cast<LPARAM>(list));
}
