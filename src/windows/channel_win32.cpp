// The console channel on Win32. One console thread owns every message to the
// game's windows: it looks for the console, reads its output box and types
// the commands. The game handles a message from another program only when it
// pumps its messages, once a frame, and not at all while it loads a map; so
// the window thread never sends the game anything and never waits for it.
// Lines and the link's coming and going reach it as console events.
//
// A read is one WM_GETTEXT; the box is read by position and never changed.
// A command is WM_SETTEXT, which waits for the game's next pump, then
// WM_CHAR 13 sent without waiting: sent messages are handled in the order
// they were sent, so the Enter comes right after its text, in the same pump
// or at the start of the next one, before the next command's text. So the
// first command caused by a line reaches the game about three pumps after
// the line was printed: the read, the text, the Enter.
//
// Typing the commands, within what the game takes in one pump, is
// console_writer_win32.cpp's part.
#include <windows.h>

#include <chrono>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "console/console_events.h"
#include "console/editions.h"
#include "console/log_channel.h"
#include "console/log_search.h"
#include "core/app_state.h"
#include "core/platform.h"
#include "windows/console_window_win32.h"

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kSearchPeriod{200};
// While a game is followed through its log, a console window is still looked
// for, but seldom.
constexpr milliseconds kSearchWhileLoggedPeriod{1000};
// Between the starts of two reads: every other frame of a game at 60 fps
// while it prints, seldom once it has been quiet a while. Each read waits for
// the game's next pump and costs vorbix.exe about 0.15 ms of CPU under Wine,
// more with a full box: once a frame would cost nearly 1 % of a core.
constexpr milliseconds kActiveReadPeriod{32};
constexpr milliseconds kQuietReadPeriod{100};
constexpr milliseconds kQuietAfter{6000};
// How long a read that found lines waits for the commands they cause, so
// those go out before the next read holds the thread for a frame.
constexpr milliseconds kDispatchWait{5};

void wakeConsoleThread() { SetEvent(channel().commandQueued); }

// Commands for a console that is gone go nowhere.
void forgetLink(Channel& ch) {
    ch.window = ch.input = ch.output = nullptr;
    ch.gone = false;
    ch.reader = BoxReader{};
    ch.charges.clear();
    ch.checkpoints.clear();
    ch.lastBox.clear();
    ch.readSinceLastSend = false;
    ch.echoWaiting = false;
    openCommands(ch.queue, 0);
}

// Tries one edition, in the order Allied Assault, Spearhead, Breakthrough.
void searchStep(Channel& ch) {
    const int index = nextSearchEdition(ch.searchIndex);
    const GameEdition& edition = kGameEditions[index];
    HWND window = FindWindowA(edition.windowClass, edition.title);
    if (!window) {
        // The status shows the edition tried when the clock moves on by a
        // second, so only that step needs to wake the window thread; a game
        // linked through its log has the status instead.
        const time_t now = time(nullptr);
        if (now != ch.lastSearchReported && !followedLogLinked()) postSearched(index);
        ch.lastSearchReported = now;
        return;
    }
    stopFollowingLogs();  // a console window is the better link: it takes commands
    forgetLink(ch);
    ch.window = window;
    ch.input = FindWindowExA(window, nullptr, "Edit", nullptr);
    ch.output = ch.input ? FindWindowExA(window, ch.input, "Edit", nullptr) : nullptr;
    ch.nextRead = ch.lastNewText = Clock::now();

    const GameLink link = makeLink(LinkKind::kConsoleWindow, index);
    // Without an output box nothing shows that the game took its input:
    // commands go nowhere.
    openCommands(ch.queue, ch.output ? link.id : 0);
    postLinked(link);
}

// The output box's whole text, in one message unless it outgrew the buffer.
// The buffer offered is always the whole one: a copy cut short still counts
// as read for the game, and a box that started over before a second read
// would lose what the first one cut.
std::string readBox(Channel& ch) {
    std::vector<char>& buffer = ch.readBuffer;
    size_t copied = static_cast<size_t>(
        SendMessageA(ch.output, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())));
    noteAnswer(ch, static_cast<LRESULT>(copied));
    if (copied + 1 >= buffer.size()) {
        buffer.resize(buffer.size() * 2);
        copied = static_cast<size_t>(
            SendMessageA(ch.output, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())));
    }
    return std::string(buffer.data(), copied < buffer.size() ? copied : 0);
}

}  // namespace

bool readStep(Channel& ch) {
    const auto now = Clock::now();
    ch.nextRead = now + (now - ch.lastNewText < kQuietAfter ? kActiveReadPeriod : kQuietReadPeriod);
    if (!ch.output) {
        noteAnswer(ch, 0);
        return false;
    }
    const uint64_t sentBefore = ch.chargesSent;
    std::string box = readBox(ch);
    ch.readSinceLastSend = true;
    takeReadEvidence(ch, box, sentBefore);
    // An empty box holds nothing new; what was handed out stays remembered.
    const bool newLines = !box.empty() && postNewLines(ch.reader, box);
    ch.lastBox = std::move(box);
    if (newLines) ch.lastNewText = Clock::now();
    return newLines;
}

// Sleeps until `wakeAt`, or until a command is queued when `forCommands`.
void waitUntil(Channel& ch, Clock::time_point wakeAt, bool forCommands) {
    const auto now = Clock::now();
    if (wakeAt <= now) return;
    const DWORD ms = static_cast<DWORD>(std::chrono::ceil<milliseconds>(wakeAt - now).count());
    if (!forCommands) {
        Sleep(ms);
        return;
    }
    if (nextCommandBytes(ch.queue) > 0) return;
    WaitForSingleObject(ch.commandQueued, ms);
}

namespace {

void runConsoleThread() {
    Channel& ch = channel();
    for (;;) {
        if (!ch.window) {
            searchStep(ch);
            if (!ch.window) {
                // No console window: the open-source engine's client has
                // none, but it may be writing its log.
                lookForLiveLog();
                Sleep(static_cast<DWORD>(followedLogLinked() ? kSearchWhileLoggedPeriod.count() : kSearchPeriod.count()));
                continue;
            }
        }
        if (ch.gone) {
            forgetLink(ch);
            postLost();
            continue;  // the next edition is tried at once
        }
        if (Clock::now() >= ch.nextRead && readStep(ch)) waitUntil(ch, Clock::now() + kDispatchWait, true);
        Delivery delivery = deliverCommands(ch);
        if (delivery == Delivery::kReadDue || ch.gone) continue;
        if (delivery == Delivery::kWaitForBudget) askForEvidence(ch);
        waitUntil(ch, ch.nextRead, delivery == Delivery::kDone);
    }
}

}  // namespace

Channel& channel() {
    static Channel* instance = [] {
        auto* ch = new Channel;
        ch->queue.wake = wakeConsoleThread;
        return ch;
    }();
    return *instance;
}

void startConsoleChannel() {
    Channel& ch = channel();
    std::lock_guard<std::mutex> lock(ch.startMutex);
    if (ch.started) return;
    ch.started = true;
    std::thread(runConsoleThread).detach();
}

void sendConsoleCommand(const std::string& command) {
    queueCommand(channel().queue, isLinked(app.link) ? app.link.id : 0, command);
}

void releaseConsoleCommands() { releaseCommands(channel().queue); }

bool flushConsoleCommands(unsigned timeoutMs) { return waitUntilReached(channel().queue, timeoutMs); }

