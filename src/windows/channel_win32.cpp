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
// The game appends each Enter's line to a 512-byte input buffer that it
// empties after each pump; too much in one pump cuts a command or crashes the
// game. Every command holds its bytes of a 400-byte budget from its sending
// until 50 ms (a frame at 20 fps) after a later reply proved its Enter
// handled, so no pump ever sees more than 400 bytes from us.
#include <windows.h>

#include <chrono>
#include <ctime>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console/box_reader.h"
#include "console/command_queue.h"
#include "console/console_events.h"
#include "console/editions.h"
#include "console/log_channel.h"
#include "console/log_search.h"
#include "core/app_state.h"
#include "core/platform.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kSearchPeriod{200};
// While a game is followed through its log, a console window is still looked
// for, but seldom.
constexpr milliseconds kSearchWhileLoggedPeriod{1000};
// Between the starts of two reads: once a frame of a game at 60 fps while it
// prints, seldom once it has been quiet a while. Each read waits for the
// game's next pump and costs vorbix.exe about 0.3 ms of CPU under Wine.
constexpr milliseconds kActiveReadPeriod{16};
constexpr milliseconds kQuietReadPeriod{100};
constexpr milliseconds kQuietAfter{6000};
// How long a read that found lines waits for the commands they cause, so
// those go out before the next read holds the thread for a frame.
constexpr milliseconds kDispatchWait{5};
constexpr size_t kInputBudget = 400;
constexpr milliseconds kBudgetHold{50};
// The longest command the game takes whole: 512 bytes less the line feed,
// the terminator and its margin of 3.
constexpr size_t kLongestCommand = 507;
constexpr size_t kFirstReadSize = 65536;

// A delivered command's share of the game's input buffer.
struct Charge {
    size_t bytes;
    bool confirmed;  // a later reply proved its Enter handled
    Clock::time_point releaseAt;
};

void wakeConsoleThread();

struct Channel {
    CommandQueue queue{kLongestCommand};
    // Wakes the console thread when commands are ready. A kernel event with
    // a timeout in whole milliseconds: a timed condition variable spins
    // through its last millisecond under Wine.
    HANDLE commandQueued = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::mutex startMutex;
    bool started = false;

    // Console thread only.
    HWND window = nullptr;
    HWND input = nullptr;
    HWND output = nullptr;
    int searchIndex = 0;
    time_t lastSearchReported = 0;
    BoxReader reader;
    std::deque<Charge> charges;
    std::vector<char> readBuffer = std::vector<char>(kFirstReadSize);
    Clock::time_point nextRead;
    Clock::time_point lastNewText;
};

// Never destroyed: the console thread may still run during process exit.
Channel& channel() {
    static Channel* instance = [] {
        auto* ch = new Channel;
        ch->queue.wake = wakeConsoleThread;
        return ch;
    }();
    return *instance;
}

void wakeConsoleThread() { SetEvent(channel().commandQueued); }

// Commands for a console that is gone go nowhere.
void forgetLink(Channel& ch) {
    ch.window = ch.input = ch.output = nullptr;
    ch.reader = BoxReader{};
    ch.charges.clear();
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
    openCommands(ch.queue, link.id);
    postLinked(link);
}

// A reply from the game proves every Enter sent before it handled.
void confirmCharges(Channel& ch, size_t keepLast = 0) {
    const auto releaseAt = Clock::now() + kBudgetHold;
    size_t newlyConfirmed = 0;
    for (size_t i = 0; i + keepLast < ch.charges.size(); ++i) {
        Charge& charge = ch.charges[i];
        if (charge.confirmed) continue;
        charge.confirmed = true;
        charge.releaseAt = releaseAt;
        ++newlyConfirmed;
    }
    if (newlyConfirmed > 0) commandsReached(ch.queue, newlyConfirmed);
}

// The output box's whole text, in one message unless it outgrew the buffer.
std::string readBox(Channel& ch) {
    std::vector<char>& buffer = ch.readBuffer;
    size_t copied = static_cast<size_t>(
        SendMessageA(ch.output, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())));
    if (copied + 1 >= buffer.size()) {
        buffer.resize(buffer.size() * 2);
        copied = static_cast<size_t>(
            SendMessageA(ch.output, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())));
    }
    return std::string(buffer.data(), copied < buffer.size() ? copied : 0);
}

// Reads the box and posts its new lines; true when there were any.
bool readStep(Channel& ch) {
    const auto now = Clock::now();
    ch.nextRead = now + (now - ch.lastNewText < kQuietAfter ? kActiveReadPeriod : kQuietReadPeriod);
    std::string box;
    if (ch.output)
        box = readBox(ch);
    else if (ch.input)
        SendMessageA(ch.input, WM_NULL, 0, 0);  // no box to read: the reply still confirms
    confirmCharges(ch);
    // An empty box holds nothing new; what was handed out stays remembered.
    if (box.empty() || !postNewLines(ch.reader, box)) return false;
    ch.lastNewText = Clock::now();
    return true;
}

size_t chargedBytes(Channel& ch) {
    const auto now = Clock::now();
    while (!ch.charges.empty() && ch.charges.front().confirmed && ch.charges.front().releaseAt <= now)
        ch.charges.pop_front();
    size_t bytes = 0;
    for (const Charge& charge : ch.charges) bytes += charge.bytes;
    return bytes;
}

enum class Delivery { kDone, kWaitForBudget, kReadDue };

// Sends the queued commands while the budget lets them through, and until
// the next read is due: each command holds the thread for a pump. Reads and
// commands take turns, at least one command a turn.
Delivery deliverCommands(Channel& ch) {
    for (bool first = true;; first = false) {
        if (!first && Clock::now() >= ch.nextRead) return Delivery::kReadDue;
        // A command longer than the budget goes alone.
        const size_t charged = chargedBytes(ch);
        std::vector<std::string> taken =
            takeCommands(ch.queue, charged < kInputBudget ? kInputBudget - charged : 0, 1, charged == 0);
        if (taken.empty()) return nextCommandBytes(ch.queue) > 0 ? Delivery::kWaitForBudget : Delivery::kDone;
        const std::string& command = taken.front();
        ch.charges.push_back({command.size() + 1, false, {}});
        SendMessageA(ch.input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command.c_str()));
        confirmCharges(ch, 1);
        SendNotifyMessageA(ch.input, WM_CHAR, 13, 1);
    }
}

bool hasUnconfirmed(const Channel& ch) {
    for (const Charge& charge : ch.charges)
        if (!charge.confirmed) return true;
    return false;
}

// When the budget next frees bytes: the first confirmed charge's release,
// or the next read, which confirms the others.
Clock::time_point nextBudgetChange(const Channel& ch) {
    for (const Charge& charge : ch.charges)
        if (charge.confirmed) return charge.releaseAt;
    return ch.nextRead;
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
        if (!IsWindow(ch.window)) {
            forgetLink(ch);
            postLost();
            continue;  // the next edition is tried at once
        }
        if (Clock::now() >= ch.nextRead && readStep(ch)) waitUntil(ch, Clock::now() + kDispatchWait, true);
        Delivery delivery = deliverCommands(ch);
        if (delivery == Delivery::kReadDue) continue;
        // Waiting on the budget: a read now proves the last Enters handled.
        if (delivery == Delivery::kWaitForBudget && hasUnconfirmed(ch)) {
            readStep(ch);
            delivery = deliverCommands(ch);
            if (delivery == Delivery::kReadDue) continue;
        }
        const Clock::time_point wakeAt =
            delivery == Delivery::kWaitForBudget ? std::min(ch.nextRead, nextBudgetChange(ch)) : ch.nextRead;
        waitUntil(ch, wakeAt, delivery == Delivery::kDone);
    }
}

}  // namespace

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

