// The console window channel's state, shared by its two halves: finding and
// reading the game's console (channel_win32.cpp) and typing commands into it
// within what the game takes in one pump (console_writer_win32.cpp).
// Internal to src/windows.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "console/box_reader.h"
#include "console/command_queue.h"

using Clock = std::chrono::steady_clock;

// What the game's input buffer takes whole in one pump: 512 bytes less the
// terminator and the engine's margin of 3.
constexpr size_t kWholeInOnePump = 508;
// The channel's own "echo" with its Enter: it makes the game print once it
// has taken its input.
constexpr char kEchoCommand[] = "echo";
constexpr size_t kEchoBytes = sizeof kEchoCommand;
// The longest command sent: one that, with its line feed and an echo after
// it, the game takes whole. Without room for that echo nothing would show
// the game took it, and every command after it would wait for the game to
// print on its own.
constexpr size_t kLongestCommand = kWholeInOnePump - kEchoBytes - 1;
constexpr size_t kFirstReadSize = 65536;

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
Channel& channel();

// A message to a console window that is gone comes back at once with 0,
// as an empty box does.
inline void noteAnswer(Channel& ch, LRESULT answer) {
    if (answer == 0 && !IsWindow(ch.window)) ch.gone = true;
}

// Reading (channel_win32.cpp): reads the box and posts its new lines; true
// when there were any.
bool readStep(Channel& ch);

// Typing (console_writer_win32.cpp).
enum class Delivery { kDone, kWaitForBudget, kReadDue };
// What a read answered after the first `sentBefore` Enters shows: replies
// reach those Enters, and text printed outside a pump frees their budget.
void takeReadEvidence(Channel& ch, const std::string& box, uint64_t sentBefore);
// Sends the queued commands while the budget lets them through, and until
// the next read is due.
Delivery deliverCommands(Channel& ch);
// The budget blocks: makes the game print once it has taken what it holds.
void askForEvidence(Channel& ch);
