/* What the files of picking/ share with each other, and what the unit tests
 * reach: the rest of the program calls only picking.h. */
#ifndef SPRINGDECK_PICKING_INTERNAL_H
#define SPRINGDECK_PICKING_INTERNAL_H

#include "picking/picking.h"

/* ---- the program list (program_list.cpp) -------------------------------------
 * One entry of the program list. The list box stores only a pointer to it and
 * the dialog draws it. Entries of depth 0 belong to the StartMenuCache and
 * live until the program ends; deeper entries belong to the listing shown
 * and are freed when it is cleared. */
constexpr size_t PROGRAM_TEXT_CAPACITY = 256; /* every text field, with its zero */

struct ProgramListItem {
    HICON icon;       /* small icon, owned by the entry; may be null */
    DWORD iconWidth;  /* 16 with an icon, 2 without: room left of the text */
    DWORD iconHeight; /* always 16 */
    char displayName[PROGRAM_TEXT_CAPACITY];
    char path[PROGRAM_TEXT_CAPACITY];      /* file or folder; Go Back: the folder to return to */
    char target[PROGRAM_TEXT_CAPACITY];    /* program to run, short form for shortcuts */
    char arguments[PROGRAM_TEXT_CAPACITY]; /* shortcut arguments; connection name */
    char iconPath[PROGRAM_TEXT_CAPACITY];
    int iconIndex;
    bool isFolder; /* navigable: folder, Go Back or the Dial-Up Networking entry */
    bool isGoBack;
    bool isConnection;     /* the Dial-Up Networking entry or one connection */
    int depth;             /* 0 = top level */
    ProgramListItem *next; /* next entry of the StartMenuCache */
};

/* A new entry with every field empty or 0, or null when memory ran out. */
ProgramListItem *NewProgramListItem();

/* One of our icons at 16 by 16 pixels, for an entry. */
HICON LoadSmallIcon(WORD resource);

/* Replaces the list box's listing with the folder's entries at the given
 * depth; depth 0 shows the StartMenuCache and reads nothing. A folder of
 * either Start Menu is listed together with the same folder of the other. */
void FillProgramList(HWND list, const char *folder, int depth);

/* Builds one entry for a file or folder (or the Go Back entry for a path
 * ending in "..") and adds it to the list box; entries that lead to no
 * program are dropped. */
void MakeProgramListItem(HWND list, const char *path, int depth);

/* Adds an entry to the list box; an entry the list box refuses is freed. */
void AddProgramListItem(HWND list, ProgramListItem *item);

/* Empties the list box, freeing its entries of depth 1 or more (those of
 * depth 0 are the StartMenuCache's). */
void ClearProgramList(HWND list);

/* Fills target, arguments, icon path and icon index from the entry's path:
 * through the shell link object for a ".lnk" file, else the path itself.
 * Returns false when the target or the arguments do not fit their field; an
 * icon path that does not fit is left empty (the program's own icon shows). */
bool ResolveShortcut(ProgramListItem *item);

/* Sort order: Go Back first, programs and connections before navigable
 * entries, the Dial-Up Networking entry after folders, then by name. */
int CompareProgramListItems(const ProgramListItem *first, const ProgramListItem *second);

/* The folder title shown in the listing's header: at most 39 characters. */
constexpr int FOLDER_TITLE_LENGTH = 39;

/* ---- connections (connection_picker.cpp) -------------------------------------- */

/* Replaces the listing with "Go Back" and one "Dial NAME" entry per
 * Dial-Up Networking connection. */
void ListConnections(HWND list);

/* ---- dialogs (program_dialog.cpp, setup_app.cpp, program_info.cpp) ------------ */
/* The large icon the shell shows for a program file or shortcut: its
 * associated icon, else the shell's own picture of the file (owned by the
 * caller), or null. */
HICON ExtractFileIcon(const char *path);

INT_PTR CALLBACK SetupAppDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgramInfoDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
