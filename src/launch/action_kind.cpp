/* The command-line encoding of a key's action, as the pickers write it and
 * the dispatch and the key faces read it: ":connection", the nine schemes a
 * key opens as a web address, or anything else for a program or document;
 * and the "file://" form of a local file. Text only, no system calls, so the
 * bookmark readers can share it wherever they run. */
#include "launch/launch_internal.h"

#include <cstdio>
#include <cstring>

static const char *const WebSchemes[] = {"http:",   "https:", "ftp:",  "gopher:", "telnet:",
                                         "mailto:", "news:",  "snews:", "file:"};

const char ConnectionCommandLine[] = ":connection";

bool IsWebAddress(const char *text)
{
    if (!text)
        return false;
    for (const char *scheme : WebSchemes)
        if (strncmp(text, scheme, strlen(scheme)) == 0)
            return true;
    return false;
}

bool LowerWebScheme(char *text)
{
    for (const char *scheme : WebSchemes) {
        size_t length = strlen(scheme);
        if (_strnicmp(text, scheme, length) == 0) {
            memcpy(text, scheme, length);
            return true;
        }
    }
    return false;
}

ActionKind DecodeActionKind(const char *commandLine)
{
    if (!commandLine[0])
        return ACTION_NORMAL_FUNCTION;
    if (strcmp(commandLine, ConnectionCommandLine) == 0)
        return ACTION_CONNECTION;
    if (IsWebAddress(commandLine))
        return ACTION_WEB_ADDRESS;
    return ACTION_PROGRAM;
}

void MakeFileAddress(const char *path, char *address, size_t capacity)
{
    static const char prefix[] = "file://";
    if (capacity == 0)
        return;
    snprintf(address, capacity, "%s%s", prefix, path);
    size_t length = strlen(address);
    for (size_t i = sizeof prefix - 1; i < length; ++i) {
        if (address[i] == ':')
            address[i] = '|';
        else if (address[i] == '\\')
            address[i] = '/';
    }
}
