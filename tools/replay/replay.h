// Replays console lines through the real engine, the way vorbix.exe sees them
// from the game's console: each command the engine sends is echoed back as
// "]<command>", and "name" is answered. The replay brings its own side of the
// platform and front-end seams (replay_platform.cpp): link it instead of a
// real front-end.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/stats_record.h"

namespace replay {

struct ReplayPlan {
    std::vector<std::string> lines;  // without CR LF
    std::string player;              // the name the game answers
    // The Statistics dialog is opened after this many lines (ascending).
    std::vector<size_t> statisticsAfter;
};

struct ReplayResult {
    StatsRecord totals{};               // vorbix.vbx after the exit path
    std::vector<std::string> commands;  // every command sent, in order
};

// Runs start-up, the whole plan and the exit path in `folder`, which holds
// vorbix.ini and messages/ (the first message file in name order is loaded,
// as the start-up list selects it). Writes vorbix.vbx there.
ReplayResult replayMatch(const std::string& folder, const ReplayPlan& plan);

}  // namespace replay
