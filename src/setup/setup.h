/* The key setup dialogs: the setup dialog with its options and key faces,
 * the key action chooser, web site assignment and the bookmark picker. This
 * header is what the rest of the program calls; setup_internal.h holds what
 * the folder's files share with each other and with the tests. */
#ifndef SPRINGDECK_SETUP_H
#define SPRINGDECK_SETUP_H

#include <windows.h>

/* Dialog procedure of DLG_SETUP. */
INT_PTR CALLBACK SetupDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

/* The setup dialog while it is open, else null. */
HWND SetupDialogWindow();

/* Start with Windows: with a dialog, stores or deletes the Run value as its
 * check box says, then sets the box to what will happen at the next log-on
 * and tells the user when that is not what the box asked for; with none
 * (first start), always stores it, silently. */
void ApplyRunAtStartup(HWND dialog);

/* Fills the record of an Open File dialog: owner, filter, title, the file
 * name buffer and the flags; the rest zero. */
void InitOpenFile(OPENFILENAMEA *open, HWND owner, const char *filter, const char *title, char *file, DWORD capacity,
                  DWORD flags);

#endif
