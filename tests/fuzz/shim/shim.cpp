/* The one system call the parsers under fuzzing make, for the native build:
 * UTF-16 to Windows-1252, '?' for what that code page lacks. */
#include <windows.h>

static const WCHAR High1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                   0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int WideCharToMultiByte(UINT, DWORD, const WCHAR *wide, int count, char *bytes, int capacity, const char *fallback,
                        BOOL *usedFallback)
{
    int n = 0;
    for (int i = 0; i < count && n < capacity; ++i) {
        int byte = wide[i] < 0x80 || (wide[i] >= 0xA0 && wide[i] < 0x100) ? wide[i] : -1;
        for (int j = 0; j < 32 && byte < 0; ++j)
            if (High1252[j] == wide[i])
                byte = 0x80 + j;
        if (byte < 0 && usedFallback)
            *usedFallback = TRUE;
        bytes[n++] = byte < 0 ? fallback[0] : (char)byte;
    }
    return n;
}
