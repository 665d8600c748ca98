/* The browsers the setup dialog offers, one row each: everything the program
 * knows of a browser is in its row, so that another browser is another row
 * (and its radio button). */
#include "launch/launch.h"
#include "resource.h"

constexpr BrowserFacts Browsers[BROWSER_COUNT] = {
    /* choice, radio button, DDE service, window title prefix, App Paths name, beside Navigator's ini,
     * name in messages, bookmarks browsable, where the bookmarks are */
    {BROWSER_NETSCAPE, IDC_BROWSER_NETSCAPE, "NETSCAPE", "Netscape", "Netscape.exe", true, "Netscape Navigator", true,
     BOOKMARKS_NAVIGATOR_FILE},
    {BROWSER_EXPLORER, IDC_BROWSER_EXPLORER, "IExplore", nullptr, "iexplore.exe", false, "Microsoft Internet Explorer",
     true, BOOKMARKS_FAVORITES},
    /* The AOL client keeps no bookmarks we can read; a picker opened all
     * the same reads Navigator's file. */
    {BROWSER_AOL, IDC_BROWSER_AOL, nullptr, nullptr, nullptr, false, "America Online", false, BOOKMARKS_NAVIGATOR_FILE},
};

static constexpr bool InChoiceOrder()
{
    for (DWORD i = 0; i < BROWSER_COUNT; ++i)
        if (Browsers[i].choice != i)
            return false;
    return true;
}
static_assert(InChoiceOrder(), "the rows stand in the order of BrowserChoice");
