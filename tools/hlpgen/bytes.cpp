/* Little-endian fields and the compressed integers of help-file records.
 * Every structure in a .hlp file is packed and little-endian. */
#include "hlpgen.h"

void PutU8(HlpBytes &out, unsigned value) { out.push_back(static_cast<uint8_t>(value)); }

void PutU16(HlpBytes &out, unsigned value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(HlpBytes &out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutBytes(HlpBytes &out, const HlpBytes &bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

void PutStringZ(HlpBytes &out, const std::string &text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void PutFixedString(HlpBytes &out, const std::string &text, size_t width)
{
    for (size_t i = 0; i < width; ++i)
        out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

void SetU32(HlpBytes &out, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint16_t GetU16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t GetU32(const uint8_t *p) { return GetU16(p) | (static_cast<uint32_t>(GetU16(p + 2)) << 16); }

/* The low bit of the first byte tells the form: 0 short, 1 long. */

void PutCompressedUShort(HlpBytes &out, unsigned value)
{
    if (value <= 127)
        PutU8(out, value * 2);
    else
        PutU16(out, value * 2 + 1);
}

void PutCompressedSShort(HlpBytes &out, int value)
{
    if (value >= -64 && value <= 63)
        PutU8(out, static_cast<unsigned>((value + 64) * 2));
    else
        PutU16(out, static_cast<unsigned>((value + 16384) * 2 + 1));
}

void PutCompressedSLong(HlpBytes &out, long value) { PutU16(out, static_cast<unsigned>((value + 16384) * 2)); }

/* The value of a compressed field without its form bit, and whether it took
 * two bytes; false when the field runs past the end. */
static bool GetCompressedBits(const uint8_t *p, size_t size, size_t *at, unsigned *bits, bool *wide)
{
    if (*at >= size)
        return false;
    *wide = (p[*at] & 1) != 0;
    if (*wide && *at + 2 > size)
        return false;
    *bits = (*wide ? GetU16(p + *at) : p[*at]) >> 1;
    *at += *wide ? 2 : 1;
    return true;
}

bool GetCompressedUShort(const uint8_t *p, size_t size, size_t *at, unsigned *value)
{
    bool wide;
    return GetCompressedBits(p, size, at, value, &wide);
}

bool GetCompressedSShort(const uint8_t *p, size_t size, size_t *at, int *value)
{
    unsigned bits;
    bool wide;
    if (!GetCompressedBits(p, size, at, &bits, &wide))
        return false;
    *value = static_cast<int>(bits) - (wide ? 16384 : 64);
    return true;
}

bool GetCompressedSLong(const uint8_t *p, size_t size, size_t *at, long *value)
{
    if (*at + 2 > size)
        return false;
    if ((p[*at] & 1) == 0) {
        *value = static_cast<long>(GetU16(p + *at) >> 1) - 16384;
        *at += 2;
        return true;
    }
    /* The long form; only skipped over (viewers disagree on its bias). */
    if (*at + 4 > size)
        return false;
    *value = static_cast<long>(GetU32(p + *at) >> 1) - 0x40000000L;
    *at += 4;
    return true;
}
