#include "stats/stats_store.h"

#include <filesystem>
#include <system_error>

#include "core/app_state.h"
#include "core/frontend.h"

namespace {

const char* const kStatsErrorText = "Error loadng stats file";
const char* const kStatsErrorCaption = "Failed";

// True only when nothing exists under the stats file's name. A file that is
// there but cannot be read holds lifetime totals we must not overwrite.
bool statsFileMissing() {
    std::error_code error;
    return std::filesystem::status(kStatsFileName, error).type() == std::filesystem::file_type::not_found;
}

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

StatsRecord lifetimeTotals() {
    saveStats();
    StatsRecord totals{};
    if (!readStatsFile(kStatsFileName, totals)) showWarning(kStatsErrorText, kStatsErrorCaption);
    return totals;
}
