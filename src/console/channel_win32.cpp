// The console channel on Win32: finds the game's console window, reads and
// trims its output box, and types commands into its input line.
//
// Reads are bounded (a busy or hung game yields no text instead of freezing
// our window). Commands go through a queue to one sender thread, which
// delivers each text-and-Enter pair with blocking sends: a game that stops
// pumping messages (a map load) gets every command, in order, once it pumps
// again, while no caller ever waits for the game.
#include "console/channel_win32.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/platform.h"

namespace {

// How long a read may wait for the game's answer.
constexpr UINT kAnswerTimeoutMs = 100;

HWND asHwnd(WindowHandle handle) { return static_cast<HWND>(handle); }

// One bounded send; false when the game did not answer in time.
bool sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_NORMAL, kAnswerTimeoutMs,
                               &result) != 0;
}

struct PendingCommand {
    HWND input;
    std::string text;
};

// The sender's state. Allocated once and never freed, so the detached sender
// thread never sees it destroyed during process exit.
struct CommandQueue {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<PendingCommand> pending;
    bool delivering = false;
    bool senderStarted = false;
};

CommandQueue& commandQueue() {
    static CommandQueue* queue = new CommandQueue;
    return *queue;
}

void deliverCommands() {
    CommandQueue& queue = commandQueue();
    std::unique_lock<std::mutex> lock(queue.mutex);
    for (;;) {
        queue.changed.wait(lock, [&] { return !queue.pending.empty(); });
        PendingCommand command = std::move(queue.pending.front());
        queue.pending.pop_front();
        queue.delivering = true;
        lock.unlock();
        // Only this thread sends to the input line, so the pair is never split.
        SendMessageA(command.input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command.text.c_str()));
        SendMessageA(command.input, WM_CHAR, 13, 1);
        lock.lock();
        queue.delivering = false;
        queue.changed.notify_all();
    }
}

// The text last returned by readConsoleText: what a delete may remove.
std::string lastReadText;
// Text at the start of the output box that the poll deleted but could not
// remove yet (the game did not answer in time, or had printed more). Reads
// hide it and try again, so no line is dispatched twice.
std::string pendingDelete;
// When the output box last held text: the loop polls fast while lines arrive.
DWORD lastTextTick = 0;

// Copies up to `maxLength` characters from the start of the box's text.
bool getTextBounded(HWND output, size_t maxLength, std::string& text) {
    char* buffer = new char[maxLength + 1];
    DWORD_PTR copied = 0;
    if (!sendBounded(output, WM_GETTEXT, maxLength + 1, reinterpret_cast<LPARAM>(buffer), copied)) {
        // The window may still answer later, into this buffer, when it lives
        // in our own process (the tests host the console so): keep it valid.
        return false;
    }
    text.assign(buffer, copied < maxLength ? copied : maxLength);
    delete[] buffer;
    return true;
}

bool readBoxText(HWND output, std::string& text) {
    DWORD_PTR length = 0;
    if (!sendBounded(output, WM_GETTEXTLENGTH, 0, 0, length)) return false;
    if (length == 0) {
        text.clear();
        return true;
    }
    return getTextBounded(output, length, text);
}

enum class Removal { kRemoved, kGone, kRetry };

// Removes `start` from the box while the box holds exactly that text and
// nothing more. The game prints at the selection (the caret), and starts its
// box over by selecting all of it, so any print moves or replaces our
// selection. Hence: select the text first, then check that the selection is
// still exactly there and the box holds exactly that text, and only then
// replace it with nothing. A print after the check replaces the selected text
// itself or leaves nothing of ours selected, so only our text can go; one
// that starts the box over before the check fails the check. Removing only a
// whole box keeps the caret at the end: with text left behind the caret, the
// game's next lines would land before that older text.
Removal removeBoxStart(HWND output, const std::string& start) {
    const DWORD length = static_cast<DWORD>(start.size());
    DWORD_PTR ignored = 0;
    Removal outcome = Removal::kRetry;
    std::string box;
    DWORD selectionStart = 1, selectionEnd = 0;
    DWORD_PTR boxLength = 0;
    // Nothing is selected while the game has printed more: a print into our
    // selection would then land before that newer text.
    if (!sendBounded(output, WM_GETTEXTLENGTH, 0, 0, boxLength)) return Removal::kRetry;
    if (boxLength > length) return Removal::kRetry;
    if (boxLength < length) return Removal::kGone;  // removed already, or the box started over
    if (!sendBounded(output, EM_SETSEL, 0, static_cast<LPARAM>(length), ignored) ||
        !getTextBounded(output, start.size() + 1, box)) {
        outcome = Removal::kRetry;
    } else if (box.compare(0, box.size() < start.size() ? box.size() : start.size(), start) != 0 ||
               box.size() < start.size()) {
        outcome = Removal::kGone;  // removed already, or the box started over
    } else if (box.size() == start.size() &&
               sendBounded(output, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                           reinterpret_cast<LPARAM>(&selectionEnd), ignored) &&
               selectionStart == 0 && selectionEnd == length) {
        sendBounded(output, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""), ignored);
        outcome = Removal::kRemoved;
    }
    // The game prints at the caret: put it back at the end of the text.
    constexpr WPARAM kPastTheEnd = 0x7FFFFFFF;
    sendBounded(output, EM_SETSEL, kPastTheEnd, kPastTheEnd, ignored);
    return outcome;
}

}  // namespace

bool findConsole(const GameEdition& edition) {
    HWND window = FindWindowA(edition.windowClass, edition.title);
    app.console.consoleWindow = window;
    if (!window) return false;
    lastReadText.clear();
    pendingDelete.clear();
    HWND input = FindWindowExA(window, nullptr, "Edit", nullptr);
    app.console.consoleInput = input;
    app.console.consoleOutput = input ? FindWindowExA(window, input, "Edit", nullptr) : nullptr;
    return true;
}

bool isConsoleLinked() {
    HWND window = asHwnd(app.console.consoleWindow);
    return window && IsWindow(window);
}

bool readConsoleText(std::string& text) {
    lastReadText.clear();
    HWND output = asHwnd(app.console.consoleOutput);
    std::string box;
    if (!output || !readBoxText(output, box)) return false;
    if (!box.empty()) lastTextTick = GetTickCount();
    if (!pendingDelete.empty()) {
        if (box.compare(0, pendingDelete.size(), pendingDelete) == 0) {
            // With nothing new the box is removed here; otherwise with the
            // next delete, together with what this read returns.
            box.erase(0, pendingDelete.size());
            if (box.empty() && removeBoxStart(output, pendingDelete) != Removal::kRetry) pendingDelete.clear();
        } else {
            pendingDelete.clear();  // gone already, or the game started the box over
        }
    }
    if (box.empty()) return false;
    text = box;
    lastReadText = std::move(box);
    return true;
}

void deleteConsoleText(size_t length) {
    HWND output = asHwnd(app.console.consoleOutput);
    if (!output || length == 0 || length > lastReadText.size()) return;
    pendingDelete.append(lastReadText, 0, length);
    lastReadText.clear();
    if (removeBoxStart(output, pendingDelete) != Removal::kRetry) pendingDelete.clear();
}

unsigned msSinceConsoleText() { return GetTickCount() - lastTextTick; }

void sendConsoleCommand(const std::string& command) {
    HWND input = asHwnd(app.console.consoleInput);
    if (!input || !IsWindow(input)) return;
    CommandQueue& queue = commandQueue();
    std::lock_guard<std::mutex> lock(queue.mutex);
    if (!queue.senderStarted) {
        std::thread(deliverCommands).detach();
        queue.senderStarted = true;
    }
    queue.pending.push_back({input, command});
    queue.changed.notify_all();
}

bool flushConsoleCommands(unsigned timeoutMs) {
    CommandQueue& queue = commandQueue();
    std::unique_lock<std::mutex> lock(queue.mutex);
    return queue.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [&] { return queue.pending.empty() && !queue.delivering; });
}
