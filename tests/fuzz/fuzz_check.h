/* What every bookmark reader under fuzzing must keep to, whatever its input:
 * every name and address fits a stored text, every address is one a key
 * opens. A breach aborts, which libFuzzer reports as a finding. */
#pragma once
#include "launch/launch.h"
#include "setup/setup_internal.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

static void *CheckEntry(void *, void *parent, const char *name, const char *address)
{
    if (strlen(name) > BOOKMARK_TEXT_LENGTH)
        abort();
    if (address && (strlen(address) > BOOKMARK_TEXT_LENGTH || !IsWebAddress(address)))
        abort();
    return address ? nullptr : (parent ? parent : reinterpret_cast<void *>(&CheckEntry));
}

static inline void CheckProfile(void *, const char *folder, const char *name)
{
    if (strlen(folder) > BOOKMARK_TEXT_LENGTH || strlen(name) > BOOKMARK_TEXT_LENGTH)
        abort();
}
