// vorbix for Linux and macOS: starts the open-source engine as a child
// process, reads its console from the game's standard output and error,
// types commands into its standard input, and shows on the terminal what it
// counts. Start-up, the poll and the exit path are the core's, as on Windows.
//
//   vorbix [--log FILE] [-- GAME [PARAMETERS...]]
//   vorbix --follow [LOG]
//
// Without "--" the game is the one vorbix.ini's [game] section names. With
// --follow Vorbix starts no game: it follows the log of a game the player
// started with "+set logfile 2" (LOG, or the one being written in the
// engine's home folders), read only, until Ctrl+C.
// Ctrl+C (SIGINT), SIGTERM and SIGHUP end Vorbix and the game it started:
// the game gets "exec vorbixoff.cfg" while it still runs, the totals and
// vorbix.ini are saved, then the game is asked to quit; one that has not
// ended 10 s later gets SIGTERM, 3 s after that SIGKILL. A second Ctrl+C
// skips the wait. The game runs in a process group of its own, so the
// terminal's Ctrl+C reaches only Vorbix.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "console/console_events.h"
#include "core/app_state.h"
#include "core/frontend.h"
#include "core/platform.h"
#include "core/timers.h"
#include "console/log_search.h"
#include "posix/channel_posix.h"
#include "report/report_file.h"
#include "terminal/display.h"
#include "terminal/game_launch.h"
#include "terminal/message_file_list.h"
#include "terminal/run_view.h"
#include "text/line_cutter.h"
#include "wiring/poll.h"
#include "wiring/shutdown.h"
#include "wiring/startup.h"

namespace {

constexpr unsigned kQuitWaitMs = 10000;
constexpr unsigned kTerminateWaitMs = 3000;
constexpr unsigned kKillWaitMs = 2000;
constexpr int kExitWaitStepMs = 50;

const char* const kUsage =
    "usage: vorbix [--log FILE] [-- GAME [PARAMETERS...]]\n"
    "Starts the game and counts the player's kills, deaths and sprees from its console.\n"
    "Run it in the folder that holds vorbix.ini, messages/ and sounds/.\n"
    "  --log FILE   the game's output goes to FILE instead of the terminal\n"
    "  -- GAME ...  the game's command line; without it, [game] gamepath and\n"
    "               gameparameters of vorbix.ini\n"
    "or:    vorbix --follow [LOG]\n"
    "Follows the console log of a game started with \"+set logfile 2\" (LOG, or the\n"
    "one being written in the game's home folders): kills, deaths, sounds and the\n"
    "totals work, nothing reaches the game.\n";

struct Options {
    std::string gameLog;
    std::vector<std::string> gameCommand;
    bool follow = false;
    std::string followPath;  // empty: the log being written in the game's homes
    bool help = false;
};

int wakeReadEnd = -1;
int wakeWriteEnd = -1;
std::atomic<int> interrupts{0};
bool forwardTypedLines = true;

void onInterrupt(int) {
    const int savedErrno = errno;
    interrupts.fetch_add(1);
    ssize_t written = write(wakeWriteEnd, "!", 1);
    (void)written;
    errno = savedErrno;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--") {
            options.gameCommand.assign(argv + i + 1, argv + argc);
            return !options.gameCommand.empty();
        }
        if (option == "--help" || option == "-h") {
            options.help = true;
        } else if (option == "--log" && i + 1 < argc) {
            options.gameLog = argv[++i];
        } else if (option == "--follow") {
            options.follow = true;
            if (i + 1 < argc && argv[i + 1][0] != '-') options.followPath = argv[++i];
        } else {
            return false;
        }
    }
    return !(options.follow && (!options.gameCommand.empty() || !options.gameLog.empty()));
}

// Closed standard streams would be taken by the first pipes we open, which
// the game would then inherit as its own.
void keepStandardStreamsOpen() {
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) < 0) open("/dev/null", O_RDWR);
}

bool setUpWakeAndSignals() {
    int ends[2];
    if (pipe(ends) != 0) return false;
    for (int end : ends) {
        fcntl(end, F_SETFD, FD_CLOEXEC);
        fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
    }
    wakeReadEnd = ends[0];
    wakeWriteEnd = ends[1];
    signal(SIGPIPE, SIG_IGN);
    struct sigaction action{};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaction(signalNumber, &action, nullptr);
    return true;
}

// Lines typed into Vorbix's terminal go to the game as commands.
void forwardTypedInput() {
    char buffer[4096];
    // No command is this long: such a line is dropped up to its line feed.
    static LineCutter typed{sizeof buffer + 1, true};
    ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
        if (got == 0 || (errno != EINTR && errno != EAGAIN)) forwardTypedLines = false;
        return;
    }
    cutLines(typed, buffer, static_cast<size_t>(got), [](const std::string& line) { sendConsoleCommand(line); });
}

// A terminal stops a background process that reads from it.
bool mayReadTypedLines() {
    return forwardTypedLines && (isatty(STDIN_FILENO) == 0 || tcgetpgrp(STDIN_FILENO) == getpgrp());
}

// Sleeps until the loop is woken, a line is typed or `timeoutMs` has passed
// (-1: no limit).
void waitForWake(int64_t timeoutMs) {
    pollfd watched[2] = {{wakeReadEnd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    const nfds_t count = mayReadTypedLines() ? 2 : 1;
    if (poll(watched, count, static_cast<int>(timeoutMs < INT32_MAX ? timeoutMs : INT32_MAX)) <= 0) return;
    char drain[64];
    while (read(wakeReadEnd, drain, sizeof drain) > 0) {
    }
    if (count == 2 && (watched[1].revents & (POLLIN | POLLHUP))) forwardTypedInput();
    if (count == 2 && (watched[1].revents & POLLNVAL)) forwardTypedLines = false;
}

// The search for a live log, once a second on the loop.
void lookForLogs() {
    lookForLiveLog();
    runAfter(1000, lookForLogs);
}

enum class RunEnd { kInterrupted, kGameEnded };

RunEnd runLoop() {
    int32_t lastSearchTime = 0;
    for (;;) {
        pollConsole(lastSearchTime);
        if (interrupts.load() > 0) return RunEnd::kInterrupted;
        // The channel posts the game's end after its last line.
        if (gameEnded() && !isLinked(app.link)) return RunEnd::kGameEnded;
        waitForWake(msUntilNextTimer());
    }
}

// Waits up to `timeoutMs` for the game to end; false when it has not, or
// once the player has pressed Ctrl+C `hurryAt` times in all.
bool waitForGameEnd(unsigned timeoutMs, int hurryAt) {
    for (unsigned waited = 0; waited < timeoutMs; waited += kExitWaitStepMs) {
        if (gameEnded()) return true;
        if (interrupts.load() >= hurryAt) return false;
        clearConsoleEvents();  // the loop has ended: nothing more is counted
        waitForWake(kExitWaitStepMs);
    }
    return gameEnded();
}

// The game started by Vorbix ends with it: asked to quit, then SIGTERM (the
// engine's own clean shutdown), then SIGKILL. Each further Ctrl+C skips a wait.
void endGame() {
    writeNote("asking the game to quit");
    sendConsoleCommand("quit");
    releaseConsoleCommands();
    if (waitForGameEnd(kQuitWaitMs, 2)) return;
    writeNote("the game did not quit: sending it SIGTERM");
    signalGame(SIGTERM);
    if (waitForGameEnd(kTerminateWaitMs, 3)) return;
    writeNote("the game did not end: sending it SIGKILL");
    signalGame(SIGKILL);
    waitForGameEnd(kKillWaitMs, INT32_MAX);
}

std::string describeWaitStatus(int status) {
    if (WIFEXITED(status)) return "exit code " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return std::string("signal ") + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

// Start-up as on Windows, up to the start of the game; false on a failure
// already reported.
bool startUp(const Options& options) {
    if (!options.gameLog.empty() && !openGameLog(options.gameLog.c_str())) {
        showWarning(("Cannot write " + options.gameLog + ": " + std::strerror(errno)).c_str(), "Vorbix3");
        return false;
    }
    if (!loadStartSettings()) return false;
    std::string messageFile;
    if (!loadStartMessageFile(listMessageFiles(messageFile), messageFile)) return false;
    if (options.follow) return true;

    GameLaunch launch;
    const SettingsTexts& texts = app.settingsTexts;
    if (options.gameCommand.empty())
        launch = launchFromSettings(texts.gamePath, texts.parameters, texts.server);
    else
        launch.arguments = options.gameCommand;
    setGameOutputSink(writeGameLine);
    std::string error;
    if (!startGame(launch, error)) {
        showWarning(("Cannot start the game: " + error +
                     ". Name it with gamepath in vorbix.ini's [game] section, or give its command line after --.")
                        .c_str(),
                    "Vorbix3");
        return false;
    }
    writeNote("started the game: " + joined(launch.arguments));
    return true;
}

}  // namespace

void wakeMainLoop() {
    ssize_t written = write(wakeWriteEnd, "w", 1);
    (void)written;  // a full pipe wakes the loop all the same
}

int main(int argc, char** argv) {
    keepStandardStreamsOpen();
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!setUpWakeAndSignals() || !startUp(options)) {
        closeDisplay();
        return 1;
    }
    if (!options.follow) {
        startConsoleChannel();
    } else if (!options.followPath.empty()) {
        followLog(logAt(options.followPath));
        writeNote("following " + options.followPath);
    } else {
        lookForLogs();
        writeNote("looking for the log of a game started with \"+set logfile 2\"");
    }

    const RunEnd end = runLoop();
    if (end == RunEnd::kInterrupted) writeNote("closing");
    shutdownApp();
    stopFollowingLogs();
    const std::string run = describeRun(shownRunCounts(), app.playerName);
    if (!options.follow && !gameEnded()) endGame();
    if (gameEnded()) writeNote("the game ended (" + describeWaitStatus(gameWaitStatus()) + ")");
    writeNote("this run: " + run + "; totals in vorbix.vbx");
    // shutdownApp has flushed the match history: every map is on the page.
    const std::string report = currentDirectory() + "/" + kReportFileName;
    writeNote(writeReportFile(report) ? "report: " + report : "the report could not be written to " + report);
    closeDisplay();
    return 0;
}
