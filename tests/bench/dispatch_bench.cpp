// Throughput of the portable core: the poll cuts the console text into lines
// and dispatches each through the shipped English message file, on a
// realistic mix, with the player's name known. Reports lines per second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "bench/match_mix.h"
#include "wiring/message_wiring.h"
#include "wiring/poll.h"
#include "fakes/platform_fake.h"
#include "player/name_detection.h"
#include "stats/map_history.h"

namespace {

constexpr size_t kLinesPerPoll = 32;

// Console text in poll-sized chunks, CR LF line breaks.
std::vector<std::string> chunks(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (size_t i = 0; i < lines.size(); i += kLinesPerPoll) {
        std::string text;
        for (size_t j = i; j < lines.size() && j < i + kLinesPerPoll; ++j) text += lines[j] + "\r\n";
        out.push_back(text);
    }
    return out;
}

void setUpEngine(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder / "messages");
    std::filesystem::copy_file(std::filesystem::path(VORBIX_SOURCE_DIR) / "data/messages/english.ini",
                               folder / "messages/english.ini",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::current_path(folder);  // the stats file is written here at map loads
    resetFakes();
    fake.cwd = folder.string();
    loadMessageFile("english.ini");
    fake.editionPresent[0] = true;
    int32_t lastSearchTime = 0;
    pollFakeConsole(lastSearchTime);
    registerPlayerName("Kestrel");
}

void BM_PollAndDispatch(benchmark::State& state, bool withMapLoads) {
    const auto folder = std::filesystem::temp_directory_path() / "vorbix-dispatch-bench";
    setUpEngine(folder);
    std::vector<std::string> lines = bench::matchMix(32768, 7, "Kestrel");
    if (!withMapLoads) {
        // Map loads write the stats file: that measures the disk, not the core.
        std::vector<std::string> kept;
        for (const std::string& line : lines)
            if (line.find("CL_InitCGame:") == std::string::npos) kept.push_back(line);
        lines.swap(kept);
    }
    const std::vector<std::string> text = chunks(lines);
    int32_t lastSearchTime = 0;
    size_t next = 0, dispatched = 0;
    for (auto _ : state) {
        const std::string& chunk = text[next];
        fake.consoleText = chunk;
        fake.nowMs += 16;  // a frame a poll: the menus' hide timers fall due as they would
        pollFakeConsole(lastSearchTime);
        dispatched += next + 1 < text.size() ? kLinesPerPoll : lines.size() - next * kLinesPerPoll;
        if (++next == text.size()) {
            next = 0;
            fake.log.clear();
            fake.commands.clear();
        }
    }
    state.counters["lines_per_second"] =
        benchmark::Counter(static_cast<double>(dispatched), benchmark::Counter::kIsRate);
    closeMapHistory();  // its writer thread may still be appending rows in the folder
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(folder);
}

}  // namespace

BENCHMARK_CAPTURE(BM_PollAndDispatch, core_mix, false);
BENCHMARK_CAPTURE(BM_PollAndDispatch, with_map_loads, true);
BENCHMARK_MAIN();
