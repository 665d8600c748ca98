/* Opening help at a topic's context number. Two help files may lie beside
 * the program, named after the program file (whatever it is called):
 * springdeck.chm, for the HTML Help viewer that every Windows since 98 has,
 * and springdeck.hlp, for WinHelp, which Windows Vista and later no longer
 * have. The HTML Help file is opened when it is there and the viewer
 * (hhctrl.ocx, looked up at run time) loads; otherwise WinHelp opens the
 * Windows Help file. Both hold the same topics under the same numbers. */
#include "core/core_internal.h"

#include <htmlhelp.h>

using HtmlHelpFunction = HWND(WINAPI *)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

/* Written on the main thread by the first ShowHelp that finds the HTML Help
 * viewer, which then runs in this process, on this thread; never unloaded:
 * its windows live until CloseHelp. */
static struct {
    HtmlHelpFunction openHtmlHelp;
} Help;

static HtmlHelpFunction LoadHtmlHelp()
{
    if (Help.openHtmlHelp)
        return Help.openHtmlHelp;
    HMODULE module = LoadSystemLibrary("hhctrl.ocx");
    if (!module)
        return nullptr;
    Help.openHtmlHelp = ProcAddress<HtmlHelpFunction>(module, "HtmlHelpA");
    if (!Help.openHtmlHelp)
        FreeLibrary(module);
    return Help.openHtmlHelp;
}

void ShowHelp(HWND owner, DWORD context)
{
    char path[MAX_PATH];
    HtmlHelpFunction htmlHelp = ProgramFilePath(L"chm", path, sizeof path) && IsFile(path) ? LoadHtmlHelp() : nullptr;
    if (htmlHelp) {
        /* The help window belongs to no dialog, as WinHelp's does not: the
         * CD-ROM programs' chooser closes right after asking for a topic,
         * and a window it owned would close with it. */
        htmlHelp(nullptr, path, HH_HELP_CONTEXT, context);
        return;
    }
    if (ProgramFilePath(L"hlp", path, sizeof path))
        WinHelpA(owner, path, HELP_CONTEXT, context);
}

void CloseHelp()
{
    if (Help.openHtmlHelp)
        Help.openHtmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
}
