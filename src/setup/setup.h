/* The key setup dialogs: the setup dialog and its options. */
#ifndef SPRINGDECK_SETUP_H
#define SPRINGDECK_SETUP_H

#include <windows.h>

/* Dialog procedure of DLG_SETUP. */
INT_PTR CALLBACK SetupDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

/* Start with Windows: with a dialog, stores or deletes the Run value as its
 * check box says; with none (first start), always stores it. */
void ApplyRunAtStartup(HWND dialog);

#endif
