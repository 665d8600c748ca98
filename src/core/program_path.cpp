/* The path of springdeck.exe, and of the files named after it beside it, as
 * the rest of the program passes paths: in the ANSI code page. A folder name
 * that the code page cannot spell (Cyrillic letters under Western code pages)
 * would come out of GetModuleFileNameA with '?' for each such letter and name
 * nothing; the short (8.3) form of the folder names the same file with
 * letters every code page has. Windows 9x keeps its paths in the code page
 * (its GetModuleFileNameW does nothing), so there the ANSI path is the file's
 * own. The wide strings are handled with the C library's functions, which
 * work there too. */
#include "core/core_internal.h"

#include <wchar.h>

/* The wide text in the ANSI code page, true when converting it back gives
 * the same text: no letter was replaced by '?' or by a look-alike. */
static bool SpellInAnsi(const WCHAR *text, char *ansi, DWORD size)
{
    WCHAR back[MAX_PATH];
    bool spelt = size > 0 &&
                 WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, static_cast<int>(size), nullptr, nullptr) > 0 &&
                 MultiByteToWideChar(CP_ACP, 0, ansi, -1, back, MAX_PATH) > 0 && wcscmp(back, text) == 0;
    if (!spelt && size > 0)
        ansi[0] = '\0';
    return spelt;
}

DWORD AnsiPathOf(const WCHAR *path, char *ansi, DWORD size)
{
    if (SpellInAnsi(path, ansi, size))
        return static_cast<DWORD>(lstrlenA(ansi));
    const WCHAR *name = wcsrchr(path, L'\\');
    if (!name || name - path >= MAX_PATH)
        return 0;
    /* The short form of the folder, with the file's own name after it when
     * the code page can spell that name (the file need not exist then);
     * otherwise the short form of the whole path. */
    WCHAR folder[MAX_PATH];
    wcsncpy(folder, path, static_cast<size_t>(name - path));
    folder[name - path] = L'\0';
    bool keepName = SpellInAnsi(name, ansi, size);
    WCHAR shortPath[MAX_PATH];
    DWORD length = GetShortPathNameW(keepName ? folder : path, shortPath, MAX_PATH);
    bool made = length > 0 && length < MAX_PATH && (!keepName || length + wcslen(name) < MAX_PATH);
    if (made && keepName)
        wcscpy(shortPath + length, name);
    /* Without short names (turned off on the volume) the short form is the
     * long one, which the code page cannot spell: no path is better than a
     * wrong one. */
    if (made && SpellInAnsi(shortPath, ansi, size))
        return static_cast<DWORD>(lstrlenA(ansi));
    if (size > 0)
        ansi[0] = '\0';
    return 0;
}

DWORD ProgramFilePath(const WCHAR *extension, char *path, DWORD size)
{
    if (size > 0)
        path[0] = '\0';
    WCHAR wide[MAX_PATH];
    DWORD length = (GetVersion() & 0x80000000u) ? 0 : GetModuleFileNameW(nullptr, wide, MAX_PATH);
    if (length == 0) {
        char ansi[MAX_PATH];
        length = GetModuleFileNameA(nullptr, ansi, sizeof ansi);
        if (length == 0 || length >= sizeof ansi)
            return 0;
        ansi[length] = '\0';
        length = static_cast<DWORD>(MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, MAX_PATH));
        if (length == 0)
            return 0;
        --length; /* the count held the terminating zero */
    }
    if (length >= MAX_PATH)
        return 0;
    wide[length] = L'\0';
    if (extension) {
        WCHAR *dot = wcsrchr(wide, L'.');
        if (!dot || wcschr(dot, L'\\') || (dot - wide) + 1 + wcslen(extension) >= MAX_PATH)
            return 0;
        wcscpy(dot + 1, extension);
    }
    return AnsiPathOf(wide, path, size);
}
