// Typing commands into the game's console window.
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
// command longer than that goes alone, but for an echo before it where one
// more fits after it in the 508 bytes the game takes whole; no command is so
// long that its echo would not.
#include <windows.h>

#include <string>
#include <vector>

#include "console/command_queue.h"
#include "windows/console_window_win32.h"

namespace {

constexpr size_t kInputBudget = 400;
// Messages posted ahead of a command's text: the game's pump handles them
// after the text, so it is still pumping when the Enter, sent once the text
// is set, comes, and takes both in one pump rather than two.
constexpr int kPostsBeforeText = 3;


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

size_t chargedBytes(const Channel& ch) {
    size_t bytes = 0;
    for (const Charge& charge : ch.charges) bytes += charge.bytes;
    return bytes;
}

bool onlyEchoesCharged(const Channel& ch) {
    for (const Charge& charge : ch.charges)
        if (charge.queued) return false;
    return true;
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

}  // namespace

void takeReadEvidence(Channel& ch, const std::string& box, uint64_t sentBefore) {
    reachCharges(ch, sentBefore);
    takeEvidence(ch, box, sentBefore);
}

// Sends the queued commands while the budget lets them through, and until
// the next read is due: each command holds the thread for a pump. Reads and
// commands take turns, at least one command a turn.
Delivery deliverCommands(Channel& ch) {
    for (bool first = true;; first = false) {
        if (ch.gone) return Delivery::kDone;
        if (!first && Clock::now() >= ch.nextRead) return Delivery::kReadDue;
        // A command longer than the budget goes alone, or beside an echo still
        // charged where one more echo fits after it: an echo's charge is
        // freed only by a print after it, so waiting for none at all could
        // ask for echo after echo.
        const size_t charged = chargedBytes(ch);
        const size_t room = kInputBudget - kEchoBytes;
        const bool alone = onlyEchoesCharged(ch) &&
                           (charged == 0 || charged + nextCommandBytes(ch.queue) + kEchoBytes <= kWholeInOnePump);
        std::vector<std::string> taken = takeCommands(ch.queue, charged < room ? room - charged : 0, 1, alone);
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
    // A read answered in the pump that takes the echo, before the echo's
    // print: that print then frees the echo's own charge too.
    readStep(ch);
}

