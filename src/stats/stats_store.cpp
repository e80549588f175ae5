#include "stats/stats_store.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/platform.h"

namespace {

const char* const kStatsErrorText = "Error loadng stats file";
const char* const kStatsErrorCaption = "Failed";

// True only when nothing exists under the stats file's name. A file that is
// there but cannot be read holds lifetime totals we must not overwrite.
bool statsFileMissing() {
    std::error_code error;
    return std::filesystem::status(kStatsFileName, error).type() == std::filesystem::file_type::not_found;
}

// Dialog controls in the order they are filled, with the field each shows.
struct CounterControl {
    int id;
    uint32_t StatsRecord::*field;
};

const CounterControl kCounterControls[kStatsFieldCount] = {
    {1013, &StatsRecord::headshots_deaths}, {1014, &StatsRecord::torso_deaths},
    {1015, &StatsRecord::left_arm_deaths},  {1016, &StatsRecord::right_arm_deaths},
    {1017, &StatsRecord::pelvis_deaths},    {1018, &StatsRecord::left_leg_deaths},
    {1019, &StatsRecord::right_leg_deaths}, {1020, &StatsRecord::bashes_deaths},
    {1021, &StatsRecord::headshots_kills},  {1022, &StatsRecord::torso_kills},
    {1023, &StatsRecord::left_arm_kills},   {1024, &StatsRecord::right_arm_kills},
    {1025, &StatsRecord::pelvis_kills},     {1026, &StatsRecord::left_leg_kills},
    {1027, &StatsRecord::right_leg_kills},  {1028, &StatsRecord::bashes_kills},
    {1029, &StatsRecord::killingspree},     {1030, &StatsRecord::rampage},
    {1042, &StatsRecord::dominating},       {1031, &StatsRecord::unstoppable},
    {1032, &StatsRecord::godlike},          {1033, &StatsRecord::holyshit},
    {1043, &StatsRecord::in_a_row_kills},   {1044, &StatsRecord::in_a_row_deaths},
    {1034, &StatsRecord::double_kills},     {1035, &StatsRecord::multi_kills},
    {1036, &StatsRecord::ultra_kills},      {1037, &StatsRecord::monster_kills},
    {1041, &StatsRecord::suicides},         {1040, &StatsRecord::maps},
    {1039, &StatsRecord::deaths},           {1038, &StatsRecord::kills},
};

}  // namespace

void saveStats() {
    StatsRecord total{};
    bool usable = readStatsFile(kStatsFileName, total) || statsFileMissing();
    StatsRecord unsaved = mergeStats(app.unsavedStats, app.pendingStats);
    if (usable && writeStatsFile(kStatsFileName, mergeStats(total, unsaved))) {
        app.unsavedStats = StatsRecord{};
    } else {
        // The old file is left as it was; the counts wait for the next save.
        app.unsavedStats = unsaved;
        showWarning(kStatsErrorText, kStatsErrorCaption);
    }
    app.savedThisRun = mergeStats(app.savedThisRun, app.pendingStats);
    app.pendingStats = StatsRecord{};
}

void resetSessionStats() {
    app.pendingStats = StatsRecord{};
    app.lastKillTime = 0;
    app.multiKillCount = 0;
    app.spreeCount = 0;
    app.killsInARow = 0;
    app.deathsInARow = 0;
}

void fillStatisticsDialog(WindowHandle dialog) {
    saveStats();
    StatsRecord totals{};
    if (!readStatsFile(kStatsFileName, totals)) showWarning(kStatsErrorText, kStatsErrorCaption);
    for (const CounterControl& control : kCounterControls)
        setCounterText(dialog, control.id, static_cast<int32_t>(totals.*control.field));
}

void setCounterText(WindowHandle dialog, int id, int32_t value) {
    if (value <= 0) return;
    char text[16];
    std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
    setDialogItemText(dialog, id, text);
}
