// What the history report and the terminal summary show, worked out once
// from the history file's rows: totals, maps by name, time bins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "stats/history.h"

// Counts added up without wrapping; best runs keep the maximum.
struct CountTotals {
    uint64_t value[kStatsFieldCount] = {};
    void add(const StatsRecord& counts);
    uint64_t operator[](uint32_t StatsRecord::*field) const;
};

// Kills per death, or the kills when there were no deaths.
double killDeathRatio(uint64_t kills, uint64_t deaths);

struct MapSummary {
    std::string name;  // as first seen; maps differing only in letter case are one
    size_t played = 0;
    CountTotals totals;
};

// Every map name once, in the order first played; an empty name is one entry too.
std::vector<MapSummary> summarizeMaps(const std::vector<MapRecord>& rows);

// Consecutive maps shown as one point of a chart.
struct HistoryBin {
    size_t first = 0;  // index of its first row
    size_t count = 0;
    uint64_t kills = 0;
    uint64_t deaths = 0;
};

// At most `maxBins` bins in time order: one per map while they fit, else one
// per day, else runs of equally many maps. `unit` says which ("map", "day",
// or "12 maps").
std::vector<HistoryBin> binHistory(const std::vector<MapRecord>& rows, size_t maxBins, std::string& unit);

// The row with the most kills in a row (the first of equals), or null.
const MapRecord* bestSpreeRow(const std::vector<MapRecord>& rows);

// The meaning of a byte of the game's code page (Windows-1252); bytes that
// code page leaves undefined, and control bytes but tab, give U+FFFD.
unsigned cp1252CodePoint(unsigned char byte);

// A counter's name for people: "Headshot kills", "Most kills in a row".
const char* counterLabel(uint32_t StatsRecord::*field);

// "12,345".
std::string groupedNumber(uint64_t value);
// "1.25".
std::string ratioText(double ratio);
// "2026-12-08 21:04" from "2026-12-08T21:04:13".
std::string shortTime(const std::string& timestamp);
