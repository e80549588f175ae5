#include "viewer/history_summary.h"

#include <cstdio>
#include <unordered_map>

namespace {

int fieldIndex(uint32_t StatsRecord::*field) {
    for (int i = 0; i < kStatsFieldCount; ++i)
        if (kStatsFields[i] == field) return i;
    return 0;
}

bool isBestRun(int i) {
    return kStatsFields[i] == &StatsRecord::in_a_row_kills || kStatsFields[i] == &StatsRecord::in_a_row_deaths;
}

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

}  // namespace

void CountTotals::add(const StatsRecord& counts) {
    for (int i = 0; i < kStatsFieldCount; ++i) {
        const uint64_t v = counts.*kStatsFields[i];
        if (isBestRun(i)) {
            if (v > value[i]) value[i] = v;
        } else {
            value[i] += v;
        }
    }
}

uint64_t CountTotals::operator[](uint32_t StatsRecord::*field) const { return value[fieldIndex(field)]; }

double killDeathRatio(uint64_t kills, uint64_t deaths) {
    return deaths == 0 ? double(kills) : double(kills) / double(deaths);
}

std::vector<MapSummary> summarizeMaps(const std::vector<MapRecord>& rows) {
    std::vector<MapSummary> maps;
    std::unordered_map<std::string, size_t> byName;
    for (const auto& row : rows) {
        auto [it, added] = byName.emplace(lowerAscii(row.map), maps.size());
        if (added) {
            maps.emplace_back();
            maps.back().name = row.map;
        }
        MapSummary& map = maps[it->second];
        ++map.played;
        map.totals.add(row.counts);
    }
    return maps;
}

std::vector<HistoryBin> binHistory(const std::vector<MapRecord>& rows, size_t maxBins, std::string& unit) {
    std::vector<HistoryBin> bins;
    if (maxBins == 0) maxBins = 1;
    auto add = [&](size_t i, bool newBin) {
        if (newBin || bins.empty()) {
            bins.emplace_back();
            bins.back().first = i;
        }
        HistoryBin& bin = bins.back();
        ++bin.count;
        bin.kills += rows[i].counts.kills;
        bin.deaths += rows[i].counts.deaths;
    };
    if (rows.size() <= maxBins) {
        unit = "map";
        for (size_t i = 0; i < rows.size(); ++i) add(i, true);
        return bins;
    }
    size_t days = 0;
    for (size_t i = 0; i < rows.size(); ++i)
        if (i == 0 || rows[i].start.compare(0, 10, rows[i - 1].start, 0, 10) != 0) ++days;
    if (days <= maxBins) {
        unit = "day";
        for (size_t i = 0; i < rows.size(); ++i)
            add(i, i == 0 || rows[i].start.compare(0, 10, rows[i - 1].start, 0, 10) != 0);
        return bins;
    }
    const size_t per = (rows.size() + maxBins - 1) / maxBins;
    unit = std::to_string(per) + " maps";
    for (size_t i = 0; i < rows.size(); ++i) add(i, i % per == 0);
    return bins;
}

const MapRecord* bestSpreeRow(const std::vector<MapRecord>& rows) {
    const MapRecord* best = nullptr;
    for (const auto& row : rows)
        if (best == nullptr || row.counts.in_a_row_kills > best->counts.in_a_row_kills) best = &row;
    return best;
}

unsigned cp1252CodePoint(unsigned char byte) {
    static const unsigned kHigh[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
    };
    if (byte == '\t') return ' ';
    if (byte < 0x20 || byte == 0x7F) return 0xFFFD;
    if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
    return byte;
}

const char* counterLabel(uint32_t StatsRecord::*field) {
    static const char* const kLabels[kStatsFieldCount] = {
        "Kills",          "Deaths",          "Suicides",        "Maps loaded",    "Most kills in a row",
        "Most deaths in a row", "Double kills", "Multi kills",  "Ultra kills",    "Monster kills",
        "Killing sprees", "Rampages",        "Dominating",      "Unstoppable",    "Godlike",
        "Holy shit",      "Bash kills",      "Bashed",          "Headshot kills", "Headshot deaths",
        "Torso kills",    "Torso deaths",    "Pelvis kills",    "Pelvis deaths",  "Right arm kills",
        "Right arm deaths", "Left arm kills", "Left arm deaths", "Right leg kills", "Right leg deaths",
        "Left leg kills", "Left leg deaths",
    };
    return kLabels[fieldIndex(field)];
}

std::string groupedNumber(uint64_t value) {
    std::string digits = std::to_string(value);
    for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
    return digits;
}

std::string ratioText(double ratio) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", ratio);
    return text;
}

std::string shortTime(const std::string& timestamp) {
    std::string text = timestamp.substr(0, 16);
    if (text.size() > 10) text[10] = ' ';
    return text;
}
