// vorbix_replay: replays a console log through a message file with the real
// engine and prints the totals vorbix.vbx would hold and every command sent.
//
//   vorbix_replay MESSAGE_FILE LOG PLAYER
//
// LOG holds one console line per line, control bytes included. The player's
// name is what the game answers to "name". Runs in a temporary folder.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "replay/replay.h"
#include "core/stats_record.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: vorbix_replay MESSAGE_FILE LOG PLAYER\n");
        return 2;
    }
    namespace fs = std::filesystem;
    replay::ReplayPlan plan;
    plan.player = argv[3];
    std::ifstream log(argv[2], std::ios::binary);
    if (!log) {
        std::fprintf(stderr, "vorbix_replay: cannot read %s\n", argv[2]);
        return 1;
    }
    for (std::string line; std::getline(log, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        plan.lines.push_back(line);
    }

    fs::path folder = fs::temp_directory_path() / ("vorbix-replay-" + std::to_string(::getpid()));
    fs::create_directories(folder / "messages");
    std::error_code error;
    fs::copy_file(argv[1], folder / "messages" / fs::path(argv[1]).filename(), error);
    if (error) {
        std::fprintf(stderr, "vorbix_replay: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ofstream(folder / "vorbix.ini") << "[vorbix]\nsounds=1\ndisplays=1\nannouncements=0\n";
    replay::ReplayResult result = replay::replayMatch(folder.string(), plan);
    fs::remove_all(folder);

    for (const std::string& command : result.commands) std::printf("command %s\n", command.c_str());
    for (int i = 0; i < kStatsFieldCount; ++i) std::printf("%s %u\n", kStatsKeys[i], result.totals.*kStatsFields[i]);
    return 0;
}
