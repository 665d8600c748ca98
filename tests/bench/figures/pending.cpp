// Figures that need the browser double, the bookmark picker and the AOL
// double; filled in as those arrive.
#include "bench.h"

static void Pending(const char *id, const char *name)
{
    Figure figure{id, name, "ms"};
    figure.note = "n/a: not measured yet";
    Report(figure);
}

void BenchBrowser() { Pending("3", "key press to browser open request"); }
void BenchBookmarks() { Pending("6", "bookmark picker open with 10,000 bookmarks"); }
void BenchTyping() { Pending("8", "typing a 60-character address into AOL"); }
