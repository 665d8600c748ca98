/* "Select Local Alias": a local HTML file that opens instead of a web
 * address. The alias belongs to the address exactly as keys store it, so
 * every key with that address uses it. Nothing here removes an alias. */
#include "settings/settings.h"
#include "setup/setup_internal.h"

#include <commdlg.h>

void InitOpenFile(OPENFILENAMEA *open, HWND owner, const char *filter, const char *title, char *file, DWORD capacity,
                  DWORD flags)
{
    *open = {};
    /* The Windows 95 size of the record, which every version accepts. */
    open->lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    open->hwndOwner = owner;
    open->lpstrFilter = filter;
    open->lpstrFile = file;
    open->nMaxFile = capacity;
    open->lpstrTitle = title;
    open->Flags = flags;
}

/* The Open File dialog; on no choice, its error (0 when cancelled). */
static bool ShowOpenFileDialog(OPENFILENAMEA *open, DWORD *error)
{
    bool chosen = GetOpenFileNameA(open);
    *error = chosen ? 0 : CommDlgExtendedError();
    return chosen;
}

/* Written only by SetOpenFileDialog, which unit tests call before and after they choose. */
static OpenFileDialog RunOpenFileDialog = ShowOpenFileDialog;
void SetOpenFileDialog(OpenFileDialog dialog) { RunOpenFileDialog = dialog ? dialog : ShowOpenFileDialog; }

void ChooseLocalAlias(HWND owner, const char *address)
{
    char file[ICON_PATH_CAPACITY];
    ReadSettingString("alias", address, "", file, sizeof file);

    OPENFILENAMEA open;
    InitOpenFile(&open, owner, "HTML Files (*.htm;*.html)\0*.htm;*.html\0", "Select Local Alias", file, sizeof file,
                 OFN_HIDEREADONLY);
    DWORD error = 0;
    bool chosen = RunOpenFileDialog(&open, &error);
    if (!chosen && error == FNERR_INVALIDFILENAME) {
        /* A stored alias the dialog will not show must not lock the user
         * out: start again with an empty name. */
        file[0] = '\0';
        chosen = RunOpenFileDialog(&open, &error);
    }
    if (chosen)
        WriteSettingString("alias", address, file);
}
