/* Action launching: what a pressed Springpad does. */
#ifndef SPRINGDECK_LAUNCH_H
#define SPRINGDECK_LAUNCH_H

#include <windows.h>

/* Looks up the process-snapshot functions of this system once at start-up.
 * Returns TRUE when a way to list running programs exists. */
BOOL InitProcessLookup();

/* Carries out the action of a pressed hotkey: a plain key id (101-115) runs
 * the key's assignment, key id + 100 plays the key's normal keystroke. */
void RunKeyAction(HWND mainWindow, UINT hotkeyId);

#endif
