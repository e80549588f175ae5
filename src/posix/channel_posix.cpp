// The console channel over the game's pipes. A reader thread blocks on the
// game's output and posts the complete lines of each read; a writer thread types the
// commands into its input. Neither ever waits for the front-end's loop, and
// the loop never waits for the game.
//
// Pacing. The engine reads its input with read() of at most 256 bytes, over
// and over while data is there, and runs what one read got as whole lines,
// taking its last byte for the line feed: a read that ends inside a line
// loses one character of it and runs the rest as another command. So the
// writer writes only into an empty pipe (FIONREAD on our copy of its read end
// shows what the game has not taken yet), and never more than 256 bytes of
// whole lines at once. Each read then takes exactly one of our writes, whole,
// whatever the game's frame rate; a write of up to PIPE_BUF bytes into a pipe
// is atomic, so no read sees part of one. The commands one console line
// causes are released together at the end of the poll step, so they go out in
// one write where they fit. On Linux the game's input pipe holds one page,
// so it polls writable exactly when the game has read our last write, and
// the writer wakes at once; elsewhere it looks again every quarter
// millisecond (every 2 ms once it has waited 100 ms). It never blocks on a
// write: a game that stops reading only makes the queue longer.
#include "posix/channel_posix.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "console/command_queue.h"
#include "console/console_events.h"
#include "core/app_state.h"
#include "core/platform.h"
#include "text/line_cutter.h"

namespace {

using Clock = std::chrono::steady_clock;

// A longer run without a line feed is handed on in pieces of this size, the
// longest single print the retail console keeps.
constexpr size_t kLongestLine = 16383;
constexpr size_t kReadChunk = 65536;
constexpr auto kQuickChecks = std::chrono::milliseconds(100);
constexpr auto kQuickCheckPeriod = std::chrono::microseconds(250);
constexpr auto kSlowCheckPeriod = std::chrono::milliseconds(2);

struct Channel {
    CommandQueue queue{kLongestCommand};
    std::mutex mutex;
    bool started = false;  // the game was started
    bool linked = false;   // startConsoleChannel ran: commands are taken
    bool ended = false;    // the game has ended: commands go nowhere
    int waitStatus = 0;
    GameProcess game;
    void (*sink)(const std::string& line) = nullptr;
};

// Never destroyed: the channel's threads may still run during process exit.
Channel& channel() {
    static Channel* instance = new Channel;
    return *instance;
}

size_t unreadBytes(const Channel& ch) {
    int unread = 0;
    if (ioctl(ch.game.inputProbe, FIONREAD, &unread) != 0) return 0;
    return unread > 0 ? static_cast<size_t>(unread) : 0;
}

bool hasEnded(Channel& ch) {
    std::lock_guard<std::mutex> lock(ch.mutex);
    return ch.ended;
}

// Waits until the game has read all we wrote; false when it ended first.
bool waitUntilTaken(Channel& ch) {
    if (ch.game.inputEmptiesWritable) {
        // Writable again means read: woken at once, no looking in between.
        pollfd input{ch.game.input, POLLOUT, 0};
        while (poll(&input, 1, 100) <= 0 || !(input.revents & (POLLOUT | POLLERR | POLLHUP)))
            if (hasEnded(ch)) return false;
        return true;
    }
    const Clock::time_point start = Clock::now();
    while (unreadBytes(ch) > 0) {
        if (hasEnded(ch)) return false;
        std::this_thread::sleep_for(Clock::now() - start < kQuickChecks ? kQuickCheckPeriod : kSlowCheckPeriod);
    }
    return true;
}

void runWriter() {
    Channel& ch = channel();
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

void runReader() {
    Channel& ch = channel();
    std::vector<char> buffer(kReadChunk);
    LineCutter cutter{kLongestLine, false};
    std::string lines;
    // Each line goes to the sink; the read's lines go to the poll as one batch.
    const auto take = [&](const std::string& line) {
        if (ch.sink) ch.sink(line);
        if (line.empty()) return;
        lines += line;
        lines += '\n';
    };
    for (;;) {
        ssize_t got = read(ch.game.output, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        cutLines(cutter, buffer.data(), static_cast<size_t>(got), take);
        postConsoleLines(std::move(lines));
        lines.clear();
    }
    finishLines(cutter, take);
    postConsoleLines(std::move(lines));

    // The game closed its output: it is ending.
    int status = 0;
    while (waitpid(ch.game.pid, &status, 0) < 0 && errno == EINTR) {
    }
    {
        std::lock_guard<std::mutex> lock(ch.mutex);
        ch.ended = true;
        ch.waitStatus = status;
    }
    openCommands(ch.queue, 0);
    postLost();
}

}  // namespace

bool startGame(const GameLaunch& launch, std::string& error) {
    Channel& ch = channel();
    std::lock_guard<std::mutex> lock(ch.mutex);
    if (ch.started) {
        error = "the game was already started";
        return false;
    }
    if (!spawnGame(launch, ch.game, error)) return false;
    ch.started = true;
    return true;
}

void setGameOutputSink(void (*sink)(const std::string& line)) { channel().sink = sink; }

bool gameEnded() { return hasEnded(channel()); }

int gameWaitStatus() {
    Channel& ch = channel();
    std::lock_guard<std::mutex> lock(ch.mutex);
    return ch.waitStatus;
}

void signalGame(int signal) {
    Channel& ch = channel();
    std::lock_guard<std::mutex> lock(ch.mutex);
    // Once reaped, the process group's number may belong to someone else.
    if (ch.started && !ch.ended) kill(-ch.game.pid, signal);
}

void startConsoleChannel() {
    Channel& ch = channel();
    {
        std::lock_guard<std::mutex> lock(ch.mutex);
        if (!ch.started || ch.linked) return;
        ch.linked = true;
    }
    const GameLink link = makeLink(LinkKind::kGamePipes, 0);
    openCommands(ch.queue, link.id);
    postLinked(link);
    std::thread(runReader).detach();
    std::thread(runWriter).detach();
}

void sendConsoleCommand(const std::string& command) {
    queueCommand(channel().queue, isLinked(app.link) ? app.link.id : 0, command);
}

void releaseConsoleCommands() { releaseCommands(channel().queue); }

bool flushConsoleCommands(unsigned timeoutMs) { return waitUntilReached(channel().queue, timeoutMs); }
