/* The LZ4 block decoder against the host's liblz4: any bytes compressed by
 * liblz4 come back exactly, within a bound the header gives; and any bytes
 * as a compressed file decode without reading or writing out of bounds, to
 * no more than the header's size or the limit allows. */
#include "setup/setup_internal.h"

#include <lz4.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static std::string Header(size_t size)
{
    std::string header("mozLz40", 8);
    for (int i = 0; i < 4; ++i)
        header += (char)(size >> (8 * i));
    return header;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text;
    size_t limit = size ? data[0] * 64 : 0;
    if (DecodeMozLz4((const char *)data, size, limit, &text) &&
        (text.size() > limit ||
         text.size() > (size_t)(data[8] | data[9] << 8 | data[10] << 16 | (uint32_t)data[11] << 24)))
        abort();

    std::vector<char> block(LZ4_compressBound((int)size) + 1);
    int packed = LZ4_compress_default((const char *)data, block.data(), (int)size, (int)block.size());
    std::string file = Header(size) + std::string(block.data(), (size_t)packed);
    if (!DecodeMozLz4(file.data(), file.size(), size, &text) || text != std::string((const char *)data, size))
        abort();
    /* A header that gives less: the text stops there. */
    if (size > 0 &&
        (!DecodeMozLz4(file.data(), file.size(), size - 1, &text) || text != std::string((const char *)data, size - 1)))
        abort();
    return 0;
}
