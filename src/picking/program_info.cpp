/* "Programs on the Springdeck CD-ROM": one button per program on the CD-ROM;
 * a press opens that program's help topic and closes the dialog. */
#include "core/core.h"
#include "picking/picking_internal.h"
#include "resource.h"

struct ProgramTopic {
    int button;
    DWORD context; /* help context of the program's topic */
};

constexpr ProgramTopic ProgramTopics[] = {
    {IDC_PGMINFO_EARTHLINK, 106}, {IDC_PGMINFO_ACT, 107}, {IDC_PGMINFO_EUDORA, 108},
    {IDC_PGMINFO_WINFAX, 109},    {IDC_PGMINFO_IE, 110},  {IDC_PGMINFO_AOL, 111},
};

INT_PTR CALLBACK ProgramInfoDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(dialog, id);
            return TRUE;
        }
        for (const ProgramTopic &topic : ProgramTopics) {
            if (topic.button == id) {
                ShowHelp(dialog, topic.context);
                EndDialog(dialog, id);
                return TRUE;
            }
        }
        return FALSE;
    }
    }
    return FALSE;
}
