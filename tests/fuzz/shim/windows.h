/* A native stand-in for the Win32 headers, just wide enough for the product's
 * headers to compile and for the parsers under fuzzing to run: types and
 * handles as plain values, and the one conversion the bookmark parser calls
 * (Windows-1252 as the ANSI code page). Nothing here is linked into the
 * program. */
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <strings.h>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD, UINT, ULONG;
typedef int32_t LONG, BOOL, INT;
typedef int64_t LONGLONG;
typedef char CHAR;
typedef uint16_t WCHAR;
typedef intptr_t INT_PTR, LONG_PTR, LPARAM, LRESULT;
typedef uintptr_t UINT_PTR, ULONG_PTR, WPARAM;
typedef char *LPSTR;
typedef const char *LPCSTR;
typedef void *LPVOID, *HANDLE, *HWND, *HDC, *HICON, *HBITMAP, *HINSTANCE, *HMODULE, *HKEY, *HFONT, *HMENU, *HIMAGELIST,
    *HCONV, *HDDEDATA, *HSZ, *HGDIOBJ, *HBRUSH, *HHOOK;
typedef DWORD *PDWORD, *LPDWORD;
typedef BOOL *LPBOOL;
typedef const WCHAR *LPCWCH;
typedef const char *LPCCH;
typedef union {
    struct {
        DWORD LowPart;
        LONG HighPart;
    };
    LONGLONG QuadPart;
} LARGE_INTEGER;
typedef struct {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
} SYSTEMTIME;
typedef struct {
    LONG left, top, right, bottom;
} RECT;
typedef struct {
    LONG x, y;
} POINT;
typedef struct _ITEMIDLIST ITEMIDLIST, *LPITEMIDLIST;
typedef const ITEMIDLIST *LPCITEMIDLIST;
struct BY_HANDLE_FILE_INFORMATION;
struct IShellFolder;
struct IMalloc;
struct EVENTMSG;
struct STRRET;
struct OPENFILENAMEA;
typedef IShellFolder *LPSHELLFOLDER;
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef int (*FARPROC)(void);

#define WINAPI
#define CALLBACK
#define TRUE                 1
#define FALSE                0
#define MAX_PATH             260
#define WM_USER              0x0400
#define CP_ACP               0
#define CP_UTF8              65001
#define WC_NO_BEST_FIT_CHARS 0x400
#define _strnicmp            strncasecmp
#define lstrcmpiA            strcasecmp

int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR *wide, int count, char *bytes, int capacity,
                        const char *fallback, BOOL *usedFallback);
inline UINT GetACP(void) { return 1252; }
FARPROC GetProcAddress(HMODULE module, LPCSTR name); /* declared for core.h; the parsers call none */
