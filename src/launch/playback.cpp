/* Keystroke playback: types a short list of key events into whatever window
 * has the keyboard focus, as if the user had typed them. Ctrl+Alt with a
 * Springpad plays the key itself; the America Online route types an address.
 *
 * Each request runs on a thread of its own. The thread first offers the
 * events to the system through a journal playback hook; where the system
 * refuses that hook or never asks it for an event, the same thread injects
 * the same events as keyboard input instead. At most one playback runs at a
 * time in the process. */
#include "core/core.h"
#include "launch/launch_internal.h"

#include <atomic>
#include <cstring>

/* How long the system may take to ask an installed journal hook for its
 * first event before we conclude that it never will. */
constexpr DWORD FIRST_CALL_BOUND = 200;

/* A journal playback whose hook the system stops calling for this long
 * (beyond the delay between two events) is ended, so that it cannot keep
 * the process refusing every later request. */
constexpr DWORD STALL_BOUND = 2000;

/* What the requester (PlayKeys) hands to the thread. It lives on the
 * requester's stack, so the thread drops its pointer as soon as it has
 * signalled the decision. */
struct PlaybackRequestBlock {
    const WORD *request;
    DWORD delay;
    bool result;
    HANDLE decided;
};

/* Written by the active playback thread (both hooks run on it); active and threadId change under Locks().active
 * and any thread reads them; the unit tests set the sink. Static: active never points into a dead thread's stack. */
static struct {
    PlaybackState state;
    std::atomic<PlaybackState *> active{nullptr};
    std::atomic<DWORD> threadId{0};
    KeyEventSink eventSink;
    LONG injectedEvents; /* every key event injected so far */
    ModifierWatch watch; /* Ctrl and Alt that the user holds while a playback goes in as input */
} Playback;

struct PlaybackLocks {
    CRITICAL_SECTION active; /* guards the test and the setting of Playback.active */
    HANDLE idle;             /* manual-reset, signalled while no playback runs */
};

/* Created once, the first time any thread needs them; the language makes a
 * concurrent first call wait instead of initialising twice. They are never
 * deleted: a playback thread may still run while the process's exit
 * handlers do. */
static PlaybackLocks &Locks()
{
    static PlaybackLocks locks;
    [[maybe_unused]] static const bool ready = [] {
        InitializeCriticalSection(&locks.active);
        locks.idle = CreateEventA(nullptr, TRUE, TRUE, nullptr);
        return true;
    }();
    return locks;
}

/* ---- the playback list ------------------------------------------------------ */

void BeginPlaybackState(PlaybackState *state, const WORD *request, DWORD delay, DWORD now)
{
    *state = {};
    state->index = -1;
    state->nextTime = now;
    state->delay = delay;
    state->count = request[0] < PLAYBACK_CAPACITY ? request[0] : PLAYBACK_CAPACITY;
    for (int i = 0; i < state->count; ++i)
        state->entries[i] = request[1 + i];
}

bool AdvancePlayback(PlaybackState *state, DWORD now)
{
    if (state->index >= state->count)
        return true;
    state->nextTime = now + state->delay;
    if (state->index == -1)
        state->index = 0;
    else if (state->entries[state->index] & (PLAYBACK_KEY_UP | PLAYBACK_KEY_DOWN))
        ++state->index;
    else
        state->entries[state->index] |= PLAYBACK_KEY_UP; /* its key-up comes next */
    return state->index >= state->count;
}

void CurrentPlaybackEvent(const PlaybackState *state, EVENTMSG *event)
{
    *event = {};
    if (state->index < 0 || state->index >= state->count)
        return;
    DWORD entry = state->entries[state->index];
    bool up = (entry & PLAYBACK_KEY_UP) != 0;
    if (entry & PLAYBACK_SYSTEM_KEY)
        event->message = up ? WM_SYSKEYUP : WM_SYSKEYDOWN;
    else
        event->message = up ? WM_KEYUP : WM_KEYDOWN;
    event->paramL = entry & 0xFF;
    event->paramH = MapVirtualKeyA(entry & 0xFF, 0);
    event->time = state->nextTime;
    event->hwnd = nullptr;
}

static bool IsKeyUpEvent(const EVENTMSG *event) { return event->message == WM_KEYUP || event->message == WM_SYSKEYUP; }

/* Keeps track of the keys this playback holds down, so that an early end
 * can release them. */
static void NoteKeyEvent(PlaybackState *state, const EVENTMSG *event)
{
    if (event->message)
        state->held[event->paramL & 0xFF] = IsKeyUpEvent(event) ? 0 : 1;
}

LRESULT JournalPlaybackStep(PlaybackState *state, int code, WPARAM wParam, LPARAM lParam, DWORD now)
{
    if (!state)
        return 0;
    switch (code) {
    case HC_GETNEXT: {
        /* The system may ask for the same event several times: the position
         * does not move here. */
        EVENTMSG *event = reinterpret_cast<EVENTMSG *>(lParam);
        CurrentPlaybackEvent(state, event);
        NoteKeyEvent(state, event);
        state->asked = true;
        state->lastHookCall = now;
        LONG wait = static_cast<LONG>(state->nextTime - now);
        return wait > 0 ? wait : 0;
    }
    case HC_SKIP:
        state->lastHookCall = now;
        if (AdvancePlayback(state, now)) {
            if (state->hook)
                UnhookWindowsHookEx(state->hook);
            state->hook = nullptr;
            PostQuitMessage(0);
        }
        return 0;
    default:
        return CallNextHookEx(state->hook, code, wParam, lParam);
    }
}

/* The system calls the journal hook on the thread that installed it, so the
 * state is only ever touched by the playback thread. */
static LRESULT CALLBACK JournalPlaybackProc(int code, WPARAM wParam, LPARAM lParam)
{
    return JournalPlaybackStep(Playback.active.load(), code, wParam, lParam, GetTickCount());
}

void SetKeyEventSink(KeyEventSink sink) { Playback.eventSink = sink; }

/* ---- injecting keyboard input ----------------------------------------------- */

using SendInputFunction = UINT(WINAPI *)(UINT count, INPUT *inputs, int size);

/* SendInput is missing on the first Windows 95 releases; keybd_event is
 * there everywhere. */
static SendInputFunction FindSendInput()
{
    static SendInputFunction function = ProcAddress<SendInputFunction>(GetModuleHandleA("user32.dll"), "SendInput");
    return function;
}

/* Keys whose scan code comes with the E0 prefix: without the extended flag
 * the target would see the numeric-pad key of the same scan code. */
static bool IsExtendedKey(BYTE vk)
{
    switch (vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_SNAPSHOT:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
        return true;
    }
    return false;
}

static bool InjectKey(BYTE vk, BYTE scan, bool up)
{
    DWORD flags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    if (SendInputFunction sendInput = FindSendInput()) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = scan;
        input.ki.dwFlags = flags;
        input.ki.dwExtraInfo = INJECTED_BY_PLAYBACK;
        if (sendInput(1, &input, sizeof input) != 1)
            return false;
    } else {
        keybd_event(vk, scan, flags, INJECTED_BY_PLAYBACK);
    }
    ++Playback.injectedEvents;
    return true;
}

static bool InjectVirtualKey(BYTE vk, bool up) { return InjectKey(vk, static_cast<BYTE>(MapVirtualKeyA(vk, 0)), up); }

/* Delivers one event as keyboard input. Input carries no system-key flag:
 * the system makes a key a system key when Alt is down, so a system-key
 * event is wrapped in Alt unless Alt is down already. */
static bool DeliverEvent(const EVENTMSG *event)
{
    if (Playback.eventSink)
        return Playback.eventSink(event);
    BYTE vk = static_cast<BYTE>(event->paramL & 0xFF);
    BYTE scan = static_cast<BYTE>(event->paramH & 0xFF);
    bool system = event->message == WM_SYSKEYDOWN || event->message == WM_SYSKEYUP;
    bool wrap = system && vk != VK_MENU && !(GetAsyncKeyState(VK_MENU) & 0x8000);
    BYTE altScan = static_cast<BYTE>(MapVirtualKeyA(VK_MENU, 0));
    if (wrap && !InjectKey(VK_MENU, altScan, false))
        return false;
    bool delivered = InjectKey(vk, scan, IsKeyUpEvent(event));
    if (wrap)
        InjectKey(VK_MENU, altScan, true);
    return delivered;
}

/* Shift, Ctrl and Alt in every form, in the order an early end releases
 * them: Alt, Ctrl, Shift, as the typing itself lets go of them. */
constexpr BYTE ModifierReleaseOrder[] = {VK_MENU,  VK_LMENU,  VK_RMENU,  VK_CONTROL, VK_LCONTROL, VK_RCONTROL,
                                         VK_SHIFT, VK_LSHIFT, VK_RSHIFT, VK_LWIN,    VK_RWIN};

static bool IsModifierKey(int vk)
{
    for (BYTE modifier : ModifierReleaseOrder)
        if (modifier == vk)
            return true;
    return false;
}

static void ReleaseHeldKey(PlaybackState *state, int vk)
{
    if (!state->held[vk])
        return;
    EVENTMSG event = {};
    event.message = WM_KEYUP;
    event.paramL = static_cast<UINT>(vk);
    event.paramH = MapVirtualKeyA(static_cast<UINT>(vk), 0);
    event.time = GetTickCount();
    DeliverEvent(&event);
    state->held[vk] = 0;
}

/* After an early end: lets go of every key the playback still holds, the
 * ordinary keys first and the modifiers last, so that no key still down
 * turns into a shortcut while the modifiers go up. */
static void ReleaseHeldKeys(PlaybackState *state)
{
    for (int vk = 1; vk < 256; ++vk)
        if (!IsModifierKey(vk))
            ReleaseHeldKey(state, vk);
    for (BYTE vk : ModifierReleaseOrder)
        ReleaseHeldKey(state, vk);
}

/* ---- Ctrl and Alt that the user still holds ---------------------------------- */

/* Ctrl+Alt with a Springpad reaches us while the user still holds Ctrl and
 * Alt. Injected over them, the key would arrive as Ctrl+Alt+key (and Alt+
 * Print Screen captures only the active window). The journal hook plays
 * over a cleared keyboard; injected input cannot, so the held keys are let
 * up for the playback and pressed again after it for as long as the user
 * holds them. Meanwhile a low-level keyboard hook follows the user's own
 * events on those keys: a key the user let go of stays up. Where there is
 * no such hook, or it fell behind our events, the keys simply stay up, so
 * that none can stay held after the user has let go. */
constexpr BYTE LiftedKeys[LIFTED_KEY_COUNT] = {VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU};

/* An unassigned key code. Pressed while Alt is down it makes the Alt
 * release end a shortcut instead of a lone Alt press, which would open the
 * focused window's menu bar. */
constexpr BYTE MENU_MASK_KEY = 0xE8;

/* How long we wait for the low-level hook to see the events we injected. */
constexpr DWORD WATCH_BOUND = 500;

static int LiftedKeyIndex(DWORD vk, DWORD flags)
{
    if (vk == VK_CONTROL)
        vk = (flags & LLKHF_EXTENDED) ? VK_RCONTROL : VK_LCONTROL;
    else if (vk == VK_MENU)
        vk = (flags & LLKHF_EXTENDED) ? VK_RMENU : VK_LMENU;
    for (int i = 0; i < LIFTED_KEY_COUNT; ++i)
        if (LiftedKeys[i] == vk)
            return i;
    return -1;
}

static LRESULT CALLBACK WatchUserModifiers(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const KBDLLHOOKSTRUCT *key = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
        int i = LiftedKeyIndex(key->vkCode, key->flags);
        bool up = (key->flags & LLKHF_UP) != 0;
        if (key->dwExtraInfo == INJECTED_BY_PLAYBACK) {
            ++Playback.watch.seen;
            if (i >= 0 && !up)
                Playback.watch.restoring[i] = false;
        } else if (i >= 0) {
            Playback.watch.userHolds[i] = !up;
            if (Playback.watch.restoring[i])
                Playback.watch.releasedFirst[i] = up;
        }
    }
    return CallNextHookEx(Playback.watch.hook, code, wParam, lParam);
}

static bool WatchCaughtUp() { return Playback.watch.seen >= Playback.injectedEvents - Playback.watch.injectedBefore; }

/* Runs the hook calls waiting for this thread until the hook has seen every
 * event we injected (within a bound). Posted messages stay queued. False
 * when the hook fell behind: the system removes a low-level hook that takes
 * too long to answer (a busy machine is enough), without a word, so it may
 * be gone. */
static bool CatchUpWithWatch()
{
    DWORD start = GetTickCount();
    while (!WatchCaughtUp() && GetTickCount() - start < WATCH_BOUND) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return WatchCaughtUp();
}

LiftedKeyStep SettleLiftedKey(const ModifierWatch *watch, int i, bool caughtUp)
{
    if (!watch->pressedAgain[i])
        return caughtUp && watch->lifted[i] && watch->userHolds[i] ? LIFTED_KEY_PRESS : LIFTED_KEY_LEAVE;
    return !caughtUp || watch->releasedFirst[i] ? LIFTED_KEY_RELEASE : LIFTED_KEY_LEAVE;
}

static void LiftHeldModifiers()
{
    Playback.watch = {};
    bool any = false;
    for (BYTE vk : LiftedKeys)
        any = any || (GetAsyncKeyState(vk) & 0x8000);
    if (Playback.eventSink || !any)
        return;
    Playback.watch.injectedBefore = Playback.injectedEvents;
    Playback.watch.hook = SetWindowsHookExA(WH_KEYBOARD_LL, WatchUserModifiers, GetModuleHandleA(nullptr), 0);
    /* Read again with the hook in place: a release from here on is seen. */
    bool alt = false;
    for (int i = 0; i < LIFTED_KEY_COUNT; ++i) {
        Playback.watch.lifted[i] = Playback.watch.userHolds[i] = (GetAsyncKeyState(LiftedKeys[i]) & 0x8000) != 0;
        alt = alt || (Playback.watch.lifted[i] && (LiftedKeys[i] == VK_LMENU || LiftedKeys[i] == VK_RMENU));
    }
    if (alt) {
        InjectVirtualKey(MENU_MASK_KEY, false);
        InjectVirtualKey(MENU_MASK_KEY, true);
    }
    for (int i = 0; i < LIFTED_KEY_COUNT; ++i) /* Ctrl before Alt */
        if (Playback.watch.lifted[i])
            InjectVirtualKey(LiftedKeys[i], true);
}

/* Presses again what the user still holds, Ctrl before Alt as they were
 * pressed, and masks the Alt so that its release opens no menu. */
static void RestoreLiftedModifiers()
{
    if (!Playback.watch.hook)
        return;
    bool caughtUp = CatchUpWithWatch();
    bool alt = false;
    for (int i = 0; i < LIFTED_KEY_COUNT; ++i) {
        if (SettleLiftedKey(&Playback.watch, i, caughtUp) != LIFTED_KEY_PRESS)
            continue;
        Playback.watch.restoring[i] = Playback.watch.pressedAgain[i] = true;
        InjectVirtualKey(LiftedKeys[i], false);
        alt = alt || LiftedKeys[i] == VK_LMENU || LiftedKeys[i] == VK_RMENU;
    }
    if (alt) {
        InjectVirtualKey(MENU_MASK_KEY, false);
        InjectVirtualKey(MENU_MASK_KEY, true);
    }
    caughtUp = CatchUpWithWatch();
    for (int i = 0; i < LIFTED_KEY_COUNT; ++i)
        if (SettleLiftedKey(&Playback.watch, i, caughtUp) == LIFTED_KEY_RELEASE)
            InjectVirtualKey(LiftedKeys[i], true);
    UnhookWindowsHookEx(Playback.watch.hook);
    Playback.watch.hook = nullptr;
}

/* ---- the playback thread ---------------------------------------------------- */

enum PlaybackOutcome { PLAYBACK_FINISHED, PLAYBACK_CANCELLED, PLAYBACK_NOT_PLAYING };

/* Tells the requester the decision and forgets its block, which ends with
 * PlayKeys. */
static void ReleaseRequester(PlaybackRequestBlock **block, bool result)
{
    if (!*block)
        return;
    (*block)->result = result;
    SetEvent((*block)->decided);
    *block = nullptr;
}

/* The requester goes on only once nothing is due any more: with no delay
 * (the normal key function) the whole list has been played by then, so the
 * caller's hotkeys, registered again right after, cannot catch it. */
static void ReleaseRequesterWhenSettled(PlaybackState *state, PlaybackRequestBlock **block, DWORD now, bool finished)
{
    if (finished || static_cast<LONG>(state->nextTime - now) > 0)
        ReleaseRequester(block, true);
}

/* Plays through the journal hook. PLAYBACK_NOT_PLAYING when the system
 * refuses the hook or never asks it for the first event; the hook is then
 * removed again and nothing has been played. */
static PlaybackOutcome PlayThroughJournal(PlaybackState *state, PlaybackRequestBlock **block)
{
    state->hook = SetWindowsHookExA(WH_JOURNALPLAYBACK, JournalPlaybackProc, GetModuleHandleA(nullptr), 0);
    if (!state->hook)
        return PLAYBACK_NOT_PLAYING;
    DWORD installed = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return PLAYBACK_FINISHED; /* the hook removed itself after the last event */
            if (msg.message == WM_CANCELJOURNAL)
                return PLAYBACK_CANCELLED;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD now = GetTickCount();
        DWORD waited, bound;
        if (!state->asked) {
            waited = now - installed;
            bound = FIRST_CALL_BOUND;
            if (waited >= bound) {
                /* The hook is only called while this thread looks for
                 * messages, so it cannot have been asked since the test. */
                UnhookWindowsHookEx(state->hook);
                state->hook = nullptr;
                return PLAYBACK_NOT_PLAYING;
            }
        } else {
            ReleaseRequesterWhenSettled(state, block, now, false);
            waited = now - state->lastHookCall;
            bound = state->delay + STALL_BOUND;
            if (waited >= bound)
                return PLAYBACK_CANCELLED;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, bound - waited, QS_ALLINPUT);
    }
}

/* True when a cancellation arrives within the time given. */
static bool WaitForCancel(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == WM_CANCELJOURNAL || msg.message == WM_QUIT)
                return true;
        DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - waited, QS_ALLINPUT);
    }
}

/* Plays by injecting keyboard input: the same events in the same order, each
 * due one delay after the one before, the first one delay after the start. */
static PlaybackOutcome PlayAsInput(PlaybackState *state, PlaybackRequestBlock **block)
{
    state->nextTime = GetTickCount() + state->delay;
    for (;;) {
        DWORD now = GetTickCount();
        LONG wait = static_cast<LONG>(state->nextTime - now);
        if (wait > 0) {
            ReleaseRequesterWhenSettled(state, block, now, false);
            if (WaitForCancel(static_cast<DWORD>(wait)))
                return PLAYBACK_CANCELLED;
            continue;
        }
        EVENTMSG event;
        CurrentPlaybackEvent(state, &event);
        NoteKeyEvent(state, &event);
        if (!DeliverEvent(&event))
            return PLAYBACK_CANCELLED;
        state->asked = true;
        if (AdvancePlayback(state, GetTickCount()))
            return PLAYBACK_FINISHED;
        if (WaitForCancel(0))
            return PLAYBACK_CANCELLED;
    }
}

/* The hook is gone by now: it was never installed, or the thread removed it. */
static void EndPlayback()
{
    /* Last touch of the shared state: from here on a new request may use it.
     * Clearing and signalling idle are one step under the lock, so that a
     * request that starts right after cannot find itself marked idle. */
    PlaybackLocks &locks = Locks();
    EnterCriticalSection(&locks.active);
    Playback.threadId = 0;
    Playback.active = nullptr;
    SetEvent(locks.idle);
    LeaveCriticalSection(&locks.active);
}

static DWORD WINAPI PlaybackThread(void *parameter)
{
    PlaybackRequestBlock *block = static_cast<PlaybackRequestBlock *>(parameter);
    PlaybackLocks &locks = Locks();

    /* Give the thread its message queue before anyone can post to it. */
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

    EnterCriticalSection(&locks.active);
    if (Playback.active.load()) {
        LeaveCriticalSection(&locks.active);
        ReleaseRequester(&block, false);
        return 0;
    }
    PlaybackState *state = &Playback.state;
    BeginPlaybackState(state, block->request, block->delay, GetTickCount());
    ResetEvent(locks.idle);
    Playback.threadId = GetCurrentThreadId();
    Playback.active = state;
    LeaveCriticalSection(&locks.active);

    if (AdvancePlayback(state, GetTickCount())) { /* an empty request */
        /* Ended before the requester hears of the refusal, so that it never
         * finds a playback running that it was told did not start. */
        EndPlayback();
        ReleaseRequester(&block, false);
        return 0;
    }

    BYTE savedKeys[256];
    bool saved = GetKeyboardState(savedKeys) != FALSE;
    BYTE clearedKeys[256] = {};
    SetKeyboardState(clearedKeys);

    PlaybackOutcome outcome = PLAYBACK_NOT_PLAYING;
    if (!Playback.eventSink)
        outcome = PlayThroughJournal(state, &block);
    bool asInput = outcome == PLAYBACK_NOT_PLAYING;
    if (asInput) {
        /* The journal hook is refused on current Windows (and where it is
         * accepted, as under Wine, the system may never call it). Then the
         * same events go in as keyboard input from this thread, with the
         * same order, scan codes and timing; the hook is already removed,
         * so nothing is played twice. */
        LiftHeldModifiers();
        outcome = PlayAsInput(state, &block);
    }
    if (state->hook)
        UnhookWindowsHookEx(state->hook); /* input is not taken while it is in place */
    state->hook = nullptr;
    if (outcome == PLAYBACK_CANCELLED)
        ReleaseHeldKeys(state);
    if (asInput)
        RestoreLiftedModifiers();
    /* Still waiting: either the whole list went out before anything was left
     * to wait for, or nothing could be played at all. */
    ReleaseRequester(&block, outcome == PLAYBACK_FINISHED || state->asked);

    if (saved)
        SetKeyboardState(savedKeys);
    EndPlayback();
    return 0;
}

bool PlayKeys(const WORD *request, DWORD delay)
{
    if (!request)
        return false;
    PlaybackRequestBlock block = {request, delay, false, CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    if (!block.decided)
        return false;
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, PlaybackThread, &block, 0, &threadId);
    if (!thread) {
        CloseHandle(block.decided);
        return false;
    }
    CloseHandle(thread);
    WaitForSingleObject(block.decided, INFINITE);
    CloseHandle(block.decided);
    return block.result;
}

bool IsPlayingKeys() { return Playback.active.load() != nullptr; }

void CancelPlayback(DWORD timeoutMs)
{
    PlaybackLocks &locks = Locks();
    EnterCriticalSection(&locks.active);
    DWORD thread = Playback.active.load() ? Playback.threadId.load() : 0;
    LeaveCriticalSection(&locks.active);
    if (!thread)
        return;
    PostThreadMessageA(thread, WM_CANCELJOURNAL, 0, 0);
    if (locks.idle)
        WaitForSingleObject(locks.idle, timeoutMs);
}
