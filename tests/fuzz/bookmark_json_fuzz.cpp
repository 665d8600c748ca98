/* Any bytes as a Chromium "Bookmarks" file and as its "Local State": the
 * readers must never read or write out of bounds, nor report a name or an
 * address a stored text cannot hold or an address no key opens. */
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ReadChromiumBookmarks(reinterpret_cast<const char *>(data), size, nullptr, CheckEntry, nullptr);
    ReadChromiumProfiles(reinterpret_cast<const char *>(data), size, CheckProfile, nullptr);
    return 0;
}
