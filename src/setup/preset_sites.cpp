/* The built-in web sites offered in "Assign a WebSite". Each address string
 * exists once here: the dialog assigns it and the setup dialog's key faces
 * recognise it byte for byte. */
#include "resource.h"
#include "setup/setup_internal.h"

#include <cstring>

constexpr PresetSite PresetSites[] = {
    {IDC_SITE_SOD, "Site of the Day", ICO_SOD, "Site of the Day", "http://www.tolvane.com/cgi-bin/sod.cgi", false},
    {IDC_SITE_CNET, "C|NET", ICO_CNET, "CNET", "http://www.cnet.com", false},
    {IDC_SITE_PATHFINDER, "Time Warner's Pathfinder", ICO_PATHFINDER, "Time-Warner's Pathfinder",
     "http://www.pathfinder.com", false},
    {IDC_SITE_ESPNET, "ESPNET SportsZone", ICO_ESPNET, "ESPNET Sports Zone", "http://espnet.sportszone.com", false},
    {IDC_SITE_E, "E! Online", ICO_E, "E! Online", "http://www.eonline.com", false},
    {IDC_SITE_FAMILYPLANET, "Family Planet", ICO_FAMILYPLANET, "Family Planet", "http://www.familyplanet.com", false},
    {IDC_SITE_USATODAY, "USA Today", ICO_USATODAY, "USA Today", "http://www.usatoday.com", false},
    /* The Yahoo! chooser's radio buttons; the first has the id of the "&Yahoo!" button too. */
    {IDC_YAHOO_MAIN, nullptr, ICO_YAHOO, "Yahoo!", "http://www.yahoo.com", true},
    {IDC_YAHOO_MY, nullptr, ICO_YAHOO, "My Yahoo!", "http://my.yahoo.com", true},
    {IDC_YAHOO_SFBAY, nullptr, ICO_YAHOO, "SF Yahoo", "http://sfbay.yahoo.com", true},
    {IDC_YAHOO_KIDS, nullptr, ICO_YAHOO, "Yahooligans", "http://www.yahooligans.com", true},
};
constexpr size_t PresetSiteCount = sizeof PresetSites / sizeof PresetSites[0];

const PresetSite *FindPresetSite(const char *address)
{
    if (!address)
        return nullptr;
    for (const PresetSite &site : PresetSites)
        if (strcmp(site.address, address) == 0)
            return &site;
    return nullptr;
}
