/* Opening web addresses in Netscape Navigator or Internet Explorer. Both
 * browsers take the DDE requests "WWW_OpenURL" (open an address) and
 * "WWW_Activate" (come to the front), so a running browser is told over DDE.
 * A browser that does not answer is looked up in the registry (Navigator also
 * in win.ini) and started with the address on its command line. We are a DDE
 * client only; the instance and its callback belong to start-up. */
#include "core/core.h"
#include "launch/launch.h"
#include "settings/settings.h"

#include <cstdio>
#include <cstring>

enum : DWORD {
    BROWSER_PATH_CAPACITY = 260,
    ADDRESS_CAPACITY = 263,     /* a web address or "file://" with an alias */
    REQUEST_ITEM_CAPACITY = ADDRESS_CAPACITY + 17, /* plus ",,0xFFFFFFFF,0x0" */
    BROWSER_COMMAND_CAPACITY = BROWSER_PATH_CAPACITY + 1 + ADDRESS_CAPACITY,
    WINDOW_TITLE_CAPACITY = 256,
    MESSAGE_CAPACITY = 128,
};

enum : DWORD {
    OPEN_TIMEOUT_MS = 10000,
    ACTIVATE_TIMEOUT_MS = 5000,
};

static const char NetscapeService[] = "NETSCAPE";
static const char ExplorerService[] = "IExplore";
static const char AllWindows[] = "0xFFFFFFFF";

static const char AppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

/* Filled by FindBrowserPath at each use. */
static char BrowserPath[BROWSER_PATH_CAPACITY];

static DWORD BrowserChoice() { return ReadSettingDword("options", "browser", 0); }

const char *BrowserDdeService()
{
    return BrowserChoice() == 1 ? ExplorerService : NetscapeService;
}

/* The default value of a program's App Paths key, or "" when there is none. */
static void ReadAppPath(const char *program, char *path, LONG capacity)
{
    char key[MAX_PATH];
    snprintf(key, sizeof key, "%s%s", AppPathsKey, program);
    LONG size = capacity;
    if (RegQueryValueA(HKEY_LOCAL_MACHINE, key, path, &size) != ERROR_SUCCESS)
        path[0] = '\0';
    path[capacity - 1] = '\0';
}

const char *FindBrowserPath()
{
    BrowserPath[0] = '\0';
    if (BrowserChoice() != 0) {
        ReadAppPath("iexplore.exe", BrowserPath, sizeof BrowserPath);
        return BrowserPath;
    }
    ReadAppPath("Netscape.exe", BrowserPath, sizeof BrowserPath);
    if (BrowserPath[0] && GetFileAttributesA(BrowserPath) != INVALID_FILE_ATTRIBUTES)
        return BrowserPath;
    /* Navigator's own ini file lies beside its executable. */
    GetProfileStringA("Netscape", "ini", "", BrowserPath, sizeof BrowserPath);
    size_t length = strlen(BrowserPath);
    if (length > 3)
        memcpy(BrowserPath + length - 3, "exe", 3);
    return BrowserPath;
}

static HSZ MakeString(const char *text)
{
    return DdeCreateStringHandleA(DdeInstance, text, CP_WINANSI);
}

static void FreeString(HSZ text)
{
    if (text)
        DdeFreeStringHandle(DdeInstance, text);
}

/* Ends the conversation we hold with a browser, if any. */
static void EndBrowserConversation()
{
    if (BrowserConversation)
        DdeDisconnect(BrowserConversation);
    BrowserConversation = NULL;
}

static void Request(HSZ item, DWORD timeout)
{
    HDDEDATA answer = DdeClientTransaction(NULL, 0, BrowserConversation, item, CF_TEXT, XTYP_REQUEST,
                                           timeout, NULL);
    /* What the browser answers is not looked at, but it is ours to free. */
    if (answer)
        DdeFreeDataHandle(answer);
}

static BOOL CALLBACK BringNetscapeForward(HWND window, LPARAM)
{
    char title[WINDOW_TITLE_CAPACITY];
    if (GetWindowTextA(window, title, sizeof title) > 0 && strncmp(title, "Netscape", 8) == 0) {
        SetForegroundWindow(window);
        return FALSE;
    }
    return TRUE;
}

/* Starts the browser's executable with the address on its command line.
 * False after telling the user why it could not. */
static bool StartBrowser(const char *address)
{
    char message[MESSAGE_CAPACITY];
    const char *path = FindBrowserPath();
    if (!path[0]) {
        snprintf(message, sizeof message, "%s does not appear to be installed on your computer",
                 BrowserChoice() != 0 ? "Microsoft Internet Explorer" : "Netscape Navigator");
        MessageBoxA(NULL, message, APP_CAPTION, MB_ICONINFORMATION | MB_SETFOREGROUND);
        return false;
    }
    char command[BROWSER_COMMAND_CAPACITY];
    snprintf(command, sizeof command, "%s %s", path, address);
    if (WinExec(command, SW_SHOWNORMAL) <= 31) {
        MessageBoxA(NULL, "Unable to launch browser", APP_CAPTION, MB_ICONWARNING | MB_SETFOREGROUND);
        return false;
    }
    return true;
}

int OpenUrlInBrowser(const char *address)
{
    char item[REQUEST_ITEM_CAPACITY];
    snprintf(item, sizeof item, "%s,,0xFFFFFFFF,0x0", address);
    const char *serviceName = BrowserDdeService();
    HSZ service = MakeString(serviceName);
    HSZ openItem = MakeString(item);
    HSZ openTopic = MakeString("WWW_OpenURL");

    /* The activate conversation of the last press may still be open; one
     * open conversation is enough. */
    EndBrowserConversation();
    BrowserConversation = DdeConnect(DdeInstance, service, openTopic, NULL);
    bool reached = true;
    if (BrowserConversation)
        Request(openItem, OPEN_TIMEOUT_MS);
    else
        reached = StartBrowser(address); /* it gets the address on its command line */
    FreeString(openItem);
    FreeString(openTopic);
    if (!reached) {
        FreeString(service);
        return 0;
    }
    EndBrowserConversation();

    if (strcmp(serviceName, NetscapeService) == 0)
        EnumWindows(BringNetscapeForward, 0);

    /* Left open: the browser ends it, or the next press does. */
    HSZ activateItem = MakeString(AllWindows);
    HSZ activateTopic = MakeString("WWW_Activate");
    BrowserConversation = DdeConnect(DdeInstance, service, activateTopic, NULL);
    if (BrowserConversation)
        Request(activateItem, ACTIVATE_TIMEOUT_MS);
    FreeString(activateItem);
    FreeString(service);
    FreeString(activateTopic);
    return 0;
}
