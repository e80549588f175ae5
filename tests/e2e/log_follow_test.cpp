// The log-follow transport on Windows, against a writer that opens the log as
// the engine's C library does (fopen "wb": write access, sharing read and
// write, created anew): every run of the game empties the file while the
// transport follows it, and a player deletes it between runs. The game must
// never fail to open, empty or delete its log, and every line it writes is
// handed out once, in order.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "common/recorded_match.h"
#include "console/console_events.h"
#include "console/log_channel.h"
#include "support/app_ui.h"
#include "support/harness.h"

void wakeMainLoop() {}

namespace {

class GameLog {
public:
    explicit GameLog(const std::string& path) : path_(path) {}
    ~GameLog() { close(); }

    bool open() {
        file_ = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        return file_ != INVALID_HANDLE_VALUE;
    }
    // One print, written as logfile 2 writes it: the stamp in pieces, then the text.
    void print(const std::string& text) {
        for (const std::string& piece : {std::string("[2026-04-09 00:37:09 "), std::string("UTC+2.000"),
                                         std::string("] "), text.substr(0, text.size() / 2), text.substr(text.size() / 2)}) {
            DWORD written = 0;
            WriteFile(file_, piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr);
        }
    }
    void close() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }

private:
    std::string path_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

TEST(LogFollowWin32, EveryLineOnceWhileTheGameEmptiesAndThePlayerDeletes) {
    TestDir dir;
    const std::string path = dir.file("qconsole.log");
    clearConsoleEvents();
    ASSERT_TRUE(startLogFollow(path));

    std::vector<std::string> written;
    GameLog log(path);
    constexpr int kRuns = 8;
    for (int run = 0; run < kRuns; ++run) {
        if (run == kRuns / 2) {
            ASSERT_TRUE(DeleteFileA(path.c_str())) << GetLastError();
            Sleep(100);
        }
        ASSERT_TRUE(log.open()) << "run " << run << ": " << GetLastError();
        for (int line = 0; line < 40; ++line) {
            const std::string text = "\x04" "Carl was shot by Kestrel, run " + std::to_string(run) + " line " + std::to_string(line);
            log.print(text + "\n");
            written.push_back(text);
            if (line % 10 == 9) Sleep(15);
        }
        if (run == kRuns - 1) {
            log.print("----- Client Shutdown (Client quit) -----\n");
            written.push_back("----- Client Shutdown (Client quit) -----");
        }
        log.close();
        Sleep(300);  // the game ends and starts again
    }

    std::vector<std::string> lines;
    int links = 0, losses = 0;
    ConsoleEvent event;
    EXPECT_TRUE(waitUntil(
        [&] {
            while (takeConsoleEvent(event)) {
                links += event.kind == ConsoleEvent::kLinked;
                losses += event.kind == ConsoleEvent::kLost;
                for (size_t start = 0, end; (end = event.lines.find('\n', start)) != std::string::npos; start = end + 1)
                    lines.push_back(event.lines.substr(start, end - start));
            }
            return losses == kRuns;
        },
        10000));
    stopLogFollow();
    EXPECT_EQ(lines, written);
    EXPECT_EQ(links, kRuns);
    EXPECT_EQ(losses, kRuns);
}

// vorbix.exe beside the open-source engine's Windows client, which has no
// console window: it finds the log the game writes under %APPDATA%, says it
// reads only, takes the player's name from the game's config, and counts the
// recorded match as through the console.
TEST(LogFollowWin32, VorbixFollowsTheLogOfAGameWithoutAConsole) {
    TestDir dir;
    prepareRunDir(dir, "kill_time=100000\r\n[vorbix]\r\nsounds=0\r\ndisplays=1\r\nannouncements=0\r\n");
    dir.copyFromSource("data/messages", "messages");  // the shipped phrases the figures were worked out with
    char appData[MAX_PATH] = "";
    ASSERT_GT(GetEnvironmentVariableA("APPDATA", appData, sizeof appData), 0u);
    const std::string home = std::string(appData) + "\\openmohaa";
    for (const std::string& folder : {home, home + "\\main", home + "\\main\\configs"})
        CreateDirectoryA(folder.c_str(), nullptr);
    {
        std::ofstream config(home + "\\main\\configs\\omconfig.cfg", std::ios::binary);
        config << "seta name \"Kestrel\"\n";
    }
    VorbixProcess vorbix(dir);
    ASSERT_NE(vorbix.waitForMainWindow(), nullptr);
    HWND status = vorbix.control(4), player = vorbix.control(5);

    GameLog log(home + "\\main\\qconsole.log");
    ASSERT_TRUE(log.open());
    log.print("logfile opened on Wed Dec  9 00:00:00 2026\n");
    EXPECT_TRUE(waitUntil([&] { return windowTextOf(status) == "Reading the game's log (no in-game displays)"; }, 10000))
        << windowTextOf(status);
    EXPECT_TRUE(waitUntil([&] { return windowTextOf(player) == "Kestrel"; }, 5000));
    std::ifstream match(std::string(VORBIX_SOURCE_DIR) + "/data/demo/match.log", std::ios::binary);
    for (std::string line; std::getline(match, line);) {
        if (!line.empty() && line[0] == '#') continue;
        log.print(line + "\n");
        Sleep(5);
    }
    log.print("----- Client Shutdown (Client quit) -----\n");
    log.close();
    // The game has ended: vorbix.exe saves and looks for a game again.
    EXPECT_TRUE(waitUntil([&] { return windowTextOf(status).rfind("Searching for", 0) == 0; }, 10000))
        << windowTextOf(status);
    vorbix.closeWindow();
    ASSERT_TRUE(vorbix.waitForExit());
    const StatsRecord totals = statsFileIn(dir), expected = recordedMatchTotals();
    for (int i = 0; i < kStatsFieldCount; ++i) EXPECT_EQ(totals.*kStatsFields[i], expected.*kStatsFields[i]) << kStatsKeys[i];
    DeleteFileA((home + "\\main\\qconsole.log").c_str());
}

}  // namespace
