/* Program picking: the Start Menu program list, the program assignment
 * dialog, browsing and confirmation, and the connection picker. */
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

/* ---- the program list (program_list.cpp) -------------------------------------
 * One entry of the program list. The list box stores only a pointer to it and
 * the dialog draws it. Entries of depth 0 belong to the StartMenuCache and
 * live until the program ends; deeper entries belong to the listing shown
 * and are freed when it is cleared. */
enum : size_t { PROGRAM_TEXT_CAPACITY = 256 };  /* every text field, with its zero */

struct ProgramListItem {
    HICON icon;            /* small icon, owned by the entry; may be null */
    DWORD iconWidth;       /* 16 with an icon, 2 without: room left of the text */
    DWORD iconHeight;      /* always 16 */
    char displayName[PROGRAM_TEXT_CAPACITY];
    char path[PROGRAM_TEXT_CAPACITY];       /* file or folder; Go Back: the folder to return to */
    char target[PROGRAM_TEXT_CAPACITY];     /* program to run, short form for shortcuts */
    char arguments[PROGRAM_TEXT_CAPACITY];  /* shortcut arguments; connection name */
    char iconPath[PROGRAM_TEXT_CAPACITY];
    int iconIndex;
    BOOL isFolder;       /* navigable: folder, Go Back or the Dial-Up Networking entry */
    BOOL isGoBack;
    BOOL isConnection;   /* the Dial-Up Networking entry or one connection */
    int depth;           /* 0 = top level */
    ProgramListItem *next;  /* next entry of the StartMenuCache */
};

/* Replaces the listing of the list box (or, with none, fills the cache) with
 * the folder's entries at the given depth; depth 0 with a list box shows the
 * cache and reads nothing. A folder of either Start Menu is listed together
 * with the same folder of the other one. */
void FillProgramList(HWND list, const char *folder, int depth);

/* Builds one entry for a file or folder (or the Go Back entry for a path
 * ending in "..") and adds it; entries that lead to no program are dropped. */
void MakeProgramListItem(HWND list, const char *path, int depth);

/* Adds an entry to the list box, or to the front of the cache when there is
 * none. An entry the list box refuses is freed. */
void AddProgramListItem(HWND list, ProgramListItem *item);

/* Empties the list box, freeing its entries of depth 1 or more; with none,
 * frees the whole cache. */
void ClearProgramList(HWND list);

/* Fills target, arguments, icon path and icon index from the entry's path:
 * through the shell link object for a ".lnk" file, else the path itself.
 * Returns false when the target or the arguments do not fit their field; an
 * icon path that does not fit is left empty (the program's own icon shows). */
bool ResolveShortcut(ProgramListItem *item);

/* Sort order: Go Back first, programs and connections before navigable
 * entries, the Dial-Up Networking entry after folders, then by name. */
int CompareProgramListItems(const ProgramListItem *first, const ProgramListItem *second);

/* The "Dial-Up Networking" entry that leads to the connection listing. */
void AddDialUpEntry(HWND list);

/* Destroys the entry's icon and frees it. */
void FreeProgramListItem(ProgramListItem *item);

/* The folder title shown in the listing's header: at most 39 characters. */
enum : int { FOLDER_TITLE_LENGTH = 39 };

/* ---- connections (connection_picker.cpp) -------------------------------------- */

/* Replaces the listing with "Go Back" and one "Dial NAME" entry per
 * Dial-Up Networking connection. */
void ListConnections(HWND list);

/* Adds the connection entry "Dial NAME". A name too long to be stored whole
 * is left out: a cut name would never dial. */
void AddConnectionItem(HWND list, const char *name, int depth);

/* ---- dialogs (program_dialog.cpp, setup_app.cpp, program_info.cpp) ------------ */
/* The large icon of a program file or shortcut (owned by the caller), or null. */
HICON ExtractProgramIcon(const char *path);

INT_PTR CALLBACK ProgramDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SetupAppDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgramInfoDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
