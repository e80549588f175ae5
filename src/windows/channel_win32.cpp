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
// The game appends each Enter's line to a 512-byte input buffer and takes
// the buffer only once a pump has ended; too much in one pump cuts a command
// or crashes the game. A pump goes on for as long as messages keep coming:
// while the console is visible each text set into the input line leaves a
// repaint pending, so the game stays in the pump we feed, and the player's
// mouse does the same. A reply from the game proves only that it is in a
// pump, never that the pump is over. So every command's bytes stay charged
// to a 400-byte budget until the game shows it took its input:
//
// - The game appends to the output box in two ways. Inside a pump it echoes
//   each Enter as "]" and the line; everything else it prints while it runs
//   commands and its frame, which it does only after taking its input.
// - A read R is answered inside a pump, after every Enter sent before it.
//   Text in a later read that follows R's text and is not an echo was printed
//   after R was answered and outside a pump: the pump that answered R has
//   ended and the game has taken every Enter sent before R. Text that merely
//   looks like an echo proves nothing; a box that started over (or that the
//   player cleared) holds only text printed since R.
// - The game prints on its own often (every line we read is such text), but
//   when the budget blocks and it has printed nothing since, the channel
//   makes it print: after a read that follows the blocked batch it sends
//   "echo", which prints an empty line once it runs. One echo waits at a
//   time, and a new one only after the last was seen, so it never repeats
//   without a command of ours going out.
//
// Commands fill at most 395 bytes so that the echo fits in the 400. A
// command longer than that goes alone, its echo after it if the two fit in
// the 508 bytes the game takes whole; one longer still waits for the game to
// print on its own.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <ctime>
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
constexpr size_t kInputBudget = 400;
constexpr char kEchoCommand[] = "echo";
constexpr size_t kEchoBytes = sizeof kEchoCommand;  // with its Enter
// What the game's input buffer takes whole in one pump: 512 bytes less the
// terminator and the engine's margin of 3.
constexpr size_t kWholeInOnePump = 508;
// The longest command the game takes whole: that less its line feed.
constexpr size_t kLongestCommand = kWholeInOnePump - 1;
constexpr size_t kFirstReadSize = 65536;
// Messages posted ahead of a command's text: the game's pump handles them
// after the text, so it is still pumping when the Enter, sent once the text
// is set, comes, and takes both in one pump rather than two.
constexpr int kPostsBeforeText = 3;

// A delivered Enter's share of the game's input buffer.
struct Charge {
    uint64_t number;  // in the order sent
    size_t bytes;
    bool queued;   // a command of the queue, not the channel's own echo
    bool reached;  // a later reply proved its Enter handled
};

// A read answered, for evidence that its pump has ended.
struct Checkpoint {
    size_t boxLength;     // of the text it read; 0 once the box started over
    uint64_t sentBefore;  // the charges numbered below were sent before it
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
    bool gone = false;  // a message found the console window destroyed
    int searchIndex = 0;
    time_t lastSearchReported = 0;
    BoxReader reader;
    std::deque<Charge> charges;  // oldest first
    uint64_t chargesSent = 0;
    std::deque<Checkpoint> checkpoints;
    std::string lastBox;  // the text of the last read
    bool readSinceLastSend = false;
    bool echoWaiting = false;  // an echo went out and nothing was seen since
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

// A message to a console window that is gone comes back at once with 0,
// as an empty box does.
void noteAnswer(Channel& ch, LRESULT answer) {
    if (answer == 0 && !IsWindow(ch.window)) ch.gone = true;
}

// A reply from the game proves every Enter sent before it handled.
void reachCharges(Channel& ch, uint64_t sentBefore) {
    size_t reached = 0;
    for (Charge& charge : ch.charges) {
        if (charge.number >= sentBefore) break;
        if (charge.reached) continue;
        charge.reached = true;
        reached += charge.queued;
    }
    if (reached > 0) commandsReached(ch.queue, reached);
}

// Whether `box` holds, from `from` on, text the game printed outside a pump:
// anything but whole echoes of Enters ("]", the line, CR LF), each of which
// the game appends in one piece.
bool printedOutsideAPump(const std::string& box, size_t from) {
    for (size_t piece = from; piece < box.size();) {
        const size_t lineFeed = box.find('\n', piece);
        if (box[piece] != ']' || lineFeed == std::string::npos) return true;
        piece = lineFeed + 1;
    }
    return false;
}

// Releases the budget of every Enter sent before the latest read whose pump
// `box` shows ended, then keeps this read as a checkpoint if any charge
// waits for one.
void takeEvidence(Channel& ch, const std::string& box, uint64_t sentBefore) {
    const std::string& last = ch.lastBox;
    if (box.size() < last.size() || box.compare(0, last.size(), last) != 0)
        for (Checkpoint& checkpoint : ch.checkpoints) checkpoint.boxLength = 0;
    for (size_t i = ch.checkpoints.size(); i-- > 0;) {
        if (!printedOutsideAPump(box, ch.checkpoints[i].boxLength)) continue;
        const uint64_t released = ch.checkpoints[i].sentBefore;
        while (!ch.charges.empty() && ch.charges.front().number < released) ch.charges.pop_front();
        ch.checkpoints.erase(ch.checkpoints.begin(), ch.checkpoints.begin() + static_cast<ptrdiff_t>(i) + 1);
        ch.echoWaiting = false;
        break;
    }
    // The earliest read after a send is the best checkpoint for it: most of
    // what the game prints later follows its text.
    const bool covers = !ch.charges.empty() && ch.charges.front().number < sentBefore;
    if (covers && (ch.checkpoints.empty() || ch.checkpoints.back().sentBefore < sentBefore))
        ch.checkpoints.push_back({box.size(), sentBefore});
}

// The output box's whole text, in one message unless it outgrew the buffer.
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

// Reads the box and posts its new lines; true when there were any.
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
    reachCharges(ch, sentBefore);
    takeEvidence(ch, box, sentBefore);
    // An empty box holds nothing new; what was handed out stays remembered.
    const bool newLines = !box.empty() && postNewLines(ch.reader, box);
    ch.lastBox = std::move(box);
    if (newLines) ch.lastNewText = Clock::now();
    return newLines;
}

size_t chargedBytes(const Channel& ch) {
    size_t bytes = 0;
    for (const Charge& charge : ch.charges) bytes += charge.bytes;
    return bytes;
}

// Types one line: its text, then its Enter without waiting.
void type(Channel& ch, const std::string& command, bool queued) {
    ch.charges.push_back({ch.chargesSent++, command.size() + 1, queued, false});
    ch.readSinceLastSend = false;
    for (int i = 0; i < kPostsBeforeText; ++i) PostMessageA(ch.input, WM_NULL, 0, 0);
    noteAnswer(ch, SendMessageA(ch.input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command.c_str())));
    reachCharges(ch, ch.chargesSent - 1);
    SendNotifyMessageA(ch.input, WM_CHAR, 13, 1);
}

enum class Delivery { kDone, kWaitForBudget, kReadDue };

// Sends the queued commands while the budget lets them through, and until
// the next read is due: each command holds the thread for a pump. Reads and
// commands take turns, at least one command a turn.
Delivery deliverCommands(Channel& ch) {
    for (bool first = true;; first = false) {
        if (ch.gone) return Delivery::kDone;
        if (!first && Clock::now() >= ch.nextRead) return Delivery::kReadDue;
        // A command longer than the budget goes alone.
        const size_t charged = chargedBytes(ch);
        const size_t room = kInputBudget - kEchoBytes;
        std::vector<std::string> taken = takeCommands(ch.queue, charged < room ? room - charged : 0, 1, charged == 0);
        if (taken.empty()) return nextCommandBytes(ch.queue) > 0 ? Delivery::kWaitForBudget : Delivery::kDone;
        type(ch, taken.front(), true);
    }
}

// The budget blocks: makes the game print once it has taken what it holds,
// after a read that follows the last Enter, so that the print follows it.
void askForEvidence(Channel& ch) {
    if (ch.echoWaiting || chargedBytes(ch) + kEchoBytes > kWholeInOnePump) return;
    if (!ch.readSinceLastSend) readStep(ch);
    type(ch, kEchoCommand, false);
    ch.echoWaiting = true;
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

