// Figures that need the browser double, the bookmark picker and the AOL
// double; filled in as those arrive.
#include "bench.h"

static void Pending(const char *id, const char *name)
{
    Figure figure{id, name, "ms"};
    figure.note = "n/a: not measured yet";
    Report(figure);
}

void BenchBookmarks() { Pending("6", "bookmark picker open with 10,000 bookmarks"); }
