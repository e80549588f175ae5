// One map as the program saw it: a row of the match history.
#pragma once

#include <string>

#include "core/stats_record.h"

// `counts` holds the map's own counts with the meaning of the lifetime
// counters: sums, and in in_a_row_kills and in_a_row_deaths the best runs on
// this map. `counts.maps` is not written.
struct MapRecord {
    std::string start;    // local time, "2026-12-08T21:04:13"
    std::string end;
    std::string map;      // "dm/mohdm1"; empty when the game did not tell
    std::string edition;  // "Allied Assault", "Spearhead", "Breakthrough", "OpenMoHAA"
    std::string player;
    StatsRecord counts{};
};

// Each batch of pending counts goes into the map before a save clears it:
// sums add, best runs keep the larger.
inline void addMapCounts(MapRecord& record, const StatsRecord& pending) {
    record.counts = mergeStats(record.counts, pending);
}
