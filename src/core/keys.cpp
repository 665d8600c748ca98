/* The fixed table of the fifteen Springpads: names (which are also the
 * registry value names of their settings), icons and virtual keys. */
#include "core/core_internal.h"
#include "resource.h"

struct KeyInfo {
    const char *name;
    WORD icon;
    BYTE virtualKey;
};

/* Indexed by key id - KEY_FIRST. */
constexpr KeyInfo KeyTable[KEY_LAST - KEY_FIRST + 1] = {
    {"F1", ICO_F1, VK_F1},
    {"F2", ICO_F2, VK_F2},
    {"F3", ICO_F3, VK_F3},
    {"F4", ICO_F4, VK_F4},
    {"F5", ICO_F5, VK_F5},
    {"F6", ICO_F6, VK_F6},
    {"F7", ICO_F7, VK_F7},
    {"F8", ICO_F8, VK_F8},
    {"F9", ICO_F9, VK_F9},
    {"F10", ICO_F10, VK_F10},
    {"F11", ICO_F11, VK_F11},
    {"F12", ICO_F12, VK_F12},
    {"Print Screen", ICO_PS, VK_SNAPSHOT},
    {"Scroll Lock", ICO_SL, VK_SCROLL},
    {"Pause", ICO_PAUSE, VK_PAUSE},
};

const char *KeyName(UINT keyId) { return IsKeySlot(keyId) ? KeyTable[keyId - KEY_FIRST].name : ""; }

HICON LoadKeyIcon(UINT keyId)
{
    WORD icon = IsKeySlot(keyId) ? KeyTable[keyId - KEY_FIRST].icon : static_cast<WORD>(ICO_BLANK);
    return LoadIconA(AppInstance, MAKEINTRESOURCEA(icon));
}

UINT KeyVirtualKey(UINT keyId) { return IsKeySlot(keyId) ? KeyTable[keyId - KEY_FIRST].virtualKey : 0; }
