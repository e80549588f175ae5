// End to end: the log-follow transport following the qconsole.log that the
// stand-in engine writes as the engine does, through two runs of the game,
// flushed and buffered. Every line the game printed is handed out once, in
// order; the transport reports the game found, the next run, and the end.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "console/console_events.h"
#include "console/game_homes.h"
#include "console/log_channel.h"
#include "temp_dir.h"

// Nothing waits on the front-end's loop here: the test takes the events.
void wakeMainLoop() {}

namespace {

using Clock = std::chrono::steady_clock;

const std::string kSourceDir = VORBIX_SOURCE_DIR;

// The replay: the recorded match with one obituary printed in two pieces,
// the next run of the game, and the match again.
std::string twoRuns(std::vector<std::string>& printed) {
    std::ifstream in(kSourceDir + "/data/demo/match.log", std::ios::binary);
    std::vector<std::string> match;
    for (std::string line; std::getline(in, line);) match.push_back(line);
    std::string replay;
    auto run = [&] {
        printed.push_back("=> game is version OpenMoHAA enginesim");
        printed.push_back("=> targeting game ID 0");
        bool cut = false;
        for (const std::string& line : match) {
            if (!cut && line.find(" was shot by ") != std::string::npos) {
                cut = true;
                const size_t half = line.find(" by ");
                replay += "#piece " + line.substr(0, half) + "\n" + line.substr(half) + "\n";
            } else {
                replay += line + "\n";
            }
            if (line.empty() || line[0] != '#') printed.push_back(line);
        }
    };
    run();
    replay += "#restart-log\n";
    printed.push_back("----- separator: the next run -----");
    run();
    printed.push_back("----- Client Shutdown (Client quit) -----");
    printed.push_back("-----------------------");
    return replay;
}

struct Taken {
    std::vector<ConsoleEvent::Kind> kinds;  // links and losses in order, one kLines for a run of lines
    std::vector<std::string> lines;
};

// Takes events until `until` holds or 20 s pass.
template <typename Until>
void takeEvents(Taken& taken, Until until) {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(20);
    ConsoleEvent event;
    while (!until() && Clock::now() < deadline) {
        if (!takeConsoleEvent(event)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        if (event.kind != ConsoleEvent::kLines || taken.kinds.empty() || taken.kinds.back() != ConsoleEvent::kLines)
            taken.kinds.push_back(event.kind);
        for (size_t start = 0, end; (end = event.lines.find('\n', start)) != std::string::npos; start = end + 1)
            taken.lines.push_back(event.lines.substr(start, end - start));
    }
}

pid_t startEngine(const std::vector<std::string>& arguments, int& input) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;
    std::vector<std::string> args{ENGINESIM_PATH};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : args) argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeEnds[0], STDIN_FILENO);
        const int nothing = open("/dev/null", O_WRONLY);
        dup2(nothing, STDERR_FILENO);
        close(pipeEnds[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[0]);
    input = pipeEnds[1];  // kept open: end of input would end the stand-in
    return pid;
}

TEST(LogFollowEndToEnd, EveryPrintedLineOnceAcrossTheNextRun) {
    const struct {
        const char* mode;
        const char* timestamps;
    } modes[] = {{"2", "1"}, {"1", "0"}};
    for (const auto& mode : modes) {
        SCOPED_TRACE(std::string("logfile ") + mode.mode + ", logfile_timestamps " + mode.timestamps);
        TempDir home;
        home.mkdir("main");
        std::vector<std::string> printed;
        home.write("match.log", twoRuns(printed));
        const std::string log = home.path("main/qconsole.log");
        clearConsoleEvents();
        // Following begins before the game makes its log.
        ASSERT_TRUE(startLogFollow(log));
        int input = -1;
        const pid_t engine = startEngine({"--name", "Kestrel", "--replay", home.path("match.log"), "--speed", "300",
                                          "--quit-after-replay", "--logfile", log, "--logmode", mode.mode,
                                          "--log-timestamps", mode.timestamps},
                                         input);
        ASSERT_GT(engine, 0);

        Taken taken;
        takeEvents(taken, [&] { return taken.lines.size() >= 4; });
        const std::vector<FoundLog> live = findLiveLogs({{home.root(), home.root()}}, std::time(nullptr), 60);
        ASSERT_EQ(live.size(), 1u);
        EXPECT_EQ(live[0].path, log);
        EXPECT_EQ(live[0].edition, 0);

        int status = 0;
        waitpid(engine, &status, 0);
        close(input);
        // The end is reported once the shutdown line was followed by quiet.
        takeEvents(taken, [&] { return std::count(taken.kinds.begin(), taken.kinds.end(), ConsoleEvent::kLost) == 2; });
        stopLogFollow();

        // Each run starts with the line that names when its log was opened.
        std::vector<std::string> lines;
        int runs = 0;
        for (const std::string& line : taken.lines) {
            if (line.compare(0, 18, "logfile opened on ") != 0) lines.push_back(line);
            else if (++runs == 2) lines.push_back("----- separator: the next run -----");
        }
        EXPECT_EQ(runs, 2);
        EXPECT_EQ(lines, printed);
        using E = ConsoleEvent;
        EXPECT_EQ(taken.kinds, (std::vector<E::Kind>{E::kLinked, E::kLines, E::kLost, E::kLinked, E::kLines, E::kLost}));
    }
}

// Following a log just written: the game is there unless its log ends with
// the shutdown lines of a game that quit.
TEST(LogFollowEndToEnd, ALogJustWrittenIsLiveUnlessItsGameQuit) {
    const struct {
        const char* log;
        bool live;
    } cases[] = {
        {"[2026-04-09 00:37:09 UTC+2.000] CL_InitCGame:  2.41 seconds\n", true},
        {"----- Client Shutdown (Client quit) -----\n-----------------------\n", false},
    };
    for (const auto& test : cases) {
        TempDir home;
        home.write("qconsole.log", test.log);
        clearConsoleEvents();
        ASSERT_TRUE(startLogFollow(home.path("qconsole.log")));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stopLogFollow();
        ConsoleEvent event;
        EXPECT_EQ(takeConsoleEvent(event) && event.kind == ConsoleEvent::kLinked, test.live) << test.log;
    }
}

}  // namespace
