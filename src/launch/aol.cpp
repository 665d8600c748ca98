/* America Online as the browser. The AOL client has no DDE interface, so an
 * address goes one of two ways: typed, followed by Enter, into the address
 * field of an open AOL web window, or handed to AOL's launcher library,
 * LAUNCH32.dll, which starts AOL when needed.
 *
 * The library is loaded by name when first needed rather than imported: an
 * import would keep Springdeck from starting on every computer without AOL.
 * A missing library or function means that AOL is not installed. */
#include "core/core.h"
#include "launch/launch_internal.h"

#include <cstdio>
#include <cstring>

/* Exported by LAUNCH32.dll under these undecorated names; 32-bit arguments,
 * removed by the callee. */
using AolIsInstalledFunction = int(WINAPI *)();
using AolGetScreenNameFunction = int(WINAPI *)(char *appPath, char *name1, char *name2, char *name3, char *name4,
                                               char *name5, char *screenName);
using AolGoToFunction = int(WINAPI *)(int one, char *screenName, const char *empty1, const char *empty2,
                                      const char *address, int zero);

constexpr int APP_PATH_CAPACITY = 256;   /* win.ini [WAOL] AppPath */
constexpr int SCREEN_NAME_CAPACITY = 12; /* each of the six screen name buffers */
constexpr int CLASS_NAME_CAPACITY = 256;
constexpr int FIELD_CLASS_CAPACITY = 40;
constexpr int TYPING_REQUEST_WORDS = 512; /* the count and up to 511 entries */
constexpr int TYPING_DELAY = 100;

constexpr char NotInstalledText[] = "AOL does not appeared to be installed on this computer";

struct AolLibrary {
    AolIsInstalledFunction isInstalled;
    AolGetScreenNameFunction getScreenName;
    AolGoToFunction goTo;
};

/* Loads LAUNCH32.dll the first time it is found and keeps it: what it starts
 * may still run from it after a call returns. False while it or one of its
 * three functions is missing. */
static bool LoadAolLibrary(AolLibrary *library)
{
    static HMODULE module = nullptr;
    if (!module)
        module = LoadLibraryA("LAUNCH32.dll");
    if (!module)
        return false;
    library->isInstalled = ProcAddress<AolIsInstalledFunction>(module, "AOLIsInstalled");
    library->getScreenName = ProcAddress<AolGetScreenNameFunction>(module, "AOLGetScreenName");
    library->goTo = ProcAddress<AolGoToFunction>(module, "AOLGoTo");
    return library->isInstalled && library->getScreenName && library->goTo;
}

static bool HasClass(HWND window, const char *className, int capacity)
{
    char name[CLASS_NAME_CAPACITY];
    if (capacity > static_cast<int>(sizeof name))
        capacity = sizeof name;
    return GetClassNameA(window, name, capacity) > 0 && strcmp(name, className) == 0;
}

static HWND FindChildOfClass(HWND parent, const char *className, int capacity)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (HasClass(child, className, capacity))
            return child;
    return nullptr;
}

/* A web window is one with a page view among its direct children. */
static BOOL CALLBACK FindWebWindowProc(HWND window, LPARAM lParam)
{
    if (!FindChildOfClass(window, "_AOL_WWWView", CLASS_NAME_CAPACITY))
        return TRUE;
    *reinterpret_cast<HWND *>(lParam) = window;
    return FALSE;
}

/* An open web window inside AOL's main window (set in frame), or null. */
static HWND FindAolWebWindow(HWND *frame)
{
    *frame = FindWindowA("AOL Frame25", nullptr);
    if (!*frame)
        return nullptr;
    HWND client = FindChildOfClass(*frame, "MDIClient", CLASS_NAME_CAPACITY);
    if (!client)
        return nullptr;
    HWND webWindow = nullptr;
    EnumChildWindows(client, FindWebWindowProc, reinterpret_cast<LPARAM>(&webWindow));
    return webWindow;
}

/* The address field: the first child of the web window's address box. */
static HWND FindAddressField(HWND webWindow)
{
    HWND box = FindChildOfClass(webWindow, "_AOL_Combobox", FIELD_CLASS_CAPACITY);
    return box ? GetWindow(box, GW_CHILD) : nullptr;
}

/* Brings the web window forward, puts the focus in its address field and
 * types the address there. False when the window has no address field. */
static bool TypeIntoWebWindow(HWND frame, HWND webWindow, const char *address)
{
    /* The main window is brought to the front (the MDI client inside it
     * cannot be the foreground window), and restored only when minimised:
     * restoring a maximised AOL would shrink it. */
    SetForegroundWindow(frame);
    if (IsIconic(frame))
        SendMessageA(frame, WM_SYSCOMMAND, SC_RESTORE, 0);

    /* Our thread joins AOL's input state for the activation and the focus
     * change. This way round AOL keeps its own input state when we leave it
     * again, together with the foreground and the focus in the field (Wine
     * gives the thread that leaves a fresh state, and the typing would go
     * nowhere if that were AOL's). */
    DWORD aolThread = GetWindowThreadProcessId(webWindow, nullptr);
    DWORD ownThread = GetCurrentThreadId();
    bool attached = AttachThreadInput(ownThread, aolThread, TRUE);

    SendMessageA(GetParent(webWindow), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(webWindow), 0);
    if (!IsZoomed(webWindow))
        ShowWindow(webWindow, SW_RESTORE);
    HWND field = FindAddressField(webWindow);
    if (field) {
        SetFocus(field);
        SetWindowTextA(field, "");
        /* The address, then Enter, at 100 ms per event. */
        WORD request[TYPING_REQUEST_WORDS];
        BuildTypingRequest(address, request, TYPING_REQUEST_WORDS);
        PlayKeys(request, TYPING_DELAY);
    }

    if (attached)
        AttachThreadInput(ownThread, aolThread, FALSE);
    return field != nullptr;
}

int OpenUrlInAol(const char *address)
{
    AolLibrary library;
    if (!LoadAolLibrary(&library) || library.isInstalled() != 0) {
        MessageBoxA(nullptr, NotInstalledText, APP_CAPTION, MB_SETFOREGROUND);
        return -1;
    }

    char appPath[APP_PATH_CAPACITY];
    GetProfileStringA("WAOL", "AppPath", "", appPath, sizeof appPath);

    HWND frame = nullptr;
    if (HWND webWindow = FindAolWebWindow(&frame)) {
        /* While an earlier address is still being typed, a second one would
         * empty the field under it and then be refused anyway. */
        if (IsPlayingKeys())
            return 0;
        if (TypeIntoWebWindow(frame, webWindow, address))
            return 0;
    }

    char screenNames[6][SCREEN_NAME_CAPACITY] = {};
    library.getScreenName(appPath, screenNames[0], screenNames[1], screenNames[2], screenNames[3], screenNames[4],
                          screenNames[5]);
    screenNames[5][SCREEN_NAME_CAPACITY - 1] = '\0';
    int result = library.goTo(1, screenNames[5], "", "", address, 0);
    if (result == 0)
        return 0;

    char text[32];
    snprintf(text, sizeof text, "error %d", result); // NOLINT(cert-err33-c): any int fits
    MessageBoxA(nullptr, text, "Failed to Launch AOL", MB_SETFOREGROUND);
    return -1;
}

WORD BuildTypingRequest(const char *text, WORD *request, size_t capacity)
{
    /* Room kept at the end for releasing Alt, Ctrl and Shift and for Enter. */
    const size_t closing = 4;
    if (capacity == 0)
        return 0;
    size_t limit = capacity - 1;
    if (limit > 0xFFFF)
        limit = 0xFFFF;
    request[0] = 0;
    if (limit < closing)
        return 0;

    constexpr struct {
        BYTE shiftBit;
        WORD vk;
    } Modifiers[] = {{1, VK_SHIFT}, {2, VK_CONTROL}, {4, VK_MENU}};
    bool down[3] = {false, false, false};
    size_t count = 0;
    for (const char *p = text; *p; ++p) {
        SHORT key = VkKeyScanA(*p);
        /* -1: no key of the keyboard layout gives this character. Typing
         * key 0xFF with every modifier held would do something else. */
        if (key == -1 || LOBYTE(key) == 0xFF)
            continue;
        BYTE shiftState = HIBYTE(key);
        size_t needed = 1;
        for (int m = 0; m < 3; ++m)
            needed += ((shiftState & Modifiers[m].shiftBit) != 0) != down[m];
        if (count + needed + closing > limit)
            break; /* the rest of the text does not fit */
        for (int m = 0; m < 3; ++m) {
            bool wanted = (shiftState & Modifiers[m].shiftBit) != 0;
            if (wanted != down[m])
                request[1 + count++] =
                    static_cast<WORD>(Modifiers[m].vk | (wanted ? PLAYBACK_KEY_DOWN : PLAYBACK_KEY_UP));
            down[m] = wanted;
        }
        request[1 + count++] = LOBYTE(key);
    }
    for (int m = 2; m >= 0; --m)
        if (down[m])
            request[1 + count++] = static_cast<WORD>(Modifiers[m].vk | PLAYBACK_KEY_UP);
    request[1 + count++] = VK_RETURN;
    request[0] = static_cast<WORD>(count);
    return request[0];
}
