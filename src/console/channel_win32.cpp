// The console channel on Win32. One console thread owns every message to the
// game's windows: it looks for the console, reads its output box and types
// the commands. The game handles a message from another program only when it
// pumps its messages, once a frame, and not at all while it loads a map; so
// the window thread never sends the game anything and never waits for it.
// Lines and the link's coming and going reach it as console events.
//
// A read is one WM_GETTEXT. A command is WM_SETTEXT, which waits for the
// game's pump, then WM_CHAR 13 sent without waiting: sent messages are
// handled in the order they were sent, so the Enter is handled right after
// its text and before the next command's text, often in the same pump.
//
// The game appends each Enter's line to a 512-byte input buffer that it
// empties after each pump; too much in one pump cuts a command or crashes the
// game. Every command holds its bytes of a 400-byte budget from its sending
// until 50 ms (a frame at 20 fps) after a later reply proved its Enter
// handled, so no pump ever sees more than 400 bytes from us.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console/box_reader.h"
#include "console/console_events.h"
#include "console/channel_win32.h"
#include "console/editions.h"
#include "platform/platform.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kSearchPeriod = std::chrono::milliseconds(100);
// Between the starts of two reads while linked. Each read costs vorbix.exe
// about 0.07 ms of CPU under Wine and waits for the game's next pump.
constexpr auto kReadPeriod = std::chrono::milliseconds(25);
constexpr size_t kInputBudget = 400;
constexpr auto kBudgetHold = std::chrono::milliseconds(50);
// The longest command the game takes whole: 512 bytes less the line feed,
// the terminator and its margin of 3.
constexpr size_t kLongestCommand = 507;
constexpr size_t kFirstReadSize = 65536;

struct Command {
    HWND input;  // the console it was sent to
    std::string text;
};

// A delivered command's share of the game's input buffer.
struct Charge {
    size_t bytes;
    bool confirmed;  // a later reply proved its Enter handled
    Clock::time_point releaseAt;
};

struct Channel {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Command> commands;
    size_t unconfirmed = 0;  // delivered commands whose Enter is not proven handled
    bool started = false;

    // Console thread only.
    HWND window = nullptr;
    HWND input = nullptr;
    HWND output = nullptr;
    int searchIndex = 0;
    BoxReader reader;
    std::deque<Charge> charges;
    std::vector<char> readBuffer = std::vector<char>(kFirstReadSize);
    Clock::time_point nextRead;
};

// Never destroyed: the console thread may still run during process exit.
Channel& channel() {
    static Channel* instance = new Channel;
    return *instance;
}

void post(ConsoleEvent::Kind kind, int edition = 0) {
    ConsoleEvent event;
    event.kind = kind;
    event.edition = edition;
    postConsoleEvent(std::move(event));
}

// Commands for a console that is gone, or for none, go nowhere.
void dropCommands(Channel& ch) {
    std::lock_guard<std::mutex> lock(ch.mutex);
    ch.commands.clear();
    ch.unconfirmed = 0;
    ch.changed.notify_all();
}

void forgetLink(Channel& ch) {
    ch.window = ch.input = ch.output = nullptr;
    ch.reader = BoxReader{};
    ch.charges.clear();
    dropCommands(ch);
}

// Tries one edition, in the order Allied Assault, Spearhead, Breakthrough.
void searchStep(Channel& ch) {
    const int index = nextSearchEdition(ch.searchIndex);
    const GameEdition& edition = kGameEditions[index];
    HWND window = FindWindowA(edition.windowClass, edition.title);
    if (!window) {
        post(ConsoleEvent::kSearched, index);
        return;
    }
    forgetLink(ch);
    ch.window = window;
    ch.input = FindWindowExA(window, nullptr, "Edit", nullptr);
    ch.output = ch.input ? FindWindowExA(window, ch.input, "Edit", nullptr) : nullptr;
    ch.nextRead = Clock::now();

    ConsoleEvent event;
    event.kind = ConsoleEvent::kLinked;
    event.edition = index;
    event.link = ConsoleLink{window, ch.input, ch.output};
    postConsoleEvent(std::move(event));
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
    if (newlyConfirmed == 0) return;
    std::lock_guard<std::mutex> lock(ch.mutex);
    ch.unconfirmed -= newlyConfirmed;
    ch.changed.notify_all();
}

// The output box's whole text, in as few messages as it takes (one, unless
// the box outgrew the buffer).
std::string readBox(Channel& ch) {
    std::vector<char>& buffer = ch.readBuffer;
    size_t copied = static_cast<size_t>(
        SendMessageA(ch.output, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())));
    if (copied + 1 >= buffer.size()) {
        size_t length = static_cast<size_t>(SendMessageA(ch.output, WM_GETTEXTLENGTH, 0, 0));
        buffer.resize(length + 1024);
        copied = static_cast<size_t>(
            SendMessageA(ch.output, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())));
    }
    return std::string(buffer.data(), copied < buffer.size() ? copied : 0);
}

void readStep(Channel& ch) {
    ch.nextRead = Clock::now() + kReadPeriod;
    std::string box;
    if (ch.output)
        box = readBox(ch);
    else if (ch.input)
        SendMessageA(ch.input, WM_GETTEXTLENGTH, 0, 0);  // no box to read: the reply still confirms
    confirmCharges(ch);
    // An empty box holds nothing new; what was handed out stays remembered.
    if (!box.empty()) postNewLines(ch.reader, box);
}

size_t chargedBytes(Channel& ch) {
    const auto now = Clock::now();
    while (!ch.charges.empty() && ch.charges.front().confirmed && ch.charges.front().releaseAt <= now)
        ch.charges.pop_front();
    size_t bytes = 0;
    for (const Charge& charge : ch.charges) bytes += charge.bytes;
    return bytes;
}

enum class Delivery { kDone, kWaitForBudget };

// Types the queued commands while the budget lets them through.
Delivery deliverCommands(Channel& ch) {
    for (;;) {
        Command command;
        {
            std::lock_guard<std::mutex> lock(ch.mutex);
            // Too long to reach the game whole: it would run a cut command.
            while (!ch.commands.empty() && (ch.commands.front().input != ch.input ||
                                            ch.commands.front().text.size() > kLongestCommand)) {
                ch.commands.pop_front();
                ch.changed.notify_all();
            }
            if (ch.commands.empty()) return Delivery::kDone;
            const size_t bytes = ch.commands.front().text.size() + 1;
            const size_t charged = chargedBytes(ch);
            if (charged > 0 && charged + bytes > kInputBudget) return Delivery::kWaitForBudget;
            command = std::move(ch.commands.front());
            ch.commands.pop_front();
            ch.charges.push_back({bytes, false, {}});
            ++ch.unconfirmed;
        }
        SendMessageA(ch.input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command.text.c_str()));
        confirmCharges(ch, 1);
        SendNotifyMessageA(ch.input, WM_CHAR, 13, 1);
    }
}

// When the budget next frees bytes: the first confirmed charge's release,
// or the next read, which confirms the others.
Clock::time_point nextBudgetChange(const Channel& ch) {
    for (const Charge& charge : ch.charges)
        if (charge.confirmed) return charge.releaseAt;
    return ch.nextRead;
}

void runConsoleThread() {
    Channel& ch = channel();
    for (;;) {
        if (!ch.window) {
            searchStep(ch);
            if (!ch.window) {
                dropCommands(ch);
                std::this_thread::sleep_for(kSearchPeriod);
                continue;
            }
        }
        if (!IsWindow(ch.window)) {
            forgetLink(ch);
            post(ConsoleEvent::kLost);
            continue;  // the next edition is tried at once
        }
        if (Clock::now() >= ch.nextRead) readStep(ch);
        Delivery delivery = deliverCommands(ch);
        // Waiting on the budget: a read now proves the last Enters handled.
        if (delivery == Delivery::kWaitForBudget && ch.unconfirmed > 0) {
            readStep(ch);
            delivery = deliverCommands(ch);
        }
        const Clock::time_point wakeAt =
            delivery == Delivery::kWaitForBudget ? std::min(ch.nextRead, nextBudgetChange(ch)) : ch.nextRead;
        std::unique_lock<std::mutex> lock(ch.mutex);
        ch.changed.wait_until(lock, wakeAt, [&] { return delivery == Delivery::kDone && !ch.commands.empty(); });
    }
}

}  // namespace

void startConsoleChannel() {
    Channel& ch = channel();
    std::lock_guard<std::mutex> lock(ch.mutex);
    if (ch.started) return;
    ch.started = true;
    std::thread(runConsoleThread).detach();
}

void sendConsoleCommand(const std::string& command) {
    HWND input = static_cast<HWND>(app.console.consoleInput);
    if (!input || app.console.consoleWindow == nullptr) return;
    Channel& ch = channel();
    std::lock_guard<std::mutex> lock(ch.mutex);
    ch.commands.push_back({input, command});
    ch.changed.notify_all();
}

bool flushConsoleCommands(unsigned timeoutMs) {
    Channel& ch = channel();
    std::unique_lock<std::mutex> lock(ch.mutex);
    return ch.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return ch.commands.empty() && ch.unconfirmed == 0; });
}

void wakeMainLoop() {
    if (app.mainWindow) PostMessageA(static_cast<HWND>(app.mainWindow), kConsoleEventsMessage, 0, 0);
}
