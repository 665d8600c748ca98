/* Resource and control ids shared by the .rc files and the code.
 * Names and numbers are the ones the dialogs and the rest of the program use
 * throughout; keep them in one place. */
#ifndef SPRINGDECK_RESOURCE_H
#define SPRINGDECK_RESOURCE_H

/* Icons. ICO_SPRINGDECK comes first so that Explorer shows it for the exe. */
#define ICO_SPRINGDECK          1
#define ICO_F1                  201
#define ICO_F2                  202
#define ICO_F3                  203
#define ICO_F4                  204
#define ICO_F5                  205
#define ICO_F6                  206
#define ICO_F7                  207
#define ICO_F8                  208
#define ICO_F9                  209
#define ICO_F10                 210
#define ICO_F11                 211
#define ICO_F12                 212
#define ICO_PS                  213
#define ICO_SL                  214
#define ICO_PAUSE               215
#define ICO_BLANK               216
#define ICO_CONNECT             220
#define ICO_UPDIR               221
#define ICO_YAHOO               230
#define ICO_CNET                231
#define ICO_PATHFINDER          232
#define ICO_ESPNET              233
#define ICO_E                   234
#define ICO_FAMILYPLANET        235
#define ICO_USATODAY            236
#define ICO_SOD                 237

/* Bitmaps */
#define BMP_BOOKMARK            301
#define BMP_FOLDEROPEN          302
#define BMP_FOLDERCLOSED        303

/* Menu and its commands */
#define MENU_SPRINGDECK         400
#define IDM_SETUP               101
#define IDM_TURNOFF             102

/* Dialogs. The ones without a name of their own keep numeric template ids. */
#define DLG_KEYACTION           1 /* the key action chooser, "Springdeck Setup" */
#define DLG_WEBSITE             2 /* "Assign a WebSite" */
#define DLG_YAHOO               3 /* "Choose your Yahoo! site" */
#define DLG_PROGRAMS            4 /* "Assign a software program" */
#define DLG_CUSTOMSITE          5 /* "Custom WebSite" */
#define DLG_SETUP               500
#define DLG_ABOUT               501
#define DLG_BOOKMARK            502
#define DLG_SETUPAPP            503
#define DLG_PGMINFO             504

/* Control ids shared by many dialogs */
#define IDC_HELPBUTTON          9 /* every Help button opens help topic 100 */

/* ---- setup dialog, About box, key chooser (setup.rc) ---- */
/* DLG_SETUP: the key buttons carry the key ids 101-115. */
#define IDC_RUN_AT_STARTUP      116
#define IDC_ABOUT               117
#define IDC_BROWSER_GROUP       118
#define IDC_BROWSER_NETSCAPE    119
#define IDC_BROWSER_EXPLORER    120
#define IDC_BROWSER_AOL         508
/* DLG_KEYACTION, the key action chooser */
#define IDC_KEY_ICON            400
#define IDC_LAUNCH_PROGRAM      102
#define IDC_GO_TO_WEBSITE       103
#define IDC_STANDARD_FUNCTION   104
/* DLG_ABOUT */
#define IDC_LEGAL_NOTICE        101

/* ---- web site assignment and bookmarks (website.rc) ---- */

/* "Assign a WebSite" (DLG_WEBSITE). The preset buttons carry the ids of their
 * PresetSite rows. */
#define IDC_WEB_KEYICON         400 /* the key's own icon */
#define IDC_WEB_ASSIGNED        592 /* "You have assigned:", shown once a site is chosen */
#define IDC_WEB_SITEICON        987 /* the chosen site's icon */
#define IDC_WEB_CNETICON        301 /* decoration beside "C|NET" */
#define IDC_SITE_SOD            101
#define IDC_SITE_CNET           102
#define IDC_SITE_PATHFINDER     103
#define IDC_SITE_ESPNET         104
#define IDC_SITE_E              105
#define IDC_SITE_FAMILYPLANET   106
#define IDC_SITE_USATODAY       107
#define IDC_WEB_CUSTOM          108 /* "Custom WebSite" */
#define IDC_WEB_BOOKMARKS       472 /* "Browse your Bookmarks" */
#define IDC_SITE_YAHOO          695 /* "&Yahoo!": opens DLG_YAHOO */

/* "Choose your Yahoo! site" (DLG_YAHOO): the radio ids are the ids of the
 * Yahoo! rows of PresetSite. */
#define IDC_YAHOO_GROUP         101
#define IDC_YAHOO_MAIN          695
#define IDC_YAHOO_MY            103
#define IDC_YAHOO_SFBAY         102
#define IDC_YAHOO_KIDS          104

/* "Custom WebSite" (DLG_CUSTOMSITE) */
#define IDC_CUSTOM_ADDRESS      103

/* "Select a BookMark" (DLG_BOOKMARK) */
#define IDC_BOOKMARK_TREE       101
#define IDC_BOOKMARK_ADDRESS    121 /* the selected bookmark's address */
#define IDC_BOOKMARK_FROM_FILE  122 /* "From File...": adds an exported bookmark file */

/* ---- program picking and connections (programs.rc) ---- */

/* "Assign a software program" (DLG_PROGRAMS) */
#define IDC_PROGRAM_INFO        101 /* Info button, becomes a bitmap button */
#define IDC_PROGRAM_LIST        102 /* owner-drawn list of ProgramListItem entries */
#define IDC_PROGRAM_BROWSE      108 /* Browse button; also the dialog's Browse result */
#define IDC_PROGRAM_ASSIGNED    324 /* "You have assigned" */
#define IDC_PROGRAM_KEYICON     400 /* the key's icon */
#define IDC_PROGRAM_PREVIEW     493 /* large icon of the selected entry */
#define IDC_PROGRAM_HEADER      543 /* header of the listing */
#define IDC_PROGRAM_INSTRUCTION 773 /* bold instruction */

/* "Springdeck - Setup Application" (DLG_SETUPAPP) */
#define IDC_SETUPAPP_BROWSE     101 /* "&Browse again..." */
#define IDC_SETUPAPP_PATH       102
#define IDC_SETUPAPP_ICON       493

/* "Programs on the Springdeck CD-ROM" (DLG_PGMINFO): one button per program */
#define IDC_PGMINFO_EARTHLINK   101
#define IDC_PGMINFO_ACT         103
#define IDC_PGMINFO_EUDORA      104
#define IDC_PGMINFO_WINFAX      105
#define IDC_PGMINFO_IE          120
#define IDC_PGMINFO_AOL         508

#endif
