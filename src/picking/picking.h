/* Program picking: the Start Menu program list, the program assignment
 * dialog, browsing and confirmation, and the connection picker. This header
 * is what the rest of the program calls; picking_internal.h holds what the
 * folder's files share with each other and with the tests. */
#ifndef SPRINGDECK_PICKING_H
#define SPRINGDECK_PICKING_H

#include <windows.h>

/* Reads the top level of the Start Menu's Programs folders (the user's and,
 * where there is one, the all-users') once, at start-up, for the program
 * assignment dialog. */
void BuildStartMenuCache();

/* "Assign a software program" (and browsing from there). Returns 1 when a
 * key assignment was written, 2 when the user cancelled. */
INT_PTR PickProgram(HWND owner, UINT keyId);

#endif
