/* The texts that carry an address to a browser, for browser.cpp and the unit
 * tests: the open request item and the command line that starts a browser. */
#ifndef SPRINGDECK_BROWSER_INTERNAL_H
#define SPRINGDECK_BROWSER_INTERNAL_H

#include <cstddef>

/* The text in double quotes, escaped the way Windows programs split their
 * arguments: a quote becomes \" and a run of backslashes before a quote or
 * the closing quote is doubled. False when it does not fit. */
bool QuoteArgument(const char *text, char *quoted, size_t capacity);

/* The open request item "%s,,0xFFFFFFFF,0x0". An address holding a comma or a
 * quote goes in quotes (QuoteArgument), so that it stays one argument. False
 * when the item does not fit or is too long for a DDE string (255 characters). */
bool FormatOpenRequestItem(const char *address, char *item, size_t capacity);

/* The command line that starts the browser: its path, in quotes unless it is
 * quoted already, and the address in quotes. False when it does not fit. */
bool FormatBrowserCommand(const char *path, const char *address, char *command, size_t capacity);

#endif
