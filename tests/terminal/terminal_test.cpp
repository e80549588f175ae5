// End to end: the native vorbix starting the stand-in engine (enginesim) in
// a player's folder. What the game received, vorbix.vbx and the sounds
// played are compared with figures fixed here and in tests/data, worked out
// from the lines the game printed, not from the code under test.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/recorded_match.h"
#include "core/stats_record.h"
#include "stats/history.h"
#include "temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
using Env = std::vector<std::pair<std::string, std::string>>;

const std::string kSourceDir = VORBIX_SOURCE_DIR;
constexpr const char* kPlayer = "Kestrel";
const std::string kHideMenus = "exec hidevorbixui.cfg";

// A long multi-kill window: multi-kills then follow the order of the lines,
// not the pace of the replay.
constexpr const char* kIni =
    "kill_time=100000\ndefaultmsgfile=english.ini\n"
    "[vorbix]\nsounds=0\ndisplays=1\nannouncements=0\n"
    "[game]\nlaunchmohaa=0\ngamepath=/opt/mohaa\n"
    "[announcements]\nbash=say \"Humiliation! Bash kill #%u\"\nheadshot=say \"Headshot! #%u\"\n"
    "killingspree=say \"Killing Spree! x%u\"\nrampage=say \"Rampage! x%u\"\n";

void prepareRunDir(const TempDir& dir, const std::string& ini) {
    dir.write("vorbix.ini", ini);
    std::filesystem::copy(kSourceDir + "/data/messages", dir.path("messages"));
    std::filesystem::copy(kSourceDir + "/data/sounds", dir.path("sounds"));
}

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

using Counts = std::vector<std::pair<uint32_t StatsRecord::*, uint32_t>>;

StatsRecord recordOf(const Counts& counts) {
    StatsRecord record{};
    for (const auto& [field, value] : counts) record.*field = value;
    return record;
}

struct Received {
    std::vector<std::string> commands;  // as the stand-in ran them, in order
    std::vector<std::string> cuts;      // reads that ended inside a line
};

Received receivedBy(const std::string& logFile) {
    Received received;
    for (const std::string& line : readLines(logFile)) {
        const std::string text = line.substr(line.find('\t') + 1);
        (text.compare(0, 5, "!cut ") == 0 ? received.cuts : received.commands).push_back(text);
    }
    return received;
}

std::vector<std::string> withoutHideCommands(const std::vector<std::string>& commands) {
    std::vector<std::string> kept;
    for (const std::string& command : commands)
        if (command != kHideMenus) kept.push_back(command);
    return kept;
}

// Every command expected, in order; the hide commands come 600 ms after
// their menus, so only their number is compared.
void expectSameCommands(const std::vector<std::string>& received, const std::vector<std::string>& expected) {
    EXPECT_EQ(withoutHideCommands(received), withoutHideCommands(expected));
    EXPECT_EQ(std::count(received.begin(), received.end(), kHideMenus),
              std::count(expected.begin(), expected.end(), kHideMenus));
}

void expectSameTotals(const TempDir& dir, const StatsRecord& expected) {
    StatsRecord saved{};
    ASSERT_TRUE(readStatsFile(dir.path("vorbix.vbx").c_str(), saved));
    for (int i = 0; i < kStatsFieldCount; ++i) EXPECT_EQ(saved.*kStatsFields[i], expected.*kStatsFields[i]) << kStatsKeys[i];
}

// vorbix in `dir` with `vorbixArguments`, as a terminal runs it:
// the leader of its own process group, output read as it comes.
class VorbixRun {
public:
    // `reading` false: the terminal takes nothing of vorbix's output until
    // resumeReading(), like a terminal paused with Ctrl+S.
    VorbixRun(const TempDir& dir, const std::vector<std::string>& vorbixArguments, const Env& env = {},
              bool reading = true)
        : reading_(reading) {
        int output[2];
        if (pipe(output) != 0) return;
        std::vector<std::string> arguments{VORBIX_PATH};
        arguments.insert(arguments.end(), vorbixArguments.begin(), vorbixArguments.end());
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(&argument[0]);
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            setpgid(0, 0);
            int nothing = open("/dev/null", O_RDONLY);
            dup2(nothing, STDIN_FILENO);
            dup2(output[1], STDOUT_FILENO);
            dup2(output[1], STDERR_FILENO);
            close(output[0]);
            close(output[1]);  // else the game inherits it and holds the output open
            for (const auto& variable : env) setenv(variable.first.c_str(), variable.second.c_str(), 1);
            if (chdir(dir.root().c_str()) == 0) execv(argv[0], argv.data());
            _exit(127);
        }
        close(output[1]);
        output_ = output[0];
        reader_ = std::thread([this] { readOutput(); });
    }

    ~VorbixRun() {
        resumeReading();
        if (!exited_ && pid_ > 0) {
            kill(-pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (reader_.joinable()) reader_.join();
        if (output_ >= 0) close(output_);
    }

    bool started() const { return pid_ > 0; }

    // Ctrl+C in the terminal: SIGINT to the foreground process group.
    void interrupt() { kill(-pid_, SIGINT); }

    // The exit code, or -1 when it did not end in time (or not normally).
    int waitForExit(int timeoutMs) {
        for (const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeoutMs);;) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                resumeReading();
                if (reader_.joinable()) reader_.join();
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            if (Clock::now() > until) return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    bool waitForOutput(const std::string& text, int timeoutMs) {
        std::unique_lock<std::mutex> lock(mutex_);
        return grown_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return text_.find(text) != std::string::npos; });
    }

    std::string output() {
        std::lock_guard<std::mutex> lock(mutex_);
        return text_;
    }

    void resumeReading() {
        std::lock_guard<std::mutex> lock(mutex_);
        reading_ = true;
        grown_.notify_all();
    }

private:
    void readOutput() {
        char buffer[4096];
        {
            std::unique_lock<std::mutex> lock(mutex_);
            grown_.wait(lock, [&] { return reading_ || exited_; });
        }
        for (ssize_t got; (got = read(output_, buffer, sizeof buffer)) != 0;) {
            if (got < 0) {
                if (errno == EINTR) continue;
                break;
            }
            std::lock_guard<std::mutex> lock(mutex_);
            text_.append(buffer, static_cast<size_t>(got));
            grown_.notify_all();
        }
    }

    pid_t pid_ = -1;
    int output_ = -1;
    bool exited_ = false;
    bool reading_ = true;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable grown_;
    std::string text_;
};

// vorbix's arguments that start `game`.
std::vector<std::string> withGame(const std::vector<std::string>& game) {
    std::vector<std::string> arguments{"--"};
    arguments.insert(arguments.end(), game.begin(), game.end());
    return arguments;
}

std::vector<std::string> engineCommand(const TempDir& dir, const std::string& replayFile, const std::string& speed,
                                       bool quitAfterReplay) {
    std::vector<std::string> command{ENGINESIM_PATH, "--name", kPlayer, "--replay", replayFile,
                                     "--speed",      speed,    "--log",  dir.path("received.log")};
    if (quitAfterReplay) command.push_back("--quit-after-replay");
    return command;
}

bool waitForCommands(const TempDir& dir, size_t count, int timeoutMs) {
    for (const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeoutMs);;) {
        if (receivedBy(dir.path("received.log")).commands.size() >= count) return true;
        if (Clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// The samples of a WAV file: its "data" chunk.
std::string wavSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string wav((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (size_t at = 12; at + 8 <= wav.size();) {
        const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(wav[at + 4 + i])); };
        const uint32_t size = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
        if (wav.compare(at, 4, "data") == 0) return wav.substr(at + 8, size);
        at += 8 + size + (size & 1);
    }
    return std::string();
}

std::string killLine(const std::string& victim) { return "\x04" + victim + " was shot by " + kPlayer + " in the head"; }

}  // namespace

// The recorded two-map match, closed with Ctrl+C while the game still runs:
// the game is told first and asked to quit, nothing counted is lost.
TEST(Terminal, RecordedMatchIsCountedAndCtrlCClosesCleanly) {
    const std::string match = kSourceDir + "/data/demo/match.log";
    // Every command the match causes, in order, the exit's last.
    const std::vector<std::string> expected = readLines(kSourceDir + "/tests/data/match.commands");
    ASSERT_EQ(expected.back(), "exec vorbixoff.cfg");
    const StatsRecord totals = recordedMatchTotals();

    TempDir dir;
    prepareRunDir(dir, kIni);
    VorbixRun vorbix(dir, withGame(engineCommand(dir, match, "50", false)));
    ASSERT_TRUE(vorbix.started());
    // Everything but the exit's own command, then Ctrl+C.
    ASSERT_TRUE(waitForCommands(dir, expected.size() - 1, 60000)) << vorbix.output();
    vorbix.interrupt();
    ASSERT_EQ(vorbix.waitForExit(30000), 0) << vorbix.output();

    const Received received = receivedBy(dir.path("received.log"));
    std::vector<std::string> wanted = expected;
    wanted.push_back("quit");
    expectSameCommands(received.commands, wanted);
    EXPECT_TRUE(received.cuts.empty()) << received.cuts.front();
    expectSameTotals(dir, totals);
    // vorbix.ini written back with the in-game "announce_on".
    EXPECT_NE(dir.read("vorbix.ini").find("announcements = 1"), std::string::npos) << dir.read("vorbix.ini");
    EXPECT_NE(dir.read("vorbix.ini").find("gamepath = /opt/mohaa"), std::string::npos);

    const std::string shown = vorbix.output();
    for (const char* text : {"CL_InitCGame:  1.87 seconds", "player Kestrel", "map 2 loaded", "killing spree",
                             "the game ended (exit code 0)"})
        EXPECT_NE(shown.find(text), std::string::npos) << text << " not in:\n" << shown;

    // A history row for each map, with that map's counts, and the report at exit.
    HistoryFile history;
    ASSERT_TRUE(readHistoryFile(dir.path(kHistoryFileName).c_str(), history));
    ASSERT_EQ(history.rows.size(), 2u);
    const std::pair<uint32_t, uint32_t> killsAndDeaths[] = {{7, 3}, {5, 2}};
    const char* maps[] = {"dm/mohdm1", "dm/mohdm6"};
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(history.rows[i].map, maps[i]);
        EXPECT_EQ(history.rows[i].counts.kills, killsAndDeaths[i].first) << "map " << i + 1;
        EXPECT_EQ(history.rows[i].counts.deaths, killsAndDeaths[i].second) << "map " << i + 1;
        EXPECT_EQ(history.rows[i].player, kPlayer);
        EXPECT_EQ(history.rows[i].edition, "OpenMoHAA");
    }
    EXPECT_EQ(history.rows[0].counts.in_a_row_kills, 5u);
    EXPECT_EQ(history.rows[1].counts.headshots_kills, 1u);
    EXPECT_NE(shown.find("report: " + dir.path("vorbix-report.html")), std::string::npos) << shown;
    EXPECT_NE(dir.read("vorbix-report.html").find("<svg"), std::string::npos);
}

// 200 kills in one frame, then the game reads nothing for 10 s while it
// prints 10 more: vorbix handles those at once, every command arrives whole
// and in order once the game reads again, and the game's own end closes it.
// A rampage announcement too long for the game's console line is refused,
// and the commands after it still go.
TEST(Terminal, BurstAndTenSecondStallLoseNothing) {
    TempDir dir;
    std::string replay = "#delay 1000\n";
    for (int i = 1; i <= 200; ++i) replay += killLine("Axis" + std::to_string(i)) + "\n";
    replay += "#stall 10000\n#delay 2000\n";
    for (int i = 201; i <= 210; ++i) replay += killLine("Axis" + std::to_string(i)) + "\n";
    replay += "#delay 11000\n";
    dir.write("burst.log", replay);
    std::string ini = kIni;
    ini.replace(ini.find("announcements=0"), 15, "announcements=1");
    const std::string rampage = "Rampage! x%u";
    ini.replace(ini.find(rampage), rampage.size(), std::string(300, 'R') + " x%u");

    prepareRunDir(dir, ini);
    VorbixRun vorbix(dir, withGame(engineCommand(dir, dir.path("burst.log"), "1", true)));
    ASSERT_TRUE(vorbix.started());
    ASSERT_TRUE(vorbix.waitForOutput("| 200 kills |", 10000)) << vorbix.output();
    ASSERT_TRUE(vorbix.waitForOutput("| 210 kills |", 5000)) << vorbix.output();
    // The game has not read since the burst: the commands wait in vorbix.
    const std::vector<std::string> meanwhile = receivedBy(dir.path("received.log")).commands;
    EXPECT_EQ(std::find(meanwhile.begin(), meanwhile.end(), "set sfx_kills 200"), meanwhile.end());
    ASSERT_EQ(vorbix.waitForExit(30000), 0) << vorbix.output();

    // 210 head kills in a row, each within the multi-kill window of the one
    // before: seven rounds of the six spree milestones; the 209 chained kills
    // step through double, multi, ultra and monster kills (53, 52, 52, 52).
    using S = StatsRecord;
    const StatsRecord totals = recordOf({{&S::kills, 210},        {&S::headshots_kills, 210}, {&S::in_a_row_kills, 210},
                                         {&S::double_kills, 53},  {&S::multi_kills, 52},      {&S::ultra_kills, 52},
                                         {&S::monster_kills, 52}, {&S::killingspree, 7},      {&S::rampage, 7},
                                         {&S::dominating, 7},     {&S::unstoppable, 7},       {&S::godlike, 7},
                                         {&S::holyshit, 7}});
    expectSameTotals(dir, totals);

    // Each kill: its head-shot menu, announcement and counter, its best run
    // and kill counters, and from the second on a multi-kill step (1,259);
    // each round of milestones: six menus and counters and the killing
    // spree's announcement (the rampage's is too long to send): 91. Before
    // them the link's 8 and the name's 1; a hide for each of the 252 menus.
    const Received received = receivedBy(dir.path("received.log"));
    const std::vector<std::string> shown = withoutHideCommands(received.commands);
    EXPECT_EQ(shown.size(), 9u + 1259u + 91u);
    EXPECT_EQ(received.commands.size() - shown.size(), 252u);
    std::vector<std::string> killCounters;
    for (const std::string& command : shown)
        if (command.rfind("set sfx_kills ", 0) == 0) killCounters.push_back(command);
    ASSERT_EQ(killCounters.size(), 210u);
    for (size_t i = 0; i < killCounters.size(); ++i) EXPECT_EQ(killCounters[i], "set sfx_kills " + std::to_string(i + 1));
    EXPECT_NE(std::find(shown.begin(), shown.end(), "say \"Killing Spree! x7\""), shown.end());
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(), [](const std::string& c) { return c.size() > 255; }), 0);
    EXPECT_TRUE(received.cuts.empty()) << received.cuts.front();
    EXPECT_NE(vorbix.output().find("Not sent to the game"), std::string::npos);
    EXPECT_NE(vorbix.output().find("the game ended (exit code 0)"), std::string::npos);
}

// A game the player started with "+set logfile 2", followed through its log:
// the recorded match counts as through the pipes, the name comes from the
// game's own config, and nothing reaches the game.
TEST(Terminal, FollowingTheGamesLogCountsTheMatch) {
    TempDir dir;
    prepareRunDir(dir, kIni);
    dir.mkdir("home");
    dir.mkdir("home/main");
    dir.mkdir("home/main/configs");
    dir.write("home/main/configs/omconfig.cfg", "seta name \"Kestrel\"\n");
    const std::string log = dir.path("home/main/qconsole.log");
    VorbixRun vorbix(dir, {"--follow", log});
    ASSERT_TRUE(vorbix.started());
    ASSERT_TRUE(vorbix.waitForOutput("following", 10000)) << vorbix.output();

    // The game, started apart: its input stays open until it quits.
    int input[2];
    ASSERT_EQ(pipe(input), 0);
    const pid_t game = fork();
    if (game == 0) {
        dup2(input[0], STDIN_FILENO);
        close(input[1]);
        int nothing = open("/dev/null", O_WRONLY);
        dup2(nothing, STDERR_FILENO);
        execl(ENGINESIM_PATH, ENGINESIM_PATH, "--name", kPlayer, "--replay", (kSourceDir + "/data/demo/match.log").c_str(),
              "--speed", "50", "--logfile", log.c_str(), "--logmode", "2", "--log", dir.path("received.log").c_str(),
              "--quit-after-replay", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(input[0]);
    int status = 0;
    ASSERT_EQ(waitpid(game, &status, 0), game);
    close(input[1]);
    ASSERT_TRUE(vorbix.waitForOutput("| 12 kills | 5 deaths |", 10000)) << vorbix.output();
    vorbix.interrupt();
    ASSERT_EQ(vorbix.waitForExit(30000), 0) << vorbix.output();

    expectSameTotals(dir, recordedMatchTotals());
    EXPECT_TRUE(receivedBy(dir.path("received.log")).commands.empty());
    const std::string shown = vorbix.output();
    for (const char* text : {"Reading the game's log (no in-game displays)", "player Kestrel", "map 2 loaded"})
        EXPECT_NE(shown.find(text), std::string::npos) << text << " not in:\n" << shown;
}

// A terminal that stops reading (Ctrl+S) while the game prints 2 MB: vorbix
// keeps reading the game's pipe, counting and answering; once the terminal
// reads again it says how much of the game's output it could not show.
TEST(Terminal, ATerminalThatStopsReadingHoldsUpNothing) {
    TempDir dir;
    std::string replay = "#delay 300\n";
    const std::string chatter = "\x02" "Carl: " + std::string(90, 'z');
    for (int i = 0; i < 20000; ++i) replay += chatter + "\n";
    replay += "#delay 300\n" + killLine("Axis1") + "\n" + killLine("Axis2") + "\n#delay 1500\n";
    dir.write("chatter.log", replay);
    prepareRunDir(dir, kIni);
    VorbixRun vorbix(dir, withGame(engineCommand(dir, dir.path("chatter.log"), "1", true)), {}, /*reading=*/false);
    ASSERT_TRUE(vorbix.started());
    // Start-up's 9, then 5 and 6 for the two kills (their menus hidden again).
    ASSERT_TRUE(waitForCommands(dir, 9 + 5 + 6, 20000));
    const std::vector<std::string> received = receivedBy(dir.path("received.log")).commands;
    EXPECT_NE(std::find(received.begin(), received.end(), "set sfx_kills 2"), received.end());
    vorbix.resumeReading();
    ASSERT_EQ(vorbix.waitForExit(30000), 0) << vorbix.output().substr(0, 2000);
    StatsRecord saved{};
    ASSERT_TRUE(readStatsFile(dir.path("vorbix.vbx").c_str(), saved));
    EXPECT_EQ(saved.kills, 2u);
    EXPECT_NE(vorbix.output().find("lines of the game's output were not shown"), std::string::npos);
}

// Ctrl+C while the game reads nothing: the totals are saved at once, and a
// second Ctrl+C ends the game with SIGTERM instead of waiting for it.
TEST(Terminal, SecondCtrlCEndsAGameThatStoppedReading) {
    TempDir dir;
    dir.write("stall.log", "#delay 300\n" + killLine("Axis") + "\n#delay 300\n#stall 60000\n#delay 60000\n");
    prepareRunDir(dir, kIni);
    VorbixRun vorbix(dir, withGame(engineCommand(dir, dir.path("stall.log"), "1", false)));
    ASSERT_TRUE(vorbix.started());
    ASSERT_TRUE(vorbix.waitForOutput("| 1 kill |", 10000)) << vorbix.output();
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));  // the stall has begun
    vorbix.interrupt();
    ASSERT_TRUE(vorbix.waitForOutput("asking the game to quit", 5000)) << vorbix.output();
    StatsRecord saved{};
    ASSERT_TRUE(readStatsFile(dir.path("vorbix.vbx").c_str(), saved));
    EXPECT_EQ(saved.kills, 1u);
    vorbix.interrupt();
    ASSERT_EQ(vorbix.waitForExit(5000), 0) << vorbix.output();
    EXPECT_NE(vorbix.output().find("the game ended (signal 15)"), std::string::npos) << vorbix.output();
}

// The disk audio driver records what was played: the sounds of four chained
// kills in order, where a missing and a broken WAV play nothing and stop
// nothing.
TEST(Terminal, SoundsPlayInOrderAndBadFilesPlayNothing) {
    TempDir dir;
    std::string ini = kIni;
    ini.replace(ini.find("sounds=0"), 8, "sounds=1");
    prepareRunDir(dir, ini);
    std::filesystem::remove(dir.path("sounds/multikill.wav"));
    dir.write("sounds/ultrakill.wav", "RIFF, but not a sound");
    std::string replay = "#delay 500\n";
    for (int i = 1; i <= 5; ++i) replay += "\x04" "Axis" + std::to_string(i) + " was shot by Kestrel\n";
    replay += "#delay 7000\n";
    dir.write("kills.log", replay);

    VorbixRun vorbix(dir, withGame(engineCommand(dir, dir.path("kills.log"), "1", true)),
                     {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", dir.path("played.raw")}});
    ASSERT_TRUE(vorbix.started());
    ASSERT_EQ(vorbix.waitForExit(30000), 0) << vorbix.output();

    // Kill 2 is a double kill; 3 and 4 would be a multi and an ultra kill;
    // kill 5 is a killing spree and a monster kill, in that order.
    auto samples = [&](const char* name) { return wavSamples(kSourceDir + "/data/sounds/" + name); };
    const std::string played = dir.read("played.raw");
    const std::string wanted = samples("double_kill.wav") + samples("killing_spree.wav") + samples("monsterkill.wav");
    EXPECT_NE(played.find(wanted), std::string::npos) << played.size() << " bytes played";
}
