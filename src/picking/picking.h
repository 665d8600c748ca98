/* Program picking: the Start Menu program list, the program assignment
 * dialog, browsing and confirmation, and the connection picker. */
#ifndef SPRINGDECK_PICKING_H
#define SPRINGDECK_PICKING_H

#include <windows.h>

/* Reads the top level of the user's Start Menu Programs folder once, at
 * start-up, for the program assignment dialog. */
void BuildStartMenuCache();

/* "Assign a software program" (and browsing from there). Returns 1 when a
 * key assignment was written, 2 when the user cancelled. */
INT_PTR PickProgram(HWND owner, UINT keyId);

#endif
