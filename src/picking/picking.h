/* Program picking: the Start Menu program list and the program dialogs. */
#ifndef SPRINGDECK_PICKING_H
#define SPRINGDECK_PICKING_H

#include <windows.h>

/* Reads the top level of the user's Start Menu Programs folder once, at
 * start-up, for the program assignment dialog. */
void BuildStartMenuCache();

#endif
