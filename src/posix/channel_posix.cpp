// The console channel over a started game's pipes: starting and ending the
// game, and reading what it prints. A reader thread blocks on the game's
// output and posts the complete lines of each read; the writer
// (pipe_writer_posix.cpp) types the commands into its input. Neither ever
// waits for the front-end's loop, and the loop never waits for the game.
#include "posix/channel_posix.h"

#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <thread>
#include <vector>

#include "console/console_events.h"
#include "core/platform.h"
#include "posix/pipe_channel_posix.h"
#include "text/line_cutter.h"

namespace {

// A longer run without a line feed is handed on in pieces of this size, the
// longest single print the retail console keeps.
constexpr size_t kLongestLine = 16383;
constexpr size_t kReadChunk = 65536;

void runReader() {
    PipeChannel& ch = pipeChannel();
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

PipeChannel& pipeChannel() {
    static PipeChannel* instance = new PipeChannel;
    return *instance;
}

bool pipeGameEnded(PipeChannel& ch) {
    std::lock_guard<std::mutex> lock(ch.mutex);
    return ch.ended;
}

bool startGame(const GameLaunch& launch, std::string& error) {
    PipeChannel& ch = pipeChannel();
    std::lock_guard<std::mutex> lock(ch.mutex);
    if (ch.started) {
        error = "the game was already started";
        return false;
    }
    if (!spawnGame(launch, ch.game, error)) return false;
    ch.started = true;
    return true;
}

void setGameOutputSink(void (*sink)(const std::string& line)) { pipeChannel().sink = sink; }

bool gameEnded() { return pipeGameEnded(pipeChannel()); }

int gameWaitStatus() {
    PipeChannel& ch = pipeChannel();
    std::lock_guard<std::mutex> lock(ch.mutex);
    return ch.waitStatus;
}

void signalGame(int signal) {
    PipeChannel& ch = pipeChannel();
    std::lock_guard<std::mutex> lock(ch.mutex);
    // Once reaped, the process group's number may belong to someone else.
    if (ch.started && !ch.ended) kill(-ch.game.pid, signal);
}

void startConsoleChannel() {
    PipeChannel& ch = pipeChannel();
    {
        std::lock_guard<std::mutex> lock(ch.mutex);
        if (!ch.started || ch.linked) return;
        ch.linked = true;
    }
    const GameLink link = makeLink(LinkKind::kGamePipes, 0);
    openCommands(ch.queue, link.id);
    postLinked(link);
    std::thread(runReader).detach();
    std::thread(runPipeWriter).detach();
}
