#include "posix/game_process_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// A pipe whose ends are closed on exec; the child gets its copies by dup2.
bool openPipe(int ends[2]) {
    if (pipe(ends) != 0) return false;
    for (int i = 0; i < 2; ++i) fcntl(ends[i], F_SETFD, FD_CLOEXEC);
    return true;
}

void closeBoth(int ends[2]) {
    close(ends[0]);
    close(ends[1]);
}

// In the child between fork and exec: only async-signal-safe calls. The
// errno of a failure goes back through `report`.
[[noreturn]] void becomeGame(char* const* argv, const char* directory, int input, int output, int report) {
    setpgid(0, 0);
    signal(SIGPIPE, SIG_DFL);  // ignored by Vorbix, and an ignored signal stays ignored across exec
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (dup2(input, STDIN_FILENO) >= 0 && dup2(output, STDOUT_FILENO) >= 0 && dup2(output, STDERR_FILENO) >= 0 &&
        (directory[0] == '\0' || chdir(directory) == 0))
        execvp(argv[0], argv);
    int error = errno;
    ssize_t written = write(report, &error, sizeof error);
    (void)written;
    _exit(127);
}

}  // namespace

bool spawnGame(const GameLaunch& launch, GameProcess& game, std::string& error) {
    if (launch.arguments.empty() || launch.arguments[0].empty()) {
        error = "no game program given";
        return false;
    }
    std::vector<char*> argv;
    for (const std::string& argument : launch.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int input[2], output[2], report[2];
    if (!openPipe(input)) {
        error = std::strerror(errno);
        return false;
    }
    if (!openPipe(output)) {
        error = std::strerror(errno);
        closeBoth(input);
        return false;
    }
    if (!openPipe(report)) {
        error = std::strerror(errno);
        closeBoth(input);
        closeBoth(output);
        return false;
    }
    pid_t pid = fork();
    if (pid == 0) becomeGame(argv.data(), launch.directory.c_str(), input[0], output[1], report[1]);
    close(output[1]);
    close(report[1]);
    if (pid < 0) {
        error = std::strerror(errno);
        closeBoth(input);
        close(output[0]);
        close(report[0]);
        return false;
    }
    setpgid(pid, pid);  // also here, so no signal meets the child before it has its group

    // The report pipe closes on a successful exec; a failure sends its errno.
    int childError = 0;
    ssize_t got;
    do got = read(report[0], &childError, sizeof childError);
    while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got == static_cast<ssize_t>(sizeof childError)) {
        error = launch.arguments[0] + ": " + std::strerror(childError);
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        closeBoth(input);
        close(output[0]);
        return false;
    }

    fcntl(input[1], F_SETFL, fcntl(input[1], F_GETFL) | O_NONBLOCK);
#ifdef F_SETPIPE_SZ
    // A pipe of one page holds one write of ours at a time, so it reports
    // itself writable exactly when the game has read all of it: the writer
    // waits for that instead of looking again and again.
    game.inputEmptiesWritable = fcntl(input[1], F_SETPIPE_SZ, 4096) > 0;
#endif
    game.pid = pid;
    game.input = input[1];
    game.inputProbe = input[0];
    game.output = output[0];
    return true;
}
