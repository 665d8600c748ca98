/* Reading the bookmarks of current browsers: Chromium-family JSON files and
 * Firefox's compressed backups. */
#include "setup/setup_internal.h"

void ReadChromiumBookmarks(const char *, size_t, void *, BookmarkCallback, void *)
{
}

void ReadChromiumProfiles(const char *, size_t, ProfileCallback, void *)
{
}

void ReadFirefoxBackup(const char *, size_t, void *, BookmarkCallback, void *)
{
}

bool DecodeMozLz4(const char *, size_t, size_t, std::string *)
{
    return false;
}
