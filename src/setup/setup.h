/* The key setup dialogs: the setup dialog with its options and key faces,
 * the key action chooser, web site assignment and the bookmark picker. */
#ifndef SPRINGDECK_SETUP_H
#define SPRINGDECK_SETUP_H

#include <windows.h>

/* ---- setup dialog (setup_dialog.cpp, run_at_startup.cpp) --------------------- */

/* Dialog procedure of DLG_SETUP. */
INT_PTR CALLBACK SetupDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

/* Start with Windows: with a dialog, stores or deletes the Run value as its
 * check box says; with none (first start), always stores it. */
void ApplyRunAtStartup(HWND dialog);

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
