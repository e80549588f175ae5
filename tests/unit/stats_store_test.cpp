// Saving the pending counts into the stats file, failed saves, and the
// Statistics dialog.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "fakes/platform_fake.h"
#include "app/statistics_dialog.h"
#include "stats/stats_store.h"
#include "temp_dir.h"

using Log = std::vector<std::string>;

namespace {

StatsRecord fileStats() {
    StatsRecord record;
    EXPECT_TRUE(readStatsFile(kStatsFileName, record));
    return record;
}

}  // namespace

class StatsStore : public ::testing::Test {
protected:
    void SetUp() override { resetFakes(); }
    TempDir dir;
    ScopedChdir inDir{dir.root()};
};

TEST_F(StatsStore, SaveAddsSumsWrapsAndKeepsTheBestRuns) {
    StatsRecord old{};
    old.kills = 4294967295u;
    old.deaths = 7;
    old.in_a_row_kills = 7;
    old.in_a_row_deaths = 7;
    ASSERT_TRUE(writeStatsFile(kStatsFileName, old));
    app.pendingStats.kills = 1;
    app.pendingStats.deaths = 2;
    app.pendingStats.in_a_row_kills = 5;
    app.pendingStats.in_a_row_deaths = 9;
    app.killsInARow = 5;
    app.lastKillTime = 77;

    saveStats();
    StatsRecord saved = fileStats();
    EXPECT_EQ(saved.kills, 0u);
    EXPECT_EQ(saved.deaths, 9u);
    EXPECT_EQ(saved.in_a_row_kills, 7u);
    EXPECT_EQ(saved.in_a_row_deaths, 9u);
    EXPECT_EQ(app.pendingStats.deaths, 0u);
    EXPECT_EQ(app.killsInARow, 5u);
    EXPECT_EQ(app.lastKillTime, 77);
    EXPECT_TRUE(fake.log.empty());

    // A short file reads as zeros beyond its end and is written back whole.
    dir.write(kStatsFileName, std::string("\x03\x00\x00\x00", 4));
    app.pendingStats.suicides = 1;
    saveStats();
    EXPECT_EQ(dir.read(kStatsFileName).size(), kStatsFileSize);
    EXPECT_EQ(fileStats().kills, 3u);
    EXPECT_EQ(fileStats().suicides, 1u);
}

TEST_F(StatsStore, FailedSaveKeepsTheOldFileAndTheCountsForTheNextSave) {
    StatsRecord old{};
    old.kills = 100;
    old.in_a_row_kills = 4;
    ASSERT_TRUE(writeStatsFile(kStatsFileName, old));
    const std::string oldBytes = dir.read(kStatsFileName);
    dir.mkdir("vorbix.vbx.tmp");  // blocks the temporary file of the atomic write

    app.pendingStats.kills = 5;
    app.pendingStats.in_a_row_kills = 6;
    saveStats();
    EXPECT_EQ(fake.log, (Log{"box Failed|Error loadng stats file"}));
    EXPECT_EQ(dir.read(kStatsFileName), oldBytes);
    EXPECT_EQ(app.pendingStats.kills, 0u);

    app.pendingStats.kills = 2;
    app.pendingStats.in_a_row_kills = 3;
    saveStats();
    EXPECT_EQ(fake.logOf("box").size(), 2u);
    EXPECT_EQ(dir.read(kStatsFileName), oldBytes);

    ASSERT_EQ(::rmdir(dir.path("vorbix.vbx.tmp").c_str()), 0);
    app.pendingStats.kills = 1;
    saveStats();
    EXPECT_EQ(fileStats().kills, 108u);
    EXPECT_EQ(fileStats().in_a_row_kills, 6u);
    EXPECT_EQ(app.unsavedStats.kills, 0u);
    EXPECT_EQ(fake.logOf("box").size(), 2u);
}

TEST_F(StatsStore, FileThatExistsButCannotBeReadIsNeverOverwritten) {
    ASSERT_EQ(::symlink(kStatsFileName, kStatsFileName), 0);  // a link loop: open fails, the name exists
    app.pendingStats.kills = 5;
    saveStats();
    EXPECT_EQ(fake.log, (Log{"box Failed|Error loadng stats file"}));
    char target[64] = {};
    EXPECT_GT(::readlink(kStatsFileName, target, sizeof target - 1), 0);
    EXPECT_EQ(app.unsavedStats.kills, 5u);

    // Once the file is readable again the kept counts are added.
    ASSERT_EQ(::unlink(kStatsFileName), 0);
    StatsRecord old{};
    old.kills = 40;
    ASSERT_TRUE(writeStatsFile(kStatsFileName, old));
    saveStats();
    EXPECT_EQ(fileStats().kills, 45u);
}

// What the Statistics dialog does when it opens: each text into its control.
void fillStatisticsDialog() {
    for (const auto& [id, text] : statisticsDialogTexts(lifetimeTotals()))
        fake.log.push_back("item " + std::to_string(id) + "|" + text);
}

TEST_F(StatsStore, DialogShowsEachFieldInItsControl) {
    StatsRecord totals{};
    for (int i = 0; i < kStatsFieldCount; ++i) totals.*kStatsFields[i] = 100u + i;
    ASSERT_TRUE(writeStatsFile(kStatsFileName, totals));
    fillStatisticsDialog();
    EXPECT_EQ(fake.log,
              (Log{"item 1013|119", "item 1014|121", "item 1015|127", "item 1016|125", "item 1017|123",
                   "item 1018|131", "item 1019|129", "item 1020|117", "item 1021|118", "item 1022|120",
                   "item 1023|126", "item 1024|124", "item 1025|122", "item 1026|130", "item 1027|128",
                   "item 1028|116", "item 1029|110", "item 1030|111", "item 1042|112", "item 1031|113",
                   "item 1032|114", "item 1033|115", "item 1043|104", "item 1044|105", "item 1034|106",
                   "item 1035|107", "item 1036|108", "item 1037|109", "item 1041|102", "item 1040|103",
                   "item 1039|101", "item 1038|100"}));
}

TEST_F(StatsStore, DialogLeavesZeroAndHugeCountersAtTheirTemplateText) {
    StatsRecord totals{};
    totals.kills = 2147483648u;
    totals.deaths = 2147483647u;
    totals.suicides = 4294967295u;
    ASSERT_TRUE(writeStatsFile(kStatsFileName, totals));
    fillStatisticsDialog();
    EXPECT_EQ(fake.log, (Log{"item 1039|2147483647"}));
}

TEST_F(StatsStore, DialogWithoutAFileCreatesItFromThePendingCounts) {
    app.pendingStats.kills = 3;
    fillStatisticsDialog();
    EXPECT_EQ(dir.read(kStatsFileName).size(), kStatsFileSize);
    EXPECT_EQ(fake.log, (Log{"item 1038|3"}));

    // Opening it again changes nothing.
    fake.log.clear();
    fillStatisticsDialog();
    EXPECT_EQ(fake.log, (Log{"item 1038|3"}));
    EXPECT_EQ(fileStats().kills, 3u);
}

TEST_F(StatsStore, DialogOnAnUnreadableFileWarnsTwiceAndShowsZeros) {
    ASSERT_EQ(::symlink(kStatsFileName, kStatsFileName), 0);
    app.pendingStats.kills = 3;
    fillStatisticsDialog();
    EXPECT_EQ(fake.log, (Log{"box Failed|Error loadng stats file", "box Failed|Error loadng stats file"}));
}
