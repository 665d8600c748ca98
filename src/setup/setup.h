/* The key setup dialogs: the setup dialog with its options and key faces,
 * the key action chooser, web site assignment and the bookmark picker. */
#ifndef SPRINGDECK_SETUP_H
#define SPRINGDECK_SETUP_H

#include <windows.h>

#include <string>
#include <vector>

#include "core/core.h"

/* ---- setup dialog (setup_dialog.cpp, run_at_startup.cpp) --------------------- */

/* Dialog procedure of DLG_SETUP. */
INT_PTR CALLBACK SetupDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

/* Start with Windows: with a dialog, stores or deletes the Run value as its
 * check box says; with none (first start), always stores it. */
void ApplyRunAtStartup(HWND dialog);

/* Checks the dialog's "start with Windows" box when the Run value is set. */
void ReadRunAtStartup(HWND dialog);

/* ---- key button faces (key_faces.cpp) ------------------------------------------ */

/* Window properties that record who owns what: the setup dialog's tooltip
 * window, and per key button the icon extracted and the bitmap drawn for its
 * face (shared resource icons are never recorded: they are not ours to free). */
#define SETUP_TOOLTIP_PROP "tt"
#define FACE_ICON_PROP "destroy icon"
#define FACE_BITMAP_PROP "destroy bmp"

/* Per key id: another program holds the key's plain hotkey, so Springdeck
 * cannot use it. Set by every RefreshKeyButtons. */
extern bool KeyInUse[KEY_LAST + 1];

/* Redraws the fifteen key buttons of the setup dialog from the stored
 * assignments, probes which keys another program holds, registers the
 * buttons with the dialog's tooltip ("tt") and re-registers the hotkeys of
 * MainWindow. */
void RefreshKeyButtons(HWND dialog);

/* Destroys the extracted icon and deletes the drawn bitmap that a key
 * button's properties hold, and removes the properties. */
void FreeKeyFace(HWND button);

/* Gives the key's button a face drawn from the web address's text, or, with
 * no address, switches it back to showing an icon. */
void MakeAddressBitmap(HWND dialog, UINT keyId, const char *address);

/* One line of a drawn address face. The last line may be a leftover that
 * ended without a break (it is drawn with prefix processing). */
struct AddressFaceLine {
    std::string text;
    bool leftover;
};

/* Splits the address's text after its scheme into the lines of its face: a
 * line ends after a '.' or '/' or once it measures at least lineWidth in the
 * font selected into dc. */
std::vector<AddressFaceLine> SplitAddressLines(HDC dc, const char *address, int lineWidth);

/* ---- key action chooser (key_chooser.cpp) ------------------------------------- */

/* Lets the user choose what a key does. Returns 1 when the key's assignment
 * may have changed, any other value when nothing changed. */
INT_PTR ConfigureKey(HWND owner, UINT keyId);

/* ---- web sites (website.cpp, local_alias.cpp, preset_sites.cpp) --------------- */

/* "Assign a WebSite": presets, the Yahoo! chooser, a typed address or a
 * bookmark. Returns 2 when the user cancelled. */
INT_PTR AssignWebsite(HWND owner, UINT keyId);

/* Lets the user pick a local HTML file that opens instead of the address. */
void ChooseLocalAlias(HWND owner, const char *address);

/* The built-in web sites: the button that assigns one (control id in the
 * "Assign a WebSite" dialog), its icon, the stored title and the address.
 * One table serves both assigning a site and recognising it on a key. */
struct PresetSite {
    int button;         /* control id; Yahoo! variants use their radio ids */
    const char *label;  /* button text; null for the Yahoo! variants */
    WORD icon;          /* ICO_ resource */
    const char *title;  /* stored as the key's title */
    const char *address;
    bool yahoo;         /* one of the four Yahoo! variants */
};
extern const PresetSite PresetSites[];
extern const size_t PresetSiteCount;

/* The preset whose address equals the text byte for byte, or null. */
const PresetSite *FindPresetSite(const char *address);

#endif
