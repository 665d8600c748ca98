/* Dial-Up Networking connections, reached through the shell's folder. */
#include "launch/launch.h"

int DialConnection(const char *)
{
    /* Filled in with the connection picker. */
    return 0;
}

void EnumConnections(ConnectionCallback, LPARAM)
{
}
