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
#include <string>
#include <thread>
#include <vector>

#include "console/console_events.h"
#include "console/log_channel.h"
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

}  // namespace
