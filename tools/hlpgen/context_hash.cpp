/* The hash under which WinHelp files context names (|CONTEXT keys, jump
 * hotspots). Other characters than these hash differently in different
 * viewers, so context names are limited to them. */
#include <algorithm>

#include "hlpgen.h"

static int ContextCharCode(char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return (c & ~0x20) - 'A' + 17;
    if (c >= '0' && c <= '9')
        return c == '0' ? 10 : c - '0';
    if (c == '.' || c == '_')
        return c == '.' ? 12 : 13;
    return -1;
}

bool IsContextName(const std::string &name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return ContextCharCode(c) >= 0; });
}

uint32_t HashContextName(const std::string &name)
{
    uint32_t hash = 0;
    for (char c : name) {
        int code = ContextCharCode(c);
        if (code >= 0)
            hash = hash * 43u + static_cast<uint32_t>(code);
    }
    return hash;
}
