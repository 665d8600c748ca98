/* Any bytes as a bookmark file: the parser must never read or write out of
 * bounds, and every name and address it reports must fit a stored text and
 * be a web address a key opens. */
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ReadBookmarkText(reinterpret_cast<const char *>(data), size, nullptr, CheckEntry, nullptr);
    return 0;
}
