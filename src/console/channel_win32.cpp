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

// The text last returned by readConsoleText, so a delete can check that the
// box still starts with it.
std::string lastReadText;

}  // namespace

bool findConsole(const GameEdition& edition) {
    HWND window = FindWindowA(edition.windowClass, edition.title);
    app.console.consoleWindow = window;
    if (!window) return false;
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
    if (!output) return false;
    DWORD_PTR length = 0;
    if (!sendBounded(output, WM_GETTEXTLENGTH, 0, 0, length) || static_cast<LRESULT>(length) < 1) return false;
    std::string buffer(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!sendBounded(output, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), copied))
        return false;
    if (copied > length) copied = length;
    if (copied == 0) return false;
    buffer.resize(copied);
    text = buffer;
    lastReadText = std::move(buffer);
    return true;
}

void deleteConsoleText(size_t length) {
    HWND output = asHwnd(app.console.consoleOutput);
    if (!output || length == 0 || length > lastReadText.size()) return;
    // The game starts the box over once it has printed enough; then its start
    // is new text that must not be deleted. Delete only while the box still
    // begins with what was read.
    std::string start(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!sendBounded(output, WM_GETTEXT, start.size(), reinterpret_cast<LPARAM>(start.data()), copied)) return;
    if (copied != length || start.compare(0, length, lastReadText, 0, length) != 0) return;
    DWORD_PTR ignored = 0;
    if (!sendBounded(output, EM_SETSEL, 0, static_cast<LPARAM>(length), ignored)) return;
    sendBounded(output, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""), ignored);
    lastReadText.clear();
}

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
