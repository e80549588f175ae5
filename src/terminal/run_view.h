// What the terminal shows of the run: the news of a poll step and the status.
#pragma once

#include <cstdint>
#include <string>

#include "core/stats_record.h"

struct RunSnapshot {
    StatsRecord tally{};  // this run's counts, saved or not
    uint32_t killsInARow = 0;
    std::string player;
};

RunSnapshot snapshotRun();
// What happened between the two snapshots ("kill, headshot, killing spree"),
// or nothing.
std::string describeNews(const RunSnapshot& before, const RunSnapshot& after);
// "Kestrel | map 2 | 12 kills | 3 deaths | 4 in a row"
std::string describeRun(const RunSnapshot& run);
