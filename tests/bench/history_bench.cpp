// vorbix_history_bench: a realistic match history, generated from a seed.
//
//   vorbix_history_bench [MAPS]      prints the history file's size for MAPS
//                                    maps (default 10,000), how long
//                                    "vorbixstats --report" and "--history"
//                                    take on it, and what queuing a row
//                                    costs the program's thread
//   vorbix_history_bench --make MAPS DIR
//                                    writes DIR/vorbix-history.csv (names with
//                                    markup, quotes and code-page bytes among
//                                    them) and DIR/vorbix.vbx, for the report's
//                                    browser test
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "stats/history.h"
#include "stats/history_writer.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class Random {
public:
    explicit Random(uint32_t seed) : state_(seed) {}
    uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    uint32_t below(uint32_t n) { return next() % n; }
    // Roughly normal around `mean`, never below zero.
    uint32_t around(double mean) {
        double sum = 0;
        for (int i = 0; i < 4; ++i) sum += double(below(1000)) / 1000.0;
        const double value = mean * (0.5 + (sum / 4) * 1.0) + double(below(3)) - 1;
        return value < 0 ? 0 : uint32_t(value);
    }

private:
    uint32_t state_;
};

const char* const kMaps[] = {
    "dm/mohdm1", "dm/mohdm2", "dm/mohdm3", "dm/mohdm4", "dm/mohdm6", "dm/mohdm7", "obj/obj_team1",
    "obj/obj_team2", "obj/obj_team3", "obj/obj_team4", "dm/mp_stalingrad_dm", "dm/mp_bahnhof_dm",
    "obj/mp_ardennes_tow", "dm/mp_druckkammern_dm", "dm/mp_unterseite_dm", "obj/mp_flughafen_tow", "",
};
const char* const kEditions[] = {"Allied Assault", "Allied Assault", "Spearhead", "Breakthrough", "OpenMoHAA"};

// Counts of one map: kills split over hit locations, runs, sprees and multi-kills that fit them.
StatsRecord mapCounts(Random& random) {
    StatsRecord c{};
    const double skill = 0.8 + double(random.below(80)) / 100.0;
    c.kills = random.around(12 * skill);
    c.deaths = random.around(11);
    c.suicides = random.below(10) == 0 ? 1 : 0;
    c.bashes_kills = random.below(6) == 0 ? 1 : 0;
    c.bashes_deaths = random.below(8) == 0 ? 1 : 0;
    uint32_t StatsRecord::*const kills[] = {&StatsRecord::headshots_kills, &StatsRecord::torso_kills,
                                            &StatsRecord::pelvis_kills,    &StatsRecord::right_arm_kills,
                                            &StatsRecord::left_arm_kills,  &StatsRecord::right_leg_kills,
                                            &StatsRecord::left_leg_kills};
    uint32_t StatsRecord::*const deaths[] = {&StatsRecord::headshots_deaths, &StatsRecord::torso_deaths,
                                             &StatsRecord::pelvis_deaths,    &StatsRecord::right_arm_deaths,
                                             &StatsRecord::left_arm_deaths,  &StatsRecord::right_leg_deaths,
                                             &StatsRecord::left_leg_deaths};
    const uint32_t weights[] = {18, 40, 10, 8, 8, 8, 8};  // of 100
    for (uint32_t k = 0; k < c.kills; ++k) {
        uint32_t roll = random.below(100), i = 0;
        while (i < 6 && roll >= weights[i]) roll -= weights[i++];
        if (random.below(4) != 0) ++(c.*kills[i]);  // some kills carry no location
    }
    for (uint32_t d = 0; d < c.deaths; ++d) {
        uint32_t roll = random.below(100), i = 0;
        while (i < 6 && roll >= weights[i]) roll -= weights[i++];
        if (random.below(4) != 0) ++(c.*deaths[i]);
    }
    c.in_a_row_kills = c.kills == 0 ? 0 : 1 + random.below(std::min<uint32_t>(c.kills, 3 + c.kills / 3));
    c.in_a_row_deaths = c.deaths == 0 ? 0 : 1 + random.below(std::min<uint32_t>(c.deaths, 4));
    const uint32_t run = c.in_a_row_kills;
    c.killingspree = run >= 5;
    c.rampage = run >= 10;
    c.dominating = run >= 15;
    c.unstoppable = run >= 20;
    c.godlike = run >= 25;
    c.holyshit = run >= 30;
    c.double_kills = c.kills / 6 + random.below(2);
    c.multi_kills = c.double_kills / 3;
    c.ultra_kills = c.multi_kills / 3;
    c.monster_kills = c.ultra_kills / 2;
    return c;
}

// `maps` maps over evenings of 2 to 9 maps, from about a year before now.
std::vector<MapRecord> generateHistory(size_t maps, bool nastyNames) {
    Random random(2463534242u);
    std::vector<MapRecord> rows;
    std::time_t when = std::time(nullptr) - std::time_t(maps) * 3600 * 8 / 5;
    const char* const kNasty[] = {"<script>alert(1)</script>", "Tom & \"Jerry\", 'Co'", "M\xfcller\x80\x99",
                                  "line\r\nbreak", "\x81\x8d\x8f"};
    while (rows.size() < maps) {
        when += 3600 * (14 + random.below(40));  // the next evening
        const uint32_t evening = 2 + random.below(8);
        for (uint32_t m = 0; m < evening && rows.size() < maps; ++m) {
            MapRecord row;
            row.start = localTimestamp(when);
            when += 60 * (12 + random.below(14));
            row.end = localTimestamp(when);
            when += 30;
            row.map = kMaps[random.below(sizeof kMaps / sizeof *kMaps)];
            row.edition = kEditions[random.below(5)];
            row.player = random.below(20) == 0 ? "[TAG]Kestrel" : "Kestrel";
            if (nastyNames && random.below(25) == 0) {
                row.map = kNasty[random.below(5)];
                row.player = kNasty[random.below(5)];
            }
            row.counts = mapCounts(random);
            rows.push_back(row);
        }
    }
    return rows;
}

StatsRecord lifetimeOf(const std::vector<MapRecord>& rows) {
    StatsRecord total{};
    for (const auto& row : rows) total = mergeStats(total, row.counts);
    total.maps = uint32_t(rows.size());
    return total;
}

double secondsOf(const std::string& command) {
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (status != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
    return seconds;
}

int make(size_t maps, const std::string& dir) {
    const std::vector<MapRecord> rows = generateHistory(maps, true);
    const std::string history = dir + "/" + kHistoryFileName;
    fs::remove(history);
    if (!appendHistoryRows(history.c_str(), rows)) return 1;
    return writeStatsFile((dir + "/" + kStatsFileName).c_str(), lifetimeOf(rows)) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--make") return make(std::strtoul(argv[2], nullptr, 10), argv[3]);
    const size_t maps = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;

    char pattern[] = "/tmp/vorbix-history-bench.XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    const std::vector<MapRecord> rows = generateHistory(maps, false);
    const std::string history = dir + "/" + kHistoryFileName;
    appendHistoryRows(history.c_str(), rows);
    writeStatsFile((dir + "/" + kStatsFileName).c_str(), lifetimeOf(rows));
    const auto size = fs::file_size(history);
    std::printf("history file for %zu maps: %.2f MB (%.0f bytes a map; target < 2 MB for 10,000)\n", maps,
                double(size) / 1e6, double(size) / double(maps));

    // The best of three runs of the whole program, start-up included.
    const std::string cd = "cd '" + dir + "' && '" VORBIXSTATS_PATH "' ";
    double report = 1e9, text = 1e9;
    for (int run = 0; run < 3; ++run) {
        report = std::min(report, secondsOf(cd + "--report report.html >/dev/null"));
        text = std::min(text, secondsOf(cd + "--history >/dev/null"));
    }
    std::printf("vorbixstats --report for %zu maps: %.0f ms (target < 1 s), page %.0f kB\n", maps, report * 1e3,
                double(fs::file_size(dir + "/report.html")) / 1e3);
    std::printf("vorbixstats --history for %zu maps: %.0f ms\n", maps, text * 1e3);

    // Queuing a row while the writer thread appends to the same large file.
    {
        HistoryWriter writer(history);
        std::vector<double> costs;
        for (size_t i = 0; i < 200; ++i) {
            const auto start = Clock::now();
            writer.append(rows[i % rows.size()]);
            costs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
        const auto start = Clock::now();
        const bool flushed = writer.flush();
        const double flush = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        std::sort(costs.begin(), costs.end());
        std::printf("queuing a row (200 rows): p50 %.1f us, max %.1f us on the caller's thread (target < 1 ms); "
                    "flush %.1f ms%s\n",
                    costs[costs.size() / 2], costs.back(), flush, flushed ? "" : " FAILED");
    }
    fs::remove_all(dir);
    return 0;
}
