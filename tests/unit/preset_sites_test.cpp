// The built-in web sites of "Assign a WebSite".
#include <gtest/gtest.h>

#include <iterator>

#include "resource.h"
#include "setup/setup_internal.h"

namespace {

TEST(PresetSites, EveryAddressIsAHomePageOrTheSiteOfTheDay)
{
    const struct {
        int button;
        bool yahoo;
        const char *address;
    } expected[] = {
        {IDC_SITE_SOD, false, "http://www.tolvane.com/cgi-bin/sod.cgi"},
        {IDC_SITE_CNET, false, "http://www.cnet.com"},
        {IDC_SITE_PATHFINDER, false, "http://www.pathfinder.com"},
        {IDC_SITE_ESPNET, false, "http://espnet.sportszone.com"},
        {IDC_SITE_E, false, "http://www.eonline.com"},
        {IDC_SITE_FAMILYPLANET, false, "http://www.familyplanet.com"},
        {IDC_SITE_USATODAY, false, "http://www.usatoday.com"},
        {IDC_YAHOO_MAIN, true, "http://www.yahoo.com"},
        {IDC_YAHOO_MY, true, "http://my.yahoo.com"},
        {IDC_YAHOO_SFBAY, true, "http://sfbay.yahoo.com"},
        {IDC_YAHOO_KIDS, true, "http://www.yahooligans.com"},
    };
    ASSERT_EQ(PresetSiteCount, std::size(expected));
    for (const auto &row : expected) {
        const PresetSite *site = FindPresetSite(row.address);
        ASSERT_NE(site, nullptr) << row.address;
        EXPECT_EQ(site->button, row.button) << row.address;
        EXPECT_EQ(site->yahoo, row.yahoo) << row.address;
    }
    EXPECT_EQ(FindPresetSite("http://www.cnet.com/"), nullptr);
    EXPECT_EQ(FindPresetSite(""), nullptr);
}

} // namespace
