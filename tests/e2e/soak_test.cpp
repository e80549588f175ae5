// A long match replayed quickly into the simulated console: afterwards
// vorbix.vbx holds exactly what the engine computes for the same lines, every
// command reached the game, and vorbix.exe's memory did not grow.
// VORBIX_SOAK_LINES sets the length (default 3000).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/match_mix.h"
#include "bench/process_stats.h"
#include "replay/replay.h"
#include "core/stats_record.h"
#include "support/app_ui.h"
#include "support/harness.h"

namespace {

constexpr const char* kPlayer = "Kestrel";
// A long multi-kill window: multi-kills then depend on the order of the
// lines only, not on how fast they are replayed. Sounds on from the start:
// the first sound starts the sound thread and Wine's audio driver, a step of
// about 1.2 MB that memory growth must not count as a leak.
constexpr const char* kIni =
    "kill_time=100000\r\n[vorbix]\r\nsounds=1\r\ndisplays=1\r\nannouncements=0\r\n[game]\r\nlaunchmohaa=0\r\n";
constexpr int kStatisticsButton = 0;
constexpr int kStatisticsOpenings = 4;
// Lines the game prints in one frame, and room for one frame's lines and the
// echoes of the commands they cause.
constexpr size_t kLinesPerFrame = 8;
constexpr size_t kStartOverMargin = 4000;

size_t soakLines() {
    const char* value = std::getenv("VORBIX_SOAK_LINES");
    long lines = value ? std::atol(value) : 0;
    return lines > 0 ? static_cast<size_t>(lines) : 3000;
}

void prepareSoakDir(const TestDir& dir) {
    dir.write("vorbix.ini", kIni);
    dir.copyFromSource("data/messages", "messages");
    dir.mkdir("sounds");
}

// Waits until vorbix.exe has read everything printed so far and handed it to
// its window thread.
bool drained(const SimConsole& console) { return console.waitForReader(20000); }

std::vector<std::string> sorted(std::vector<std::string> texts) {
    std::sort(texts.begin(), texts.end());
    return texts;
}

double average(const std::vector<size_t>& values, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(values[i]);
    return to > from ? sum / static_cast<double>(to - from) : 0;
}

}  // namespace

TEST(Soak, LongMatchKeepsExactTotalsEveryCommandAndFlatMemory) {
    replay::ReplayPlan plan;
    plan.player = kPlayer;
    plan.lines = bench::matchMix(soakLines(), 1, kPlayer);
    for (int i = 1; i <= kStatisticsOpenings; ++i) plan.statisticsAfter.push_back(plan.lines.size() * i / 5);

    TestDir expectedDir;
    prepareSoakDir(expectedDir);
    const replay::ReplayResult expected = replay::replayMatch(expectedDir.path(), plan);

    TestDir dir;
    prepareSoakDir(dir);
    VorbixProcess vorbix(dir);
    ASSERT_NE(vorbix.waitForMainWindow(), nullptr);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, vorbix.pid());
    ASSERT_NE(process, nullptr);
    SimOptions options;
    options.playerName = kPlayer;
    SimConsole console(options);
    ASSERT_TRUE(console.waitForCommand("set sfx_name_message \"Name Detected 'Kestrel' \"", 30000));

    std::vector<size_t> workingSet, privateBytes;
    std::atomic<bool> sampling{true};
    std::thread sampler([&] {
        while (sampling) {
            bench::Memory memory = bench::memoryOf(process);
            workingSet.push_back(memory.workingSet);
            privateBytes.push_back(memory.privateBytes);
            Sleep(200);
        }
    });

    DWORD start = GetTickCount();
    size_t nextStatistics = 0;
    for (size_t i = 0; i < plan.lines.size(); ++i) {
        // The game prints a few lines a frame; vorbix.exe reads them before
        // the next frame. Near a start-over a line that matches nothing
        // takes the box up to it, so the start-over drops only that line.
        if (i % kLinesPerFrame == 0) {
            ASSERT_TRUE(drained(console));
            size_t appended = console.appendedSinceStartOver();
            if (appended + kStartOverMargin > consolesim::kResetAfterChars) {
                ASSERT_TRUE(console.printAndWait(std::string(consolesim::kResetAfterChars + 1 - appended, '-')));
                ASSERT_TRUE(drained(console));
            }
        }
        console.print(plan.lines[i]);
        if (nextStatistics < plan.statisticsAfter.size() && plan.statisticsAfter[nextStatistics] == i + 1) {
            ++nextStatistics;
            ASSERT_TRUE(drained(console));
            vorbix.click(vorbix.control(kStatisticsButton));
            HWND dialog = waitForDialog(vorbix.pid(), "Statistics");
            ASSERT_NE(dialog, nullptr);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }, 10000));
        }
    }
    ASSERT_TRUE(drained(console));
    double seconds = (GetTickCount() - start) / 1000.0;
    Sleep(1500);  // the last menus' hide commands
    sampling = false;
    sampler.join();

    bench::Memory memory = bench::memoryOf(process);
    vorbix.closeWindow();
    ASSERT_TRUE(vorbix.waitForExit());
    CloseHandle(process);

    std::string bytes = dir.read("vorbix.vbx");
    StatsRecord totals = decodeStats(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    for (int i = 0; i < kStatsFieldCount; ++i)
        EXPECT_EQ(totals.*kStatsFields[i], expected.totals.*kStatsFields[i]) << kStatsKeys[i];
    EXPECT_GT(expected.totals.kills, 0u);
    EXPECT_GT(expected.totals.maps, 0u);
    console.waitForFrameEnd();
    std::vector<std::string> received = sorted(console.commandTexts()), wanted = sorted(expected.commands);
    std::vector<std::string> missing, extra;
    std::set_difference(wanted.begin(), wanted.end(), received.begin(), received.end(), std::back_inserter(missing));
    std::set_difference(received.begin(), received.end(), wanted.begin(), wanted.end(), std::back_inserter(extra));
    EXPECT_TRUE(missing.empty() && extra.empty())
        << missing.size() << " missing, first: " << (missing.empty() ? "" : missing[0]) << "; " << extra.size()
        << " unexpected, first: " << (extra.empty() ? "" : extra[0]);

    ASSERT_GE(privateBytes.size(), 8u);
    size_t quarter = privateBytes.size() / 4;
    double firstPrivate = average(privateBytes, 0, quarter);
    double lastPrivate = average(privateBytes, privateBytes.size() - quarter, privateBytes.size());
    double firstSet = average(workingSet, 0, quarter);
    double lastSet = average(workingSet, workingSet.size() - quarter, workingSet.size());
    EXPECT_LE(lastPrivate, firstPrivate * 1.10) << "private bytes grew";
    std::printf("soak_lines %zu\nsoak_seconds %.1f\nsoak_commands %zu\nsoak_start_overs %llu\n", plan.lines.size(),
                seconds, expected.commands.size(), static_cast<unsigned long long>(console.startOvers()));
    std::printf("soak_private_kib_first_quarter %.0f\nsoak_private_kib_last_quarter %.0f\n", firstPrivate / 1024,
                lastPrivate / 1024);
    std::printf("soak_working_set_kib_first_quarter %.0f\nsoak_working_set_kib_last_quarter %.0f\n", firstSet / 1024,
                lastSet / 1024);
    std::printf("soak_peak_working_set_kib %zu\n", memory.peakWorkingSet / 1024);
}
