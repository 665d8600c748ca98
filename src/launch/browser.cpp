/* Opening web addresses in Netscape Navigator or Internet Explorer. Both
 * browsers take the DDE requests "WWW_OpenURL" (open an address) and
 * "WWW_Activate" (come to the front), so a running browser is told over DDE.
 * A browser that does not answer is looked up in the registry (Navigator also
 * in win.ini) and started with the address on its command line; when neither
 * is there, the system's own handler of the address's scheme gets it; a
 * local file goes only to the program that opens web pages, never to the
 * file's own association, which would run a program. We are a DDE client
 * only; the instance and its callback belong to start-up.
 *
 * The open request is made on a short-lived thread with a DDE instance of its
 * own: a browser that lets the request time out is hung, and ending a
 * conversation with a hung partner waits as long again. That wait belongs to
 * the thread, not to the key press. */
#include "core/core.h"
#include "launch/launch_internal.h"
#include "settings/settings.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <new>

constexpr DWORD BROWSER_PATH_CAPACITY = 260;
constexpr DWORD ADDRESS_CAPACITY = 263; /* a web address or "file://" with an alias */
/* in quotes, with every character escaped at worst */
constexpr DWORD QUOTED_ADDRESS_CAPACITY = 2 * ADDRESS_CAPACITY + 2;
constexpr DWORD REQUEST_ITEM_CAPACITY = QUOTED_ADDRESS_CAPACITY + 17; /* plus ",,0xFFFFFFFF,0x0" */
constexpr DWORD DDE_STRING_LIMIT = 255;                               /* the longest text a DDE string handle holds */
constexpr DWORD BROWSER_COMMAND_CAPACITY = BROWSER_PATH_CAPACITY + 3 + QUOTED_ADDRESS_CAPACITY;
constexpr DWORD WINDOW_TITLE_CAPACITY = 256;
constexpr DWORD MESSAGE_CAPACITY = 128;
constexpr DWORD SERVICE_CAPACITY = 16;

constexpr DWORD OPEN_TIMEOUT_MS = 10000;
/* How long a key press waits for the open request: its own time-out and a
 * little for the connection. */
constexpr DWORD OPEN_WAIT_MS = OPEN_TIMEOUT_MS + 500;
constexpr DWORD ACTIVATE_TIMEOUT_MS = 5000;

constexpr char AllWindows[] = "0xFFFFFFFF";

constexpr char AppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

/* Written on the main thread by each FindBrowserPath (at a key press); its
 * caller reads the path until the next call. */
static struct {
    char path[BROWSER_PATH_CAPACITY];
} BrowserState;

static bool Fits(int written, size_t capacity) { return written >= 0 && static_cast<size_t>(written) < capacity; }

/* The default value of a program's App Paths key, or "" when there is none;
 * path is left alone when the key's name does not fit. */
static void ReadAppPath(const char *program, char *path, DWORD capacity)
{
    char key[MAX_PATH];
    if (Fits(snprintf(key, sizeof key, "%s%s", AppPathsKey, program), sizeof key))
        ReadRegistryString(HKEY_LOCAL_MACHINE, key, nullptr, path, capacity);
}

DWORD ReadNavigatorIni(char *path, DWORD capacity)
{
    /* An entry that fills the buffer may have been cut: it would name
     * another file. */
    DWORD length = GetProfileStringA("Netscape", "ini", "", path, capacity);
    if (capacity > 0 && length >= capacity - 1) {
        path[0] = '\0';
        length = 0;
    }
    return length;
}

const char *FindBrowserPath(BrowserChoice browser)
{
    const BrowserFacts &facts = Browsers[browser];
    BrowserState.path[0] = '\0';
    if (facts.appPathsName)
        ReadAppPath(facts.appPathsName, BrowserState.path, sizeof BrowserState.path);
    /* With a second place to look, the App Paths entry counts only while
     * its file is there. */
    if (!facts.navigatorIni ||
        (BrowserState.path[0] && GetFileAttributesA(BrowserState.path) != INVALID_FILE_ATTRIBUTES))
        return BrowserState.path;
    /* Navigator's own ini file lies beside its executable. */
    DWORD length = ReadNavigatorIni(BrowserState.path, sizeof BrowserState.path);
    if (length > 3)
        memcpy(BrowserState.path + length - 3, "exe", 3);
    return BrowserState.path;
}

static HSZ MakeString(DWORD instance, const char *text) { return DdeCreateStringHandleA(instance, text, CP_WINANSI); }

static void FreeString(DWORD instance, HSZ text)
{
    if (text)
        DdeFreeStringHandle(instance, text);
}

static void EndBrowserConversation()
{
    if (BrowserConversation)
        DdeDisconnect(BrowserConversation);
    BrowserConversation = nullptr;
}

/* True when the browser answered the request with data. */
static bool Request(HCONV conversation, HSZ item, DWORD timeout)
{
    HDDEDATA answer = DdeClientTransaction(nullptr, 0, conversation, item, CF_TEXT, XTYP_REQUEST, timeout, nullptr);
    /* What the browser answers is not looked at, but it is ours to free. */
    if (answer)
        DdeFreeDataHandle(answer);
    return answer != nullptr;
}

/* The text in double quotes, escaped the way Windows programs split their
 * arguments: a quote becomes \" and a run of backslashes before a quote or
 * the closing quote is doubled. False when it does not fit. */
static bool QuoteArgument(const char *text, char *quoted, size_t capacity)
{
    size_t length = 0;
    auto put = [&](char c, size_t count) {
        for (; count > 0; --count) {
            if (length + 1 >= capacity)
                return false;
            quoted[length++] = c;
        }
        return true;
    };
    bool fits = put('"', 1);
    for (const char *p = text; fits; ++p) {
        size_t backslashes = 0;
        while (*p == '\\') {
            ++backslashes;
            ++p;
        }
        /* Backslashes are literal unless a quote follows them. */
        if (!*p) {
            fits = put('\\', 2 * backslashes) && put('"', 1);
            break;
        }
        if (*p == '"')
            fits = put('\\', 2 * backslashes + 1) && put('"', 1);
        else
            fits = put('\\', backslashes) && put(*p, 1);
    }
    if (capacity > 0)
        quoted[fits ? length : 0] = '\0';
    return fits;
}

bool FormatOpenRequestItem(const char *address, char *item, size_t capacity)
{
    char quoted[QUOTED_ADDRESS_CAPACITY];
    /* The browser splits the item at commas; a quoted string is one argument
     * whatever it holds. */
    if (strpbrk(address, ",\"")) {
        if (!QuoteArgument(address, quoted, sizeof quoted))
            return false;
        address = quoted;
    }
    int written = snprintf(item, capacity, "%s,,0xFFFFFFFF,0x0", address);
    return Fits(written, capacity) && written <= static_cast<int>(DDE_STRING_LIMIT);
}

bool FormatBrowserCommand(const char *path, const char *address, char *command, size_t capacity)
{
    char quoted[QUOTED_ADDRESS_CAPACITY];
    if (!QuoteArgument(address, quoted, sizeof quoted))
        return false;
    /* Unquoted, a path with a space would be tried in pieces ("C:\Program.exe"
     * before "C:\Program Files\..."). */
    const char *mark = path[0] == '"' ? "" : "\"";
    return Fits(snprintf(command, capacity, "%s%s%s %s", mark, path, mark, quoted), capacity);
}

enum OpenOutcome : LONG {
    OPEN_NOT_REACHED, /* no conversation: the browser does not run, or the item cannot be sent */
    OPEN_ANSWERED,
    OPEN_REFUSED,   /* answered without data */
    OPEN_TIMED_OUT, /* the browser is hung */
};

/* One open request, shared by the key press that waits for its outcome and
 * the thread that holds the conversation; the last of the two frees it. */
struct OpenRequest {
    LONG references;
    HANDLE decided; /* set once the outcome is known */
    LONG outcome;
    char service[SERVICE_CAPACITY];
    char item[REQUEST_ITEM_CAPACITY];
};

static void ReleaseOpenRequest(OpenRequest *request)
{
    if (InterlockedDecrement(&request->references) > 0)
        return;
    if (request->decided)
        CloseHandle(request->decided);
    delete request;
}

/* The open conversation's own instance is asked nothing back. */
static HDDEDATA CALLBACK OpenConversationCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

/* Holds the conversation of the request, drops its reference and returns its outcome. */
static DWORD WINAPI HoldOpenConversation(void *parameter)
{
    OpenRequest *request = static_cast<OpenRequest *>(parameter);
    DWORD instance = 0;
    HSZ service = nullptr, topic = nullptr, item = nullptr;
    HCONV conversation = nullptr;
    LONG outcome = OPEN_NOT_REACHED;
    if (DdeInitializeA(&instance, OpenConversationCallback, APPCMD_CLIENTONLY, 0) == DMLERR_NO_ERROR) {
        service = MakeString(instance, request->service);
        topic = MakeString(instance, "WWW_OpenURL");
        item = MakeString(instance, request->item);
        if (service && topic && item)
            conversation = DdeConnect(instance, service, topic, nullptr);
    }
    if (conversation) {
        if (Request(conversation, item, OPEN_TIMEOUT_MS))
            outcome = OPEN_ANSWERED;
        else
            outcome = DdeGetLastError(instance) == DMLERR_DATAACKTIMEOUT ? OPEN_TIMED_OUT : OPEN_REFUSED;
    }
    InterlockedExchange(&request->outcome, outcome);
    if (request->decided)
        SetEvent(request->decided);

    if (conversation)
        DdeDisconnect(conversation); /* waits long for a hung browser */
    FreeString(instance, item);
    FreeString(instance, topic);
    FreeString(instance, service);
    if (instance)
        DdeUninitialize(instance);
    ReleaseOpenRequest(request);
    return static_cast<DWORD>(outcome);
}

/* Waits for the outcome. Messages sent to our windows meanwhile (the
 * conversation's own start asks every top-level window) are answered; posted
 * ones, key presses among them, wait until the press is done. */
static LONG WaitForOpenOutcome(OpenRequest *request)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD waited = GetTickCount() - start;
        if (waited >= OPEN_WAIT_MS)
            return OPEN_TIMED_OUT;
        DWORD woken = MsgWaitForMultipleObjects(1, &request->decided, FALSE, OPEN_WAIT_MS - waited, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0)
            return InterlockedExchangeAdd(&request->outcome, 0);
        if (woken != WAIT_OBJECT_0 + 1)
            return OPEN_TIMED_OUT;
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    }
}

/* Sends the open request for the item to the service and tells how it went. */
static LONG AskBrowserToOpen(const char *service, const char *item)
{
    OpenRequest *request = new (std::nothrow) OpenRequest();
    if (!request)
        return OPEN_NOT_REACHED;
    request->references = 2;
    request->outcome = OPEN_NOT_REACHED;
    lstrcpynA(request->service, service, sizeof request->service);
    lstrcpynA(request->item, item, sizeof request->item);
    request->decided = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD threadId;
    HANDLE thread = request->decided ? CreateThread(nullptr, 0, HoldOpenConversation, request, 0, &threadId) : nullptr;
    if (!thread) {
        /* No thread: the whole conversation, its end included, is ours, and
         * so is the reference the thread would have held. */
        request->references = 1;
        return static_cast<LONG>(HoldOpenConversation(request));
    }
    CloseHandle(thread);
    LONG outcome = WaitForOpenOutcome(request);
    ReleaseOpenRequest(request);
    return outcome;
}

/* Brings forward the first top-level window whose title begins with the
 * prefix (a text). */
static BOOL CALLBACK BringTitledWindowForward(HWND window, LPARAM prefix)
{
    const char *start = reinterpret_cast<const char *>(prefix);
    char title[WINDOW_TITLE_CAPACITY];
    if (GetWindowTextA(window, title, sizeof title) > 0 && strncmp(title, start, strlen(start)) == 0) {
        SetForegroundWindow(window);
        return FALSE;
    }
    return TRUE;
}

/* The executable of the program that opens web pages (the one associated
 * with ".htm"), found by the shell's association lookup. Older systems
 * without it have no such program for us. */
static bool FindPageProgram(char *path, DWORD capacity)
{
    using AssocQueryStringFunction =
        HRESULT(WINAPI *)(ASSOCF flags, ASSOCSTR kind, LPCSTR association, LPCSTR extra, LPSTR result, DWORD * size);
    HMODULE library = LoadSystemLibrary("shlwapi.dll");
    if (!library)
        return false;
    AssocQueryStringFunction query = ProcAddress<AssocQueryStringFunction>(library, "AssocQueryStringA");
    DWORD size = capacity;
    bool found = query && query(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, ".htm", "open", path, &size) == S_OK && path[0];
    FreeLibrary(library);
    return found;
}

/* Opened by its own association, the file of a "file:" address may be a
 * program that runs: the shell only gets the local file to show in the
 * program that opens web pages. A file on another computer is not opened. */
static bool ShowFileThroughShell(const char *address)
{
    char path[ADDRESS_CAPACITY], quoted[QUOTED_ADDRESS_CAPACITY], program[BROWSER_PATH_CAPACITY];
    return FileAddressToPath(address, path, sizeof path) && QuoteArgument(path, quoted, sizeof quoted) &&
           FindPageProgram(program, sizeof program) && OpenThroughShell("open", program, quoted);
}

/* Starts the browser's executable with the address on its command line, or
 * else hands the address to the system's handler of its scheme. True when
 * the browser was started and is to be activated next; false when there is
 * nothing more to do, after telling the user of a failure. */
static bool StartBrowser(const char *address, BrowserChoice browser)
{
    char message[MESSAGE_CAPACITY];
    const char *path = FindBrowserPath(browser);
    if (!path[0]) {
        if (IsFileAddress(address) ? ShowFileThroughShell(address) : OpenThroughShell("open", address, nullptr))
            return false;
        // NOLINTNEXTLINE(cert-err33-c): the names are short, and a cut message still reads
        snprintf(message, sizeof message, "%s does not appear to be installed on your computer",
                 Browsers[browser].displayName);
        MessageBoxA(nullptr, message, APP_CAPTION, MB_ICONINFORMATION | MB_SETFOREGROUND);
        return false;
    }
    char command[BROWSER_COMMAND_CAPACITY];
    if (!FormatBrowserCommand(path, address, command, sizeof command) || WinExec(command, SW_SHOWNORMAL) <= 31) {
        MessageBoxA(nullptr, "Unable to launch browser", APP_CAPTION, MB_ICONWARNING | MB_SETFOREGROUND);
        return false;
    }
    return true;
}

int OpenUrlInBrowser(const char *address, BrowserChoice browser)
{
    const BrowserFacts &facts = Browsers[browser];
    /* The activate conversation of the last press may still be open; one
     * open conversation is enough. */
    EndBrowserConversation();

    /* An item too long for DDE takes the road of a browser that does not
     * answer: the address goes on the command line instead. */
    char item[REQUEST_ITEM_CAPACITY];
    LONG outcome = OPEN_NOT_REACHED;
    if (FormatOpenRequestItem(address, item, sizeof item))
        outcome = AskBrowserToOpen(facts.ddeService, item);
    /* A hung browser would let the activate request time out as well. */
    if (outcome == OPEN_TIMED_OUT)
        return 0;
    if (outcome == OPEN_NOT_REACHED && !StartBrowser(address, browser))
        return 0;

    if (facts.windowTitlePrefix)
        EnumWindows(BringTitledWindowForward, reinterpret_cast<LPARAM>(facts.windowTitlePrefix));

    /* Left open: the browser ends it, or the next press does. */
    HSZ service = MakeString(DdeInstance, facts.ddeService);
    HSZ activateItem = MakeString(DdeInstance, AllWindows);
    HSZ activateTopic = MakeString(DdeInstance, "WWW_Activate");
    BrowserConversation = DdeConnect(DdeInstance, service, activateTopic, nullptr);
    if (BrowserConversation)
        Request(BrowserConversation, activateItem, ACTIVATE_TIMEOUT_MS);
    FreeString(DdeInstance, activateItem);
    FreeString(DdeInstance, service);
    FreeString(DdeInstance, activateTopic);
    return 0;
}
