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
        header += static_cast<char>(size >> (8 * i));
    return header;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    std::string text;
    size_t limit = size ? data[0] * 64 : 0;
    if (DecodeMozLz4(bytes, size, limit, &text) &&
        (text.size() > limit ||
         text.size() > (data[8] | data[9] << 8 | data[10] << 16 | static_cast<uint32_t>(data[11]) << 24)))
        abort();

    std::vector<char> block(LZ4_compressBound(static_cast<int>(size)) + 1);
    int packed = LZ4_compress_default(bytes, block.data(), static_cast<int>(size), static_cast<int>(block.size()));
    std::string file = Header(size) + std::string(block.data(), static_cast<size_t>(packed));
    if (!DecodeMozLz4(file.data(), file.size(), size, &text) || text != std::string(bytes, size))
        abort();
    /* A header that gives less: the text stops there. */
    if (size > 0 && (!DecodeMozLz4(file.data(), file.size(), size - 1, &text) || text != std::string(bytes, size - 1)))
        abort();
    return 0;
}
