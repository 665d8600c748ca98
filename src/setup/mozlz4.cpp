/* Decompressing Firefox's bookmark backups (.jsonlz4): the magic "mozLz40\0",
 * the decompressed size as 32-bit little-endian, then one LZ4 block.
 *
 * The block is a run of sequences: a token (literal count in its high four
 * bits, match length minus four in its low four; 15 means more length bytes
 * follow, each added, until one under 255), the literals, then, except in the
 * last sequence, a 16-bit little-endian offset back into what was written and
 * the match's length. A small decoder of our own: every read is checked
 * against the input's end and every write against the output's bound, and it
 * stops at the first damage, keeping what it had decoded. */
#include "setup/setup_internal.h"

#include <cstring>
#include <string>

constexpr char MAGIC[] = "mozLz40"; /* with its null, the first 8 bytes */
constexpr size_t HEADER_SIZE = 12;
constexpr size_t LONGEST_RUN = static_cast<size_t>(-1) / 4; /* longer length fields are damage */

/* Adds the length bytes after a 15 in a token to length; false at the end of
 * the input or at an impossible length. */
static bool ReadLength(const unsigned char **in, const unsigned char *end, size_t *length)
{
    unsigned char byte;
    do {
        if (*in == end || *length > LONGEST_RUN)
            return false;
        byte = *(*in)++;
        *length += byte;
    } while (byte == 255);
    return true;
}

bool DecodeMozLz4(const char *bytes, size_t size, size_t limit, std::string *text)
{
    text->clear();
    if (size < HEADER_SIZE || memcmp(bytes, MAGIC, sizeof MAGIC) != 0)
        return false;
    const auto *start = reinterpret_cast<const unsigned char *>(bytes);
    const unsigned char *in = start + HEADER_SIZE, *end = start + size;
    size_t bound = in[-4] | in[-3] << 8 | in[-2] << 16 | static_cast<size_t>(in[-1]) << 24;
    if (bound > limit)
        bound = limit;
    /* A block expands at most about 255 times: a size field beyond that
     * reserves nothing real. */
    if (static_cast<size_t>(end - in) < bound / 255)
        bound = static_cast<size_t>(end - in) * 255;
    text->resize(bound);
    char *out = &(*text)[0];
    size_t n = 0;
    while (in < end) {
        unsigned token = *in++;
        size_t length = token >> 4;
        if (length == 15 && !ReadLength(&in, end, &length))
            break;
        /* Literals cut short by the end of the input or the bound are kept
         * as far as they go. */
        size_t copy = length;
        if (copy > static_cast<size_t>(end - in))
            copy = static_cast<size_t>(end - in);
        if (copy > bound - n)
            copy = bound - n;
        memcpy(out + n, in, copy);
        n += copy;
        in += copy;
        if (copy < length || in == end || end - in < 2)
            break;
        size_t offset = static_cast<size_t>(in[0]) | static_cast<size_t>(in[1]) << 8;
        in += 2;
        length = token & 15;
        if (offset == 0 || offset > n || (length == 15 && !ReadLength(&in, end, &length)))
            break;
        length += 4;
        copy = length < bound - n ? length : bound - n;
        if (offset >= copy) {
            memcpy(out + n, out + n - offset, copy);
        } else {
            for (size_t i = 0; i < copy; ++i) /* overlapping: repeats the last offset bytes */
                out[n + i] = out[n + i - offset];
        }
        n += copy;
        if (copy < length)
            break;
    }
    text->resize(n);
    return true;
}
