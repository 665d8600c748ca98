/* Any bytes as the registry's performance data and counter-name table: the
 * walks must stay inside the block, and a found name must lie within it. */
#include "launch/launch_internal.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 8)
        return 0;
    DWORD idProcessIndex, processId;
    memcpy(&idProcessIndex, data, 4);
    memcpy(&processId, data + 4, 4);
    const BYTE *block = data + 8;
    DWORD blockSize = static_cast<DWORD>(size - 8);
    DWORD nameOffset = 0, nameLength = 0;
    if (FindProcessInstance(block, blockSize, idProcessIndex, processId, &nameOffset, &nameLength) &&
        (nameOffset > blockSize || nameLength > (blockSize - nameOffset) / 2))
        abort();
    char index[16];
    if (FindCounterIndex(reinterpret_cast<const char *>(block), blockSize, "ID Process", index, sizeof index) &&
        strlen(index) >= sizeof index)
        abort();
    return 0;
}
