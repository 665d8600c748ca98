/* Web addresses as key assignments store them: the nine schemes a key opens
 * as a web address, and the "file://" form of a local file. Text only, no
 * system calls, so the bookmark readers can share it wherever they run. */
#include "launch/launch.h"

#include <cstdio>
#include <cstring>

static const char *const WebSchemes[] = {"http:",   "https:", "ftp:",  "gopher:", "telnet:",
                                         "mailto:", "news:",  "snews:", "file:"};

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
            for (size_t i = 0; i < length; ++i)
                text[i] = scheme[i];
            return true;
        }
    }
    return false;
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
