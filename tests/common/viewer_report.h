// The stats viewer's report for a record, line by line, written out
// independently of the viewer so the tests compare against the expected text.
#pragma once

#include <string>
#include <vector>

#include "core/stats_record.h"

inline std::vector<std::string> expectedViewerLines(const StatsRecord& s) {
    auto v = [](const char* label, uint32_t value) { return std::string(label) + std::to_string(value) + " "; };
    return {
        "opening stats file",
        "",
        "Vorbix3 Stats",
        "Deaths",
        v("Most Deaths in a row: ", s.in_a_row_deaths),
        v("Total Suicides: ", s.suicides),
        v("Total Deaths: ", s.deaths),
        v("Total Bashed: ", s.bashes_deaths),
        v("Total Headshots Deaths: ", s.headshots_deaths),
        v("Total Left_arm Deaths: ", s.left_arm_deaths),
        v("Total Left_leg Deaths: ", s.left_leg_deaths),
        v("Total Pelvis Deaths: ", s.pelvis_deaths),
        v("Total Right_arm Deaths: ", s.right_arm_deaths),
        v("Total Right_leg Deaths: ", s.right_leg_deaths),
        v("Total Torso Deaths: ", s.torso_deaths),
        "",
        "Kills",
        v("Total kills: ", s.kills),
        v("Most Kills in a row: ", s.in_a_row_kills),
        v("Total Bashed: ", s.bashes_kills),
        v("Total Headshots kills: ", s.headshots_kills),
        v("Total Left_arm kills: ", s.left_arm_kills),
        v("Total Left_leg kills: ", s.left_leg_kills),
        v("Total Pelvis kills: ", s.pelvis_kills),
        v("Total Right_arm kills: ", s.right_arm_kills),
        v("Total Right_leg kills: ", s.right_leg_kills),
        v("Total Torso kills: ", s.torso_kills),
        "",
        "Double Kills",
        v("Total Double-kills: ", s.double_kills),
        v("Total Monster-kills: ", s.monster_kills),
        v("Total Multi-kills: ", s.multi_kills),
        v("Total Ultra-kills: ", s.ultra_kills),
        "",
        "Killing-Spree",
        v("Total Killing-Spree: ", s.killingspree),
        v("Total Dominating: ", s.dominating),
        v("Total Rampage: ", s.rampage),
        v("Total Godlike: ", s.godlike),
        v("Total Holyshit: ", s.holyshit),
    };
}

// The whole output with `eol` after every line.
inline std::string expectedViewerOutput(const StatsRecord& s, const std::string& eol) {
    std::string out;
    for (const auto& line : expectedViewerLines(s)) out += line + eol;
    return out;
}

// A stats file both viewer tests run it on, and the record its report shows.
struct ViewerFile {
    const char* what;
    std::string bytes;
    StatsRecord shown;
};

inline std::vector<ViewerFile> viewerTestFiles() {
    StatsRecord varied{};  // varied values, the largest one among them
    uint32_t x = 2463534242u;
    for (int i = 0; i < kStatsFieldCount; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        varied.*kStatsFields[i] = x;
    }
    varied.kills = varied.holyshit = 4294967295u;
    varied.maps = 0;
    unsigned char bytes[kStatsFileSize];
    encodeStats(varied, bytes);
    const std::string file(reinterpret_cast<char*>(bytes), sizeof bytes);
    return {
        {"all zero", std::string(kStatsFileSize, '\0'), StatsRecord{}},
        {"varied", file, varied},
        {"40 bytes: the first ten fields, the rest zero", file.substr(0, 40), decodeStats(bytes, 40)},
        {"200 bytes: only the first 128 count", file + std::string(72, '\x11'), varied},
    };
}
