// vorbixstats: prints the lifetime totals of "vorbix.vbx" in the current
// directory. Reads the file, never writes it; ignores its arguments.
#include <cstdio>

#include "core/stats_record.h"

int main() {
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
