/* The command-line encoding of a key's action, as the pickers write it and
 * the dispatch and the key faces read it: ":connection", the nine schemes a
 * key opens as a web address, or anything else for a program or document;
 * and the "file://" form of a local file, both ways. Text only, no system
 * calls, so the bookmark readers can share it wherever they run. */
#include "launch/launch_internal.h"

#include <cstdio>
#include <cstring>

constexpr const char *WebSchemes[] = {
    "http:", "https:", "ftp:", "gopher:", "telnet:", "mailto:", "news:", "snews:", "file:"};

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
    constexpr char prefix[] = "file://";
    if (capacity == 0)
        return;
    snprintf(address, capacity, "%s%s", prefix, path); // NOLINT(cert-err33-c): cut to fit, as promised
    size_t length = strlen(address);
    for (size_t i = sizeof prefix - 1; i < length; ++i) {
        if (address[i] == ':')
            address[i] = '|';
        else if (address[i] == '\\')
            address[i] = '/';
    }
}

static int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

static bool IsSlash(char c) { return c == '/' || c == '\\'; }

constexpr char FileScheme[] = "file:";

bool IsFileAddress(const char *text) { return _strnicmp(text, FileScheme, sizeof FileScheme - 1) == 0; }

bool FileAddressToPath(const char *address, char *path, size_t capacity)
{
    constexpr char localHost[] = "localhost";
    if (capacity == 0 || !IsFileAddress(address))
        return false;
    /* Escapes first, so that an escaped slash or drive is judged as what it
     * names. A '%' that starts no escape stands for itself. */
    size_t length = 0;
    for (const char *p = address + sizeof FileScheme - 1; *p; ++p) {
        char c = *p;
        if (c == '%' && HexDigit(p[1]) >= 0 && HexDigit(p[2]) >= 0) {
            c = static_cast<char>(HexDigit(p[1]) * 16 + HexDigit(p[2]));
            p += 2;
            if (!c)
                return false;
        }
        if (length + 1 >= capacity)
            return false;
        path[length++] = c;
    }
    path[length] = '\0';

    const char *drive = path;
    while (IsSlash(*drive))
        ++drive;
    if (_strnicmp(drive, localHost, sizeof localHost - 1) == 0 && IsSlash(drive[sizeof localHost - 1]))
        for (drive += sizeof localHost - 1; IsSlash(*drive);)
            ++drive;
    /* Only a drive letter makes the address local: anything else here is
     * the name of another computer. */
    bool letter = (*drive >= 'A' && *drive <= 'Z') || (*drive >= 'a' && *drive <= 'z');
    if (!letter || (drive[1] != ':' && drive[1] != '|') || !IsSlash(drive[2]))
        return false;
    size_t i = 0;
    path[i++] = drive[0];
    path[i++] = ':';
    for (const char *p = drive + 2; *p; ++p)
        path[i++] = *p == '/' ? '\\' : *p;
    path[i] = '\0';
    return true;
}
