/* Any bytes as a bookmark file: the parser must never read or write out of
 * bounds, and every name and address it reports must fit a stored text and
 * be a web address a key opens. */
#include "launch/launch.h"
#include "setup/setup_internal.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

static void *Check(void *, void *parent, const char *name, const char *address)
{
    if (strlen(name) > BOOKMARK_TEXT_LENGTH)
        abort();
    if (address && (strlen(address) > BOOKMARK_TEXT_LENGTH || !IsWebAddress(address)))
        abort();
    return address ? nullptr : (parent ? parent : (void *)&Check);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ReadBookmarkText((const char *)data, size, nullptr, Check, nullptr);
    return 0;
}
