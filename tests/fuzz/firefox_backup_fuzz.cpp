/* Any bytes as a Firefox bookmark backup (.jsonlz4): decompressing and
 * reading must stay in bounds, and what is reported must fit and open. */
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ReadFirefoxBackup(reinterpret_cast<const char *>(data), size, nullptr, CheckEntry, nullptr);
    return 0;
}
