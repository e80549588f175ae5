// Typing commands into the game's standard input.
//
// The engine reads its input with read() of at most 256 bytes, over and over
// while data is there, and runs what one read got as whole lines, taking its
// last byte for the line feed: a read that ends inside a line loses one
// character of it and runs the rest as another command. So the writer writes
// only into an empty pipe (FIONREAD on our copy of its read end shows what
// the game has not taken yet), and never more than 256 bytes of whole lines
// at once. Each read then takes exactly one of our writes, whole, whatever
// the game's frame rate; a write of up to PIPE_BUF bytes into a pipe is
// atomic, so no read sees part of one. The commands one console line causes
// are released together at the end of the poll step, so they go out in one
// write where they fit. On Linux the game's input pipe holds one page, so it
// polls writable exactly when the game has read our last write, and the
// writer wakes at once; elsewhere it looks again every quarter millisecond
// (every 2 ms once it has waited 100 ms). It never blocks on a write: a game
// that stops reading only makes the queue longer.
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "core/app_state.h"
#include "core/platform.h"
#include "posix/pipe_channel_posix.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kQuickChecks = std::chrono::milliseconds(100);
constexpr auto kQuickCheckPeriod = std::chrono::microseconds(250);
constexpr auto kSlowCheckPeriod = std::chrono::milliseconds(2);

size_t unreadBytes(const PipeChannel& ch) {
    int unread = 0;
    if (ioctl(ch.game.inputProbe, FIONREAD, &unread) != 0) return 0;
    return unread > 0 ? static_cast<size_t>(unread) : 0;
}

// Waits until the game has read all we wrote; false when it ended first.
bool waitUntilTaken(PipeChannel& ch) {
    if (ch.game.inputEmptiesWritable) {
        // Writable again means read: woken at once, no looking in between.
        pollfd input{ch.game.input, POLLOUT, 0};
        while (poll(&input, 1, 100) <= 0 || !(input.revents & (POLLOUT | POLLERR | POLLHUP)))
            if (pipeGameEnded(ch)) return false;
        return true;
    }
    const Clock::time_point start = Clock::now();
    while (unreadBytes(ch) > 0) {
        if (pipeGameEnded(ch)) return false;
        std::this_thread::sleep_for(Clock::now() - start < kQuickChecks ? kQuickCheckPeriod : kSlowCheckPeriod);
    }
    return true;
}

}  // namespace

void runPipeWriter() {
    PipeChannel& ch = pipeChannel();
    CommandQueue& queue = ch.queue;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(queue.mutex);
            queue.changed.wait(lock, [&] { return !queue.ready.empty() || queue.openLink == 0; });
            if (queue.openLink == 0) return;  // the game has ended
        }
        // As many whole commands as one read of the engine takes.
        const std::vector<std::string> commands = takeCommands(queue, kEngineReadSize, SIZE_MAX, false);
        if (commands.empty()) continue;
        std::string chunk;
        for (const std::string& command : commands) chunk += command + '\n';
        // An empty pipe takes the whole chunk; a failure means the game
        // closed its input, and its end follows.
        ssize_t written;
        do written = write(ch.game.input, chunk.data(), chunk.size());
        while (written < 0 && errno == EINTR);
        waitUntilTaken(ch);
        commandsReached(queue, commands.size());
    }
}

void sendConsoleCommand(const std::string& command) {
    queueCommand(pipeChannel().queue, isLinked(app.link) ? app.link.id : 0, command);
}

void releaseConsoleCommands() { releaseCommands(pipeChannel().queue); }

bool flushConsoleCommands(unsigned timeoutMs) { return waitUntilReached(pipeChannel().queue, timeoutMs); }
