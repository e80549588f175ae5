// vorbixstats: prints the lifetime totals of "vorbix.vbx" in the current
// directory; with an option, the match history of "vorbix-history.csv" as
// text or as a web page. Reads both files, never writes them. A command line
// that does not start with an option is ignored, as it always was.
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include "core/atomic_file.h"
#include "core/stats_record.h"
#include "stats/history.h"
#include "viewer/history_text.h"
#include "viewer/report_html.h"

namespace {

const char kUsage[] =
    "usage: vorbixstats                 print the lifetime totals (vorbix.vbx)\n"
    "       vorbixstats --history       print the match history (vorbix-history.csv)\n"
    "       vorbixstats --report FILE   write the history and the totals as a web page\n";

int usageError() {
    std::fputs(kUsage, stderr);
    return 2;
}

HistoryFile readHistory() {
    HistoryFile history;
    readHistoryFile(kHistoryFileName, history);  // no file: no maps yet
    return history;
}

int printHistory() {
    const std::string text = renderHistoryText(readHistory());
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int writeReport(const char* path) {
    StatsRecord lifetime{};
    const bool haveTotals = readStatsFile(kStatsFileName, lifetime);
    std::string now = localTimestamp(std::time(nullptr));
    if (now.size() > 10) now[10] = ' ';
    const std::string page = renderHistoryReport(readHistory(), haveTotals ? &lifetime : nullptr, now);
    if (!writeFileAtomically(path, page.data(), page.size())) {
        std::fprintf(stderr, "Could not write %s\n", path);
        return 1;
    }
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    std::printf("%s\n", ec ? path : full.string().c_str());
    return 0;
}

int printTotals();

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] != '-') return printTotals();
    if (std::strcmp(argv[1], "--help") == 0 && argc == 2) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (std::strcmp(argv[1], "--history") == 0 && argc == 2) return printHistory();
    if (std::strcmp(argv[1], "--report") == 0 && argc == 3 && argv[2][0] != '\0') return writeReport(argv[2]);
    return usageError();
}

namespace {

int printTotals() {
    StatsRecord s{};
    std::FILE* file = std::fopen(kStatsFileName, "rb");
    if (!file) {
        std::printf("Did not find stats file\n");
        return 0;
    }
    unsigned char bytes[kStatsFileSize];
    size_t got = std::fread(bytes, 1, sizeof bytes, file);
    s = decodeStats(bytes, got);
    std::printf("opening stats file\n");
    std::fclose(file);

    std::printf("\n");
    std::printf("Vorbix3 Stats\n");
    std::printf("Deaths\n");
    std::printf("Most Deaths in a row: %u \n", s.in_a_row_deaths);
    std::printf("Total Suicides: %u \n", s.suicides);
    std::printf("Total Deaths: %u \n", s.deaths);
    std::printf("Total Bashed: %u \n", s.bashes_deaths);
    std::printf("Total Headshots Deaths: %u \n", s.headshots_deaths);
    std::printf("Total Left_arm Deaths: %u \n", s.left_arm_deaths);
    std::printf("Total Left_leg Deaths: %u \n", s.left_leg_deaths);
    std::printf("Total Pelvis Deaths: %u \n", s.pelvis_deaths);
    std::printf("Total Right_arm Deaths: %u \n", s.right_arm_deaths);
    std::printf("Total Right_leg Deaths: %u \n", s.right_leg_deaths);
    std::printf("Total Torso Deaths: %u \n", s.torso_deaths);
    std::printf("\n");
    std::printf("Kills\n");
    std::printf("Total kills: %u \n", s.kills);
    std::printf("Most Kills in a row: %u \n", s.in_a_row_kills);
    std::printf("Total Bashed: %u \n", s.bashes_kills);
    std::printf("Total Headshots kills: %u \n", s.headshots_kills);
    std::printf("Total Left_arm kills: %u \n", s.left_arm_kills);
    std::printf("Total Left_leg kills: %u \n", s.left_leg_kills);
    std::printf("Total Pelvis kills: %u \n", s.pelvis_kills);
    std::printf("Total Right_arm kills: %u \n", s.right_arm_kills);
    std::printf("Total Right_leg kills: %u \n", s.right_leg_kills);
    std::printf("Total Torso kills: %u \n", s.torso_kills);
    std::printf("\n");
    std::printf("Double Kills\n");
    std::printf("Total Double-kills: %u \n", s.double_kills);
    std::printf("Total Monster-kills: %u \n", s.monster_kills);
    std::printf("Total Multi-kills: %u \n", s.multi_kills);
    std::printf("Total Ultra-kills: %u \n", s.ultra_kills);
    std::printf("\n");
    std::printf("Killing-Spree\n");
    std::printf("Total Killing-Spree: %u \n", s.killingspree);
    std::printf("Total Dominating: %u \n", s.dominating);
    std::printf("Total Rampage: %u \n", s.rampage);
    std::printf("Total Godlike: %u \n", s.godlike);
    std::printf("Total Holyshit: %u \n", s.holyshit);
    return 0;
}

}  // namespace
