/* Springdeck's version, kept here alone: the version resource, the About box
 * and the installer (its file name and version resource) all take it from
 * these two numbers. */
#ifndef SPRINGDECK_VERSION_H
#define SPRINGDECK_VERSION_H

#define SD_VERSION_MAJOR 1
#define SD_VERSION_MINOR 5

#define SD_STRINGIZE_(x) #x
#define SD_STRINGIZE(x)  SD_STRINGIZE_(x)
#define SD_VERSION_TEXT  SD_STRINGIZE(SD_VERSION_MAJOR) "." SD_STRINGIZE(SD_VERSION_MINOR)

#endif
